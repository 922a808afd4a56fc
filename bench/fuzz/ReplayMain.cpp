// Replays a fuzz target's seed corpus through its entry point in an ordinary build, so a crash
// input kept as a seed fails `make test` without a fuzzing compiler. Every file in the folder
// given runs once; a crash or abort ends the run, a folder without seeds fails it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED-FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> seeds;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], error))
        if (entry.is_regular_file())
            seeds.push_back(entry.path());
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s%s%s\n", argv[1], error ? ": " : "", error ? error.message().c_str() : "");
        return 1;
    }
    std::sort(seeds.begin(), seeds.end());
    for (const auto& seed : seeds) {
        std::ifstream file(seed, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s\n", seed.filename().c_str());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu seeds replayed\n", seeds.size());
    return 0;
}
