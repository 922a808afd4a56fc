#include "config/ConfigurationDialog.h"

#include "api/BusTransports.h"
#include "simulator/StateFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>

#include <cstdio>

namespace korvane::config {

namespace {

QString bitrateText(uint32_t bitrate)
{
    return bitrate >= 1000000 ? QStringLiteral("%1M").arg(bitrate / 1000000) : QStringLiteral("%1k").arg(bitrate / 1000);
}

// Without the real-bus library the lists stay empty; the fields still take typed names.
api::BusTransports* transports()
{
    QString error;
    return api::busTransports(error);
}

} // namespace

ConfigurationDialog::ConfigurationDialog(const InterfaceConfig& config, QWidget* parent)
    : QDialog(parent)
    , original_(config)
    , form_(new QFormLayout(this))
    , transport_(new QComboBox)
    , plugin_(new QComboBox)
    , canDevice_(new QComboBox)
    , serialPort_(new QComboBox)
    , serialBaud_(new QComboBox)
    , connectionType_(new QComboBox)
    , nodeId_(new QSpinBox)
    , bitrate_(new QComboBox)
    , timeout_(new QSpinBox)
    , stateFile_(new QLineEdit)
    , problem_(new QLabel)
{
    setWindowTitle(tr("Interface Configuration"));
    setObjectName(QStringLiteral("KorvaneConfigurationDialog"));
    transport_->setObjectName(QStringLiteral("transport"));
    plugin_->setObjectName(QStringLiteral("plugin"));
    canDevice_->setObjectName(QStringLiteral("canDevice"));
    serialPort_->setObjectName(QStringLiteral("serialPort"));
    serialBaud_->setObjectName(QStringLiteral("serialBaud"));
    connectionType_->setObjectName(QStringLiteral("connectionType"));
    nodeId_->setObjectName(QStringLiteral("nodeId"));
    bitrate_->setObjectName(QStringLiteral("bitrate"));
    timeout_->setObjectName(QStringLiteral("sdoTimeout"));
    stateFile_->setObjectName(QStringLiteral("moduleState"));
    problem_->setObjectName(QStringLiteral("problem"));

    transport_->addItem(tr("Simulated module"), uint32_t(Transport::Simulated));
    transport_->addItem(tr("CAN adapter (Qt CAN plugin)"), uint32_t(Transport::Can));
    transport_->addItem(tr("Serial-line CAN adapter"), uint32_t(Transport::Serial));
    transport_->setCurrentIndex(std::max(0, transport_->findData(uint32_t(config.transport))));

    if (auto* buses = transports())
        plugin_->addItems(buses->canPlugins());
    if (!config.plugin.isEmpty() && plugin_->findText(config.plugin) < 0)
        plugin_->addItem(config.plugin);
    plugin_->setCurrentText(config.plugin.isEmpty() ? QStringLiteral("socketcan") : config.plugin);
    canDevice_->setEditable(true);
    serialPort_->setEditable(true);
    if (auto* buses = transports())
        serialPort_->addItems(buses->serialPorts());
    if (config.transport == Transport::Serial)
        serialPort_->setCurrentText(config.device);
    for (uint32_t rate : kSerialBauds)
        serialBaud_->addItem(QString::number(rate), rate);
    serialBaud_->setCurrentIndex(std::max(0, serialBaud_->findData(config.serialBaud)));

    connectionType_->addItem(tr("USB"), 0u);
    connectionType_->addItem(tr("RS232"), 1u);
    connectionType_->setCurrentIndex(config.connectionType == 0 ? 0 : 1);

    nodeId_->setRange(1, 127);
    nodeId_->setValue(int(config.nodeId));

    for (uint32_t rate : kBitrates)
        bitrate_->addItem(bitrateText(rate), rate);
    bitrate_->setCurrentIndex(std::max(0, bitrate_->findData(config.bitrate)));

    timeout_->setRange(1, 60000);
    timeout_->setSuffix(tr(" ms"));
    timeout_->setValue(int(config.sdoTimeoutMs));

    stateFile_->setText(config.moduleState);
    stateFile_->setPlaceholderText(module::defaultStateFile());
    stateFile_->setMinimumWidth(360);
    auto* browse = new QPushButton(tr("Browse..."));
    connect(browse, &QPushButton::clicked, this, &ConfigurationDialog::browseStateFile);
    stateRow_ = new QHBoxLayout;
    stateRow_->addWidget(stateFile_, 1);
    stateRow_->addWidget(browse);

    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->setWordWrap(true);
    problem_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConfigurationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ConfigurationDialog::reject);

