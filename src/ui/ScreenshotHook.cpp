#include "ScreenshotHook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "CommandCode.h"
#include "ControlPage.h"
#include "ControllerBackup.h"
#include "ControllerBackupView.h"
#include "DeviceLinkView.h"
#include "EditorPage.h"
#include "FileAccess.h"
#include "KxVersion.h"
#include "LiveChart.h"
#include "ManualView.h"
#include "MotionGuard.h"
#include "NumberField.h"
#include "ProgramCheck.h"
#include "ProgramCheckView.h"
#include "ProgramEditing.h"
#include "RunRecording.h"
#include "RunReport.h"
#include "TFMain.h"
#include "TFProg.h"
#include "TextView.h"
#include "TravelLimitsView.h"

namespace {
// Time for the window to be mapped and painted before the first shot, and
// between switching a page and taking its shot.
constexpr int FirstDelayMs = 1000;
constexpr int PageDelayMs = 400;
// How long the chart runs before its page is photographed (40 samples a
// second; the chart shows the last 500).
constexpr int ChartMs = 12000;
// How long the start-up question about recovered changes is waited for.
constexpr int StartUpQuestionMs = 3000;

ProgramLine Line(CommandCode code, std::int32_t value = 0) {
    ProgramLine line{};
    line[0] = static_cast<std::uint8_t>(code);
    const OperandLayout layout = OperandLayoutOf(static_cast<int>(code));
    if (layout == OperandLayout::LineTarget)
        line[1] = static_cast<std::uint8_t>(value);
    else if (layout != OperandLayout::NoOperand)
        StoreNumber(line, layout, value);
    return line;
}
} // namespace

QString ScreenshotHook::PageFileName(int page) {
    // The same names in every language, so that pictures of both languages
    // line up.
    static const char* const names[] = {"1-programowanie.png", "2-sterowanie.png", "3-opcje.png"};
    return QString::fromLatin1(names[std::clamp(page, 0, 2)]);
}

void ScreenshotHook::PutDemoProgram(ProgramSet& programs, int program) {
    const ProgramLine lines[] = {
        Line(CommandCode::V_MAX, 6000), Line(CommandCode::A_MAX, 8000),
        Line(CommandCode::M_EN),        Line(CommandCode::X_DST, 12000),
        Line(CommandCode::W_TIM, 600),  Line(CommandCode::X_DST, 0),
        Line(CommandCode::W_TIM, 600),  Line(CommandCode::J_LIN, 3),
    };
    programs.ClearProgram(program);
    int index = 0;
    for (const ProgramLine& line : lines)
        programs.SetLine(program, index++, line);
}

void ScreenshotHook::InstallFromEnvironment(TFMain& window) {
    const QString directory = qEnvironmentVariable(Variable);
    if (directory.isEmpty())
        return;
    QDir().mkpath(directory);
    auto* hook = new ScreenshotHook(window, directory);
    hook->After(FirstDelayMs, [hook, &window] {
        if (!window.IsSimulator()) {
            // No controller to show at work: the pages as they are.
            hook->ShowAndShoot(0, [hook, &window] {
                hook->ShowAndShoot(
                    1, [hook, &window] { hook->ShowAndShoot(2, [&window] { window.close(); }); });
            });
            return;
        }
        // The link's state, not its panel's text: the same in every language.
        hook->When([&window] { return window.DeviceLink().CurrentDevice() != nullptr; }, 5000,
                   "the connection", [hook] { hook->SendProgram(); });
    });
}

