// Beside the Settings page after a profile was opened: each of the ten settings as the module has
// it and as the profile gives it, those that differ marked. It only shows; the page holds the
// values to store.
#pragma once

#include "contract/ModuleParameters.h"

#include <QDialog>

class QLabel;
class QTableWidget;

class SettingsCompareView : public QDialog {
    Q_OBJECT

public:
    explicit SettingsCompareView(QWidget* parent);

    void ShowComparison(const QString& profileName, const driver::ModuleSettings& module,
                        const driver::ModuleSettings& profile);

    // The rows, for those who check what is shown: setting, module's value, profile's value, and
    // whether the two differ.
    QTableWidget* Table() const { return table_; }
    int Differing() const { return differing_; }

private:
    QLabel* summary_;
    QTableWidget* table_;
    int differing_ = 0;
};
