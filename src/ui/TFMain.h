#pragma once
// The main window FMain. It owns every piece of state of the tool for the
// whole run (the program set with the modified mark, the file in use, the
// device link, the pages) and hosts the tool bar, the menu, the three pages
// "Programowanie", "Sterowanie", "Opcje" and the two-panel status bar.
//
// Life cycle, driven by main():
//   TFMain FMain(boxes, dialogs, nullptr, nullptr, TFMain::PageBuild::AfterFirstFrame);
//                                  // components: pages, menu, Timer1, device link
//   FMain.StartUp();               // FormCreate, then the line edit dialog
//   FMain.show(); app.exec();
//   FMain.ShutDown();              // the dialog goes, then FormDestroy
// Errors escaping a handler, FormCreate or FormDestroy are shown by the
// general error display and end only that handler or step sequence.

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ControllerBackup.h"
#include "ControllerEmulator.h"
#include "DeviceIdentity.h"
#include "DeviceReportSink.h"
#include "EditorHost.h"
#include "FileCommandsHost.h"
#include "ModifiedFlag.h"
#include "ProgramSet.h"
#include "TransferHold.h"

class AxisStop;
class MotionGuard;
class TravelLimitsView;
class ConfigPanel;
class ControlPage;
class ControllerBackupView;
class RunRecording;
class ControllerMessages;
class DeviceLinkView;
class DeviceReportProcessor;
class EditRecovery;
class SessionEnd;
class EditorPage;
class HeldProgramView;
class ProgramCheckView;
class ProgramEditing;
class FileCommands;
class HidBackend;
class TFProg;
class TJvHidDevice;
class WindowSettings;
class FileDialogs;
class AxisStop;
class MessageBoxes;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;

