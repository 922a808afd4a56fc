#include "config/FindModules.h"

#include "config/Transports.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace korvane::config {

namespace {

constexpr int kNameWidth = 260;

QString hex(const std::optional<uint32_t>& value)
{
    return value ? QString::asprintf("0x%08X", unsigned(*value)) : QString();
}

} // namespace

std::optional<std::vector<sdo::FoundModule>> findModules(const InterfaceConfig& config, QString& error)
{
    if (!validate(config, error))
        return std::nullopt;
    OpenFailure failure;
    auto channel = findTransport(config.transport)->open(config, failure);
    if (channel && !channel->open())
        failure = channel->error();
    if (!channel || !failure.message.isEmpty()) {
        error = failure.message;
        return std::nullopt;
    }
    sdo::ScanSettings settings;
    settings.frameGap = sdo::frameTime(config.bitrate);
    return sdo::scanBus(*channel, settings, error);
}

QByteArray modulesCsv(const std::vector<sdo::FoundModule>& modules)
{
    QByteArray csv = "node_id,device_type,vendor_id,product_code,revision,serial_number,device_name\n";
    for (const sdo::FoundModule& module : modules) {
        QByteArray name = module.deviceName.toUtf8();
        if (name.contains(',') || name.contains('"') || name.contains('\n') || name.contains('\r'))
            name = '"' + name.replace("\"", "\"\"") + '"';
        csv += QByteArray::number(module.node) + ',' + hex(module.deviceType).toLatin1() + ',' + hex(module.vendorId).toLatin1()
             + ',' + hex(module.productCode).toLatin1() + ',' + hex(module.revision).toLatin1() + ','
             + hex(module.serialNumber).toLatin1() + ',' + name + '\n';
    }
    return csv;
}

FindModulesDialog::FindModulesDialog(const InterfaceConfig& config, QWidget* parent)
    : QDialog(parent), config_(config), status_(new QLabel), table_(new QTableWidget(0, 7))
{
    setWindowTitle(tr("Find Modules"));
    setObjectName(QStringLiteral("KorvaneFindModules"));
    table_->setObjectName(QStringLiteral("modules"));
    table_->setHorizontalHeaderLabels({tr("Node-ID"), tr("Device type"), tr("Vendor-ID"), tr("Product code"),
                                       tr("Revision"), tr("Serial number"), tr("Device name")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    status_->setWordWrap(true);
    status_->setText(tr("Listening on the bus, then asking node-IDs 1 to 127..."));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    use_ = buttons->addButton(tr("&Use Node-ID"), QDialogButtonBox::AcceptRole);
    use_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { use_->setEnabled(chosenNode().has_value()); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(560, 300);
    // After the window shows, so the user sees what is going on.
    QTimer::singleShot(0, this, &FindModulesDialog::scan);
}

void FindModulesDialog::scan()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const auto found = findModules(config_, error);
    QApplication::restoreOverrideCursor();
    if (!found) {
        status_->setText(tr("The bus cannot be searched: %1").arg(error));
        return;
    }
    if (found->empty()) {
        status_->setText(tr("No module answered at %1 bit/s. The bit rate may be wrong, or no module is connected.")
                             .arg(config_.bitrate));
        return;
    }
    status_->setText(found->size() == 1 ? tr("One module found. Choose it to use its node-ID.")
                                        : tr("%1 modules found. Choose one to use its node-ID.").arg(found->size()));
    for (const sdo::FoundModule& module : *found) {
        const int row = table_->rowCount();
        table_->insertRow(row);
        const QStringList cells = {QString::number(module.node), hex(module.deviceType), hex(module.vendorId),
                                   hex(module.productCode), hex(module.revision), hex(module.serialNumber),
                                   module.deviceName};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    // A long device name is cut (its tooltip has it whole); the window takes every column.
    const int nameColumn = table_->columnCount() - 1;
    table_->setColumnWidth(nameColumn, std::min(table_->columnWidth(nameColumn), kNameWidth));
    int width = table_->frameWidth() * 2 + table_->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < table_->columnCount(); ++column)
        width += table_->columnWidth(column);
    resize(std::max(this->width(), width + layout()->contentsMargins().left() + layout()->contentsMargins().right()),
           height());
    table_->selectRow(0);
}

std::optional<uint8_t> FindModulesDialog::chosenNode() const
{
    const auto rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return uint8_t(table_->item(rows.front().row(), 0)->text().toUInt());
}

} // namespace korvane::config
