// A file-name field with a browse button that picks a file to save (the overwrite prompt on).
// Disabled, its field takes the colour of a button face (silver in the classic scheme).
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

class FileNameEdit : public QWidget {
    Q_OBJECT

public:
    // filter: "Description|patterns|Description|patterns|..." pairs; the first is selected.
    FileNameEdit(const QString& filter, const QString& defaultExtension, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

    // What assistive technology says of the field (what it holds) and of its browse button.
    void Describe(const QString& name, const QString& description, const QString& browseName);

    QLineEdit* Edit() const { return edit_; }
    // As tall as the field needs for its font, so a large font makes the layout grow it.
    QSize minimumSizeHint() const override;
    QToolButton* BrowseButton() const { return browse_; }

    // The save dialog's name filters in Qt's form, e.g. "CANopen Memory Files (*.cmf)".
    static QStringList QtNameFilters(const QString& filter);

signals:
    void textChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Browse();

    QString filter_;
    QString defaultExtension_;
    QLineEdit* edit_;
    QToolButton* browse_;
};