void ScreenshotHook::WatchStartUpQuestion(TFMain& window) {
    const QString directory = qEnvironmentVariable(Variable);
    if (directory.isEmpty())
        return;
    QDir().mkpath(directory);
    auto* hook = new ScreenshotHook(window, directory);
    auto* timer = new QTimer(hook);
    QElapsedTimer clock;
    clock.start();
    // The question runs its own event loop inside the start-up; this timer
    // ticks there.
    connect(timer, &QTimer::timeout, hook, [hook, timer, clock] {
        // Recognised by its kind, not its text (the same in every language):
        // the only question with "Tak" and "Nie" asked at start-up when, as
        // in the screenshot run, no program file is loaded.
        const auto question = []() -> QMessageBox* {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            const bool recovery = box != nullptr && box->icon() == QMessageBox::Question &&
                                  box->button(QMessageBox::Yes) != nullptr &&
                                  box->button(QMessageBox::No) != nullptr;
            return recovery ? box : nullptr;
        };
        if (question() == nullptr) {
            if (clock.elapsed() > StartUpQuestionMs) {
                timer->stop();
                hook->deleteLater();
            }
            return;
        }
        timer->stop();
        hook->After(PageDelayMs, [hook, question] {
            if (QMessageBox* box = question()) {
                QPixmap shot;
                QScreen* screen = box->screen();
                if (screen != nullptr &&
                    QGuiApplication::platformName() != QLatin1String("offscreen"))
                    shot = screen->grabWindow(0, box->frameGeometry().x(), box->frameGeometry().y(),
                                              box->frameGeometry().width(),
                                              box->frameGeometry().height());
                if (shot.isNull())
                    shot = box->grab();
                const QString path = QDir(hook->directory_).filePath("question-recovery.png");
                if (!shot.save(path))
                    std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
                std::fprintf(stderr, "screenshot: question-recovery.png: %s\n",
                             qPrintable(box->text()));
                if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                    yes->click();
            }
            hook->deleteLater();
        });
    });
    timer->start(50);
}

ScreenshotHook::ScreenshotHook(TFMain& window, const QString& directory)
    : QObject(&window), window_(window), directory_(directory) {}

void ScreenshotHook::After(int delayMs, std::function<void()> next) {
    QTimer::singleShot(delayMs, this, std::move(next));
}

void ScreenshotHook::When(std::function<bool()> ready, int timeoutMs, const char* what,
                          std::function<void()> next) {
    auto* timer = new QTimer(this);
    QElapsedTimer clock;
    clock.start();
    connect(timer, &QTimer::timeout, this, [=] {
        const bool done = ready();
        if (!done && clock.elapsed() < timeoutMs)
            return;
        if (!done)
            std::fprintf(stderr, "screenshot: no %s after %d ms; going on\n", what, timeoutMs);
        timer->stop();
        timer->deleteLater();
        next();
    });
    timer->start(50);
}

void ScreenshotHook::ShowAndShoot(int page, std::function<void()> next) {
    window_.PageControl1->setCurrentIndex(page);
    After(PageDelayMs, [this, page, next = std::move(next)] {
        Shoot(page);
        next();
    });
}

void ScreenshotHook::SendProgram() {
    window_.PageControl1->setCurrentWidget(window_.TabSheet1);
    window_.Editor().p[0]->click();
    PutDemoProgram(window_.Programs(), 0);
    window_.RenderProgram();
    window_.Editor().BitBtn6->click(); // "Wyślij program"
    When([this] { return window_.pb->value() == window_.pb->maximum(); }, 5000,
         "end of the program transfer", [this] { ReadProgramBack(); });
}

void ScreenshotHook::ReadProgramBack() {
    // Cleared here, P0 can only show its lines again once the controller has
    // returned them.
    std::vector<ProgramLine> sent;
    for (int line = 0; line < LinesPerProgram; ++line)
        sent.push_back(window_.Programs().Line(0, line));
    window_.Programs().ClearProgram(0);
    window_.RenderProgram();
    AnswerQuestion(QStringLiteral("question-read.png"), QMessageBox::Yes);
    window_.Editor().BitBtn7->click(); // "Odczytaj program": asks, then reads
    When([this] { return window_.pb->value() == window_.pb->maximum(); }, 5000,
         "end of the read-back",
         [this, sent] {
             int differing = -1;
             for (int line = 0; line < LinesPerProgram && differing < 0; ++line) {
                 if (window_.Programs().Line(0, line) != sent[line])
                     differing = line;
             }
             if (differing < 0)
                 std::fprintf(stderr, "screenshot: P0 read back equals the program sent\n");
             else
                 std::fprintf(stderr,
                              "screenshot: P0 read back differs from the program sent "
                              "in line %02d\n",
                              differing);
             After(PageDelayMs, [this] {
                 Shoot(0);
                 ShootEditing([this] {
                     ShootCheck([this] { ShootBackup([this] { RunProgramAndChart(); }); });
                 });
             });
         });
}

