#include "LedGallery.h"

#include "widgets/VrCheckLed.h"
#include "widgets/VrLeds.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

QLabel* Heading(const QString& text)
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A custom two-frame glyph: a blue square off, a yellow one on, on a white key.
QImage CustomGlyph()
{
    QImage glyph(24, 12, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 10; ++x) {
            glyph.setPixel(x, y, qRgb(0, 0, 0x80));
            glyph.setPixel(x + 12, y, qRgb(0xFF, 0xFF, 0));
        }
    return glyph;
}

TVrLed* Led(TVrLedType type, bool active, const QString& caption, QSize size = {90, 25})
{
    auto* led = new TVrLed;
    if (type == ltCustom)
        led->SetGlyphs(CustomGlyph());
    led->SetLedType(type);
    led->SetActive(active);
    led->SetCaption(caption);
    led->setFixedSize(size);
    return led;
}

} // namespace

LedGallery::LedGallery(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("LED gallery"));
    auto* grid = new QGridLayout(this);
    AddLeds(grid);
    AddLayouts(grid);
    AddUserLeds(grid);
    AddCheckLeds(grid);
    AddInLayouts(grid);
}

void LedGallery::AddLeds(QGridLayout* grid)
{
    grid->addWidget(Heading(QStringLiteral("TVrLed: off, on, green palette, transparent")), 0, 0, 1, 5);
    const std::pair<TVrLedType, QString> types[] = {
        {ltRounded, "Rounded"}, {ltRectangle, "Rectangle"}, {ltLargeRect, "Large"}, {ltCustom, "Custom"}};
    int column = 0;
    for (const auto& [type, name] : types) {
        for (bool active : {false, true}) {
            TVrLed* led = Led(type, active, name);
            if (type == ltCustom) { // its white pixels are the key
                led->SetColor(clWhite);
                led->SetFontColor(clBlack);
            }
            grid->addWidget(led, 1 + int(active), column);
        }
        TVrLed* green = Led(type, false, name);
        green->Palette()->SetLow(clGreen);
        green->Palette()->SetHigh(clLime);
        grid->addWidget(green, 3, column);
        TVrLed* transparent = Led(type, column % 2 == 1, name);
        transparent->SetTransparent(true);
        transparent->SetColor(clBtnFace);
        transparent->SetFontColor(clBlack);
        grid->addWidget(transparent, 4, column);
        ++column;
    }
    // The main window's pair: dark red offline, dark green online.
    TVrLed* offline = Led(ltRounded, false, QStringLiteral("Offline"), {73, 25});
    offline->SetTransparent(true);
    offline->SetColor(clBtnFace);
    offline->SetFontColor(clBlack);
    grid->addWidget(offline, 1, column);
    TVrLed* online = Led(ltRounded, false, QStringLiteral("Online"), {73, 25});
    online->SetTransparent(true);
    online->SetColor(clBtnFace);
    online->SetFontColor(clBlack);
    online->Palette()->SetLow(clGreen);
    online->Palette()->SetHigh(clLime);
    grid->addWidget(online, 2, column);
}

void LedGallery::AddLayouts(QGridLayout* grid)
{
    grid->addWidget(Heading(QStringLiteral("Layouts: image left, right, top, bottom; margin 2")), 5, 0, 1, 5);
    const TVrImageTextLayout layouts[] = {ImageLeft, ImageRight, ImageTop, ImageBottom};
    int column = 0;
    for (TVrImageTextLayout layout : layouts) {
        TVrLed* led = Led(ltRounded, column % 2 == 0, QStringLiteral("Layout"), {90, 40});
        led->SetLayout(layout);
        grid->addWidget(led, 6, column++);
    }
    TVrLed* margin = Led(ltLargeRect, true, QStringLiteral("Margin"), {90, 40});
    margin->SetMargin(2);
    grid->addWidget(margin, 6, column);
}

void LedGallery::AddUserLeds(QGridLayout* grid)
{
    grid->addWidget(Heading(QStringLiteral("TVrUserLed: off, on, outline, raised bevel, owner drawn")), 7, 0, 1, 5);
    auto add = [grid](int column, const std::function<void(TVrUserLed*)>& setup) {
        auto* led = new TVrUserLed;
        led->setFixedSize(20, 40);
        setup(led);
        grid->addWidget(led, 8, column, Qt::AlignHCenter);
    };
    add(0, [](TVrUserLed*) {});
    add(1, [](TVrUserLed* led) { led->SetActive(true); });
    add(2, [](TVrUserLed* led) {
        led->SetActive(true);
        led->SetOutlineWidth(2);
        led->SetOutlineColor(clNavy);
    });
    add(3, [](TVrUserLed* led) {
        led->Bevel()->SetInnerStyle(bsRaised);
        led->Bevel()->SetInnerWidth(2);
        led->PaletteEx()->SetLow2(clYellow);
    });
    add(4, [](TVrUserLed* led) {
        led->SetColor(clTeal);
        led->SetDrawStyle(dsOwnerDraw);
        led->OnDraw = [](QObject*, TVrCanvas& canvas, TRect rect) {
            canvas.Pen.Color = clWhite;
            canvas.MoveTo(rect.left, rect.top);
            canvas.LineTo(rect.right, rect.bottom);
        };
    });
}

