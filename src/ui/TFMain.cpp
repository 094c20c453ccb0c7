#include "TFMain.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cctype>
#include <exception>

#include "AxisStop.h"
#include "ConfigPanel.h"
#include "ControlPage.h"
#include "ControllerBackupView.h"
#include "ControllerMessages.h"
#include "DeviceIdentity.h"
#include "DeviceLinkView.h"
#include "DeviceReportProcessor.h"
#include "DeviceTexts.h"
#include "EditRecovery.h"
#include "EditorPage.h"
#include "EmulatedFaultView.h"
#include "EmulatedInputs.h"
#include "FileCommands.h"
#include "FileDialogs.h"
#include "FormControls.h"
#include "GeneralErrorDisplay.h"
#include "HeldProgramView.h"
#include "KxApplication.h"
#include "KxVersion.h"
#include "LanguageBox.h"
#include "ManualView.h"
#include "MessageBoxes.h"
#include "MotionGuard.h"
#include "NumberField.h"
#include "ProgramCheck.h"
#include "ProgramCheckView.h"
#include "ProgramEditing.h"
#include "ProgramSimulation.h"
#include "RunRecording.h"
#include "RunReport.h"
#include "SessionEnd.h"
#include "TFProg.h"
#include "TextShaping.h"
#include "TravelLimitsView.h"
#include "WindowSettings.h"

namespace {

const QString CaptionPrefix = QStringLiteral("KX-RD4 PC  -  [");
const QString CaptionName = QStringLiteral("KX-RD4 PC");
const QString Version = QString::fromLatin1(KxVersion);
const QString MakerAddress = QStringLiteral("www.example.com");

// The form's widths fit its texts in Tahoma; where a substitute font is wider,
// a check box grows to show its whole caption, as far as its box allows: up to
// the box's frame, which takes its last two columns.
void FitCaption(QCheckBox* check) {
    const int room = check->parentWidget()->width() - check->x() - 2;
    const int wanted = std::max(check->width(), check->sizeHint().width());
    check->resize(std::max(check->width(), std::min(wanted, room)), check->height());
}

} // namespace

// The images of the shell live in a static library; register them explicitly.
static void InitShellResources() {
    Q_INIT_RESOURCE(shell);
}

TFMain::TFMain(MessageBoxes& boxes, FileDialogs& dialogs, std::shared_ptr<HidBackend> backend,
               QWidget* parent, PageBuild build)
    : QMainWindow(parent), boxes_(boxes), dialogs_(dialogs),
      hiddenPartsDue_(build == PageBuild::AfterFirstFrame) {
    InitShellResources();
    setObjectName(QStringLiteral("FMain"));
    setFont(KxApplication::WindowFont());

    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(Client);

    CreateMenu();
    CreateToolBar();
    CreatePages();
    editing_ = std::make_unique<ProgramEditing>(*editor_, *this, this);
    editing_->AddMenu(MainMenu1, Program1->menuAction());
    check_ = new ProgramCheckView(
        *editor_, *this, [this](const QString& line) { Memo2->appendPlainText(line); }, this);
    check_->AddTo(editing_->Edycja);
    CreateStatusBar();
    ApplySizeLimits();
    Client->installEventFilter(this);

    files_ = std::make_unique<FileCommands>(*this, boxes_, dialogs_);
    settings_ = std::make_unique<WindowSettings>(*this, *files_, *this, *AutoLoad);
    recovery_ = std::make_unique<EditRecovery>(*this, boxes_, editing_->History().Stack());
    settings_->SetBeforeAutoLoad([this] { return recovery_->OfferRecovery(); });
    sessionEnd_ = new SessionEnd({[this] { RunGuarded([this] { recovery_->WriteIfUnsaved(); }); },
                                  [this] { return CanCloseGuarded(); },
                                  [this] { RunGuarded([this] { StoreSettings(); }); }},
                                 this);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        sessionEnd_->Watch(*app);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(25);
    connect(Timer1, &QTimer::timeout, this, [this] { RunGuarded([this] { Timer1Timer(); }); });
    Timer1->start();

    CreateDeviceLink(std::move(backend));
    if (!hiddenPartsDue_)
        BuildHiddenParts();
}

TFMain::~TFMain() {
    ShutDown();
}

// ---------------------------------------------------------------- components

