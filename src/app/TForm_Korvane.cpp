#include "app/TForm_Korvane.h"

#include "app/FileNameEdit.h"
#include "app/FormLayout.h"
#include "app/PanelStatusBar.h"
#include "app/StateFolder.h"
#include "app/TAboutBox.h"
#include "driver/DriverBinding.h"
#include "platform/Display.h"
#include "viewer/MemoryFileViewer.h"
#include "widgets/VrLeds.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

TForm_Korvane* Form_Korvane = nullptr;

namespace {

// A connection LED: transparent over the group box, its caption in the window's font and the
// palette's text colour (readable on a dark scheme too), off frame in Low.
TVrLed* PlaceConnectionLed(const QString& caption, TColor low, TColor high, QWidget* parent)
{
    auto* led = new TVrLed(parent);
    led->BeginLoading();
    led->setGeometry(8, 32, 73, 25);
    led->SetTransparent(true);
    led->SetColor(clBtnFace);
    led->SetFontColor(clWindowText);
    led->Palette()->SetLow(low);
    led->Palette()->SetHigh(high);
    led->SetCaption(caption);
    led->EndLoading();
    return led;
}

const QSize ClientSize(559, 350);
const QSize PageControlSize(559, 331);
const int StatusBarHeight = 19;
const int ConnectionPanelWidth = 150;
const QPoint DesignedPosition(265, 138);
const int ClockPollMs = 1000;

const char* const PlacementFile = "FORM.INI";
const char* const PlacementKey = "Form_Korvane";

QString PlacementPath()
{
    return StateFolder() + QLatin1Char('/') + QLatin1String(PlacementFile);
}

const char* const WindowTitle = QT_TRANSLATE_NOOP("TForm_Korvane", "Korvane - CANopen Memory Module, by Velmora");

const char* const UploadFileFilter = QT_TRANSLATE_NOOP(
    "TForm_Korvane", "Comma Seperated Values(*.csv)|*.csv|CANopen Memory Files (*.cmf)|*.cmf|All Files (*.*)|*.*");
const char* const UploadFileExtension = "cmf";

QPushButton* PlaceButton(const QString& caption, const QRect& area, QWidget* page)
{
    auto* button = new QPushButton(caption, page);
    button->setGeometry(area);
    // Outside a dialog a push button takes Enter only when it is an auto-default one.
    button->setAutoDefault(true);
    return button;
}

QLineEdit* PlaceClockField(const QString& text, const QRect& area, QWidget* page)
{
    // Given its text once it has the page's font: made with the text, the field would shape it in
    // the application's font first, for nothing.
    auto* field = new QLineEdit(page);
    field->setText(text);
    field->setGeometry(area);
    field->setAlignment(Qt::AlignCenter);
    field->setReadOnly(true);
    field->setEnabled(false);
    SetDisabledColours(field, QPalette::Base);
    return field;
}

// Both fields are labelled "File:"; assistive technology tells them apart by what they hold.
FileNameEdit* PlaceFileNameEdit(const QRect& area, QWidget* page, const QString& holds, const QString& description,
                                const QString& choose)
{
    auto* edit = new FileNameEdit(TForm_Korvane::tr(UploadFileFilter), QString::fromLatin1(UploadFileExtension), page);
    edit->setGeometry(area);
    edit->setEnabled(false);
    edit->Describe(holds, description, choose);
    PlaceLabelLeft(edit, TForm_Korvane::tr("File:"));
    return edit;
}
} // namespace

TForm_Korvane::TForm_Korvane(const char* driverLibrary, QWidget* parent, DriverLoad load)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Driver(driverLibrary ? driverLibrary : "", driver::ConfigurationRegistryPath)
{
    Form_Korvane = this;
    setWindowTitle(tr(WindowTitle));
    UseDesignFont(this);

    BuildMenus();
    PageControl1 = new QTabWidget(this);
    PageControl1->setFixedSize(PageControlSize);
    // The tab bar takes the focus for the pages; its name would otherwise be the current tab's.
    PageControl1->setFocusPolicy(Qt::NoFocus);
    PageControl1->tabBar()->setAccessibleName(tr("Pages"));
    setCentralWidget(PageControl1);
    BuildUploadPage();
    TabSheet_Settings = new QWidget;
    PageControl1->addTab(TabSheet_Settings, tr("Settings"));

    StatusBar1 = new PanelStatusBar(ConnectionPanelWidth, this);
    StatusBar1->setFixedHeight(std::max(StatusBarHeight, StatusBar1->sizeHint().height()));
    StatusBar1->setPanelText(0, tr("Connection:Offline"));
    StatusBar1->setPanelText(1, tr("Operation:"));
    setStatusBar(StatusBar1);

    Timer_TimeDate = new QTimer(this);
    Timer_TimeDate->setInterval(ClockPollMs);
    connect(Timer_TimeDate, &QTimer::timeout, this, &TForm_Korvane::Timer_TimeDateTimer);

    FitPages(FitToFont(TabSheet1));
    RestorePosition();

    Connected = false;
    ModuleSettings.DeviceMode = 0;
    if (load == DriverLoad::AtConstruction) {
        Driver.get();
        driverLoadPosted_ = true;
    }
    PageControl1->setCurrentWidget(TabSheet1);
    ShowSettingsTab(false);
    SettingsChanged = false;
    SetDefaultFileNames();
    AutoState = 0;

    WatchSettingsPageExit();
}

