// The Qt CAN plugin transport on a virtualcan bus hosted by the module simulator's process.
#include "Peers.h"
#include "canbus/QtCanChannel.h"
#include "sdo/SdoClient.h"
#include "support/SimulatedModule.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace korvane;
using namespace std::chrono_literals;

TEST(CanTransport, ExchangesWithTheSimulatorOverVirtualCan)
{
    testsupport::SimulatedModule state(R"({"settings": {"NodeId": 7}, "memory": "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGH"})");
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, state.statePath()});
    ASSERT_EQ(simulator.where(), device);

    QtCanChannel channel(QStringLiteral("virtualcan"), device, 250000, 5000ms);
    ASSERT_TRUE(channel.open()) << channel.error().message.toStdString();
    sdo::SdoClient client(channel, 7, 2000ms);
    client.setBlockSize(127);
    sdo::Bytes value;
    ASSERT_EQ(client.upload(0x200C, 0, value, 1), sdo::Result::done());
    EXPECT_EQ(value, sdo::Bytes{7});
    ASSERT_EQ(client.download(0x200A, 0, {9}), sdo::Result::done());
    EXPECT_EQ(state.setting("AutoTimeStamp"), 9u);
    ASSERT_EQ(client.download(0x200F, 0, {1}), sdo::Result::done());
    ASSERT_EQ(client.upload(0x200E, 0, value, 255, sdo::SdoClient::Upload::BlockIfOffered), sdo::Result::done());
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())), state.memory());
}

TEST(CanTransport, AnotherNodeAnswersNothingAndTheClientAborts)
{
    testsupport::SimulatedModule state;
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, "--node", "9", state.statePath()});
    QtCanChannel channel(QStringLiteral("virtualcan"), device, 250000, 5000ms);
    ASSERT_TRUE(channel.open()) << channel.error().message.toStdString();
    sdo::SdoClient client(channel, 5, 200ms);
    sdo::Bytes value;
    EXPECT_EQ(client.upload(0x200C, 0, value, 1), sdo::Result::us(sdo::ProtocolTimedOut));
}

TEST(CanTransport, LostBusEndsTheExchangeAtOnce)
{
    testsupport::SimulatedModule state;
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, state.statePath()});
    QtCanChannel channel(QStringLiteral("virtualcan"), device, 250000, 5000ms);
    ASSERT_TRUE(channel.open()) << channel.error().message.toStdString();
    sdo::SdoClient client(channel, 5, 60000ms);
    sdo::Bytes value;
    ASSERT_EQ(client.upload(0x200C, 0, value, 1), sdo::Result::done());
    simulator.kill(); // it hosted the bus
    const sdo::Result lost = client.upload(0x200C, 0, value, 1);
    EXPECT_EQ(lost, sdo::Result::transport());
    EXPECT_TRUE(client.describe(lost).startsWith("the adapter went away: ")) << client.describe(lost).toStdString();
}

TEST(CanTransport, UnknownPluginOrDeviceFailsTheOpen)
{
    QtCanChannel plugin(QStringLiteral("korvane-no-such-plugin"), QStringLiteral("can0"), 250000, 5000ms);
    EXPECT_FALSE(plugin.open());
    EXPECT_EQ(plugin.error().errorCode, ENODEV);
    QtCanChannel device(QStringLiteral("socketcan"), QStringLiteral("korvane9"), 250000, 5000ms);
    EXPECT_FALSE(device.open());
    EXPECT_EQ(device.error().errorCode, ENODEV);
}