void TFMain::CreateMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);

    auto item = [this](QMenu* menu, const char* name, const QString& caption, const char* icon,
                       const QKeySequence& shortcut, void (TFMain::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (icon != nullptr)
            action->setIcon(ResourceIcon(QLatin1String(icon)));
        action->setShortcut(shortcut);
        Bind(action, handler);
        return action;
    };

    Plik1 = MainMenu1->addMenu(tr("Plik"));
    Plik1->setObjectName(QStringLiteral("Plik1"));
    Otw1 = item(Plik1, "Otw1", tr("Nowy"), ":/shell/new.png", QKeySequence(Qt::CTRL | Qt::Key_N),
                &TFMain::Otw1Click);
    Otwrz1 = item(Plik1, "Otwrz1", tr("Otwórz"), ":/shell/open.png",
                  QKeySequence(Qt::CTRL | Qt::Key_O), &TFMain::Otwrz1Click);
    // No shortcut on the separator, so the minus key reaches the edit fields.
    N1 = Plik1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Zapisz1 = item(Plik1, "Zapisz1", tr("Zapisz"), ":/shell/save.png",
                   QKeySequence(Qt::CTRL | Qt::Key_S), &TFMain::Zapisz1Click);
    Zapiszjako1 = item(Plik1, "Zapiszjako1", tr("Zapisz jako..."), ":/shell/saveas.png",
                       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), &TFMain::Zapiszjako1Click);
    N2 = Plik1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    Koniec1 = item(Plik1, "Koniec1", tr("Koniec"), ":/shell/exit.png",
                   QKeySequence(Qt::ALT | Qt::Key_F4), &TFMain::Koniec1Click);

    Program1 = MainMenu1->addMenu(tr("Program"));
    Program1->setObjectName(QStringLiteral("Program1"));
    Symulacja1 = item(Program1, "Symulacja1", tr("Symulacja"), nullptr, QKeySequence(Qt::Key_F9),
                      &TFMain::Symulacja1Click);
    Raport1 = item(Program1, "Raport1", tr("Raport z uruchomienia…"), nullptr, QKeySequence(),
                   &TFMain::Raport1Click);
    Raport1->setEnabled(false); // until a run is recorded

    Pomoc1 = MainMenu1->addMenu(tr("Pomoc"));
    Pomoc1->setObjectName(QStringLiteral("Pomoc1"));
    ManualView::AddTo(Pomoc1);
    Oprogramie1 = item(Pomoc1, "Oprogramie1", tr("O programie"), ":/shell/about.png",
                       QKeySequence(), &TFMain::Oprogramie1Click);
}

void TFMain::CreateToolBar() {
    ToolBar1 = new QWidget(Client);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, ClientWidth, 29);
    auto button = [this](int index, const char* name, const char* icon, void (TFMain::*handler)()) {
        auto* speed = new QToolButton(ToolBar1);
        speed->setObjectName(QLatin1String(name));
        speed->setIcon(ResourceIcon(QLatin1String(icon)));
        speed->setIconSize(QSize(16, 16));
        speed->setAutoRaise(true);
        speed->setFocusPolicy(Qt::NoFocus);
        speed->setGeometry(23 * index, 2, 23, 22);
        Bind(speed, handler);
        return speed;
    };
    SpeedButton1 = button(0, "SpeedButton1", ":/shell/new.png", &TFMain::SpeedButton1Click);
    SpeedButton2 = button(1, "SpeedButton2", ":/shell/open.png", &TFMain::SpeedButton2Click);
    SpeedButton3 = button(2, "SpeedButton3", ":/shell/save.png", &TFMain::SpeedButton3Click);
    SpeedButton4 = button(3, "SpeedButton4", ":/shell/saveas.png", &TFMain::SpeedButton4Click);
    axisStop_ = new AxisStop(
        ToolBar1, [this] { StopAxis(); }, this);
}

void TFMain::StopAxis() {
    if (!messages_)
        return;
    // A backup or restore under way has the controller: it is interrupted
    // and its own session sends the stop.
    if (backups_ && backups_->StopAxis(lastRunProgram_))
        return;
    // Just after one the window's writes wait a moment; the stop does not.
    const bool paused = deviceLink_->WritesPaused();
    deviceLink_->SetWritesPaused(false);
    const auto repause = qScopeGuard([this, paused] { deviceLink_->SetWritesPaused(paused); });
    // A program the window started would go on with its next move.
    if (lastRunProgram_)
        messages_->StopProgram(static_cast<std::uint8_t>(*lastRunProgram_));
    messages_->SendRequest(MessageLetter::MotorStop);
    if (recording_)
        recording_->StopWhenAtRest();
}

void TFMain::CreatePages() {
    PageControl1 = new QTabWidget(Client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 28, 537, 625);
    PageControl1->setDocumentMode(true);

    editor_ = new EditorPage(*this);
    TabSheet1 = editor_;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, tr("Programowanie"));
    PageControl1->addTab(TabSheet3, tr("Sterowanie"));
    PageControl1->addTab(TabSheet2, tr("Opcje"));

    ProgNumBox = editor_->ProgNumBox;
    ProgBox = editor_->ProgBox;
    Prog = editor_->Prog;
    pb = editor_->pb;
    Bind(editor_->BitBtn6, &TFMain::BitBtn6Click);
    Bind(editor_->BitBtn7, &TFMain::BitBtn7Click);
    Bind(editor_->BitBtn8, &TFMain::BitBtn8Click);
    Bind(editor_->BitBtn9, &TFMain::BitBtn9Click);

    CreateOptionsBoxes();
}