void ScreenshotHook::ShootEditing(std::function<void()> next) {
    QMenu* menu = window_.Editing().Edycja;
    window_.MainMenu1->setActiveAction(menu->menuAction()); // opens the menu
    After(PageDelayMs, [this, menu, next = std::move(next)]() mutable {
        ShootOver(menu, QStringLiteral("edit-menu.png"));
        menu->hide();
        window_.Editing().EditAsText();
        After(PageDelayMs, [this, next = std::move(next)] {
            TextView* view = window_.Editing().Text;
            ShootOver(view, QStringLiteral("text-view.png"));
            view->reject();
            // The manual's page of a command, as F1 in the line edit dialog opens it.
            ManualView* manual = ManualView::Show(
                ManualView::CommandPage(static_cast<int>(CommandCode::X_DST)), &window_);
            After(PageDelayMs, [this, manual, next = std::move(next)] {
                if (!manual->grab().save(QDir(directory_).filePath("manual-command.png")))
                    std::fprintf(stderr, "screenshot: cannot write manual-command.png\n");
                manual->close();
                next();
            });
        });
    });
}

void ScreenshotHook::ShootCheck(std::function<void()> next) {
    ProgramSet& programs = window_.Programs();
    const ProgramLine lines[] = {
        Line(CommandCode::X_DST, 1000), Line(CommandCode::M_EN),     Line(CommandCode::X_DST, 2000),
        Line(CommandCode::W_INP),       Line(CommandCode::J_CNT, 2), Line(CommandCode::J_LIN, 22),
        Line(CommandCode::V_DST, 5000), Line(CommandCode::END),
    };
    programs.ClearProgram(1);
    int index = 0;
    for (const ProgramLine& line : lines)
        programs.SetLine(1, index++, line);
    window_.Editor().p[1]->click();
    window_.Check().CheckProgram1->trigger();
    After(PageDelayMs, [this, next = std::move(next)]() mutable {
        ShootOver(&window_, QStringLiteral("check-marks.png"));
        AnswerQuestion(QStringLiteral("question-check.png"), QMessageBox::No);
        window_.Editor().BitBtn6->click(); // "Wyślij program": asks, not sent
        window_.Editor().p[0]->click();
        After(PageDelayMs, std::move(next));
    });
}

void ScreenshotHook::ShootBackup(std::function<void()> next) {
    ControllerBackupView& backups = window_.Backups();
    window_.PageControl1->setCurrentWidget(window_.TabSheet2);
    window_.MainMenu1->setActiveAction(window_.Plik1->menuAction()); // opens the menu
    const QString file = QDir(QDir::tempPath()).filePath(QStringLiteral("kxrd4-stanowisko.kxb"));
    After(PageDelayMs, [this, &backups, file, next = std::move(next)]() mutable {
        ShootOver(window_.Plik1, QStringLiteral("backup-menu.png"));
        window_.Plik1->hide();
        QFile::remove(file);
        backups.BackupTo(file);
        AnswerQuestion(QStringLiteral("backup-summary.png"), QMessageBox::Ok);
        When([&backups] { return !backups.Busy() && QApplication::activeModalWidget() == nullptr; },
             10000, "end of the backup",
             [this, &backups, file, next = std::move(next)]() mutable {
                 // The backup with one line and one parameter changed goes back.
                 std::string text;
                 ControllerBackup backup;
                 ControllerBackup::Error error;
                 if (FileAccess::ReadWhole(file.toStdString(), 1 << 20, text) ==
                         FileAccess::ReadStatus::Ok &&
                     ControllerBackup::Parse(text, backup, error)) {
                     backup.parameters.erase("home");
                     backup.parameters["vmax"].value = 5000;
                     backup.programs.SetLine(1, 0, Line(CommandCode::END)); // P0 stays as sent
                     text = backup.Write({"stanowisko 5"});
                     FileAccess::WriteAtomically(file.toStdString(), text.data(), text.size());
                 }
                 AnswerQuestion(QStringLiteral("question-restore.png"), QMessageBox::Yes);
                 backups.RestoreFrom(file);
                 AnswerQuestion(QStringLiteral("restore-summary.png"), QMessageBox::Ok);
                 When(
                     [&backups] {
                         return !backups.Busy() && QApplication::activeModalWidget() == nullptr;
                     },
                     10000, "end of the restore",
                     [file, next = std::move(next)] {
                         QFile::remove(file);
                         next();
                     });
             });
    });
}

