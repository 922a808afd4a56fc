#include "driver/DriverBinding.h"

#include "FakeDriver.h"
#include "contract/ModuleParameters.h"
#include "platform/LastError.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>

namespace {

using driver::DriverBinding;
using driver::InterfaceConfigBlock;
using driver::ParameterBuffer;

constexpr char FullFake[] = "korvane_fake_full";
constexpr char PartialFake[] = "korvane_fake_partial";

uint64_t Address(const void* pointer)
{
    return reinterpret_cast<uintptr_t>(pointer);
}

FakeDriverState& StateOf(const char* library)
{
    void* symbol = platform::LibrarySymbol(platform::OpenLibrary(library), FAKE_DRIVER_STATE_SYMBOL);
    if (symbol == nullptr)
        throw std::runtime_error(std::string("fake driver not found: ") + library);
    return *static_cast<FakeDriverState*>(reinterpret_cast<void* (*)()>(symbol)());
}

// Each test starts with a fresh fake and a binding to it.
class BindingTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        fake = &StateOf(GetParam());
        *fake = FakeDriverState{};
        binding = std::make_unique<DriverBinding>(GetParam());
        ASSERT_TRUE(binding->LibraryLoaded());
    }
    void TearDown() override { binding.reset(); }

    const FakeCall& OnlyCall()
    {
        EXPECT_EQ(fake->calls.size(), 1u);
        return fake->calls.back();
    }

    FakeDriverState* fake = nullptr;
    std::unique_ptr<DriverBinding> binding;
};

class FullBindingTest : public BindingTest {};
INSTANTIATE_TEST_SUITE_P(Fake, FullBindingTest, ::testing::Values(FullFake));

class PartialBindingTest : public BindingTest {};
INSTANTIATE_TEST_SUITE_P(Fake, PartialBindingTest, ::testing::Values(PartialFake));

TEST(DriverBindingWithoutLibrary, EveryOperationAnswersZeroAndNothingBreaks)
{
    InterfaceConfigBlock given{};
    given.fill(0x11);
    uint8_t u8 = 7;
    uint32_t u32 = 7;
    uint8_t count = 7;
    ParameterBuffer buffer{};
    const uint8_t bytes[3] = {1, 2, 3};
    {
        DriverBinding binding("korvane_no_such_driver");
        EXPECT_FALSE(binding.LibraryLoaded());
        EXPECT_EQ(binding.OpenInterface(), 0);
        EXPECT_EQ(binding.OpenInterface(given), 0);
        EXPECT_EQ(binding.ConfigBlock(), given) << "the block is copied even without the entry point";
        EXPECT_EQ(binding.CloseCard(), 0);
        EXPECT_EQ(binding.UnloadDriver(), 0);
        EXPECT_EQ(binding.ReadConfiguration(driver::ConfigurationRegistryPath), 0);
        EXPECT_EQ(binding.SaveConfiguration(driver::ConfigurationRegistryPath), 0);
        EXPECT_EQ(binding.Parameter_Get_USIGN8(12, u8), 0);
        EXPECT_EQ(binding.Parameter_Get_USIGN32(11, u32), 0);
        EXPECT_EQ(binding.Parameter_Get_ARRAY(6, count, buffer), 0);
        EXPECT_EQ(binding.Parameter_Set_USIGN8(12, 5), 0);
        EXPECT_EQ(binding.Parameter_Set_USIGN32(13, driver::EraseCommandValue), 0);
        EXPECT_EQ(binding.Parameter_Set_ARRAY(6, 3, bytes), 0);
        EXPECT_EQ(binding.InterfaceHandle(), 0u);
        EXPECT_EQ(binding.HardwareConfigurationWindow(), 0);
        EXPECT_EQ(binding.ConfigBlock()[0], 0x01);
        EXPECT_EQ(binding.ConfigBlock()[1], 0x00);
        EXPECT_EQ(binding.ConfigBlock()[2], 0x04);
        EXPECT_EQ(binding.ConfigBlock()[3], 0x00);
    }
    EXPECT_EQ(u8, 7);
    EXPECT_EQ(u32, 7u);
    EXPECT_EQ(count, 7);
}

