#include "contract/StandardError.h"

#include <cstdio>

namespace contract {

void ReportLine(std::string_view text)
{
    std::fprintf(stderr, "korvane: %.*s\n", int(text.size()), text.data());
    std::fflush(stderr);
}

} // namespace contract
