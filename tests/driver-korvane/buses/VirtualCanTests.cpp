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

    QtCanChannel channel(QStringLiteral("virtualcan"), device, 250000, sdo::responseId(7));
    OpenFailure failure;
    ASSERT_TRUE(channel.open(5000ms, failure)) << failure.message.toStdString();
    sdo::SdoClient client(channel, 7, 2000ms);
    client.setBlockSize(127);
    sdo::Bytes value;
    ASSERT_EQ(client.upload(0x200C, 0, value, 1), 0u);
    EXPECT_EQ(value, sdo::Bytes{7});
    ASSERT_EQ(client.download(0x200A, 0, {9}), 0u);
    EXPECT_EQ(state.setting("AutoTimeStamp"), 9u);
    ASSERT_EQ(client.download(0x200F, 0, {1}), 0u);
    ASSERT_EQ(client.upload(0x200E, 0, value, 255, sdo::SdoClient::Upload::BlockIfOffered), 0u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())), state.memory());
}

TEST(CanTransport, AnotherNodeAnswersNothingAndTheClientAborts)
{
    testsupport::SimulatedModule state;
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, "--node", "9", state.statePath()});
    QtCanChannel channel(QStringLiteral("virtualcan"), device, 250000, sdo::responseId(5));
    OpenFailure failure;
    ASSERT_TRUE(channel.open(5000ms, failure)) << failure.message.toStdString();
    sdo::SdoClient client(channel, 5, 200ms);
    sdo::Bytes value;
    EXPECT_EQ(client.upload(0x200C, 0, value, 1), uint32_t(sdo::ProtocolTimedOut));
}

TEST(CanTransport, LostBusEndsTheExchangeAtOnce)
{
    testsupport::SimulatedModule state;
    const QString device = virtualCanDevice(freeTcpPort());
    ModuleSimulator simulator({"--plugin", "virtualcan", "--device", device, state.statePath()});
    QtCanChannel channel(QStringLiteral("virtualcan"), device, 250000, sdo::responseId(5));
    OpenFailure failure;
    ASSERT_TRUE(channel.open(5000ms, failure)) << failure.message.toStdString();
    sdo::SdoClient client(channel, 5, 60000ms);
    sdo::Bytes value;
    ASSERT_EQ(client.upload(0x200C, 0, value, 1), 0u);
    simulator.kill(); // it hosted the bus
    EXPECT_EQ(client.upload(0x200C, 0, value, 1), uint32_t(sdo::GeneralError));
}

TEST(CanTransport, UnknownPluginOrDeviceFailsTheOpen)
{
    OpenFailure failure;
    QtCanChannel plugin(QStringLiteral("korvane-no-such-plugin"), QStringLiteral("can0"), 250000, 0x585);
    EXPECT_FALSE(plugin.open(5000ms, failure));
    EXPECT_EQ(failure.errorCode, ENODEV);
    QtCanChannel device(QStringLiteral("socketcan"), QStringLiteral("korvane9"), 250000, 0x585);
    EXPECT_FALSE(device.open(5000ms, failure));
    EXPECT_EQ(failure.errorCode, ENODEV);
}