class TFMain : public QMainWindow,
               public CaptionSink,
               public EditorHost,
               public FileCommandsHost,
               public DeviceReportSink {
    Q_OBJECT

public:
    // The client area below the menu bar; see ApplySizeLimits.
    static constexpr int ClientWidth = 545;
    static constexpr int ClientHeight = 665;
    // How far the window may be enlarged beyond the client size.
    static constexpr int SizeSlack = 10;

    // Without a back end the device link uses the platform's HID devices;
    // tests and the demo pass a simulated one.
    // When the parts that the first frame does not show are built: "Sterowanie"
    // and the panels of "Opcje" that StartUp does not use. AfterFirstFrame
    // (the tool's own start) builds them right after the window's first
    // frame, or earlier the moment anything asks for them (Control(),
    // Config(), Limits(), a reply to show), so nothing waits for them.
    enum class PageBuild { AtOnce, AfterFirstFrame };
    TFMain(MessageBoxes& boxes, FileDialogs& dialogs, std::shared_ptr<HidBackend> backend = nullptr,
           QWidget* parent = nullptr, PageBuild build = PageBuild::AtOnce);
    ~TFMain() override;

    // The window talks to an emulated controller (the demo): the caption
    // begins "KX-RD4 PC (symulator)" and the connection panel reads
    // "Połączony (symulator)". Best called before StartUp; applies at once.
    void MarkAsSimulator();
    bool IsSimulator() const { return simulator_; }
    // The emulated controller's inputs: the check boxes of "Sterowanie" are
    // shown and set them through setInput.
    void AttachEmulatedInputs(std::function<void(int, bool)> setInput);
    // The demo: the emulated controller's program faults are shown as they occur.
    void AttachEmulatedFaults(std::function<std::vector<ControllerEmulator::Fault>()> takeFaults);

    // Start-up steps of the window after its creation: FormCreate, then the
    // line edit dialog, which stays hidden until a line is edited. The dialog
    // is made right after the window's first frame (or earlier, when it is
    // needed before), so it does not delay the window's appearance. Called
    // once.
    void StartUp();
    // Shut-down steps before the window is destroyed: the dialog goes, then
    // FormDestroy. Runs once; the destructor runs it when nobody did.
    void ShutDown();
    // Ends the tool as a close would, without the close question: a signal
    // asked for it (SignalEnd). Unsaved edits stay in the recovery file.
    void EndWithoutQuestion();
    void FormCreate();
    void FormDestroy();

    // --- State shared with the other parts of the tool ---
    ProgramSet& Programs() override { return programs_; }
    const ProgramSet& Programs() const { return programs_; }
    ModifiedFlag& Modified() override { return modified_; }
    void MarkModified() override { modified_.MarkModified(); }
    // The full path of the program file in use, empty when none.
    const QString& CurrentFile() const override { return currentFile_; }
    void SetCurrentFile(const QString& path) override { currentFile_ = path; }
    // The index of the checked p0..p9, 255 when none is checked.
    int CurrentProgram() const;
    // Redraws the 25 line labels from the current program.
    void RenderProgram() override;
    // Replaces the whole text of status panel 0.
    void ShowStatus(const QString& message) override;
    // Status panel 1: the link state ("Połączony" / "Rozłączony").
    void SetLinkState(const QString& text);
    // Paints the status bar at once (after some controller messages).
    void RepaintStatusBar();
    QLabel* StatusPanel(int index) const;
    MessageBoxes& Boxes() override { return boxes_; }
    FileDialogs& Dialogs() { return dialogs_; }
    EditorPage& Editor() const { return *editor_; }
    // Undo and redo, the clipboard, inserting and deleting lines, the text
    // view: the menu "Edycja".
    ProgramEditing& Editing() const { return *editing_; }
    // "Sprawdź program" (F7) and the check before sending and running.
    ProgramCheckView& Check() const { return *check_; }
    // What the controller holds: the label on "Programowanie" and the
    // question before running a changed program.
    HeldProgramView& Held() const { return *held_; }
    // One undo step for the change just made (EditorHost).
    void RecordChange(const QString& what) override;
    // New, Open and the load at start-up begin a fresh edit history.
    void ProgramSetReplaced() override;
    // Saved, New or Open: no recovery file is kept.
    void ChangesSettled() override;
    // A program read back from the controller is one undo step.
    void ProgramRead(std::uint8_t program) override;
    // The controller reported a program stored (DeviceReportSink).
    void ProgramSent(std::uint8_t program) override;
    void TransferStalled(std::uint8_t program) override;

    // The window caption as plain text ("KX-RD4 PC  -  [Nowy]"; in the demo
    // "KX-RD4 PC (symulator)  -  [Nowy]").
    QString CaptionText() const { return caption_; }
    void SetCaptionText(const QString& caption) override;
    // CaptionSink, for the modified mark (UTF-8).
    std::string Caption() const override;
    void SetCaption(const std::string& caption) override;

    // The general error display; RunGuarded runs a handler under it.
    void ShowError(const QString& message);
    void RunGuarded(const std::function<void()>& handler) override;

    // What Timer1Timer does on each 25 ms tick (nothing while empty).
    void SetTimer1Hook(std::function<void()> hook) { timer1Hook_ = std::move(hook); }

    // The parts the window is composed of.
    FileCommands& Files() const { return *files_; }
    WindowSettings& Settings() const { return *settings_; }
    // The recovery of unsaved edits (off until enabled).
    EditRecovery& Recovery() const { return *recovery_; }
    // The answer to the end of the user's session.
    SessionEnd& SessionEndRequest() const { return *sessionEnd_; }
    // The line edit dialog; made now if it is due and not made yet. Null
    // before StartUp and after ShutDown.
    TFProg* LineEditor();
    DeviceLinkView& DeviceLink() const { return *deviceLink_; }
    ControllerMessages& Messages() const { return *messages_; }
    AxisStop& Stop() const { return *axisStop_; }
    MotionGuard& Guard() const { return *guard_; }
    TravelLimitsView& Limits();
    // The stop of the axis (Esc anywhere, the tool bar's STOP): the halt of
    // the program the window started last, then MotorStop.
    void StopAxis();
    ControlPage& Control();
    ConfigPanel& Config();
    // "Kopia sterownika…" and "Przywróć sterownik…".
    ControllerBackupView& Backups() const { return *backups_; }

    // The data handler of CurrentDevice: every input report from the
    // controller, on the user-interface thread.
    void ProcessDeviceReport(TJvHidDevice& device, std::uint8_t reportId, const std::uint8_t* data,
                             std::uint16_t size);

    // DeviceReportSink: what a controller reply does to the window.
    void AppendHexLog(std::string_view line) override;
    void AppendTextLog(std::string_view utf8Line) override;
    void ShowStatus(std::string_view utf8Message, bool repaintNow) override;
    void SetValueField(std::string_view fieldName, std::int32_t value) override;
    void SetNoNc(std::optional<int> index) override;
    // A parameter a restore wrote, in its field (cleared when not known now).
    void ShowRestored(const std::string& name, const std::optional<ControllerBackup::Value>& value);
    void AddChartSample(std::int32_t position, std::int32_t velocity) override;
    void SetProgress(int value) override;
    void AdvanceProgress() override;

    // --- Handlers ---
    void Oprogramie1Click();
    void Koniec1Click();
    void Button2Click();
    void Button3Click();
    void Timer1Timer();
    // "Symulacja" (F9): the dry run of the program in the editor.
    void Symulacja1Click();
    // "Raport z uruchomienia…": the last recorded run as a PDF with its CSV
    // and PNG beside it.
    void Raport1Click();
    // The file commands (menu, shortcut and tool bar).
    void Otw1Click() { NewFile(); }
    void Otwrz1Click() { OpenFile(); }
    void Zapisz1Click() { SaveFile(); }
    void Zapiszjako1Click() { SaveFileAs(); }
    void SpeedButton1Click() { Otw1Click(); }
    void SpeedButton2Click() { Otwrz1Click(); }
    void SpeedButton3Click() { Zapisz1Click(); }
    void SpeedButton4Click() { Zapiszjako1Click(); }
    // The transfer buttons of the editor page.
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn9Click();
    // Opens the line edit dialog on a line of the current program
    // (double-click on the listing).
    void OpenLineEditor(int line) override;

    // --- The form's components ---
    QWidget* Client = nullptr;
    QWidget* ToolBar1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "Programowanie", the EditorPage
    QWidget* TabSheet3 = nullptr; // "Sterowanie"
    QWidget* TabSheet2 = nullptr; // "Opcje"
    QStatusBar* StatusBar = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Plik1 = nullptr;
    QAction* Otw1 = nullptr;
    QAction* Otwrz1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Zapisz1 = nullptr;
    QAction* Zapiszjako1 = nullptr;
    QAction* N2 = nullptr;
    QAction* Koniec1 = nullptr;
    QMenu* Program1 = nullptr;
    QAction* Symulacja1 = nullptr;
    QAction* Raport1 = nullptr;
    QMenu* Pomoc1 = nullptr;
    QAction* Oprogramie1 = nullptr;
    QTimer* Timer1 = nullptr;
    // Editor page controls, also reachable through Editor().
    QGroupBox* ProgNumBox = nullptr;
    QGroupBox* ProgBox = nullptr;
    QComboBox* Prog = nullptr;
    QProgressBar* pb = nullptr;
    // Boxes of the page "Opcje" owned by the window.
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* AutoLoad = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QGroupBox* GroupBox12 = nullptr;
    QListWidget* ListBox1 = nullptr;
    // Hidden diagnostic controls of the page "Opcje".
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPlainTextEdit* Memo3 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

protected:
    // Start-up step of FormCreate: reads config.ini, places the window, may
    // load the last program file. Nothing yet.
    virtual void LoadSettings();
    // FormDestroy: writes config.ini. Nothing yet.
    virtual void StoreSettings();
    // Whether the window may close now (unsaved changes). Yes for now.
    virtual bool CanClose();

    // The file commands behind the menu items, shortcuts and tool bar
    // buttons. Nothing yet.
    virtual void NewFile();
    virtual void OpenFile();
    virtual void SaveFile();
    virtual void SaveFileAs();
    // The controller requests behind the transfer buttons. Nothing yet.
    virtual void StartSendProgram(int program);
    virtual void StartReadProgram(int program);
    virtual void RunProgram(int program);
    virtual void StopProgram(int program);
    // The controller held for a transfer the window starts (TransferHold);
    // false, with "Sterownik jest zajęty przez …" in the status bar, when
    // another program holds it.
    bool HoldForTransfer();

    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateToolBar();
    void CreateMenu();
    void CreatePages();
    void CreateOptionsBoxes();
    void CreateOptionsExtras();
    void CreateStatusBar();
    void ApplySizeLimits();
    void FollowClientSize();
    // CanClose under the error display; an error keeps the window.
    bool CanCloseGuarded();
    bool endingWithoutQuestion_ = false;
    // Binds a button or menu item to a handler run under the error display.
    void Bind(QObject* sender, void (TFMain::*handler)());

    // The device link (HID controller), the controller messages over it and
    // the pages that send them are created with the window.
    void CreateDeviceLink(std::shared_ptr<HidBackend> backend);
    // "Sterowanie", the controller's settings and the travel limits; once.
    void BuildHiddenParts();
    // What a backup or restore disables while it runs (of what is built).
    void DisableWhileBackupBusy();
    // Start-up step 5 and shut-down step 2: the line edit dialog.
    void CreateLineEditor();
    void DestroyLineEditor();

    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    ProgramSet programs_;
    ModifiedFlag modified_{*this};
    QString currentFile_;
    QString caption_;
    std::function<void()> timer1Hook_;
    EditorPage* editor_ = nullptr;
    std::unique_ptr<ProgramEditing> editing_;
    ProgramCheckView* check_ = nullptr;
    HeldProgramView* held_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    bool started_ = false;
    bool simulator_ = false;
    bool shutDown_ = false;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<WindowSettings> settings_;
    std::unique_ptr<EditRecovery> recovery_;
    SessionEnd* sessionEnd_ = nullptr;
    TFProg* FProg = nullptr;         // the line edit dialog, from StartUp to ShutDown
    bool lineEditorDue_ = false;     // StartUp has run; the dialog is to be made
    bool firstFramePainted_ = false; // the large window icon pictures are due after it
    bool hiddenPartsDue_ = false;    // built after the first frame (PageBuild::AfterFirstFrame)
    DeviceLinkView* deviceLink_ = nullptr;
    std::unique_ptr<ControllerMessages> messages_;
    AxisStop* axisStop_ = nullptr;
    MotionGuard* guard_ = nullptr;
    TravelLimitsView* limits_ = nullptr;
    std::optional<int> lastRunProgram_; // the program the window started last
    std::unique_ptr<DeviceReportProcessor> processor_;
    std::unique_ptr<TransferHold> transferHold_ = std::make_unique<TransferHold>();
    ControlPage* controlPage_ = nullptr;
    ConfigPanel* configPanel_ = nullptr;
    ControllerBackupView* backups_ = nullptr;
    RunRecording* recording_ = nullptr;
    DeviceIdentity recordedController_; // the controller of the last recording
    // ProgramStart sent, without the recording's sequence.
    void SendRun(int program);

public:
    RunRecording& Recording();
};
