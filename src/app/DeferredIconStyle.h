// The application's style, drawing exactly as the toolkit's own, which it wraps; only the icons of
// the extension buttons of menu and tool bars (shown when their entries do not fit, which the
// window's fixed menu bar never needs) are made when first drawn instead of with the bar: making
// them decodes their pictures and loads every image format plugin before the window can show.
#pragma once

#include <QProxyStyle>

class DeferredIconStyle : public QProxyStyle {
public:
    // Takes over style, the application's until now.
    explicit DeferredIconStyle(QStyle* style);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