void TFMain::CreateOptionsBoxes() {
    GroupBox1 =
        Place<QGroupBox>(TabSheet2, "GroupBox1", QRect(0, 3, 526, 62), tr("Operacje na plikach"));
    AutoLoad = Place<QCheckBox>(GroupBox1, "AutoLoad", QRect(24, 23, 376, 24),
                                tr("Automatycznie wczytaj ostatni program przy starcie"));
    AutoLoad->setChecked(true);

    GroupBox12 =
        Place<QGroupBox>(TabSheet2, "GroupBox12", QRect(271, 71, 255, 122), tr("Urządzenia USB"));
    ListBox1 = Place<QListWidget>(GroupBox12, "ListBox1", QRect(13, 24, 228, 82));
    // The devices' own names, in any script.
    ListBox1->setFont(TextShaping::Shaped(ListBox1->font()));

    Memo1 = Place<QPlainTextEdit>(TabSheet2, "Memo1", QRect(3, 377, 348, 49));
    Memo2 = Place<QPlainTextEdit>(TabSheet2, "Memo2", QRect(3, 432, 348, 96));
    for (QPlainTextEdit* memo : {Memo1, Memo2}) {
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        // The traffic logs keep only their last lines.
        memo->setMaximumBlockCount(DeviceReportSink::MaxLogLines);
        // Created hidden, so they stay hidden even when FormCreate ends early.
        memo->hide();
    }
}

// What of "Opcje" neither the start-up steps nor the device link use.
void TFMain::CreateOptionsExtras() {
    GroupBox2 = Place<QGroupBox>(TabSheet2, "GroupBox2", QRect(0, 71, 265, 122), tr("Połączenie"));
    CheckBox1 = Place<QCheckBox>(GroupBox2, "CheckBox1", QRect(24, 23, 233, 24),
                                 tr("Połącz z urządzeniem przy starcie programu"));
    CheckBox2 = Place<QCheckBox>(GroupBox2, "CheckBox2", QRect(24, 47, 193, 24),
                                 tr("Automatycznie wznawiaj polączenie"));
    // They only state what the device link always does.
    for (QCheckBox* check : {CheckBox1, CheckBox2}) {
        check->setChecked(true);
        check->setEnabled(false);
    }
    for (QCheckBox* check : {AutoLoad, CheckBox1, CheckBox2})
        FitCaption(check);

    new LanguageBox(TabSheet2, {[this] { return Settings().SettingsPath(); },
                                [this](const QString& text) { ShowStatus(text); }});

    Memo3 = Place<QPlainTextEdit>(TabSheet2, "Memo3", QRect(3, 534, 348, 51));
    Button2 = Place<QPushButton>(TabSheet2, "Button2", QRect(357, 560, 75, 25), tr("Generuj"));
    Button3 = Place<QPushButton>(TabSheet2, "Button3", QRect(357, 375, 75, 25), tr("Czysc"));
    Bind(Button2, &TFMain::Button2Click);
    Bind(Button3, &TFMain::Button3Click);
    for (QWidget* hidden : std::initializer_list<QWidget*>{Memo3, Button2, Button3})
        hidden->hide();
}

void TFMain::CreateStatusBar() {
    // Created after the pages so that it lies over the page control's lower
    // edge, as the form places it.
    StatusBar = new QStatusBar(Client);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setGeometry(0, ClientHeight - 19, ClientWidth, 19);
    panel0_ = new QLabel(StatusBar);
    panel0_->setObjectName(QStringLiteral("StatusPanel0"));
    panel0_->setFixedWidth(400);
    panel1_ = new QLabel(StatusBar);
    panel1_->setObjectName(QStringLiteral("StatusPanel1"));
    // The last panel reaches to the right edge, so "Rozłączony" is never cut.
    panel1_->setMinimumWidth(50);
    for (QLabel* panel : {panel0_, panel1_}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        StatusBar->addWidget(panel, panel == panel1_ ? 1 : 0);
    }
}

// The form's size limits are those of the outer frame: 551..561 x 711..721,
// which on the original platform is the 545 x 665 client plus the frame,
// caption and menu bar (6 x 46 pixels). Here the menu bar lies inside the
// window while the frame belongs to the window manager, so the same limits
// apply to the client below the menu bar: 545..555 x 665..675.
void TFMain::ApplySizeLimits() {
    const int menuHeight = MainMenu1->sizeHint().height();
    setMinimumSize(ClientWidth, ClientHeight + menuHeight);
    setMaximumSize(ClientWidth + SizeSlack, ClientHeight + menuHeight + SizeSlack);
    resize(ClientWidth, ClientHeight + menuHeight);
}

