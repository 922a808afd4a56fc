// The main window: the Upload and Settings pages, the menus, the status bar, and the state that
// the module operations share. The operations themselves are routines of this class, defined one
// file per operation in src/module (connection, settings, time/date, erase, uploads) and in
// src/app (start-up, automation).
#pragma once

#include "contract/ModuleParameters.h"
#include "driver/DeferredBinding.h"
#include "module/ModuleIdentity.h"

#include <QMainWindow>

#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimer;

namespace settingsprofile {
struct Profile;
}

class FileNameEdit;
class TVrLed;
class PanelStatusBar;
class SettingsCompareView;
class TForm_Progress;
class TThread_Auto;
class TThread_MemRead;
class UploadTransaction;

// The upload and automation types are known completely only in their own source files, which
// define these deleters; so this header and its users need no more than their names.
struct UploadTransactionDeleter {
    void operator()(UploadTransaction* upload) const;
};
struct MemReadWorkerDeleter {
    void operator()(TThread_MemRead* worker) const;
};
struct AutoWorkerDeleter {
    void operator()(TThread_Auto* worker) const;
};

class TForm_Korvane;

// A control of the Settings page. The page is shown only while connected, so its controls are
// made when one of them is first reached (or the page first turned to), not at start.
template <class Control>
class SettingsPageControl {
public:
    explicit SettingsPageControl(TForm_Korvane* form) : form_(form) {}
    // A copy (a list of controls) holds the control itself.
    SettingsPageControl(const SettingsPageControl& other) : form_(other.form_), control_(other.get()) {}
    SettingsPageControl& operator=(const SettingsPageControl&) = delete;
    SettingsPageControl& operator=(Control* control)
    {
        control_ = control;
        return *this;
    }

    Control* get() const;
    Control* operator->() const { return get(); }
    operator Control*() const { return get(); }

private:
    TForm_Korvane* form_;
    Control* control_ = nullptr;
};

class TForm_Korvane : public QMainWindow {
    Q_OBJECT

public:
    // When the driver library is loaded and the interface configuration read: the program
    // shows its window first; a window made without showing it has its binding at once.
    enum class DriverLoad { AtConstruction, AfterFirstPaint };
    // Loads the driver library by its base name ("Korvane": libKorvane.so / Korvane.dll); tests
    // give another name, e.g. one that does not exist.
    explicit TForm_Korvane(const char* driverLibrary = "Korvane", QWidget* parent = nullptr,
                           DriverLoad load = DriverLoad::AtConstruction);
    ~TForm_Korvane() override;

    // --- Start-up and shell ------------------------------------------------------------------
    void FormCreate(); // command line; run by main() right after construction
    void FormClose();  // destroys the driver binding; run when the window closes
    void Exit1Click();
    void About1Click();
    void Menu_ConfigurationClick();
    void SetDefaultFileNames();
    // Status bar panel 1, repainted at once so the text shows before the operation goes on.
    void SetOperationText(const QString& text);
    // The Settings tab while connected. Taken off the tab bar rather than hidden, so assistive
    // technology lists no tab that nobody can reach.
    void ShowSettingsTab(bool shown);
    // Shows the LED of the connection state, lit so assistive technology reads it as on; hides the other.
    void ShowConnectionLed(bool online);

    // --- Connection and clock poll -------------------------------------------------------------
    bool ConnectModule();
    void DisconnectModule();
    void GoOffline();
    // The connection type, the module's product name and serial number, and the window title:
    // the simulated module never passes for hardware.
    void ShowInterfaceKind();
    void Timer_TimeDateTimer();
    void Button_ConnectClick();
    void Button_DisconnectClick();
    // Status bar panel 2: how far the module's clock is off, in a warning colour beyond 2 s; empty
    // when unknown.
    void ShowClockOffset(std::optional<double> offsetSeconds);

    // --- Settings exchange ---------------------------------------------------------------------
    bool ReadSettings();
    void StoreSettings();
    void ControlsToSettings();
    void SettingsToControls();
    void Button_UploadSettingsClick();
    void Button6Click();
    void TabSheet_SettingsExit();
    void CheckBox_AutoTimeStampClick();
    void AdvComboBox_MemoryModeChange();
    void Button_SetTimeDateClick();

    // --- Settings profiles -----------------------------------------------------------------------
    // The module's settings, read now, into a profile file; false with FailureReason set.
    bool SaveSettingsProfile(const QString& fileName);
    // A profile onto the Settings page, marked unsaved, with what differs from the module shown.
    bool OpenSettingsProfile(const QString& fileName);
    // Unattended: SettingsProfileFile stored and read back; false with FailureReason set.
    bool ApplySettingsProfile();
    bool ProfileFitsTheModule(const settingsprofile::Profile& profile, bool ask);
    void SaveSettingsAsClick();
    void OpenSettingsClick();
    // A memory file in the viewer; one without an upload record read with the connected module's settings.
    void ViewMemoryFileClick();

    // --- Erase, uploads, automation ------------------------------------------------------------
    bool EraseMemory();
    bool UploadMemory();
    bool ReadMemoryBlock();
    bool UploadConfiguration();
    void AutoStep();
    void Button_EraseMemoryClick();
    void Button_UploadMemoryClick();
    void Button_UploadConfigurationClick();

    // --- Controls ------------------------------------------------------------------------------
    // Makes the Settings page's controls, once; the window grows if they need more room.
    void MakeSettingsPage();

    QTabWidget* PageControl1 = nullptr;

