#include "config/ConfigurationDialog.h"

#include "canbus/BusLibrary.h"
#include "config/FindModules.h"
#include "config/Transports.h"
#include "contract/StandardError.h"
#include "simulator/StateFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>


namespace korvane::config {

namespace {

QString bitrateText(uint32_t bitrate)
{
    return bitrate >= 1000000 ? QStringLiteral("%1M").arg(bitrate / 1000000) : QStringLiteral("%1k").arg(bitrate / 1000);
}

} // namespace

ConfigurationDialog::ConfigurationDialog(const InterfaceConfig& config, const QString& refusal, QWidget* parent)
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

    for (const TransportInfo& transport : transports())
        transport_->addItem(tr(transport.label), uint32_t(transport.id));
    transport_->setCurrentIndex(std::max(0, transport_->findData(uint32_t(config.transport))));

    // Without the real-bus library the lists stay empty; the fields still take typed names.
    if (auto* buses = bus::lists())
        plugin_->addItems(buses->canPlugins());
    if (!config.plugin.isEmpty() && plugin_->findText(config.plugin) < 0)
        plugin_->addItem(config.plugin);
    plugin_->setCurrentText(config.plugin.isEmpty() ? QStringLiteral("socketcan") : config.plugin);
    canDevice_->setEditable(true);
    serialPort_->setEditable(true);
    if (auto* buses = bus::lists())
        serialPort_->addItems(buses->serialPorts());
    const TransportInfo* configured = findTransport(config.transport);
    const unsigned configuredRows = configured ? configured->rows : 0;
    if (configuredRows & SerialPortRow)
        serialPort_->setCurrentText(config.device);
    for (uint32_t rate : kSerialBauds)
        serialBaud_->addItem(QString::number(rate), rate);
    serialBaud_->setCurrentIndex(std::max(0, serialBaud_->findData(config.serialBaud)));

    connectionType_->addItem(tr("USB"), 0u);
    connectionType_->addItem(tr("RS232"), 1u);
    connectionType_->setCurrentIndex(config.connectionType == 0 ? 0 : 1);

    nodeId_->setRange(1, 127);
    nodeId_->setValue(int(config.nodeId));
    auto* find = new QPushButton(tr("&Find Modules..."));
    find->setObjectName(QStringLiteral("findModules"));
    connect(find, &QPushButton::clicked, this, &ConfigurationDialog::findModules);
    auto* nodeRow = new QHBoxLayout;
    nodeRow->addWidget(nodeId_);
    nodeRow->addWidget(find);
    nodeRow->addStretch(1);

    for (uint32_t rate : kBitrates)
        bitrate_->addItem(bitrateText(rate), rate);
    bitrate_->setCurrentIndex(std::max(0, bitrate_->findData(config.bitrate)));

    timeout_->setRange(1, 60000);
    timeout_->setSuffix(tr(" ms"));
    timeout_->setValue(int(config.sdoTimeoutMs));

    stateFile_->setText(config.moduleState);
    stateFile_->setPlaceholderText(module::defaultStateFile());
    stateFile_->setMinimumWidth(360);
    auto* browse = new QPushButton(tr("&Browse..."));
    connect(browse, &QPushButton::clicked, this, &ConfigurationDialog::browseStateFile);
    stateRow_ = new QHBoxLayout;
    stateRow_->addWidget(stateFile_, 1);
    stateRow_->addWidget(browse);

    // Bold in the scheme's own text colour: a fixed red is unreadable on a dark scheme.
    QFont stressed = problem_->font();
    stressed.setBold(true);
    problem_->setFont(stressed);
    problem_->setWordWrap(true);
    problem_->setText(refusal.isEmpty() ? QString()
                                        : tr("The saved interface configuration was refused, so the defaults are "
                                             "proposed here: %1").arg(refusal));
    problem_->setVisible(!refusal.isEmpty());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConfigurationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ConfigurationDialog::reject);

    form_->addRow(tr("Transport:"), transport_);
    form_->addRow(tr("CAN plugin:"), plugin_);
    form_->addRow(tr("CAN device:"), canDevice_);
    form_->addRow(tr("Serial port:"), serialPort_);
    form_->addRow(tr("Serial line rate:"), serialBaud_);
    form_->addRow(tr("Connection type:"), connectionType_);
    form_->addRow(tr("Node-ID:"), nodeRow);
    form_->addRow(tr("Bit rate:"), bitrate_);
    form_->addRow(tr("Answer timeout:"), timeout_);
    form_->addRow(tr("Module state file:"), stateRow_);
    form_->addRow(problem_);
    form_->addRow(buttons);

    listDevices();
    if (configuredRows & CanDeviceRow)
        canDevice_->setCurrentText(config.device);
    connect(plugin_, &QComboBox::currentTextChanged, this, &ConfigurationDialog::listDevices);
    connect(transport_, &QComboBox::currentIndexChanged, this, &ConfigurationDialog::showTransport);
    showTransport();
}

void ConfigurationDialog::listDevices()
{
    const QString typed = canDevice_->currentText();
    canDevice_->clear();
    if (auto* buses = bus::lists())
        canDevice_->addItems(buses->canDevices(plugin_->currentText()));
    if (!typed.isEmpty())
        canDevice_->setCurrentText(typed);
}

void ConfigurationDialog::showTransport()
{
    const TransportInfo* transport = findTransport(Transport(transport_->currentData().toUInt()));
    const unsigned rows = transport ? transport->rows : 0;
    form_->setRowVisible(plugin_, rows & PluginRow);
    form_->setRowVisible(canDevice_, rows & CanDeviceRow);
    form_->setRowVisible(serialPort_, rows & SerialPortRow);
    form_->setRowVisible(serialBaud_, rows & SerialBaudRow);
    form_->setRowVisible(stateRow_, rows & StateFileRow);
    // A real adapter's connection type follows from its kind.
    const std::optional<uint32_t> derived = transport ? transport->connectionType : std::nullopt;
    connectionType_->setEnabled(!derived);
    if (derived)
        connectionType_->setCurrentIndex(std::max(0, connectionType_->findData(*derived)));
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
    const TransportInfo* transport = findTransport(config.transport);
    const unsigned rows = transport ? transport->rows : 0;
    config.plugin = rows & PluginRow ? plugin_->currentText() : QString();
    config.device = rows & CanDeviceRow    ? canDevice_->currentText().trimmed()
                    : rows & SerialPortRow ? serialPort_->currentText().trimmed()
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

void ConfigurationDialog::findModules()
{
    FindModulesDialog finder(config(), this);
    if (finder.exec() == QDialog::Accepted)
        if (const auto node = finder.chosenNode())
            nodeId_->setValue(*node);
}

void ConfigurationDialog::browseStateFile()
{
    const QString start = stateFile_->text().isEmpty() ? module::defaultStateFile() : stateFile_->text();
    const QString chosen = QFileDialog::getOpenFileName(this, tr("Module State File"), start,
                                                        tr("Module state (*.json);;All files (*)"));
    if (!chosen.isEmpty())
        stateFile_->setText(chosen);
}

bool runConfigurationDialog(uint8_t* block, const QString& refusal)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())
        || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        contract::ReportLine("the configuration window needs the application's user-interface thread");
        return false;
    }
    InterfaceConfig current = fromBlock(block);
    const bool refused = current.transport == Transport::Unreadable;
    if (refused)
        current = InterfaceConfig{};
    ConfigurationDialog dialog(current, refused ? refusal : QString(), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QString error;
    return toBlock(dialog.config(), block, error);
}

} // namespace korvane::config