// The tool bar is aligned to the top and the status bar to the bottom.
void TFMain::FollowClientSize() {
    const int width = Client->width();
    ToolBar1->setGeometry(0, 0, width, 29);
    axisStop_->Place(width);
    StatusBar->setGeometry(0, Client->height() - 19, width, 19);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Client && event->type() == QEvent::Resize)
        FollowClientSize();
    return QMainWindow::eventFilter(watched, event);
}

void TFMain::Bind(QObject* sender, void (TFMain::*handler)()) {
    auto run = [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    if (auto* action = qobject_cast<QAction*>(sender))
        connect(action, &QAction::triggered, this, run);
    else if (auto* button = qobject_cast<QAbstractButton*>(sender))
        connect(button, &QAbstractButton::clicked, this, run);
}

// ---------------------------------------------------------------- life cycle

void TFMain::StartUp() {
    if (started_)
        return;
    started_ = true;
    RunGuarded([this] { FormCreate(); });
    lineEditorDue_ = true;
}

void TFMain::ShutDown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    // Every held device is released (its reader stopped) before anything the
    // report handler uses goes away.
    RunGuarded([this] { deviceLink_->Shutdown(); });
    lineEditorDue_ = false;
    RunGuarded([this] { DestroyLineEditor(); });
    RunGuarded([this] { FormDestroy(); });
    RunGuarded([this] { recovery_->Finish(); });
}

void TFMain::FormCreate() {
    PageControl1->setCurrentWidget(TabSheet1);
    programs_.ClearAllPrograms();
    RenderProgram();
    SetCaptionText(CaptionPrefix + tr("Nowy") + QLatin1Char(']'));
    currentFile_.clear();
    LoadSettings();
    editor_->ResetDragSource();
    // Those of "Opcje" built after the first frame come hidden then.
    for (QWidget* hidden : std::initializer_list<QWidget*>{Memo1, Memo2, Memo3, Button2, Button3})
        if (hidden != nullptr)
            hidden->hide();
}

void TFMain::FormDestroy() {
    StoreSettings();
}

void TFMain::LoadSettings() {
    settings_->LoadSettings();
    processor_->Timeouts().SetTimeout(settings_->ReplyTimeout());
    backups_->SetTimeout(std::chrono::milliseconds(settings_->ReplyTimeout()));
}

void TFMain::StoreSettings() {
    settings_->StoreSettings();
}

bool TFMain::CanClose() {
    return files_->CloseQuery();
}

void TFMain::CreateDeviceLink(std::shared_ptr<HidBackend> backend) {
    deviceLink_ = new DeviceLinkView(
        ListBox1, panel0_, panel1_,
        [this](TJvHidDevice& device, std::uint8_t reportId, const std::uint8_t* data,
               std::uint16_t size) { ProcessDeviceReport(device, reportId, data, size); },
        this, std::move(backend));
    messages_ = std::make_unique<ControllerMessages>(deviceLink_->Output(), programs_);
    processor_ = std::make_unique<DeviceReportProcessor>(programs_, *messages_, *this);
    deviceLink_->SetWriteObserver([this](std::uint8_t letter, const std::uint8_t* payload,
                                         std::size_t size, ReportWriteResult result) {
        processor_->RequestWritten(letter, payload, size, result);
    });
    guard_ = new MotionGuard(
        boxes_,
        [this]() -> std::optional<DeviceIdentity> {
            TJvHidDevice* device = deviceLink_->CurrentDevice();
            if (device == nullptr)
                return std::nullopt;
            return DeviceIdentity::Of(*device);
        },
        this);
    guard_->SetLimits([this] { return Limits().Current(); }, [this] { StopAxis(); },
                      [this](const QString& text) { ShowStatus(text); });
    check_->SetTravel([this] { return Limits().Current(); },
                      [this]() -> std::optional<std::int32_t> {
                          if (deviceLink_->CurrentDevice() == nullptr)
                              return std::nullopt;
                          return guard_->Position();
                      });
    connect(deviceLink_, &DeviceLinkView::Disconnected, this, [this] { guard_->ConnectionLost(); });
    backups_ = new ControllerBackupView(
        {*deviceLink_, pb, boxes_, dialogs_, [this](const QString& text) { ShowStatus(text); },
         [this](int p, const auto& bytes) { held_->Learned(p, bytes); },
         [this](const std::string& name, const auto& value) { ShowRestored(name, value); },
         [this] { return guard_->AllowRestore(); }, [this] { return Limits().Current(); },
         [this](const TravelLimits& kept) { Limits().Keep(kept); }, [this] { StopAxis(); }},
        TabSheet2, this);
    backups_->AddTo(Plik1, N2);
    DisableWhileBackupBusy();
    // Nothing of "Sterowanie" to refresh before it is built.
    SetTimer1Hook([this] {
        if (controlPage_ != nullptr)
            controlPage_->Timer1Timer();
    });
    held_ = new HeldProgramView(*editor_, *this,
                                {[this](int p) { StartSendProgram(p); },
                                 [this](int p) { StartReadProgram(p); },
                                 [this](int p) { RunProgram(p); },
                                 [this] {
                                     const TJvHidDevice* device = deviceLink_->CurrentDevice();
                                     return device ? device->InterfacePath() : std::string();
                                 }},
                                this);
}

