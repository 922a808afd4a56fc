#include "app/DeferredIconStyle.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

namespace {

// The wrapped style's icon, asked for when something first needs it.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(const QStyle* style, QStyle::StandardPixmap which, bool rightToLeft)
        : style_(style), which_(which), rightToLeft_(rightToLeft)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    void virtual_hook(int id, void* data) override
    {
        if (id == ScaledPixmapHook) {
            auto* argument = static_cast<ScaledPixmapArgument*>(data);
            argument->pixmap = Icon().pixmap(argument->size / argument->scale, argument->scale, argument->mode,
                                             argument->state);
            return;
        }
        if (id == IsNullHook) {
            *static_cast<bool*>(data) = Icon().isNull();
            return;
        }
        QIconEngine::virtual_hook(id, data);
    }

private:
    const QIcon& Icon()
    {
        if (!made_ && style_) {
            QStyleOption option;
            option.direction = rightToLeft_ ? Qt::RightToLeft : Qt::LeftToRight;
            icon_ = style_->standardIcon(which_, &option);
            made_ = true;
        }
        return icon_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    bool rightToLeft_;
    bool made_ = false;
    QIcon icon_;
};

} // namespace

DeferredIconStyle::DeferredIconStyle(QStyle* style) : QProxyStyle(style)
{
    // The toolkit tells its own styles from others by this name.
    setObjectName(style->objectName());
}

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const
{
    if (standardIcon != SP_ToolBarHorizontalExtensionButton && standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    const bool rightToLeft = option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
    return QIcon(new DeferredIconEngine(baseStyle(), standardIcon, rightToLeft));
}