TForm_Korvane::~TForm_Korvane()
{
    // Tearing down the pages may move the focus and the current page; that is no leaving of the
    // Settings page, and the watch must not reach into a window half destroyed.
    disconnect(qApp, nullptr, this, nullptr);
    PageControl1->disconnect(this);
    if (Form_Korvane == this)
        Form_Korvane = nullptr;
}

// The pages grow where the font needs more room than the design's narrow one; the window with them.
void TForm_Korvane::FitPages(QSize growth)
{
    pageGrowth_ = pageGrowth_.expandedTo(growth);
    PageControl1->setFixedSize(PageControlSize + pageGrowth_);
    setFixedSize(ClientSize.width() + pageGrowth_.width(), ClientSize.height() + pageGrowth_.height() +
                                                               menuBar()->sizeHint().height() +
                                                               StatusBar1->height() - StatusBarHeight);
}

void TForm_Korvane::BuildMenus()
{
    File1 = menuBar()->addMenu(tr("&File"));
    OpenSettings1 = File1->addAction(tr("&Open Settings..."), this, &TForm_Korvane::OpenSettingsClick);
    SaveSettingsAs1 = File1->addAction(tr("Save Settings &As..."), this, &TForm_Korvane::SaveSettingsAsClick);
    // Profiles are exchanged with a connected module only.
    OpenSettings1->setEnabled(false);
    SaveSettingsAs1->setEnabled(false);
    File1->addSeparator();
    ViewMemoryFile1 = File1->addAction(tr("&View Memory File..."), this, &TForm_Korvane::ViewMemoryFileClick);
    File1->addSeparator();
    Exit1 = File1->addAction(tr("E&xit"), this, &TForm_Korvane::Exit1Click);
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Configuration1 = menuBar()->addMenu(tr("&Interface"));
    Menu_Configuration = Configuration1->addAction(tr("&Configuration"), this, &TForm_Korvane::Menu_ConfigurationClick);
    Help1 = menuBar()->addMenu(tr("&Help"));
    About1 = Help1->addAction(tr("&About"), this, &TForm_Korvane::About1Click);
    // F10 opens the first menu, as on other desktops; from there the arrows reach the others.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(File1->menuAction()); });
}