void LedGallery::AddCheckLeds(QGridLayout* grid)
{
    grid->addWidget(Heading(QStringLiteral("TVrCheckLed: off, on, hovered, disabled; radio group")), 9, 0, 1, 5);
    auto make = [](const QString& caption) {
        auto* led = new TVrCheckLed;
        led->SetCaption(caption);
        led->setFixedSize(110, 25);
        return led;
    };
    grid->addWidget(make(QStringLiteral("Unchecked")), 10, 0);
    TVrCheckLed* checked = make(QStringLiteral("Checked"));
    checked->SetChecked(true);
    grid->addWidget(checked, 10, 1);
    hovered = make(QStringLiteral("Hovered"));
    grid->addWidget(hovered, 10, 2);
    TVrCheckLed* disabled = make(QStringLiteral("Disabled"));
    disabled->setEnabled(false);
    grid->addWidget(disabled, 10, 3);
    TVrCheckLed* red = make(QStringLiteral("Red palette"));
    red->Palette()->SetLow(clMaroon);
    red->Palette()->SetHigh(clRed);
    red->SetChecked(true);
    grid->addWidget(red, 10, 4);

    auto* radios = new QWidget;
    auto* row = new QHBoxLayout(radios);
    row->setContentsMargins(0, 0, 0, 0);
    for (const char* caption : {"One", "Two", "Three"}) {
        TVrCheckLed* radio = make(QString::fromLatin1(caption));
        radio->SetCheckStyle(csRadioButton);
        radio->SetLayout(ImageRight);
        radio->SetTabStop(true);
        row->addWidget(radio);
    }
    radios->findChildren<TVrCheckLed*>().at(1)->SetChecked(true);
    grid->addWidget(radios, 11, 0, 1, 4);
}

void LedGallery::AddInLayouts(QGridLayout* grid)
{
    grid->addWidget(Heading(QStringLiteral("Size hints in Qt layouts: spacing 0, 5, 15; a column with accelerators")),
                    12, 0, 1, 4);
    grid->addWidget(Heading(QStringLiteral("1x above, 2x below")), 12, 4);
    auto* rows = new QWidget;
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, 0);
    for (int spacing : {0, 5, 15}) {
        auto* row = new QHBoxLayout;
        for (const char* caption : {"Power", "Link", "Fault"}) {
            auto* led = new TVrLed;
            led->SetCaption(QString::fromLatin1(caption));
            led->SetSpacing(spacing);
            led->SetActive(spacing == 5);
            row->addWidget(led);
        }
        row->addStretch();
        column->addLayout(row);
    }
    grid->addWidget(rows, 13, 0, 1, 3);

    auto* vertical = new QWidget;
    auto* stack = new QVBoxLayout(vertical);
    stack->setContentsMargins(0, 0, 0, 0);
    for (const char* caption : {"&Alarm", "Po&wer"}) {
        auto* check = new TVrCheckLed;
        check->SetCaption(QString::fromLatin1(caption));
        check->SetTabStop(true);
        stack->addWidget(check);
    }
    auto* user = new TVrUserLed;
    user->SetActive(true);
    stack->addWidget(user);
    grid->addWidget(vertical, 13, 3);

    // One LED drawn at twice the density beside the same LED at 1x, both shown 4 times enlarged.
    auto* pair = new QLabel;
    TVrLed led;
    led.resize(73, 25);
    led.SetCaption(QStringLiteral("Offline"));
    QImage single(led.size(), QImage::Format_RGB32);
    led.WMPaint(&single);
    QImage dense(led.size() * 2, QImage::Format_RGB32);
    dense.setDevicePixelRatio(2);
    led.WMPaint(&dense);
    QImage both(led.width() * 4, led.height() * 8 + 4, QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(QRect(0, 0, both.width(), led.height() * 4), single);
    dense.setDevicePixelRatio(1);
    painter.drawImage(QRect(0, led.height() * 4 + 4, both.width(), led.height() * 4), dense);
    painter.end();
    pair->setPixmap(QPixmap::fromImage(both));
    grid->addWidget(pair, 13, 4);
}

void LedGallery::ShowHover()
{
    const TRect square = hovered->CheckRect();
    const QPoint at((square.left + square.right) / 2, (square.top + square.bottom) / 2);
    QMouseEvent move(QEvent::MouseMove, at, hovered->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(hovered, &move);
}
