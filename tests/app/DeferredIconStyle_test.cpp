// The application's style draws the extension buttons' icons as the style it wraps, and every
// other icon is that style's own.
#include "app/DeferredIconStyle.h"

#include <QIcon>
#include <QImage>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include <memory>

namespace {

QImage Drawn(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(size, size), 1.0, mode).toImage();
}

TEST(DeferredIconStyle, ExtensionIconsDrawAsTheWrappedStylesAndOthersAreItsOwn)
{
    DeferredIconStyle style(QStyleFactory::create(QStringLiteral("fusion")));
    const QStyle* wrapped = style.baseStyle();
    EXPECT_EQ(style.objectName(), wrapped->objectName());
    for (const auto which : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
                             QStyle::SP_MessageBoxWarning}) {
        const QIcon deferred = style.standardIcon(which);
        const QIcon own = wrapped->standardIcon(which);
        EXPECT_FALSE(deferred.isNull());
        EXPECT_EQ(deferred.availableSizes(), own.availableSizes()) << which;
        for (const int size : {8, 16, 32}) {
            EXPECT_EQ(deferred.actualSize(QSize(size, size)), own.actualSize(QSize(size, size))) << which;
            EXPECT_EQ(Drawn(deferred, size), Drawn(own, size)) << which << " at " << size;
            EXPECT_EQ(Drawn(deferred, size, QIcon::Disabled), Drawn(own, size, QIcon::Disabled)) << which;
        }
        EXPECT_EQ(deferred.pixmap(QSize(16, 16), 2.0).toImage(), own.pixmap(QSize(16, 16), 2.0).toImage()) << which;
    }
}

} // namespace
