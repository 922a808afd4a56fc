#include "VrDesignerPlugin.h"

#include "widgets/VrCheckLed.h"
#include "widgets/VrLeds.h"

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace {

// One control: its class, header, size on the form and tool tip.
template <class Control>
class ControlPlugin final : public QDesignerCustomWidgetInterface
{
public:
    ControlPlugin(const char* name, const char* header, QSize size, const char* tip)
        : name_(QString::fromLatin1(name)), header_(QString::fromLatin1(header)), size_(size), tip_(QString::fromLatin1(tip))
    {
    }

    QString name() const override { return name_; }
    QString group() const override { return QStringLiteral("Indicator LEDs"); }
    QString toolTip() const override { return tip_; }
    QString whatsThis() const override { return tip_; }
    QString includeFile() const override { return header_; }
    QIcon icon() const override { return {}; }
    bool isContainer() const override { return false; }
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface*) override { initialized_ = true; }

    QWidget* createWidget(QWidget* parent) override
    {
        auto* control = new Control(parent);
        control->SetDesigning(true);
        control->resize(size_);
        return control;
    }

    QString domXml() const override
    {
        return QStringLiteral("<ui language=\"c++\"><widget class=\"%1\" name=\"%2\">"
                              "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect></property>"
                              "</widget></ui>")
            .arg(name_, name_.mid(1), QString::number(size_.width()), QString::number(size_.height()));
    }

private:
    QString name_;
    QString header_;
    QSize size_;
    QString tip_;
    bool initialized_ = false;
};

} // namespace

VrDesignerPlugin::VrDesignerPlugin(QObject* parent) : QObject(parent)
{
    widgets_ << new ControlPlugin<TVrLed>("TVrLed", "widgets/VrLeds.h", QSize(73, 25),
                                          "An LED glyph beside a caption, lit while Active")
             << new ControlPlugin<TVrUserLed>("TVrUserLed", "widgets/VrLeds.h", QSize(10, 20),
                                              "A rectangular LED with a gradient, outline and bevel")
             << new ControlPlugin<TVrCheckLed>("TVrCheckLed", "widgets/VrCheckLed.h", QSize(125, 25),
                                               "A check box whose mark is an LED square");
}

VrDesignerPlugin::~VrDesignerPlugin()
{
    qDeleteAll(widgets_);
}