    QWidget* TabSheet1 = nullptr; // "Upload"
    QPushButton* Button_Connect = nullptr;
    QPushButton* Button_Disconnect = nullptr;
    QLineEdit* AdvEdit_Time = nullptr;
    QLineEdit* AdvEdit_Date = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText_ConnectionType = nullptr;
    QLabel* StaticText_Identity = nullptr; // product name and serial number, from the first connect that gives them
    TVrLed* VrLed_Offline = nullptr; // shown while offline
    TVrLed* VrLed_Online = nullptr;  // shown while online
    FileNameEdit* AdvFileNameEdit_Config = nullptr;
    QPushButton* Button_UploadConfiguration = nullptr;
    FileNameEdit* AdvFileNameEdit_FileName = nullptr;
    QCheckBox* CheckBox_Append = nullptr;
    QPushButton* Button_UploadMemory = nullptr;
    QPushButton* Button_EraseMemory = nullptr;

    QWidget* TabSheet_Settings = nullptr; // "Settings", its controls made by MakeSettingsPage
    SettingsPageControl<QComboBox> AdvComboBox_TimeFormat{this};
    SettingsPageControl<QComboBox> AdvComboBox_DateFormat{this};
    SettingsPageControl<QGroupBox> GroupBox2{this};
    SettingsPageControl<QCheckBox> CheckBox_AutoTimeStamp{this};
    SettingsPageControl<QComboBox> AdvComboBox_AutoStampFormat{this};
    SettingsPageControl<QComboBox> AdvComboBox_Baud{this};
    SettingsPageControl<QSpinBox> AdvSpinEdit_NodeId{this};
    SettingsPageControl<QComboBox> AdvComboBox_MemoryMode{this};
    SettingsPageControl<QSpinBox> AdvSpinEdit_FixedLength{this};
    SettingsPageControl<QSpinBox> AdvSpinEdit_Delimiter{this};
    SettingsPageControl<QCheckBox> CheckBox_OverwriteMode{this};
    SettingsPageControl<QGroupBox> GroupBox3{this};
    SettingsPageControl<QRadioButton> RadioButton_MemModule{this};
    SettingsPageControl<QRadioButton> RadioButton_Logger{this};
    SettingsPageControl<QPushButton> Button_UploadSettings{this};
    SettingsPageControl<QPushButton> Button6{this}; // "Download Settings"
    SettingsPageControl<QPushButton> Button_SetTimeDate{this};

    PanelStatusBar* StatusBar1 = nullptr; // panel 0: connection, panel 1: operation

    QMenu* File1 = nullptr;
    QAction* OpenSettings1 = nullptr;
    QAction* SaveSettingsAs1 = nullptr;
    QAction* ViewMemoryFile1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Configuration1 = nullptr;
    QAction* Menu_Configuration = nullptr;
    QMenu* Help1 = nullptr;
    QAction* About1 = nullptr;

    QTimer* Timer_TimeDate = nullptr;

    // --- State shared by the module operations -------------------------------------------------
    // From construction until FormClose; with DriverLoad::AfterFirstPaint made when first
    // reached, at the latest right after the window's first paint.
    driver::DeferredBinding Driver;
    bool Connected = false;
    std::optional<double> ModuleClockOffset; // seconds ahead of the PC, as last measured
    bool SettingsChanged = false;
    bool SettingsRead = false; // the last read of the settings gave all of them
    driver::ModuleSettings ModuleSettings;
    uint8_t ModuleDeviceMode = 0; // the device mode the module was last read or stored with
    ModuleIdentity Identity; // as read at the last connect
    SettingsCompareView* Form_SettingsCompare = nullptr; // made when a profile is first opened
    QString SettingsProfileFile; // "/settings FILE": stored before an unattended upload

    uint32_t BytesUploaded = 0;
    uint32_t ReadoutTotal = 0;
    std::unique_ptr<UploadTransaction, UploadTransactionDeleter> OutputFile;
    bool UploadFinished = false;
    bool ReadoutComplete = false; // the read-out ended with the module's empty block
    // Why the module must not be erased after the last memory upload (another length than
    // announced, data that went to a pipe); empty when it may.
    QString EraseRefusal;
    std::unique_ptr<TThread_MemRead, MemReadWorkerDeleter> MemReadWorker;
    TForm_Progress* Form_Progress = nullptr; // exists only while an upload runs with the dialog

    bool AutoMode = false;
    std::optional<QString> NodeOption; // "/node N" as typed: the node-ID of this unattended run
    bool SilentMode = false;
    bool EraseRequested = false;
    bool ConfigRequested = false;
    bool MemoryFileGiven = false;
    bool ConfigFileGiven = false;
    int32_t AutoState = 0;
    // Why the last module operation failed, in words; an unattended run says it for a failed step.
    QString FailureReason;
    // The driver library's reason for the last failed driver call; empty after a success.
    QString DriverReason() const;
    std::unique_ptr<TThread_Auto, AutoWorkerDeleter> AutoWorker;
    // Somebody saw the window on a display: only then is its position kept.
    bool ShownOnDisplay = false;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    void BuildUploadPage();
    void ShowIdentity();
    void FitPages(QSize growth);
    void RestorePosition();
    void SavePosition() const;

    QSize connectionGroupSize_; // as laid out for the fonts, without the module's identity
    void WatchSettingsPageExit();
    void SettingsPageLeft();

    bool settingsPageEntered_ = false; // the page had focus or was current since it was last left
    bool settingsPageMade_ = false;
    bool driverLoadPosted_ = false; // or not wanted: the binding was made at construction
    QSize pageGrowth_;                 // what the pages need beyond their designed size
};

template <class Control>
Control* SettingsPageControl<Control>::get() const
{
    form_->MakeSettingsPage();
    return control_;
}

// The application's main window, set while one exists.
extern TForm_Korvane* Form_Korvane;