    form_->addRow(tr("Transport:"), transport_);
    form_->addRow(tr("CAN plugin:"), plugin_);
    form_->addRow(tr("CAN device:"), canDevice_);
    form_->addRow(tr("Serial port:"), serialPort_);
    form_->addRow(tr("Serial line rate:"), serialBaud_);
    form_->addRow(tr("Connection type:"), connectionType_);
    form_->addRow(tr("Node-ID:"), nodeId_);
    form_->addRow(tr("Bit rate:"), bitrate_);
    form_->addRow(tr("Answer timeout:"), timeout_);
    form_->addRow(tr("Module state file:"), stateRow_);
    form_->addRow(problem_);
    form_->addRow(buttons);

    listDevices();
    if (config.transport == Transport::Can)
        canDevice_->setCurrentText(config.device);
    connect(plugin_, &QComboBox::currentTextChanged, this, &ConfigurationDialog::listDevices);
    connect(transport_, &QComboBox::currentIndexChanged, this, &ConfigurationDialog::showTransport);
    showTransport();
}

void ConfigurationDialog::listDevices()
{
    const QString typed = canDevice_->currentText();
    canDevice_->clear();
    if (auto* buses = transports())
        canDevice_->addItems(buses->canDevices(plugin_->currentText()));
    if (!typed.isEmpty())
        canDevice_->setCurrentText(typed);
}

void ConfigurationDialog::showTransport()
{
    const auto transport = Transport(transport_->currentData().toUInt());
    form_->setRowVisible(plugin_, transport == Transport::Can);
    form_->setRowVisible(canDevice_, transport == Transport::Can);
    form_->setRowVisible(serialPort_, transport == Transport::Serial);
    form_->setRowVisible(serialBaud_, transport == Transport::Serial);
    form_->setRowVisible(stateRow_, transport == Transport::Simulated);
    // A real adapter's connection type follows from its kind.
    connectionType_->setEnabled(transport == Transport::Simulated);
    if (transport != Transport::Simulated)
        connectionType_->setCurrentIndex(transport == Transport::Can ? 0 : 1);
    adjustSize();
}

InterfaceConfig ConfigurationDialog::config() const
{
    InterfaceConfig config = original_;
    config.transport = Transport(transport_->currentData().toUInt());
    config.connectionType = connectionType_->currentData().toUInt();
    config.nodeId = uint32_t(nodeId_->value());
    config.bitrate = bitrate_->currentData().toUInt();
    config.sdoTimeoutMs = uint32_t(timeout_->value());
    config.moduleState = stateFile_->text().trimmed();
    config.plugin = config.transport == Transport::Can ? plugin_->currentText() : QString();
    config.device = config.transport == Transport::Can      ? canDevice_->currentText().trimmed()
                    : config.transport == Transport::Serial ? serialPort_->currentText().trimmed()
                                                            : QString();
    config.serialBaud = serialBaud_->currentData().toUInt();
    deriveConnectionType(config);
    return config;
}

void ConfigurationDialog::accept()
{
    // Only a configuration that fits the block and passes the checks leaves the dialog.
    uint8_t block[300] = {};
    QString error;
    if (!validate(config(), error) || !toBlock(config(), block, error)) {
        problem_->setText(error);
        problem_->show();
        return;
    }
    QDialog::accept();
}

void ConfigurationDialog::browseStateFile()
{
    const QString start = stateFile_->text().isEmpty() ? module::defaultStateFile() : stateFile_->text();
    const QString chosen = QFileDialog::getOpenFileName(this, tr("Module State File"), start,
                                                        tr("Module state (*.json);;All files (*)"));
    if (!chosen.isEmpty())
        stateFile_->setText(chosen);
}

bool runConfigurationDialog(uint8_t* block)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())
        || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        std::fprintf(stderr, "Korvane: the configuration window needs the application's user-interface thread\n");
        return false;
    }
    InterfaceConfig current = fromBlock(block);
    if (current.transport == Transport::Unreadable)
        current = InterfaceConfig{};
    ConfigurationDialog dialog(current, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QString error;
    return toBlock(dialog.config(), block, error);
}

} // namespace korvane::config
