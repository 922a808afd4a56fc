#include "driver/DeferredBinding.h"

#include "FakeDriver.h"
#include "driver/DriverBinding.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr char FullFake[] = "korvane_fake_full";
constexpr char Path[] = "\\Software\\Test\\";

class DeferredBindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        void* symbol = platform::LibrarySymbol(platform::OpenLibrary(FullFake), FAKE_DRIVER_STATE_SYMBOL);
        if (symbol == nullptr)
            throw std::runtime_error("fake driver not found");
        fake = static_cast<FakeDriverState*>(reinterpret_cast<void* (*)()>(symbol)());
        *fake = FakeDriverState{};
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const FakeCall& call : fake->calls)
            names.push_back(call.name);
        return names;
    }

    FakeDriverState* fake = nullptr;
};

TEST_F(DeferredBindingTest, FirstReachMakesTheBindingAndReadsTheConfigurationOnce)
{
    driver::DeferredBinding binding(FullFake, Path);
    EXPECT_TRUE(binding);
    EXPECT_FALSE(binding.Made());
    EXPECT_TRUE(fake->calls.empty());

    binding->SetNodeId(9);
    ASSERT_TRUE(binding.Made());
    EXPECT_EQ(Names(), std::vector<std::string>{"ReadConfiguration"});
    EXPECT_EQ(fake->calls.front().text, Path);
    EXPECT_EQ(binding->NodeId(), 9u); // the same binding, not made again
    EXPECT_EQ(fake->calls.size(), 1u);
}

TEST_F(DeferredBindingTest, ResetEndsItWithoutMakingOneThatWasNeverReached)
{
    driver::DeferredBinding binding(FullFake, Path);
    binding.reset();
    EXPECT_EQ(binding, nullptr);
    EXPECT_EQ(binding.get(), nullptr);
    EXPECT_TRUE(fake->calls.empty());
}

TEST_F(DeferredBindingTest, ResetClosesAMadeBinding)
{
    driver::DeferredBinding binding(FullFake, Path);
    binding.get();
    binding.reset();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ReadConfiguration", "CloseCard", "UnloadDriver"}));
}

TEST_F(DeferredBindingTest, ReleaseHandsOverABindingMadeForIt)
{
    driver::DeferredBinding binding(FullFake, Path);
    std::unique_ptr<driver::DriverBinding> released(binding.release());
    ASSERT_NE(released, nullptr);
    EXPECT_EQ(binding, nullptr);
    EXPECT_EQ(Names(), std::vector<std::string>{"ReadConfiguration"});
    released.reset();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ReadConfiguration", "CloseCard", "UnloadDriver"}));
}

} // namespace
