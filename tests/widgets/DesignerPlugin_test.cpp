// The form-designer plugin loads as the designer loads it and creates each control, whose
// published properties the designer then edits.
#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <gtest/gtest.h>

#include <map>

namespace {

TEST(DesignerPlugin, LoadsAndCreatesEveryControlWithItsPublishedProperties)
{
    QPluginLoader loader(QStringLiteral(KORVANE_DESIGNER_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    ASSERT_NE(collection, nullptr) << loader.errorString().toStdString();
    const std::map<QString, QStringList> published{
        {"TVrLed", {"Active", "LedType", "Layout", "Margin", "Spacing", "Transparent", "Caption", "Color"}},
        {"TVrUserLed", {"Active", "OutlineColor", "OutlineWidth", "DrawStyle"}},
        {"TVrCheckLed", {"CheckWidth", "CheckHeight", "Checked", "Layout", "Margin", "Spacing", "TabStop", "Caption"}}};
    QWidget form;
    QStringList names;
    for (QDesignerCustomWidgetInterface* control : collection->customWidgets()) {
        names << control->name();
        QWidget* created = control->createWidget(&form);
        ASSERT_NE(created, nullptr);
        EXPECT_EQ(QString::fromLatin1(created->metaObject()->className()), control->name());
        EXPECT_TRUE(control->domXml().contains(QStringLiteral("class=\"%1\"").arg(control->name())));
        EXPECT_FALSE(created->size().isEmpty());
        for (const QString& property : published.at(control->name()))
            EXPECT_TRUE(created->property(property.toLatin1().constData()).isValid())
                << control->name().toStdString() << "." << property.toStdString();
    }
    EXPECT_EQ(names, QStringList({"TVrLed", "TVrUserLed", "TVrCheckLed"}));
}

} // namespace
