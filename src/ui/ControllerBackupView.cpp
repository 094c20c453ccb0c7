#include "ControllerBackupView.h"

#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <ctime>
#include <exception>

#include "BackupHeader.h"
#include "BackupSession.h"
#include "BackupSummary.h"
#include "ControllerSession.h"
#include "DeviceIdentity.h"
#include "DeviceLinkView.h"
#include "FileAccess.h"
#include "FileCommands.h"
#include "FileDialogs.h"
#include "FormControls.h"
#include "GeneralErrorDisplay.h"
#include "KxVersion.h"
#include "MessageBoxes.h"
#include "PlatformHidBackend.h"
#include "SimulatedHidBackend.h"
#include "TJvHidDevice.h"
#include "TextEncoding.h"

namespace {

// A backup file is a few kilobytes; anything much larger is not one.
constexpr std::size_t MaxBackupBytes = 1 << 20;
// After a run, replies to its last requests may still come: the window
// ignores them for this long.
constexpr int SettleMs = 300;

QString ProgramList(const ControllerBackup& file) {
    QStringList programs;
    for (int p = 0; p < ProgramCount; ++p)
        if (file.hasProgram[static_cast<std::size_t>(p)])
            programs << QString("P%1").arg(p);
    return programs.size() == ProgramCount ? QString("P0–P9") : programs.join(", ");
}

// The texts used more than once, in the window's language (looked up when
// used: the language is loaded after the view's code is).
QString BackupTitle() {
    return ControllerBackupView::tr("Kopia sterownika");
}

QString RestoreTitle() {
    return ControllerBackupView::tr("Przywróć sterownik");
}

QString Failed() {
    return ControllerBackupView::tr("Kopia sterownika nie powiodła się");
}

QString RestoreFailed() {
    return ControllerBackupView::tr("Przywracanie sterownika nie powiodło się");
}

} // namespace

QString ControllerBackupView::Filter() {
    return tr("Kopia sterownika (*.kxb)");
}

ControllerBackupView::ControllerBackupView(const Window& window, QWidget* optionsPage,
                                           QObject* parent)
    : QObject(parent), window_(window),
      factory_(ClientFactory(window.link.PlatformBackend() ? nullptr : window.link.Backend())) {
    BackupAction = new QAction(tr("Kopia sterownika…"), this);
    BackupAction->setObjectName("KopiaSterownika1");
    RestoreAction = new QAction(tr("Przywróć sterownik…"), this);
    RestoreAction->setObjectName("PrzywrocSterownik1");
    connect(BackupAction, &QAction::triggered, this,
            [this] { Guarded(&ControllerBackupView::Backup); });
    connect(RestoreAction, &QAction::triggered, this,
            [this] { Guarded(&ControllerBackupView::Restore); });

    Box = Place<QGroupBox>(optionsPage, "GroupBox15", QRect(0, 519, 526, 56), BackupTitle());
    BackupButton =
        Place<QPushButton>(Box, "BackupButton", QRect(24, 22, 145, 25), tr("Kopia sterownika…"));
    RestoreButton = Place<QPushButton>(Box, "RestoreButton", QRect(175, 22, 145, 25),
                                       tr("Przywróć sterownik…"));
    CancelButton = Place<QPushButton>(Box, "CancelButton", QRect(326, 22, 90, 25), tr("Przerwij"));
    connect(BackupButton, &QPushButton::clicked, this,
            [this] { Guarded(&ControllerBackupView::Backup); });
    connect(RestoreButton, &QPushButton::clicked, this,
            [this] { Guarded(&ControllerBackupView::Restore); });
    connect(CancelButton, &QPushButton::clicked, this, &ControllerBackupView::Cancel);

    // The controller comes and goes without telling the view.
    refresh_ = new QTimer(this);
    refresh_->setInterval(200);
    connect(refresh_, &QTimer::timeout, this, &ControllerBackupView::Refresh);
    refresh_->start();
    Refresh();
}

