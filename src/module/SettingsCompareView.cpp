#include "module/SettingsCompareView.h"

#include "module/SettingsProfile.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum Column { SettingColumn, ModuleColumn, ProfileColumn, ColumnCount };
}

SettingsCompareView::SettingsCompareView(QWidget* parent)
    : QDialog(parent), summary_(new QLabel(this)), table_(new QTableWidget(int(driver::SettingsCount), ColumnCount, this))
{
    setWindowTitle(tr("Settings Profile"));
    summary_->setWordWrap(true);
    table_->setHorizontalHeaderLabels({tr("Setting"), tr("Module"), tr("Profile")});
    table_->setAccessibleName(tr("Settings of the module and of the profile"));
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_);
    layout->addWidget(buttons);
}

void SettingsCompareView::ShowComparison(const QString& profileName, const driver::ModuleSettings& module,
                                         const driver::ModuleSettings& profile)
{
    differing_ = 0;
    QFont marked = table_->font();
    marked.setBold(true);
    for (int row = 0; row < int(driver::SettingsCount); ++row) {
        const driver::ParameterInfo& setting = driver::SettingsOrder[size_t(row)];
        const uint32_t was = settingsprofile::ValueOf(module, setting), wanted = settingsprofile::ValueOf(profile, setting);
        const bool differs = was != wanted;
        differing_ += differs ? 1 : 0;
        const QString texts[ColumnCount] = {QLatin1String(setting.name.data(), setting.name.size()),
                                            settingsprofile::ShownValue(setting, was),
                                            settingsprofile::ShownValue(setting, wanted)};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            // Bold, and said in words for those who do not see the type.
            if (differs) {
                item->setFont(marked);
                item->setData(Qt::AccessibleDescriptionRole, tr("differs"));
            }
            table_->setItem(row, column, item);
        }
    }
    summary_->setText(tr("Settings of %1 that differ from the module's: %n of ten. The Settings page shows the "
                         "profile's values; \"Download Settings\" stores them.",
                         nullptr, differing_)
                          .arg(QFileInfo(profileName).fileName()));
    table_->resizeColumnsToContents();
    const int width = table_->horizontalHeader()->length() + 2 * table_->frameWidth();
    const int height = table_->horizontalHeader()->height() + table_->verticalHeader()->length() + 2 * table_->frameWidth();
    table_->setMinimumSize(width, height);
    adjustSize();
    // Beside the main window, so that the Settings page stays in sight, as far as the screen allows.
    if (parentWidget() && screen()) {
        const QRect room = screen()->availableGeometry();
        const QPoint beside = parentWidget()->frameGeometry().topRight() + QPoint(8, 0);
        move(std::clamp(beside.x(), room.left(), std::max(room.left(), room.right() - frameGeometry().width())),
             std::clamp(beside.y(), room.top(), std::max(room.top(), room.bottom() - frameGeometry().height())));
    }
    show();
    raise();
}