void TForm_Korvane::BuildUploadPage()
{
    TabSheet1 = new QWidget;
    PageControl1->addTab(TabSheet1, tr("Upload"));

    Button_Connect = PlaceButton(tr("&Connect"), QRect(64, 56, 75, 25), TabSheet1);
    Button_Disconnect = PlaceButton(tr("&Disconnect"), QRect(64, 88, 75, 25), TabSheet1);
    Button_Disconnect->setEnabled(false);
    connect(Button_Connect, &QPushButton::clicked, this, &TForm_Korvane::Button_ConnectClick);
    connect(Button_Disconnect, &QPushButton::clicked, this, &TForm_Korvane::Button_DisconnectClick);

    AdvEdit_Time = PlaceClockField(QStringLiteral("00:00:00"), QRect(232, 56, 65, 21), TabSheet1);
    PlaceLabelLeft(AdvEdit_Time, tr("Time:"));
    AdvEdit_Date = PlaceClockField(QStringLiteral("00/00/0000"), QRect(232, 88, 65, 21), TabSheet1);
    PlaceLabelLeft(AdvEdit_Date, tr("Date:"));

    // The connection LEDs share the place at 8, 32 (73 x 25) below the type.
    GroupBox1 = new QGroupBox(tr("Connection Status:"), TabSheet1);
    GroupBox1->setGeometry(376, 48, 105, 65);
    StaticText1 = new QLabel(tr("Type:"), GroupBox1);
    StaticText1->move(16, 20);
    StaticText1->adjustSize();
    StaticText_ConnectionType = new QLabel(tr("Invalid"), GroupBox1);
    StaticText_ConnectionType->move(48, 20);
    StaticText_ConnectionType->adjustSize();
    SetLaterTexts(StaticText_ConnectionType, {tr("USB"), tr("RS232"), tr("Simulated")});
    VrLed_Offline = PlaceConnectionLed(tr("Offline"), clMaroon, clRed, GroupBox1);
    VrLed_Online = PlaceConnectionLed(tr("Online"), clGreen, clLime, GroupBox1);
    ShowConnectionLed(false);

    AdvFileNameEdit_Config = PlaceFileNameEdit(QRect(36, 142, 493, 21), TabSheet1, tr("Configuration file"),
                                               tr("The file that Upload Configuration writes the module's configuration into"),
                                               tr("Choose the configuration file..."));
    Button_UploadConfiguration =
        PlaceButton(tr("&Upload Configuration"), QRect(191, 172, 111, 25), TabSheet1);
    Button_UploadConfiguration->setEnabled(false);
    AdvFileNameEdit_FileName = PlaceFileNameEdit(QRect(36, 205, 493, 21), TabSheet1, tr("Memory file"),
                                                 tr("The file that Upload Memory appends the module's memory to"),
                                                 tr("Choose the memory file..."));
    CheckBox_Append = new QCheckBox(tr("&Append Config/Memory"), TabSheet1);
    CheckBox_Append->setGeometry(37, 249, 142, 17);
    Button_UploadMemory = PlaceButton(tr("Upload &Memory"), QRect(191, 248, 113, 25), TabSheet1);
    Button_UploadMemory->setEnabled(false);
    Button_EraseMemory = PlaceButton(tr("&Erase Memory"), QRect(347, 247, 113, 25), TabSheet1);
    Button_EraseMemory->setEnabled(false);
    connect(Button_UploadConfiguration, &QPushButton::clicked, this, &TForm_Korvane::Button_UploadConfigurationClick);
    connect(Button_UploadMemory, &QPushButton::clicked, this, &TForm_Korvane::Button_UploadMemoryClick);
    connect(Button_EraseMemory, &QPushButton::clicked, this, &TForm_Korvane::Button_EraseMemoryClick);
}

void TForm_Korvane::SetOperationText(const QString& text)
{
    StatusBar1->setPanelText(1, text);
    StatusBar1->repaint();
}

void TForm_Korvane::ShowSettingsTab(bool shown)
{
    if (shown && PageControl1->indexOf(TabSheet_Settings) < 0)
        PageControl1->addTab(TabSheet_Settings, tr("Settings"));
    else if (!shown)
        PageControl1->removeTab(PageControl1->indexOf(TabSheet_Settings));
}

void TForm_Korvane::ShowConnectionLed(bool online)
{
    VrLed_Offline->SetActive(!online);
    VrLed_Offline->setVisible(!online);
    VrLed_Online->SetActive(online);
    VrLed_Online->setVisible(online);
}

void TForm_Korvane::Exit1Click()
{
    close();
}

void TForm_Korvane::ViewMemoryFileClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("View Memory File"), AdvFileNameEdit_FileName->text(),
                                                          tr("Memory files (*.csv *.CSV);;All files (*)"));
    if (fileName.isEmpty())
        return;
    RecordFormat format;
    if (Connected)
        format = {ModuleSettings.MemoryMode, ModuleSettings.Delimiter, ModuleSettings.FixedLength,
                  ModuleSettings.TimeFormat, ModuleSettings.DateFormat, ModuleSettings.AutoTimeStamp};
    (new MemoryFileViewer(fileName, format, this))->show();
}

void TForm_Korvane::About1Click()
{
    if (!AboutBox)
        AboutBox = new TAboutBox;
    if (Connected)
        AboutBox->ShowDetails(IdentityDetails(Identity));
    AboutBox->exec();
    delete AboutBox;
    AboutBox = nullptr;
}

void TForm_Korvane::Menu_ConfigurationClick()
{
    if (!Driver)
        return;
    if (Driver->HardwareConfigurationWindow() != 0)
        Driver->SaveConfiguration(driver::ConfigurationRegistryPath);
}

void TForm_Korvane::FormClose()
{
    SavePosition();
    Driver.reset();
}

void TForm_Korvane::showEvent(QShowEvent* event)
{
    ShownOnDisplay = ShownOnDisplay || platform::HasDisplay();
    QMainWindow::showEvent(event);
}

// A scheme switch (light to dark) takes the clock panel's warning colour again from the new scheme.
void TForm_Korvane::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && StatusBar1)
        ShowClockOffset(ModuleClockOffset);
}