void TFMain::BuildHiddenParts() {
    hiddenPartsDue_ = false;
    if (controlPage_ != nullptr)
        return;
    if (GroupBox2 == nullptr)
        CreateOptionsExtras();
    // The traffic logs are never on screen: their font can wait too.
    for (QPlainTextEdit* memo : {Memo1, Memo2})
        memo->setFont(FixedPitchFont(11));
    controlPage_ = new ControlPage(TabSheet3, *messages_, dialogs_, boxes_, this);
    configPanel_ = new ConfigPanel(TabSheet2, *messages_, this);
    controlPage_->SetGuard(
        [this](MessageLetter letter, std::int32_t value) { return guard_->Allow(letter, value); });
    recording_ = new RunRecording({*messages_, controlPage_->Chart(),
                                   [this](const QString& text) { ShowStatus(text); },
                                   [this](const QString& text) { Memo2->appendPlainText(text); },
                                   [this](int p) { SendRun(p); },
                                   [this]() -> std::optional<std::array<bool, 2>> {
                                       if (!controlPage_->Inputs().Attached())
                                           return std::nullopt;
                                       return controlPage_->Inputs().States();
                                   },
                                   [this] { return settings_ ? settings_->ReplyTimeout() : 1000; }},
                                  TabSheet3, 421, 449, this);
    controlPage_->SetRecordingActive([this] { return recording_->Active(); });
    connect(recording_, &RunRecording::Finished, this, [this] { Raport1->setEnabled(true); });
    configPanel_->SetGuard([this](MessageLetter letter) { return guard_->Allow(letter); });
    limits_ = new TravelLimitsView(TabSheet2,
                                   {[this] { return Settings().SettingsPath(); },
                                    [this]() -> std::optional<DeviceIdentity> {
                                        TJvHidDevice* device = deviceLink_->CurrentDevice();
                                        if (device == nullptr)
                                            return std::nullopt;
                                        return DeviceIdentity::Of(*device);
                                    },
                                    [this](const QString& text) { ShowStatus(text); }},
                                   this);
    if (backups_ != nullptr)
        DisableWhileBackupBusy();
    // A page already on screen shows its new widgets as its own show would.
    for (QWidget* page : {TabSheet2, TabSheet3}) {
        if (!page->isVisible())
            continue;
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
                child->show();
        }
    }
}

void TFMain::DisableWhileBackupBusy() {
    std::vector<QWidget*> widgets{TabSheet3, editor_->GroupBox3, editor_->GroupBox10, GroupBox12};
    for (const char* name : {"GroupBox13", "GroupBox14"}) {
        if (auto* box = TabSheet2->findChild<QWidget*>(QLatin1String(name)))
            widgets.push_back(box);
    }
    backups_->DisableWhileBusy(std::move(widgets));
}

ControlPage& TFMain::Control() {
    BuildHiddenParts();
    return *controlPage_;
}

ConfigPanel& TFMain::Config() {
    BuildHiddenParts();
    return *configPanel_;
}

TravelLimitsView& TFMain::Limits() {
    BuildHiddenParts();
    return *limits_;
}

RunRecording& TFMain::Recording() {
    BuildHiddenParts();
    return *recording_;
}

void TFMain::CreateLineEditor() {
    lineEditorDue_ = false; // once, even if the creation fails
    FProg = new TFProg(programs_,
                       {[this] { MarkModified(); },
                        [this] {
                            RenderProgram();
                            const EditTarget target = FProg->Target();
                            editing_->History().Record(
                                tr("edycja linii %1").arg(target.line, 2, 10, QLatin1Char('0')),
                                {target.program, target.line});
                        },
                        [this] {
                            ProgBox->setEnabled(true);
                            ProgNumBox->setEnabled(true);
                        }},
                       this);
}

TFProg* TFMain::LineEditor() {
    if (FProg == nullptr && lineEditorDue_)
        RunGuarded([this] { CreateLineEditor(); });
    return FProg;
}

