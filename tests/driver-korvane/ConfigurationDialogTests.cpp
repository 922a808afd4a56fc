// The library's configuration window, shown through HardwareConfigurationWindow as the tool does.
#include "KorvaneLibrary.h"
#include "config/ConfigurationDialog.h"
#include "support/SimulatedModule.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QTest>

#include <array>
#include <functional>

using namespace korvane::config;

namespace {

// Runs `act` on the modal dialog once it is up; the dialog must close itself through `act`.
void whenDialogShows(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            dialog->reject();
        }
    });
}

QPushButton* button(QDialog& dialog, QDialogButtonBox::StandardButton which)
{
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

} // namespace

TEST(ConfigurationDialog, ShowsTheConfigurationItIsGiven)
{
    InterfaceConfig config;
    config.connectionType = 1;
    config.nodeId = 33;
    config.bitrate = 1000000;
    config.sdoTimeoutMs = 750;
    config.moduleState = "/data/module.json";
    ConfigurationDialog dialog(config);
    EXPECT_EQ(dialog.findChild<QComboBox*>("connectionType")->currentText(), "RS232");
    EXPECT_EQ(dialog.findChild<QSpinBox*>("nodeId")->value(), 33);
    EXPECT_EQ(dialog.findChild<QComboBox*>("bitrate")->currentText(), "1M");
    EXPECT_EQ(dialog.findChild<QSpinBox*>("sdoTimeout")->value(), 750);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("moduleState")->text(), "/data/module.json");
    EXPECT_EQ(dialog.config(), config);
}

TEST(ConfigurationDialog, OkFillsTheBlockAndAnswersOne)
{
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
    block[0] = 0x01;
    block[2] = 0x04;
    whenDialogShows([](QDialog& dialog) {
        dialog.findChild<QSpinBox*>("nodeId")->setValue(42);
        dialog.findChild<QComboBox*>("connectionType")->setCurrentIndex(1);
        dialog.findChild<QComboBox*>("bitrate")->setCurrentText("125k");
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    });
    ASSERT_EQ(library().HardwareConfigurationWindow(block.data()), 1);
    const InterfaceConfig config = fromBlock(block.data());
    EXPECT_EQ(config.nodeId, 42u);
    EXPECT_EQ(config.connectionType, 1u);
    EXPECT_EQ(config.bitrate, 125000u);
    EXPECT_EQ(config.transport, Transport::Simulated);
    EXPECT_EQ(block[0] | block[2] << 16, 0x00040001); // the tool's word is not the library's to change
}