// With DriverLoad::AfterFirstPaint the driver library is loaded once the window is on the
// screen, so that it does not keep the window waiting; whatever reaches the binding before
// loads it then.
void TForm_Korvane::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    if (driverLoadPosted_)
        return;
    driverLoadPosted_ = true;
    QMetaObject::invokeMethod(this, [this] { Driver.get(); }, Qt::QueuedConnection);
}

void TForm_Korvane::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

// The window's position lives in FORM.INI under Form_Korvane; its size is fixed and not kept.
void TForm_Korvane::RestorePosition()
{
    QSettings placement(PlacementPath(), QSettings::IniFormat);
    placement.beginGroup(QString::fromLatin1(PlacementKey));
    bool leftRead = false;
    bool topRead = false;
    const QPoint stored(placement.value(QStringLiteral("Left")).toInt(&leftRead),
                        placement.value(QStringLiteral("Top")).toInt(&topRead));
    // A position that no screen shows any more (a monitor removed) falls back to the designed one.
    const bool visible = leftRead && topRead && QGuiApplication::screenAt(stored + QPoint(8, 8)) != nullptr;
    move(visible ? stored : DesignedPosition);
}

void TForm_Korvane::SavePosition() const
{
    if (!ShownOnDisplay)
        return;
    QDir().mkpath(StateFolder());
    QSettings placement(PlacementPath(), QSettings::IniFormat);
    placement.beginGroup(QString::fromLatin1(PlacementKey));
    placement.setValue(QStringLiteral("Left"), pos().x());
    placement.setValue(QStringLiteral("Top"), pos().y());
}

void TForm_Korvane::Button_EraseMemoryClick()
{
    EraseMemory();
}

void TForm_Korvane::Button_UploadMemoryClick()
{
    UploadMemory();
}

void TForm_Korvane::Button_UploadConfigurationClick()
{
    UploadConfiguration();
}

void TForm_Korvane::ShowInterfaceKind()
{
    const bool simulated = Connected && Driver && Driver->SimulatedModule();
    if (!Connected)
        StaticText_ConnectionType->setText(tr("Invalid"));
    else if (simulated)
        StaticText_ConnectionType->setText(tr("Simulated"));
    else
        StaticText_ConnectionType->setText(Driver->ConnectionType() == 0 ? tr("USB") : tr("RS232"));
    QString title = tr(WindowTitle) + (simulated ? tr(" (simulated module)") : QString());
    if (Connected && Driver) {
        title += tr(" - node-ID %1").arg(Driver->NodeId());
        if (const QString summary = IdentitySummary(Identity); !summary.isEmpty())
            title += QStringLiteral(": ") + summary;
    }
    setWindowTitle(title);
    ShowIdentity();
}

void TForm_Korvane::ShowIdentity()
{
    QStringList lines;
    if (Connected && !Identity.productName.isEmpty())
        lines << Identity.productName;
    if (Connected && Identity.serialNumber)
        lines << tr("Serial: %1").arg(HexWord(*Identity.serialNumber));
    if (lines.isEmpty()) {
        if (StaticText_Identity && !StaticText_Identity->isHidden()) {
            StaticText_Identity->hide();
            GroupBox1->resize(connectionGroupSize_);
        }
        return;
    }
    // Made when first needed, below the LEDs, so the group is laid out for the fonts without it.
    if (!StaticText_Identity) {
        StaticText_Identity = new QLabel(GroupBox1);
        // Where the LEDs end: (8, 57) in the design's font, lower where a large font grew them.
        const QRect above = VrLed_Offline->geometry() | StaticText_ConnectionType->geometry();
        StaticText_Identity->move(VrLed_Offline->x(), above.bottom() + 1);
        StaticText_Identity->hide();
    }
    if (StaticText_Identity->isHidden())
        connectionGroupSize_ = GroupBox1->size();
    // A long name is cut where the page ends, and shown whole as the tooltip.
    const int room = TabSheet1->width() - GroupBox1->x() - 2 * StaticText_Identity->x();
    const QFontMetrics metrics(StaticText_Identity->font());
    QStringList shown;
    for (const QString& line : lines)
        shown << metrics.elidedText(line, Qt::ElideRight, room);
    StaticText_Identity->setText(shown.join(QLatin1Char('\n')));
    StaticText_Identity->setToolTip(shown == lines ? QString() : lines.join(QLatin1Char('\n')));
    StaticText_Identity->adjustSize();
    StaticText_Identity->show();
    const QRect text = StaticText_Identity->geometry();
    GroupBox1->resize(connectionGroupSize_.expandedTo(QSize(text.right() + 9, text.bottom() + 7)));
}