void ScreenshotHook::ShootOver(QWidget* top, const QString& name) {
    QPixmap shot;
    if (QScreen* screen = window_.screen();
        screen != nullptr && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        const QRect area = window_.frameGeometry()
                               .united(top->frameGeometry())
                               .translated(-screen->geometry().topLeft());
        shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    }
    if (shot.isNull())
        shot = top->grab();
    const QString path = QDir(directory_).filePath(name);
    if (!shot.save(path))
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
}

void ScreenshotHook::RunProgramAndChart() {
    window_.Editor().BitBtn8->click(); // "Uruchom program" (the chart runs with it)
    auto* play = window_.findChild<QAbstractButton*>(QStringLiteral("PlayChartButton"));
    if (play != nullptr && !window_.Control().ChartRunning())
        play->click();
    window_.PageControl1->setCurrentWidget(window_.TabSheet3);
    After(ChartMs, [this] {
        Shoot(1);
        window_.Symulacja1->trigger(); // the prediction over the live chart
        After(PageDelayMs, [this] {
            ShootOver(&window_, QStringLiteral("simulation.png"));
            ShootLimits([this] {
                ShootRecording([this] { ShowAndShoot(2, [this] { CloseAfterSaveQuestion(); }); });
            });
        });
    });
}

void ScreenshotHook::ShootLimits(std::function<void()> next) {
    // The travel limits 0..50000 on "Opcje"; then as an operator would: the
    // program stopped, the axis sent to 48600 and jogged by 1000 towards
    // 50000 until the jog is refused, a program passing 50000 checked and
    // run (asked, "Nie"), and Esc in the line edit dialog while the axis
    // moves. The limits are removed again at the end.
    TravelLimitsView& limits = window_.Limits();
    limits.CheckDevice();
    limits.MinField->setText(QStringLiteral("0"));
    limits.MaxField->setText(QStringLiteral("50000"));
    limits.VmaxField->setText(QStringLiteral("8000"));
    limits.Save();
    window_.PageControl1->setCurrentWidget(window_.TabSheet2);
    After(PageDelayMs, [this, next] {
        ShootOver(&window_, QStringLiteral("limits.png"));
        window_.Editor().BitBtn9->click(); // "Zatrzymaj program" (P0 loops)
        window_.PageControl1->setCurrentWidget(window_.TabSheet3);
        After(1500, [this, next] {
            window_.Control().Field("XdstLabel")->setText(QStringLiteral("48600"));
            if (auto* write =
                    window_.findChild<QAbstractButton*>(QStringLiteral("WriteXdstButton")))
                write->click();
            JogUntilRefused(0, next);
        });
    });
}

bool ScreenshotHook::AtRest() const {
    return !window_.Guard().Moving() && window_.Guard().Position().has_value();
}