TEST(ConfigurationDialog, CancelAnswersZeroAndKeepsTheBlock)
{
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
    block[0] = 0x01;
    block[2] = 0x04;
    const auto before = block;
    whenDialogShows([](QDialog& dialog) {
        dialog.findChild<QSpinBox*>("nodeId")->setValue(42);
        QTest::mouseClick(button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_EQ(library().HardwareConfigurationWindow(block.data()), 0);
    EXPECT_EQ(block, before);
}

TEST(ConfigurationDialog, ARefusedInterfaceIniOpensOnTheDefaultsSayingWhy)
{
    testsupport::SimulatedModule module;
    QFile ini(module.interfaceIniPath());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate) && ini.write("[interface]\nnode_id=+5\n") > 0);
    ini.close();
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
    ASSERT_EQ(library().ReadConfiguration(testsupport::SimulatedModule::registryPath(), block.data()), 0);
    std::array<char, 256> reason{};
    const int32_t length = library().GetErrorString(0, reason.data());
    const QString fault = module.interfaceIniPath() + " line 2: node_id must be a number from 1 to 127, not \"+5\"";
    EXPECT_EQ(QString::fromUtf8(reason.data(), length), "the interface configuration is unusable: " + fault);
    whenDialogShows([&](QDialog& dialog) {
        const auto* problem = dialog.findChild<QLabel*>("problem");
        EXPECT_FALSE(problem->isHidden());
        EXPECT_TRUE(problem->text().contains(fault)) << problem->text().toStdString();
        EXPECT_EQ(dialog.findChild<QSpinBox*>("nodeId")->value(), int(InterfaceConfig{}.nodeId));
        QTest::mouseClick(button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_EQ(library().HardwareConfigurationWindow(block.data()), 0);
}

TEST(ConfigurationDialog, PathThatDoesNotFitStaysInTheDialog)
{
    ConfigurationDialog dialog(InterfaceConfig{});
    dialog.show();
    // Too long for the block, or not a full path (the library could not tell relative to what).
    for (const auto& [path, problem] : {std::pair{"/" + QString(200, 'x'), "longer than 179 bytes"},
                                        std::pair{QString("state.json"), "with its full path"}}) {
        dialog.findChild<QLineEdit*>("moduleState")->setText(path);
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_TRUE(dialog.findChild<QLabel*>("problem")->text().contains(problem));
    }
    dialog.findChild<QLineEdit*>("moduleState")->setText("/short.json");
    QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ConfigurationDialog, RealAdaptersShowTheirOwnFields)
{
    ConfigurationDialog dialog(InterfaceConfig{});
    dialog.show();
    auto* transport = dialog.findChild<QComboBox*>("transport");
    auto* connection = dialog.findChild<QComboBox*>("connectionType");
    EXPECT_FALSE(dialog.findChild<QComboBox*>("plugin")->isVisible());
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("moduleState")->isVisible());
    EXPECT_TRUE(connection->isEnabled());

    transport->setCurrentIndex(transport->findData(uint32_t(Transport::Can)));
    EXPECT_TRUE(dialog.findChild<QComboBox*>("plugin")->isVisible());
    EXPECT_TRUE(dialog.findChild<QComboBox*>("canDevice")->isVisible());
    EXPECT_FALSE(dialog.findChild<QComboBox*>("serialPort")->isVisible());
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("moduleState")->isVisible());
    EXPECT_FALSE(connection->isEnabled());
    EXPECT_EQ(connection->currentText(), "USB");
    EXPECT_GE(dialog.findChild<QComboBox*>("plugin")->findText("virtualcan"), 0);
    dialog.findChild<QComboBox*>("plugin")->setCurrentText("virtualcan");
    dialog.findChild<QComboBox*>("canDevice")->setCurrentText("can1");
    InterfaceConfig chosen = dialog.config();
    EXPECT_EQ(chosen.transport, Transport::Can);
    EXPECT_EQ(chosen.plugin, "virtualcan");
    EXPECT_EQ(chosen.device, "can1");
    EXPECT_EQ(chosen.connectionType, 0u);

    transport->setCurrentIndex(transport->findData(uint32_t(Transport::Serial)));
    EXPECT_TRUE(dialog.findChild<QComboBox*>("serialPort")->isVisible());
    EXPECT_FALSE(dialog.findChild<QComboBox*>("plugin")->isVisible());
    EXPECT_EQ(connection->currentText(), "RS232");
    dialog.findChild<QComboBox*>("serialPort")->setCurrentText("/dev/ttyACM3");
    dialog.findChild<QComboBox*>("serialBaud")->setCurrentText("57600");
    chosen = dialog.config();
    EXPECT_EQ(chosen.device, "/dev/ttyACM3");
    EXPECT_EQ(chosen.serialBaud, 57600u);
    EXPECT_EQ(chosen.connectionType, 1u);
    EXPECT_TRUE(chosen.plugin.isEmpty());

    // A serial adapter without a port is not accepted.
    dialog.findChild<QComboBox*>("serialPort")->setCurrentText("");
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.findChild<QLabel*>("problem")->text().contains("needs a device"));
}

TEST(ConfigurationDialog, OpensOnTheSavedAdapter)
{
    InterfaceConfig config;
    config.transport = Transport::Serial;
    config.device = "/dev/ttyUSB4";
    config.serialBaud = 9600;
    deriveConnectionType(config);
    ConfigurationDialog dialog(config);
    EXPECT_EQ(dialog.findChild<QComboBox*>("serialPort")->currentText(), "/dev/ttyUSB4");
    EXPECT_EQ(dialog.config(), config);
}

TEST(ConfigurationDialog, FindModulesListsTheModuleAndItsRowSetsTheNodeId)
{
    testsupport::SimulatedModule module(R"({"settings": {"NodeId": 9}, "identity": {"serial_number": 48879}})");
    module.configureNode(5);
    std::array<uint8_t, KORVANE_CONFIG_BLOCK_SIZE> block{};
    ASSERT_EQ(library().ReadConfiguration(testsupport::SimulatedModule::registryPath(), block.data()), 1);
    QStringList row;
    whenDialogShows([&row](QDialog& dialog) {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            // The library's own copy of the window: found by its name, not its class.
            auto* finder = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto* table = finder ? finder->findChild<QTableWidget*>("modules") : nullptr;
            if (!table || table->rowCount() == 0)
                return;
            poll.stop();
            for (int column = 0; column < table->columnCount(); ++column)
                row << table->item(0, column)->text();
            finder->accept();
        });
        poll.start(50);
        QTest::mouseClick(dialog.findChild<QPushButton*>("findModules"), Qt::LeftButton);
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    });
    ASSERT_EQ(library().HardwareConfigurationWindow(block.data()), 1);
    EXPECT_EQ(fromBlock(block.data()).nodeId, 9u);
    ASSERT_EQ(row.size(), 7);
    EXPECT_EQ(row[0], "9");
    EXPECT_EQ(row[5], "0x0000BEEF");
    EXPECT_FALSE(row[6].isEmpty());
}