ControllerBackupView::~ControllerBackupView() {
    if (cancel_)
        cancel_->store(true);
    if (worker_.joinable())
        worker_.join();
}

std::function<std::shared_ptr<HidBackend>()>
ControllerBackupView::ClientFactory(const std::shared_ptr<HidBackend>& windowBackend) {
    if (!windowBackend)
        return [] { return CreatePlatformHidBackend(); };
    if (auto simulated = std::dynamic_pointer_cast<SimulatedHidBackend>(windowBackend))
        return [simulated] { return SimulatedHidBackend::NewClient(simulated); };
    return [] { return std::shared_ptr<HidBackend>(); };
}

void ControllerBackupView::SetBackendFactory(std::function<std::shared_ptr<HidBackend>()> factory) {
    factory_ = std::move(factory);
}

void ControllerBackupView::AddTo(QMenu* menu, QAction* before) {
    menu->insertSeparator(before)->setObjectName("N3");
    menu->insertAction(before, BackupAction);
    menu->insertAction(before, RestoreAction);
}

void ControllerBackupView::DisableWhileBusy(std::vector<QWidget*> widgets) {
    disabled_ = std::move(widgets);
    Refresh();
}

void ControllerBackupView::Refresh() {
    const bool idle = !Busy();
    const bool ready = idle && window_.link.CurrentDevice() != nullptr;
    BackupAction->setEnabled(ready);
    RestoreAction->setEnabled(ready);
    BackupButton->setEnabled(ready);
    RestoreButton->setEnabled(ready);
    CancelButton->setEnabled(running_);
    for (QWidget* widget : disabled_)
        widget->setEnabled(idle);
}

bool ControllerBackupView::CurrentController(QString& label, std::string& path) const {
    TJvHidDevice* device = window_.link.CurrentDevice();
    if (device == nullptr)
        return false;
    const DeviceIdentity identity = DeviceIdentity::Of(*device);
    label = QString::fromStdString(identity.Label("KX-RD4"));
    path = identity.path;
    return true;
}

void ControllerBackupView::Guarded(void (ControllerBackupView::*command)()) {
    try {
        (this->*command)();
    } catch (const std::exception& error) {
        GeneralErrorDisplay::Show(window_.boxes, QString::fromUtf8(error.what()));
    } catch (...) {
        GeneralErrorDisplay::Show(window_.boxes, QString());
    }
}

bool ControllerBackupView::Ready(const QString& title, QString& label, std::string& path) {
    if (Busy())
        return false;
    if (!CurrentController(label, path)) {
        Warn(title, tr("Sterownik KX-RD4 nie jest podłączony"));
        return false;
    }
    return true;
}

void ControllerBackupView::Warn(const QString& title, const QString& text) {
    window_.boxes.Show(QMessageBox::Warning, title, text, QMessageBox::Ok);
}

void ControllerBackupView::Backup() {
    QString label;
    std::string path;
    if (!Ready(BackupTitle(), label, path))
        return;
    const QString file = window_.dialogs.GetSaveFileName(BackupTitle(), QString(), Filter());
    if (!file.isEmpty())
        BackupTo(file);
}

