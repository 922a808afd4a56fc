// The library's own window for the interface configuration (HardwareConfigurationWindow).
#pragma once

#include "config/InterfaceConfig.h"

#include <QDialog>

class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace korvane::config {

class ConfigurationDialog : public QDialog {
    Q_OBJECT

public:
    // `refusal`, when given, says why the saved configuration was refused.
    explicit ConfigurationDialog(const InterfaceConfig& config, const QString& refusal = {}, QWidget* parent = nullptr);

    InterfaceConfig config() const;

    void accept() override;

private:
    void browseStateFile();
    void findModules();
    void showTransport();
    void listDevices();

    InterfaceConfig original_;
    QFormLayout* form_;
    QComboBox* transport_;
    QComboBox* plugin_;
    QComboBox* canDevice_;
    QComboBox* serialPort_;
    QComboBox* serialBaud_;
    QComboBox* connectionType_;
    QSpinBox* nodeId_;
    QComboBox* bitrate_;
    QSpinBox* timeout_;
    QLineEdit* stateFile_;
    QHBoxLayout* stateRow_ = nullptr;
    QLabel* problem_;
};

// Shows the dialog over the configuration in `block`; on OK fills the block and answers true. A
// block marked unreadable opens with the defaults and `refusal`, the reason the saved file was refused.
bool runConfigurationDialog(uint8_t* block, const QString& refusal);

} // namespace korvane::config