TEST(DriverBindingWithoutLibrary, TheLoadersReasonGoesToStandardError)
{
    const std::string broken = ::testing::TempDir() + "libkorvane_broken.so";
    FILE* file = std::fopen(broken.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(std::string(200, 'x').c_str(), file); // long enough to be checked as a shared object
    std::fclose(file);
    for (const auto& [library, reason] : {std::pair{std::string("korvane_no_such_driver"), "cannot open shared object file"},
                                          std::pair{broken, "invalid ELF header"}}) {
        testing::internal::CaptureStderr();
        DriverBinding binding(library.c_str());
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(binding.LibraryLoaded());
        EXPECT_NE(said.find("korvane: cannot load the driver library"), std::string::npos) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
    }
}

TEST(DriverBindingConstruction, StartsWithEmptyBlockAndHandleAndTouchesNoEntryPoint)
{
    FakeDriverState& fake = StateOf(FullFake);
    fake = FakeDriverState{};
    DriverBinding binding(FullFake);
    EXPECT_EQ(binding.ConfigBlock(), InterfaceConfigBlock{});
    EXPECT_EQ(binding.InterfaceHandle(), 0u);
    EXPECT_EQ(binding.ConnectionType(), 0u);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_P(FullBindingTest, OpenInterfacePassesHandleAddressAndOwnBlock)
{
    binding->ConfigBlock()[5] = 0x55;
    EXPECT_EQ(binding->OpenInterface(), 1);
    const FakeCall& call = OnlyCall();
    EXPECT_EQ(call.name, "OpenInterface");
    ASSERT_EQ(call.args.size(), 2u);
    EXPECT_EQ(call.args[1], Address(binding->ConfigBlock().data()));
    EXPECT_EQ(call.bytes[5], 0x55);
    EXPECT_EQ(binding->InterfaceHandle(), fake->handleToOpen) << "the library writes through the handle's address";
    EXPECT_EQ(binding->ConfigBlock()[KORVANE_CONFIG_BLOCK_SIZE - 1], 0xA5);
}

TEST_P(FullBindingTest, OpenInterfaceWithGivenBlockCopiesItButHandsTheGivenBlockToTheLibrary)
{
    InterfaceConfigBlock given;
    std::iota(given.begin(), given.end(), uint8_t{0});
    const InterfaceConfigBlock original = given;
    EXPECT_EQ(binding->OpenInterface(given), 1);
    const FakeCall& call = OnlyCall();
    EXPECT_EQ(call.args[1], Address(given.data()));
    EXPECT_EQ(call.bytes, std::vector<uint8_t>(original.begin(), original.end()));
    EXPECT_EQ(given.back(), 0xA5) << "the library's changes land in the given block";
    EXPECT_EQ(binding->ConfigBlock(), original) << "the binding keeps the copy taken before the call";
}

TEST_P(FullBindingTest, ResultsComeBackUnchanged)
{
    fake->result = 0x5A5A1234;
    uint8_t u8 = 0;
    EXPECT_EQ(binding->Parameter_Get_USIGN8(3, u8), 0x5A5A1234);
    fake->result = -7;
    EXPECT_EQ(binding->Parameter_Set_USIGN8(3, 1), -7);
    EXPECT_EQ(binding->CloseCard(), -7);
}

TEST_P(FullBindingTest, FailedOpenLeavesTheLibrarysLastErrorCode)
{
    fake->result = 0;
    fake->lastErrorOnFailure = KORVANE_ERROR_WRONG_MODE;
    EXPECT_EQ(binding->OpenInterface(), 0);
    EXPECT_EQ(platform::GetLastError(), KORVANE_ERROR_WRONG_MODE);

    fake->result = 1;
    platform::SetLastError(1234);
    uint32_t value = 0;
    binding->Parameter_Get_USIGN32(19, value);
    binding->Parameter_Set_USIGN8(15, 1);
    EXPECT_EQ(platform::GetLastError(), 1234u);
}

TEST_P(FullBindingTest, ParameterCallsCarryHandleNumberAndValueAsTheLibraryReceivesThem)
{
    binding->OpenInterface();
    const uint64_t handle = fake->handleToOpen;
    fake->calls.clear();
    fake->u8Value = 0xFE;
    fake->u32Value = 0xDEADBEEF;

    uint8_t u8 = 0;
    uint32_t u32 = 0;
    binding->Parameter_Get_USIGN8(0xFFFF, u8);
    binding->Parameter_Get_USIGN32(driver::ModuleParameter::Baud, u32);
    binding->Parameter_Set_USIGN8(driver::ModuleParameter::NodeId, 0xFF);
    binding->Parameter_Set_USIGN32(driver::ModuleParameter::EraseCommand, driver::EraseCommandValue);

    ASSERT_EQ(fake->calls.size(), 4u);
    EXPECT_EQ(fake->calls[0].name, "Parameter_Get_USIGN8");
    EXPECT_EQ(fake->calls[0].args, (std::vector<uint64_t>{handle, 0xFFFF, Address(&u8)}));
    EXPECT_EQ(u8, 0xFE);
    EXPECT_EQ(fake->calls[1].name, "Parameter_Get_USIGN32");
    EXPECT_EQ(fake->calls[1].args, (std::vector<uint64_t>{handle, 11, Address(&u32)}));
    EXPECT_EQ(u32, 0xDEADBEEFu);
    EXPECT_EQ(fake->calls[2].name, "Parameter_Set_USIGN8");
    EXPECT_EQ(fake->calls[2].args, (std::vector<uint64_t>{handle, 12, 0xFF}));
    EXPECT_EQ(fake->calls[3].name, "Parameter_Set_USIGN32");
    EXPECT_EQ(fake->calls[3].args, (std::vector<uint64_t>{handle, 13, 0x44332211}));
}

TEST_P(FullBindingTest, ArrayOf255BytesFitsWithItsTerminatingZero)
{
    fake->arrayValue.assign(255, 'x');
    ParameterBuffer buffer;
    buffer.fill(0xEE);
    uint8_t count = 0;
    EXPECT_EQ(binding->Parameter_Get_ARRAY(driver::ModuleParameter::MemoryData, count, buffer), 1);
    EXPECT_EQ(count, 255);
    EXPECT_EQ(buffer[254], 'x');
    EXPECT_EQ(buffer[255], 0xEE) << "the last byte is left for the terminating zero";
    const FakeCall& call = OnlyCall();
    EXPECT_EQ(call.args, (std::vector<uint64_t>{0, 14, Address(&count), Address(buffer.data())}));
}

TEST_P(FullBindingTest, EmptyArrayDeliversCountZero)
{
    ParameterBuffer buffer{};
    uint8_t count = 99;
    EXPECT_EQ(binding->Parameter_Get_ARRAY(driver::ModuleParameter::ModuleTime, count, buffer), 1);
    EXPECT_EQ(count, 0);
}

TEST_P(FullBindingTest, SetArrayPassesCountAndBytes)
{
    const uint8_t text[] = {'1', '2', ':', '0', '0', ':', '0', '0'};
    EXPECT_EQ(binding->Parameter_Set_ARRAY(driver::ModuleParameter::ModuleTime, sizeof text, text), 1);
    const FakeCall& call = OnlyCall();
    EXPECT_EQ(call.args, (std::vector<uint64_t>{0, 6, 8, Address(text)}));
    EXPECT_EQ(call.bytes, std::vector<uint8_t>(std::begin(text), std::end(text)));
}

TEST_P(FullBindingTest, ConfigurationCallsGetPathTextAndTheBindingsBlock)
{
    binding->ReadConfiguration(driver::ConfigurationRegistryPath);
    binding->SaveConfiguration("other");
    ASSERT_EQ(fake->calls.size(), 2u);
    EXPECT_EQ(fake->calls[0].name, "ReadConfiguration");
    EXPECT_EQ(fake->calls[0].text, "\\Software\\Velmora\\CANopen Quillfen App\\");
    EXPECT_EQ(fake->calls[0].args[0], Address(binding->ConfigBlock().data()));
    EXPECT_EQ(fake->calls[1].name, "SaveConfiguration");
    EXPECT_EQ(fake->calls[1].text, "other");
    EXPECT_EQ(fake->calls[1].args[0], Address(binding->ConfigBlock().data()));
    EXPECT_EQ(binding->ConnectionType(), 0x01020304u) << "bytes 12-15 read little-endian";
}

TEST_P(FullBindingTest, ConfigurationWindowSeesTheSignatureFirst)
{
    binding->ConfigBlock().fill(0xFF);
    EXPECT_EQ(binding->HardwareConfigurationWindow(), 1);
    const FakeCall& call = OnlyCall();
    EXPECT_EQ(call.name, "HardwareConfigurationWindow");
    EXPECT_EQ(call.args[0], Address(binding->ConfigBlock().data()));
    EXPECT_EQ(std::vector<uint8_t>(call.bytes.begin(), call.bytes.begin() + 5),
              (std::vector<uint8_t>{0x01, 0x00, 0x04, 0x00, 0xFF}));
    EXPECT_EQ(binding->ConnectionType(), 0xFFFFFF01u);
}

TEST_P(FullBindingTest, DestroyClosesTheCardWithHandleZeroWhenNeverOpened)
{
    binding.reset();
    ASSERT_EQ(fake->calls.size(), 2u);
    EXPECT_EQ(fake->calls[0].name, "CloseCard");
    EXPECT_EQ(fake->calls[0].args, std::vector<uint64_t>{0});
    EXPECT_EQ(fake->calls[1].name, "UnloadDriver");
    EXPECT_TRUE(fake->calls[1].args.empty());
}

TEST_P(FullBindingTest, DestroyClosesTheOpenedHandleAndTheLibraryStaysLoaded)
{
    binding->OpenInterface();
    fake->calls.clear();
    binding.reset();
    ASSERT_EQ(fake->calls.size(), 2u);
    EXPECT_EQ(fake->calls[0].args, std::vector<uint64_t>{0x00C0FFEE});
    // The state lives in the library: still reachable means the library was not released.
    EXPECT_EQ(fake->calls[1].name, "UnloadDriver");
}

TEST_P(PartialBindingTest, MissingEntryPointsAnswerZeroWithoutACall)
{
    uint32_t u32 = 3;
    const uint8_t bytes[1] = {0};
    binding->ConfigBlock().fill(0);
    EXPECT_EQ(binding->HardwareConfigurationWindow(), 0);
    EXPECT_EQ(binding->Parameter_Get_USIGN32(19, u32), 0);
    EXPECT_EQ(binding->Parameter_Set_ARRAY(7, 1, bytes), 0);
    EXPECT_TRUE(fake->calls.empty());
    EXPECT_EQ(u32, 3u);
    EXPECT_EQ(binding->ConfigBlock()[0], 0x01) << "the signature is stored even without the window";
    EXPECT_EQ(binding->ConfigBlock()[2], 0x04);

    uint8_t u8 = 0;
    EXPECT_EQ(binding->Parameter_Get_USIGN8(16, u8), 1) << "entry points that exist still work";
}

} // namespace