void ControllerBackupView::BackupTo(const QString& file) {
    QString label;
    std::string path;
    if (!Ready(BackupTitle(), label, path))
        return;
    if (!FileCommands::MayReplace(window_.boxes, BackupTitle(), file))
        return;
    const DeviceIdentity identity = DeviceIdentity::Of(*window_.link.CurrentDevice());
    Start(
        BackupTitle(), path,
        [this, identity, file, label](BackupSession& session) -> std::function<void()> {
            auto backup = std::make_shared<ControllerBackup>();
            std::string error;
            const bool read = session.Read(*backup, error);
            const std::time_t now = std::time(nullptr);
            return [this, read, backup, error, identity, file, label, now] {
                const QString name = QFileInfo(file).fileName();
                if (!read) {
                    const bool cancelled = cancel_->load();
                    window_.showStatus(cancelled ? tr("Kopia sterownika została przerwana")
                                                 : Failed());
                    Warn(BackupTitle(), tr("Kopia sterownika %1 nie została zapisana (%2). Plik "
                                           "%3 pozostał bez zmian.")
                                            .arg(label, BackupSummary::Reason(error), name));
                    return;
                }
                if (window_.limits)
                    backup->limits = window_.limits();
                const std::string text = backup->Write(
                    BackupHeader::Comments(std::string("kxrd4-pc ") + KxVersion, identity, now));
                if (!FileAccess::WriteAtomically(file.toStdString(), text.data(), text.size())) {
                    window_.showStatus(Failed());
                    Warn(BackupTitle(),
                         tr("Nie można zapisać pliku %1. Plik pozostał bez zmian.").arg(name));
                    return;
                }
                if (window_.held)
                    for (int p = 0; p < ProgramCount; ++p)
                        window_.held(p, HeldPrograms::BytesOf(backup->programs, p));
                window_.showStatus(tr("Kopia sterownika została zapisana"));
                window_.boxes.Show(
                    QMessageBox::Information, BackupTitle(),
                    tr("Kopia sterownika %1 została zapisana do pliku %2: %3 parametrów i "
                       "programy %4.")
                        .arg(label, name, QString::number(backup->parameters.size()),
                             ProgramList(*backup)),
                    QMessageBox::Ok);
            };
        },
        [this, label](const std::string& reason) {
            window_.showStatus(Failed());
            Warn(BackupTitle(), tr("Kopia sterownika %1 nie została zapisana (%2).")
                                    .arg(label, BackupSummary::Reason(reason)));
        });
}

void ControllerBackupView::Restore() {
    QString label;
    std::string path;
    if (!Ready(RestoreTitle(), label, path))
        return;
    const QString file = window_.dialogs.GetOpenFileName(RestoreTitle(), QString(), Filter());
    if (!file.isEmpty())
        RestoreFrom(file);
}

