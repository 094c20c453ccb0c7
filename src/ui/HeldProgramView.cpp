#include "HeldProgramView.h"

#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <algorithm>

#include "EditorHost.h"
#include "EditorPage.h"
#include "MessageBoxes.h"

namespace {

constexpr int DevicePollMs = 100;
const QColor SameColour(0, 110, 0);
const QColor ChangedColour(170, 0, 0);
const QColor UnknownColour(96, 96, 96);

} // namespace

HeldProgramView::HeldProgramView(EditorPage& editor, EditorHost& host, Actions actions,
                                 QObject* parent)
    : QObject(parent), editor_(editor), host_(host), actions_(std::move(actions)) {
    // Right of the lines, at the foot of the listing: the lines never reach it.
    HeldLabel = new QLabel(editor_.ProgBox);
    HeldLabel->setObjectName(QStringLiteral("HeldLabel"));
    // In the window's font, not the listing's of the box: with every
    // property its own, none comes from the box.
    QFont font = editor_.font();
    font.setResolveMask(QFont::AllPropertiesResolved);
    HeldLabel->setFont(font);
    HeldLabel->setGeometry(200, 466, 118, 60);
    HeldLabel->setWordWrap(true);
    HeldLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    devicePoll_ = new QTimer(this);
    devicePoll_->setInterval(DevicePollMs);
    connect(devicePoll_, &QTimer::timeout, this, [this] { CheckDevice(); });
    devicePoll_->start();
    chainTimeout_ = new QTimer(this);
    chainTimeout_->setSingleShot(true);
    chainTimeout_->setInterval(ChainTimeoutMs);
    connect(chainTimeout_, &QTimer::timeout, this, [this] {
        EndChain(tr("Sterownik nie potwierdził programu %1: program nie został "
                    "uruchomiony")
                     .arg(chainProgram_));
    });
    connect(&editor_, &EditorPage::ProgramRendered, this, [this] { Refresh(); });
    CheckDevice();
    Refresh();
}

void HeldProgramView::CheckDevice() {
    const std::string device = actions_.currentDevice ? actions_.currentDevice() : std::string();
    if (device == device_)
        return;
    device_ = device;
    held_.Forget();
    if (phase_ != Phase::Idle)
        EndChain(tr("Sterownik zmieniony: program %1 nie został uruchomiony").arg(chainProgram_));
    Refresh();
}

void HeldProgramView::SendStarted(int program) {
    if (!ProgramSet::IsValidProgram(program))
        return;
    // The controller in use is looked at first: what was known of another goes.
    CheckDevice();
    held_.SendStarted(program, HeldPrograms::BytesOf(host_.Programs(), program));
    Refresh();
}

void HeldProgramView::Learned(int program, const std::optional<HeldPrograms::Bytes>& bytes) {
    if (bytes)
        held_.Learned(program, *bytes);
    else
        held_.Lost(program);
    Refresh();
}

void HeldProgramView::ProgramSent(int program) {
    held_.Stored(program);
    Refresh();
    if (phase_ == Phase::Sending && program == chainProgram_) {
        phase_ = Phase::Verifying;
        editorBytes_ = HeldPrograms::BytesOf(host_.Programs(), program);
        try {
            actions_.read(program);
        } catch (...) {
            EndChain(tr("Program %1 nie został odczytany").arg(program));
        }
    }
}

void HeldProgramView::TransferStalled(int program) {
    if (phase_ != Phase::Idle && program == chainProgram_)
        EndChain(tr("Brak odpowiedzi sterownika: program %1 nie został uruchomiony").arg(program));
}