void ScreenshotHook::JogUntilRefused(int jogs, std::function<void()> next) {
    When([this] { return AtRest() && window_.Guard().Position() != 0; }, 20000, "the axis at rest",
         [this, jogs, next] {
             const int at = window_.Guard().Position().value_or(0);
             std::fprintf(stderr, "screenshot: the axis at rest at %d\n", at);
             if (auto* delta = window_.findChild<QComboBox*>(QStringLiteral("Delta")))
                 delta->setCurrentIndex(999); // 1000
             if (at + 1000 <= 50000 && jogs < 5) {
                 if (auto* jog = window_.findChild<QAbstractButton*>(QStringLiteral("BitBtn3")))
                     jog->click(); // "Przesuń w prawo" by 1000
                 After(300, [this, jogs, next] { JogUntilRefused(jogs + 1, next); });
                 return;
             }
             AnswerQuestion(QStringLiteral("jog-refused.png"), QMessageBox::Ok);
             QTimer::singleShot(0, [this] {
                 if (auto* jog = window_.findChild<QAbstractButton*>(QStringLiteral("BitBtn3")))
                     jog->click(); // refused: beyond 50000
             });
             When([] { return QApplication::activeModalWidget() == nullptr; }, 5000,
                  "the refusal answered",
                  [this, next] {
                      After(3 * PageDelayMs, [this, next] { ShootTravelCheck(next); });
                  });
         });
}

void ScreenshotHook::ShootTravelCheck(std::function<void()> next) {
    ProgramSet& programs = window_.Programs();
    const ProgramLine lines[] = {Line(CommandCode::M_EN), Line(CommandCode::X_DST, 60000),
                                 Line(CommandCode::END)};
    programs.ClearProgram(2);
    int index = 0;
    for (const ProgramLine& line : lines)
        programs.SetLine(2, index++, line);
    window_.PageControl1->setCurrentWidget(window_.TabSheet1);
    window_.Editor().p[2]->click();
    window_.Check().CheckProgram1->trigger();
    After(PageDelayMs, [this, next] {
        ShootOver(&window_, QStringLiteral("travel-marks.png"));
        std::fprintf(stderr, "screenshot: travel-marks.png: line 01: %s\n",
                     qPrintable(window_.Editor().line[1]->toolTip()));
        AnswerQuestion(QStringLiteral("question-travel.png"), QMessageBox::No);
        window_.Editor().BitBtn8->click(); // "Uruchom program": asks, not run
        When([] { return QApplication::activeModalWidget() == nullptr; }, 5000,
             "the question answered",
             [this, next] {
                 std::fprintf(stderr, "screenshot: after Nie the axis %s\n",
                              window_.Guard().Moving() ? "moves" : "stands");
                 window_.Editor().p[0]->click();
                 StopFromLineEditor(next);
             });
    });
}

void ScreenshotHook::StopFromLineEditor(std::function<void()> next) {
    // The axis on its way back to 0 (the chart polls it on "Sterowanie");
    // the line edit dialog open on line 03.
    window_.PageControl1->setCurrentWidget(window_.TabSheet3);
    window_.Control().Field("XdstLabel")->setText(QStringLiteral("0"));
    if (auto* write = window_.findChild<QAbstractButton*>(QStringLiteral("WriteXdstButton")))
        write->click();
    window_.OpenLineEditor(3); // X_DST 12000: a line with an operand
    When([this] { return window_.Guard().Moving(); }, 5000, "the axis moving",
         [this, next] {
             After(500, [this, next] {
                 ShootOver(&window_, QStringLiteral("stop-button.png"));
                 TFProg* dialog = window_.LineEditor();
                 if (dialog != nullptr &&
                     !dialog->grab().save(QDir(directory_).filePath("line-editor.png")))
                     std::fprintf(stderr, "screenshot: cannot write line-editor.png\n");
                 QWidget* target = QApplication::focusWidget() != nullptr
                                       ? QApplication::focusWidget()
                                       : static_cast<QWidget*>(dialog);
                 const int before = window_.Guard().Position().value_or(0);
                 QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                 QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
                 QApplication::sendEvent(target, &press);
                 QApplication::sendEvent(target, &release);
                 std::fprintf(stderr, "screenshot: Esc in the line edit dialog at %d; dialog %s\n",
                              before, dialog != nullptr && dialog->isVisible() ? "open" : "closed");
                 When([this] { return !window_.Guard().Moving(); }, 5000, "the axis stopped",
                      [this, next] {
                          std::fprintf(stderr, "screenshot: the axis at rest at %d after Esc\n",
                                       window_.Guard().Position().value_or(0));
                          TravelLimitsView& limits = window_.Limits();
                          limits.MinField->clear();
                          limits.MaxField->clear();
                          limits.VmaxField->clear();
                          limits.Save();
                          next();
                      });
             });
         });
}