void ControllerBackupView::RestoreFrom(const QString& file) {
    QString label;
    std::string path;
    if (!Ready(RestoreTitle(), label, path))
        return;
    std::string bytes;
    std::string text;
    std::string decodeError;
    if (FileAccess::ReadWhole(file.toStdString(), MaxBackupBytes, bytes) !=
            FileAccess::ReadStatus::Ok ||
        !TextEncoding::ToUtf8(bytes, text, decodeError)) {
        Warn(RestoreTitle(), tr("Nie można odczytać pliku %1").arg(QFileInfo(file).fileName()));
        return;
    }
    auto backup = std::make_shared<ControllerBackup>();
    ControllerBackup::Error error;
    if (!ControllerBackup::Parse(text, *backup, error)) {
        Warn(RestoreTitle(), BackupSummary::ParseError(error, file));
        return;
    }
    BackupSession::Selection selection;
    selection.programs.fill(true);
    selection.parameters = true;
    int parameters = 0;
    for (const auto& key : ControllerBackup::Keys())
        if (backup->parameters.count(key.name) != 0 && !key.moves)
            ++parameters;
    const QString programs = ProgramList(*backup);
    QString what;
    if (!programs.isEmpty() && parameters > 0)
        what = tr("programy %1 oraz %2 parametrów").arg(programs).arg(parameters);
    else if (!programs.isEmpty())
        what = tr("programy %1").arg(programs);
    else if (parameters > 0)
        what = tr("%1 parametrów").arg(parameters);
    else
        what = tr("nic");
    // What the file does not hold stays on the controller as it is.
    QStringList left;
    for (const std::string& item : BackupSession::LeftAlone(*backup, selection))
        left << BackupSummary::ItemName(item);
    if (!left.isEmpty())
        what = tr("%1.\nBez zmian pozostaną (nie ma ich w pliku): %2").arg(what, left.join(", "));
    const auto answer = window_.boxes.Show(
        QMessageBox::Question, RestoreTitle(),
        tr("Czy na pewno chcesz przywrócić sterownik %1 z pliku %2?\n\nZostaną zapisane: %3. "
           "Zawartość sterownika zostanie zastąpiona, a każda zapisana pozycja odczytana "
           "ponownie i sprawdzona. Pozycja i prędkość docelowa nie są zapisywane.")
            .arg(label, QFileInfo(file).fileName(), what),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (window_.allowRestore && !window_.allowRestore())
        return;
    if (backup->parameters.count("home") != 0)
        selection.homing =
            window_.boxes.Ask(QMessageBox::Question, RestoreTitle(),
                              tr("Plik zawiera prędkość bazowania i typ styku. Ich zapisanie "
                                 "uruchamia bazowanie: oś się poruszy.\n\nCzy zapisać je i "
                                 "uruchomić bazowanie?"),
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) == QMessageBox::Yes;
    Start(
        tr("Przywracanie sterownika"), path,
        [this, backup, selection, file, label](BackupSession& session) -> std::function<void()> {
            const auto items = session.Restore(*backup, selection);
            return [this, items, file, label, backup] {
                if (window_.held)
                    TellHeld(items, *backup);
                if (window_.parameter)
                    TellParameters(items, *backup);
                if (backup->limits && window_.keepLimits)
                    window_.keepLimits(*backup->limits);
                const auto summary = BackupSummary::Restore(items, label, file, cancel_->load());
                window_.showStatus(summary.complete ? tr("Sterownik został przywrócony")
                                                    : RestoreFailed());
                window_.boxes.ShowDetailed(
                    summary.complete ? QMessageBox::Information : QMessageBox::Warning,
                    RestoreTitle(), summary.text, summary.details, QMessageBox::Ok);
            };
        },
        [this, label](const std::string& reason) {
            window_.showStatus(RestoreFailed());
            Warn(RestoreTitle(), tr("Nic nie zapisano do sterownika %1 (%2).")
                                     .arg(label, BackupSummary::Reason(reason)));
        });
}

void ControllerBackupView::TellParameters(const std::vector<BackupSession::Item>& items,
                                          const ControllerBackup& file) {
    for (const auto& item : items) {
        const auto value = file.parameters.find(item.name);
        if (value == file.parameters.end() ||
            item.result == BackupSession::Item::Result::NotRestored)
            continue;
        // A value read back equal to the file's is what the controller holds;
        // any other written value is not known now.
        if (item.result == BackupSession::Item::Result::Verified)
            window_.parameter(item.name, value->second);
        else
            window_.parameter(item.name, std::nullopt);
    }
}

void ControllerBackupView::TellHeld(const std::vector<BackupSession::Item>& items,
                                    const ControllerBackup& file) {
    for (int p = 0; p < ProgramCount; ++p) {
        const std::string name = "P" + std::to_string(p);
        bool verified = false;
        bool written = false;
        for (const auto& item : items) {
            if (item.name != name && item.name.rfind(name + " line ", 0) != 0)
                continue;
            verified = verified || item.result == BackupSession::Item::Result::Verified;
            written = written || item.result != BackupSession::Item::Result::NotRestored;
        }
        if (verified)
            window_.held(p, HeldPrograms::BytesOf(file.programs, p));
        else if (written)
            window_.held(p, std::nullopt);
    }
}

void ControllerBackupView::Cancel() {
    if (running_ && cancel_) {
        cancel_->store(true);
        window_.showStatus(tr("%1: przerywanie…").arg(doing_));
    }
}

bool ControllerBackupView::StopAxis(std::optional<int> program) {
    if (!running_ || !stop_ || !cancel_)
        return false;
    stop_->program.store(program.value_or(-1));
    stop_->state.store(StopRequest::Asked);
    cancel_->store(true);
    window_.showStatus(tr("%1: przerwano, zatrzymywanie osi…").arg(doing_));
    return true;
}

void ControllerBackupView::ReportStop(bool sent, const std::string& error) {
    if (sent) {
        window_.showStatus(tr("%1: przerwano, wysłano zatrzymanie osi").arg(doing_));
        return;
    }
    window_.showStatus(tr("Nie udało się wysłać zatrzymania osi"));
    Warn(tr("Zatrzymanie osi"),
         tr("Zatrzymanie osi nie zostało wysłane (%1). Oś może się nadal poruszać.")
             .arg(BackupSummary::Reason(error)));
}

void ControllerBackupView::Start(const QString& what, const std::string& path, Job job,
                                 std::function<void(const std::string&)> failed) {
    running_ = true;
    settling_ = false;
    doing_ = what;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    stop_ = std::make_shared<StopRequest>();
    window_.link.SetWritesPaused(true);
    window_.progress->setRange(0, 1);
    window_.progress->setValue(0);
    window_.showStatus(tr("%1…").arg(what));
    Refresh();
    try {
        StartThread(std::move(job), path, std::move(failed));
    } catch (...) {
        // No thread: the window has the controller again.
        running_ = false;
        window_.link.SetWritesPaused(false);
        Refresh();
        throw;
    }
}

void ControllerBackupView::StartThread(Job job, const std::string& path,
                                       std::function<void(const std::string&)> failed) {
    worker_ = std::thread([this, factory = factory_, timeout = timeout_, cancel = cancel_,
                           stop = stop_, path, job = std::move(job), failed = std::move(failed)] {
        std::function<void()> result;
        try {
            const std::shared_ptr<HidBackend> backend = factory ? factory() : nullptr;
            if (!backend) {
                result = [failed] { failed("no HID support on this system"); };
            } else {
                ControllerSession session(backend, timeout, cancel.get());
                std::string error;
                if (session.Choose(path).outcome != DeviceChoice::Outcome::Chosen) {
                    result = [failed] { failed("the KX-RD4 was disconnected"); };
                } else if (!session.Ready(error)) {
                    result = [failed, error] { failed(error); };
                } else {
                    BackupSession backup(session);
                    backup.SetProgress([this, cancel](int done, int total) {
                        QMetaObject::invokeMethod(
                            this,
                            [this, done, total] {
                                if (running_) {
                                    window_.progress->setRange(0, total);
                                    window_.progress->setValue(done);
                                }
                            },
                            Qt::QueuedConnection);
                        return !cancel->load();
                    });
                    result = job(backup);
                    // A stop asked meanwhile goes out before the session ends.
                    int asked = StopRequest::Asked;
                    if (stop->state.compare_exchange_strong(asked, StopRequest::Taken)) {
                        std::string error;
                        const int program = stop->program.load();
                        const bool sent = session.StopMotion(
                            program >= 0 ? std::optional<int>(program) : std::nullopt, error);
                        result = [this, result, sent, error] {
                            result();
                            ReportStop(sent, error);
                        };
                    }
                }
            }
        } catch (const std::exception& error) {
            result = [failed, reason = std::string(error.what())] { failed(reason); };
        } catch (...) {
            result = [failed] { failed(std::string()); };
        }
        // The session is closed now: its reader stopped, its handles closed.
        QMetaObject::invokeMethod(
            this, [this, result] { Done(result); }, Qt::QueuedConnection);
    });
}

void ControllerBackupView::Done(const std::function<void()>& result) {
    if (worker_.joinable())
        worker_.join();
    running_ = false;
    settling_ = true;
    window_.progress->setRange(0, LinesPerProgram);
    window_.progress->setValue(LinesPerProgram);
    Refresh();
    QTimer::singleShot(SettleMs, this, [this] {
        settling_ = false;
        window_.link.SetWritesPaused(false);
        Refresh();
    });
    // A stop the run could not send: the window's own.
    if (stop_ && stop_->state.load() == StopRequest::Asked && window_.stopAxis)
        window_.stopAxis();
    result();
    emit Finished();
}