bool HeldProgramView::ProgramRead(int program) {
    if (!ProgramSet::IsValidProgram(program))
        return false;
    CheckDevice();
    ProgramSet& set = host_.Programs();
    const HeldPrograms::Bytes read = HeldPrograms::BytesOf(set, program);
    const bool chained =
        (phase_ == Phase::Probing || phase_ == Phase::Verifying) && program == chainProgram_;
    if (chained && phase_ == Phase::Probing)
        held_.Learned(program, read);
    else
        held_.Read(program, read);
    if (!chained) {
        Refresh();
        return false;
    }
    // The read-back went into the set: the editor gets its program back.
    std::copy(editorBytes_.begin(), editorBytes_.end(), set.LineBytes(program, 0));
    editor_.RenderProgram();
    if (phase_ == Phase::Probing) {
        phase_ = Phase::Idle;
        chainTimeout_->stop();
        Refresh();
        if (read == editorBytes_) {
            host_.ShowStatus(tr("Program %1 w sterowniku jest zgodny z edytorem").arg(program));
            actions_.run(program);
        } else if (BeforeRun(program)) { // asks as for a changed program
            actions_.run(program);
        }
        return true;
    }
    if (read == sentBytes_) {
        EndChain(tr("Program %1 wysłany, sprawdzony odczytem i uruchomiony").arg(program));
        actions_.run(program);
        return true;
    }
    const auto differing = std::mismatch(read.begin(), read.end(), sentBytes_.begin()).first;
    const int line = static_cast<int>(differing - read.begin()) / 8;
    const QString text = tr("Odczytany program %1 różni się od wysłanego w linii %2: "
                            "program nie został uruchomiony")
                             .arg(program)
                             .arg(line, 2, 10, QLatin1Char('0'));
    EndChain(text);
    host_.Boxes().Show(QMessageBox::Warning, tr("Uruchom program"), text, QMessageBox::Ok);
    return true;
}

bool HeldProgramView::BeforeRun(int program) {
    CheckDevice();
    if (phase_ != Phase::Idle) {
        host_.ShowStatus(tr("Trwa wysyłanie programu %1").arg(chainProgram_));
        return false;
    }
    const HeldPrograms::State state = held_.Compare(program, host_.Programs());
    if (state == HeldPrograms::State::Same)
        return true;
    if (state == HeldPrograms::State::Unknown) {
        // Read back first (the editor keeps its program): it runs at once
        // when the controller holds the editor's program, else the question.
        phase_ = Phase::Probing;
        chainProgram_ = program;
        editorBytes_ = HeldPrograms::BytesOf(host_.Programs(), program);
        chainTimeout_->start();
        host_.ShowStatus(tr("Odczyt programu %1 ze sterownika przed uruchomieniem").arg(program));
        try {
            actions_.read(program);
        } catch (...) {
            EndChain(tr("Program %1 nie został odczytany").arg(program));
        }
        return false;
    }
    const QString question =
        state == HeldPrograms::State::Changed
            ? tr("Program %1 został zmieniony od wysłania; sterownik ma poprzednią wersję.\n"
                 "Tak – wyślij go (ze sprawdzeniem odczytem) i uruchom,\n"
                 "Nie – uruchom wersję ze sterownika.")
            : tr("Program %1 w sterowniku różni się od programu w edytorze.\n"
                 "Tak – wyślij go (ze sprawdzeniem odczytem) i uruchom,\n"
                 "Nie – uruchom wersję ze sterownika.");
    // Both Yes and No set the axis moving: Enter cancels.
    const auto answer = host_.Boxes().Ask(
        QMessageBox::Question, tr("Uruchom program"), question.arg(program),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    phase_ = Phase::Sending;
    chainProgram_ = program;
    sentBytes_ = HeldPrograms::BytesOf(host_.Programs(), program);
    chainTimeout_->start();
    SendStarted(program);
    try {
        actions_.send(program);
    } catch (...) {
        EndChain(tr("Program %1 nie został wysłany").arg(program));
    }
    return false;
}

HeldPrograms::State HeldProgramView::StateShown() const {
    return held_.Compare(editor_.CurrentProgram(), host_.Programs());
}

void HeldProgramView::EndChain(const QString& status) {
    phase_ = Phase::Idle;
    chainTimeout_->stop();
    host_.ShowStatus(status);
    Refresh();
}

void HeldProgramView::Refresh() {
    QString text;
    QColor colour;
    switch (StateShown()) {
    case HeldPrograms::State::Same:
        text = tr("w sterowniku: zgodny");
        colour = SameColour;
        break;
    case HeldPrograms::State::Changed:
        text = tr("w sterowniku: zmieniony od wysłania");
        colour = ChangedColour;
        break;
    case HeldPrograms::State::Differs:
        text = tr("w sterowniku: inny niż w edytorze");
        colour = ChangedColour;
        break;
    case HeldPrograms::State::Unknown:
        text = tr("w sterowniku: nieznany");
        colour = UnknownColour;
        break;
    }
    HeldLabel->setText(text);
    QPalette palette = HeldLabel->palette();
    palette.setColor(QPalette::WindowText, colour);
    HeldLabel->setPalette(palette);
}
