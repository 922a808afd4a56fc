#include "app/FileNameEdit.h"

#include "app/FormLayout.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

FileNameEdit::FileNameEdit(const QString& filter, const QString& defaultExtension, QWidget* parent)
    : QWidget(parent), filter_(filter), defaultExtension_(defaultExtension), edit_(new QLineEdit(this)),
      browse_(new QToolButton(this))
{
    SetDisabledColours(edit_, QPalette::Button);
    browse_->setText(QStringLiteral("..."));
    browse_->installEventFilter(this);
    connect(edit_, &QLineEdit::textChanged, this, &FileNameEdit::textChanged);
    connect(browse_, &QToolButton::clicked, this, &FileNameEdit::Browse);
}

void FileNameEdit::Describe(const QString& name, const QString& description, const QString& browseName)
{
    edit_->setAccessibleName(name);
    edit_->setAccessibleDescription(description);
    browse_->setAccessibleName(browseName);
    browse_->setToolTip(browseName);
}

QSize FileNameEdit::minimumSizeHint() const
{
    const int height = edit_->minimumSizeHint().height();
    return {edit_->minimumSizeHint().width() + height, height};
}

QString FileNameEdit::text() const
{
    return edit_->text();
}

void FileNameEdit::setText(const QString& text)
{
    edit_->setText(text);
}

QStringList FileNameEdit::QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = parts[i + 1];
        // Qt reads the patterns from the last parentheses; a description that already ends with
        // them is used as it stands.
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                           QLatin1Char(')');
    }
    return filters;
}

// Enter presses the focused browse button as it does the window's push buttons.
bool FileNameEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == browse_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            browse_->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FileNameEdit::resizeEvent(QResizeEvent*)
{
    const int button = height();
    edit_->setGeometry(0, 0, width() - button, height());
    browse_->setGeometry(width() - button, 0, button, height());
}

void FileNameEdit::Browse()
{
    QFileDialog dialog(window());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(filter_));
    dialog.setDefaultSuffix(defaultExtension_);
    if (!text().isEmpty())
        dialog.selectFile(text());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        setText(dialog.selectedFiles().constFirst());
}