void ScreenshotHook::ShootRecording(std::function<void()> next) {
    // The axis brought to rest first; the program (out and back for ever) is
    // then run with "Nagrywaj" and the recording stopped by unticking it.
    window_.StopAxis();
    After(3000, [this, next] {
        window_.Recording().Box()->setChecked(true);
        window_.Editor().BitBtn8->click(); // "Uruchom program" with "Nagrywaj"
        After(7000, [this, next] {
            window_.Recording().Box()->setChecked(false);
            ShootRecorded(next);
        });
    });
}

void ScreenshotHook::ShootRecorded(std::function<void()> next) {
    RunRecording& recording = window_.Recording();
    When([&recording] { return !recording.Active() && recording.LastRecording() != nullptr; }, 5000,
         "the end of the recorded run",
         [this, next] {
             After(PageDelayMs, [this, next] {
                 ShootOver(&window_, QStringLiteral("run-view.png"));
                 RunRecording& recording = window_.Recording();
                 RunReportContent content;
                 content.toolVersion = KxVersion;
                 content.serial = "DEMO-1";
                 content.emulated = true;
                 content.programs = &recording.LastPrograms();
                 content.program = recording.LastProgram();
                 content.findings =
                     ProgramCheck::CheckProgram(recording.LastPrograms(), recording.LastProgram());
                 content.parameters = &recording.LastParameters();
                 content.recording = recording.LastRecording();
                 content.comparison = recording.LastComparison();
                 content.tolerance = recording.Tolerance();
                 QString error;
                 if (!RunReport::Write(QDir(directory_).filePath(QStringLiteral("report.pdf")),
                                       content, error))
                     std::fprintf(stderr, "screenshot: %s\n", qPrintable(error));
                 recording.Box()->setChecked(false);
                 next();
             });
         });
}

void ScreenshotHook::CloseAfterSaveQuestion() {
    window_.MarkModified();
    AnswerQuestion(QStringLiteral("question-close.png"), QMessageBox::No);
    window_.close();
}

void ScreenshotHook::AnswerQuestion(const QString& name, QMessageBox::StandardButton answer) {
    // The box runs its own event loop inside the click or close that shows
    // it; the timers of this hook go on running there.
    const auto question = [] {
        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    };
    When([question] { return question() != nullptr; }, 5000, "question box",
         [this, question, name, answer] {
             After(PageDelayMs, [this, question, name, answer] {
                 QMessageBox* box = question();
                 if (box == nullptr)
                     return;
                 ShootOver(box, name);
                 // The buttons' texts, for checks of the translation.
                 QStringList texts;
                 for (QAbstractButton* button : box->buttons())
                     texts << button->text().remove(QLatin1Char('&'));
                 const QString preset = box->defaultButton() != nullptr
                                            ? box->defaultButton()->text().remove(QLatin1Char('&'))
                                            : QStringLiteral("none");
                 std::fprintf(stderr, "screenshot: %s buttons: %s (default %s)\n", qPrintable(name),
                              qPrintable(texts.join(QStringLiteral(" | "))), qPrintable(preset));
                 if (QAbstractButton* button = box->button(answer))
                     button->click();
             });
         });
}

void ScreenshotHook::Shoot(int page) {
    QPixmap shot;
    if (QScreen* screen = window_.screen();
        screen != nullptr && QGuiApplication::platformName() != QLatin1String("offscreen"))
        shot = screen->grabWindow(window_.winId());
    if (shot.isNull())
        shot = window_.grab();
    const QString name = PageFileName(page);
    const QString path = QDir(directory_).filePath(name);
    if (!shot.save(path))
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
    // The connection state of the status bar, in UTF-8 on every platform.
    std::fprintf(stderr, "screenshot: %s link: %s\n", name.toUtf8().constData(),
                 window_.StatusPanel(1)->text().toUtf8().constData());
}
