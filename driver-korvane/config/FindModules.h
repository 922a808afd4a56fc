// "Find modules" of the configuration window: the modules on the bus of the transport being
// configured, listed for the user to pick a node-ID from.
#pragma once

#include "config/InterfaceConfig.h"
#include "sdo/BusScan.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace korvane::config {

// Opens the transport of `config` and scans its bus; nothing, with the reason, when it cannot be
// opened or goes away.
std::optional<std::vector<sdo::FoundModule>> findModules(const InterfaceConfig& config, QString& error);

// The modules as CSV: a header line, then one line per module; u32 values as 0x%08X (empty when
// unknown), a device name holding a comma, quote or line end quoted.
QByteArray modulesCsv(const std::vector<sdo::FoundModule>& modules);

class FindModulesDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindModulesDialog(const InterfaceConfig& config, QWidget* parent = nullptr);

    // The node-ID of the chosen row, once accepted.
    std::optional<uint8_t> chosenNode() const;

private:
    void scan();

    InterfaceConfig config_;
    QLabel* status_;
    QTableWidget* table_;
    QPushButton* use_;
};

} // namespace korvane::config