bool TFMain::event(QEvent* event) {
    // The window's first frame is being painted: the dialog and the window
    // icon follow once it is on the screen.
    if (event->type() == QEvent::Paint && FProg == nullptr && lineEditorDue_)
        QMetaObject::invokeMethod(
            this, [this] { LineEditor(); }, Qt::QueuedConnection);
    if (event->type() == QEvent::Paint && !firstFramePainted_) {
        firstFramePainted_ = true;
        QMetaObject::invokeMethod(
            this, [] { KxApplication::CompleteWindowIcon(); }, Qt::QueuedConnection);
        if (hiddenPartsDue_)
            QMetaObject::invokeMethod(
                this, [this] { RunGuarded([this] { BuildHiddenParts(); }); }, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

void TFMain::DestroyLineEditor() {
    delete FProg;
    FProg = nullptr;
}

bool TFMain::CanCloseGuarded() {
    // An error while deciding keeps the window open: nothing is lost.
    bool close = false;
    RunGuarded([this, &close] { close = CanClose(); });
    return close;
}

void TFMain::EndWithoutQuestion() {
    RunGuarded([this] { recovery_->KeepForNextStart(); });
    endingWithoutQuestion_ = true;
    close();
    QCoreApplication::quit(); // every event loop ends, a question's too
}

void TFMain::closeEvent(QCloseEvent* event) {
    if (endingWithoutQuestion_ || CanCloseGuarded())
        event->accept();
    else
        event->ignore();
}

// ---------------------------------------------------------------- state

int TFMain::CurrentProgram() const {
    return editor_->CurrentProgram();
}

void TFMain::RenderProgram() {
    editor_->RenderProgram();
}

void TFMain::RecordChange(const QString& what) {
    editing_->History().Record(what);
}

void TFMain::ProgramSetReplaced() {
    editing_->History().Reset();
}

void TFMain::ChangesSettled() {
    recovery_->ChangesSettled();
}

void TFMain::ProgramRead(std::uint8_t program) {
    if (held_->ProgramRead(program))
        return;
    RenderProgram();
    editing_->History().Record(tr("odczyt programu %1 ze sterownika").arg(program));
}

void TFMain::ShowStatus(const QString& message) {
    // A file or device name in it may need shaping; the panel takes the
    // window's font again when the next text does not.
    const bool shaped = TextShaping::Needed(message);
    if (shaped != !(panel0_->font().styleStrategy() & QFont::PreferNoShaping))
        panel0_->setFont(shaped ? TextShaping::Shaped(font()) : QFont());
    panel0_->setText(message);
    // A text longer than the panel is cut there; its tool tip shows it whole.
    const bool cut =
        panel0_->fontMetrics().horizontalAdvance(message) > panel0_->contentsRect().width();
    panel0_->setToolTip(cut ? message : QString());
}

void TFMain::SetLinkState(const QString& text) {
    panel1_->setText(text);
}

void TFMain::RepaintStatusBar() {
    StatusBar->repaint();
}

QLabel* TFMain::StatusPanel(int index) const {
    return index == 0 ? panel0_ : panel1_;
}

void TFMain::MarkAsSimulator() {
    simulator_ = true;
    deviceLink_->MarkAsSimulator();
    if (!caption_.isEmpty())
        SetCaptionText(caption_);
}

void TFMain::AttachEmulatedInputs(std::function<void(int, bool)> setInput) {
    // A change during a recording is part of it.
    Control().Inputs().Attach([this, setInput = std::move(setInput)](int io, bool on) {
        setInput(io, on);
        Recording().OnInputChange(io, on);
    });
}

void TFMain::AttachEmulatedFaults(
    std::function<std::vector<ControllerEmulator::Fault>()> takeFaults) {
    auto* view =
        new EmulatedFaultView([this](const QString& text) { ShowStatus(text); },
                              [this](const QString& text) { Memo2->appendPlainText(text); }, this);
    view->Attach(std::move(takeFaults));
}

void TFMain::Symulacja1Click() {
    const auto outcome = ProgramSimulation::Run(programs_, CurrentProgram(),
                                                Control().Inputs().States(), Control().Chart());
    for (const QString& line : outcome.log)
        Memo2->appendPlainText(line);
    PageControl1->setCurrentWidget(TabSheet3);
    ShowStatus(outcome.status);
}

void TFMain::Raport1Click() {
    const QString title = tr("Raport z uruchomienia");
    const MotionRecording* recorded = Recording().LastRecording();
    const RunComparison::Result* comparison = Recording().LastComparison();
    if (recorded == nullptr || comparison == nullptr) {
        ShowStatus(tr("Brak nagranego przebiegu: zaznacz „Nagrywaj” i uruchom program"));
        return;
    }
    const int program = Recording().LastProgram();
    QString path = dialogs_.GetSaveFileName(
        title,
        tr("raport-P%1-%2.pdf")
            .arg(program)
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmm"))),
        tr("Dokument PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    RunReportContent content;
    content.toolVersion = KxVersion;
    content.serial = recordedController_.serial;
    content.port = recordedController_.port;
    content.path = recordedController_.path;
    content.emulated = simulator_;
    content.programs = &Recording().LastPrograms();
    content.program = program;
    content.findings = ProgramCheck::CheckProgram(Recording().LastPrograms(), program);
    content.parameters = &Recording().LastParameters();
    content.recording = recorded;
    content.comparison = comparison;
    content.tolerance = Recording().Tolerance();
    QString error;
    if (!RunReport::Write(path, content, error)) {
        boxes_.Show(QMessageBox::Warning, title, error, QMessageBox::Ok);
        return;
    }
    const QString done = tr("Raport zapisany: %1 (próbki: %2, wykres: %3)")
                             .arg(path, RunReport::CompanionPath(path, QStringLiteral(".csv")),
                                  RunReport::CompanionPath(path, QStringLiteral(".png")));
    Memo2->appendPlainText(done);
    ShowStatus(done);
}

void TFMain::SetCaptionText(const QString& caption) {
    caption_ = caption;
    // Every caption the file commands set names the tool first; in the demo
    // the name says that no real controller is attached.
    const QString simulatorName = tr("KX-RD4 PC (symulator)");
    if (simulator_ && caption_.startsWith(CaptionName) && !caption_.startsWith(simulatorName))
        caption_.replace(0, CaptionName.size(), simulatorName);
    // "[*]" would be taken as Qt's modification placeholder; doubled it is shown.
    QString shown = caption_;
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(shown);
}

std::string TFMain::Caption() const {
    return caption_.toStdString();
}

void TFMain::SetCaption(const std::string& caption) {
    SetCaptionText(QString::fromStdString(caption));
}

void TFMain::ShowError(const QString& message) {
    GeneralErrorDisplay::Show(boxes_, message);
}

void TFMain::RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QString());
    }
}

// ---------------------------------------------------------------- handlers

void TFMain::Oprogramie1Click() {
    const QString text = tr("Program do wspołpracy z urządzeniem KX-RD4\n"
                            ">>Generator trajektorii<<\n\n"
                            "  wersja: %1\n"
                            "  %2")
                             .arg(Version, MakerAddress);
    boxes_.Show(QMessageBox::Information, tr("O programie"), text, QMessageBox::Ok);
}

void TFMain::Koniec1Click() {
    close();
}

void TFMain::Button2Click() {
    // The listing export: the texts of the labels as last rendered.
    Memo3->clear();
    for (const QLabel* label : editor_->line)
        Memo3->appendPlainText(label->text());
}

void TFMain::Button3Click() {
    Memo1->clear();
    Memo2->clear();
}

void TFMain::Timer1Timer() {
    processor_->CheckTimeouts(deviceLink_->CurrentDevice());
    transferHold_->Check(processor_->Timeouts().TransferActive());
    if (timer1Hook_)
        timer1Hook_();
}

void TFMain::OpenLineEditor(int line) {
    const int program = CurrentProgram();
    if (program != NoIndex && LineEditor() != nullptr)
        FProg->Open(line, program);
}

void TFMain::NewFile() {
    files_->New();
}

void TFMain::OpenFile() {
    files_->Open();
}

void TFMain::SaveFile() {
    files_->Save();
}

void TFMain::SaveFileAs() {
    files_->SaveAs();
}

void TFMain::BitBtn6Click() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    if (!check_->ConfirmSend(program) || !guard_->Allow(MessageLetter::LineWrite))
        return;
    if (!HoldForTransfer())
        return;
    pb->setValue(0);
    try {
        held_->SendStarted(program);
        StartSendProgram(program);
    } catch (...) {
        // A first line that cannot be written is reported by the reply handling.
    }
}

void TFMain::BitBtn7Click() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    const auto answer = boxes_.Show(QMessageBox::Question, tr("Odczytaj program"),
                                    tr("Czy na pewno chcesz zastąpić program %1").arg(program),
                                    QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (!HoldForTransfer())
        return;
    pb->setValue(0);
    try {
        StartReadProgram(program);
    } catch (...) {
        // A first line that cannot be written is reported by the reply handling.
    }
}

void TFMain::BitBtn8Click() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    if (!check_->ConfirmRun(program) || !guard_->Allow(MessageLetter::ProgramStart) ||
        !held_->BeforeRun(program))
        return;
    try {
        RunProgram(program);
    } catch (...) {
    }
}

void TFMain::BitBtn9Click() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    try {
        StopProgram(program);
    } catch (...) {
    }
}

void TFMain::StartSendProgram(int program) {
    if (HoldForTransfer())
        messages_->SendProgram(static_cast<std::uint8_t>(program), *this);
}

void TFMain::StartReadProgram(int program) {
    if (HoldForTransfer())
        messages_->ReadProgram(static_cast<std::uint8_t>(program), *this);
}

bool TFMain::HoldForTransfer() {
    const TJvHidDevice* device = deviceLink_->CurrentDevice();
    if (device == nullptr || !deviceLink_->Backend() || transferHold_->Held())
        return true; // nothing is sent without a device; a transfer under way keeps its hold
    std::string holder;
    if (transferHold_->Take(*deviceLink_->Backend(), device->PnPInfo().InterfacePath, holder))
        return true;
    QString name = holder.empty() ? tr("inny program") : QString::fromStdString(holder);
    name.replace(QStringLiteral(" (process "), tr(" (proces "));
    ShowStatus(tr("Sterownik jest zajęty przez %1").arg(name));
    return false;
}

void TFMain::RunProgram(int program) {
    if (Recording().Armed()) {
        if (Recording().Active()) {
            // One recording at a time; the program it runs goes on.
            ShowStatus(tr("Nagrywanie trwa: odznacz „Nagrywaj”, aby je zakończyć"));
            return;
        }
        PageControl1->setCurrentWidget(TabSheet3);
        TJvHidDevice* device = deviceLink_->CurrentDevice();
        recordedController_ = device != nullptr ? DeviceIdentity::Of(*device) : DeviceIdentity{};
        Recording().Start(programs_, program);
        return;
    }
    SendRun(program);
    // The chart follows the run it started.
    Control().StartChart();
}

void TFMain::SendRun(int program) {
    lastRunProgram_ = program;
    messages_->RunProgram(static_cast<std::uint8_t>(program));
}

void TFMain::StopProgram(int program) {
    messages_->StopProgram(static_cast<std::uint8_t>(program));
    Recording().StopWhenAtRest();
}

// ---------------------------------------------------------------- controller replies

void TFMain::ProcessDeviceReport(TJvHidDevice& /*device*/, std::uint8_t /*reportId*/,
                                 const std::uint8_t* data, std::uint16_t size) {
    if (backups_->Busy())
        return; // the replies of a backup or restore, which runs on a link of its own
    RunGuarded([&] { processor_->Process(data, size); });
    if (size > 0 && data[0] == LetterByte(MessageLetter::ProgramStart))
        RunGuarded([&] { Recording().OnProgramStartReply(); });
}

void TFMain::AppendHexLog(std::string_view line) {
    Memo1->appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

void TFMain::AppendTextLog(std::string_view utf8Line) {
    Memo2->appendPlainText(
        QString::fromUtf8(utf8Line.data(), static_cast<qsizetype>(utf8Line.size())));
}

void TFMain::ShowStatus(std::string_view utf8Message, bool repaintNow) {
    // The device layer's texts in the window's language (unmarked ones as they are).
    ShowStatus(DeviceTexts::Translate(std::string(utf8Message)));
    if (repaintNow)
        RepaintStatusBar();
}

void TFMain::SetValueField(std::string_view fieldName, std::int32_t value) {
    Recording().OnValue(fieldName, value);
    if (!Control().SetValueField(fieldName, value))
        Config().SetValueField(fieldName, value);
}

void TFMain::ShowRestored(const std::string& name,
                          const std::optional<ControllerBackup::Value>& value) {
    // "vmax" is shown in VmaxLabel, "xdef" in XdefLabel, and so on.
    if (name.empty())
        return;
    const std::string field =
        std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])))) +
        name.substr(1) + "Label";
    NumberField* shown = Control().Field(field);
    if (shown == nullptr)
        shown = Config().Field(field);
    if (shown == nullptr)
        return;
    if (!value) {
        // Not known now: an empty field, so that "Zapisz" cannot write back
        // what the controller held before.
        shown->clear();
        if (name == "home")
            Control().SetNoNc(std::nullopt);
        return;
    }
    shown->ShowValue(value->value);
    if (name == "home")
        Control().SetNoNc(value->contactType);
}

void TFMain::SetNoNc(std::optional<int> index) {
    Control().SetNoNc(index);
    Recording().OnContact(index);
}

void TFMain::AddChartSample(std::int32_t position, std::int32_t velocity) {
    guard_->StatusSeen(position, velocity);
    if (Recording().OnStatus(position, velocity))
        return; // drawn on the run's time axis
    Control().AddChartSample(position, velocity);
}

void TFMain::SetProgress(int value) {
    pb->setValue(value);
}

void TFMain::ProgramSent(std::uint8_t program) {
    held_->ProgramSent(program);
}

void TFMain::TransferStalled(std::uint8_t program) {
    held_->TransferStalled(program);
}

void TFMain::AdvanceProgress() {
    pb->setValue(std::min(pb->value() + 1, pb->maximum()));
}
