#include "ProgramCheckView.h"

#include <QAction>
#include <QMenu>

#include "EditorHost.h"
#include "EditorPage.h"
#include "MessageBoxes.h"
#include "ProgramDryRun.h"
#include "UiLanguage.h"

namespace {

// The finding's own text in the window's language: the check words each
// finding in Polish and in English (the command line's).
QString FindingText(const ProgramCheck::Finding& finding) {
    return QString::fromStdString(UiLanguage::Current() == Language::English ? finding.english
                                                                             : finding.polish);
}

// As a sentence of its own (a tool tip): the English text begins in lower case.
QString FindingSentence(const ProgramCheck::Finding& finding) {
    QString text = FindingText(finding);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString LineText(const ProgramCheck::Finding& finding) {
    const QString line = QStringLiteral("%1").arg(finding.line, 2, 10, QLatin1Char('0'));
    return (finding.grade == ProgramCheck::Grade::Error
                ? ProgramCheckView::tr("P%1 [%2] błąd: %3")
                : ProgramCheckView::tr("P%1 [%2] ostrzeżenie: %3"))
        .arg(QString::number(finding.program), line, FindingText(finding));
}

} // namespace

ProgramCheckView::ProgramCheckView(EditorPage& editor, EditorHost& host, Log log, QObject* parent)
    : QObject(parent), editor_(editor), host_(host), log_(std::move(log)) {
    CheckProgram1 = new QAction(tr("Sprawdź program"), this);
    CheckProgram1->setObjectName(QStringLiteral("CheckProgram1"));
    CheckProgram1->setShortcut(QKeySequence(Qt::Key_F7));
    connect(CheckProgram1, &QAction::triggered, this,
            [this] { host_.RunGuarded([this] { CheckShownProgram(); }); });
    connect(&editor_, &EditorPage::ProgramRendered, this, [this] {
        if (marking_)
            host_.RunGuarded([this] { Check(editor_.CurrentProgram(), false); });
    });
}

void ProgramCheckView::SetTravel(std::function<std::optional<TravelLimits>()> limits,
                                 std::function<std::optional<std::int32_t>()> position) {
    limits_ = std::move(limits);
    position_ = std::move(position);
}

void ProgramCheckView::AddTo(QMenu* menu) {
    menu->addSeparator();
    menu->addAction(CheckProgram1);
}

void ProgramCheckView::CheckShownProgram() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    marking_ = true;
    Check(program, true);
}

bool ProgramCheckView::ConfirmSend(int program) {
    return Confirm(program, tr("Wyślij program"), tr("Program zawiera błędy. Wysłać mimo to?"));
}

bool ProgramCheckView::ConfirmRun(int program) {
    return Confirm(program, tr("Uruchom program"), tr("Program zawiera błędy. Uruchomić mimo to?"));
}

bool ProgramCheckView::Confirm(int program, const QString& title, const QString& question) {
    Check(program, false);
    if (!ProgramCheck::HasErrors(findings_))
        return true;
    // The operator sees what is wrong before answering.
    marking_ = true;
    Check(program, true);
    // Leaving the travel is named: the operator may know the other errors.
    QString text = question;
    for (const auto& finding : findings_) {
        if (finding.kind == ProgramCheck::Kind::LeavesTravel ||
            finding.kind == ProgramCheck::Kind::AboveVelocityLimit) {
            text = QStringLiteral("P%1 [%2]: %3.\n\n%4")
                       .arg(finding.program)
                       .arg(finding.line, 2, 10, QLatin1Char('0'))
                       .arg(FindingText(finding), question);
            break;
        }
    }
    // Enter answers No: a faulty program goes out only on purpose.
    return host_.Boxes().Ask(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) == QMessageBox::Yes;
}

void ProgramCheckView::Check(int program, bool log) {
    checkedProgram_ = program;
    findings_ = ProgramSet::IsValidProgram(program)
                    ? ProgramCheck::CheckProgram(host_.Programs(), program)
                    : std::vector<ProgramCheck::Finding>{};
    if (ProgramSet::IsValidProgram(program) && limits_) {
        ProgramDryRun::Options run;
        run.travel = limits_();
        run.startPosition = position_ ? position_().value_or(0) : 0;
        if (const auto finding = ProgramDryRun::CheckTravel(host_.Programs(), program, run))
            ProgramCheck::Insert(findings_, *finding);
    }
    Mark();
    if (!log)
        return;
    int errors = 0;
    for (const auto& finding : findings_)
        errors += finding.grade == ProgramCheck::Grade::Error ? 1 : 0;
    const QString summary = findings_.empty()
                                ? tr("Sprawdzenie programu %1: bez uwag").arg(program)
                                : tr("Sprawdzenie programu %1: błędy: %2, ostrzeżenia: %3")
                                      .arg(program)
                                      .arg(errors)
                                      .arg(static_cast<int>(findings_.size()) - errors);
    log_(summary);
    for (const auto& finding : findings_)
        log_(LineText(finding));
    host_.ShowStatus(summary);
}

void ProgramCheckView::Mark() {
    const int shown = editor_.CurrentProgram();
    for (int n = 0; n < LinesPerProgram; ++n) {
        auto mark = EditorPage::LineMark::None;
        QString tip;
        if (marking_ && shown == checkedProgram_) {
            for (const auto& finding : findings_) {
                if (finding.program != shown || n < finding.line || n > finding.LastLine())
                    continue;
                if (finding.grade == ProgramCheck::Grade::Error)
                    mark = EditorPage::LineMark::Error;
                else if (mark == EditorPage::LineMark::None)
                    mark = EditorPage::LineMark::Warning;
                tip +=
                    (tip.isEmpty() ? QString() : QStringLiteral("\n")) + FindingSentence(finding);
            }
        }
        editor_.SetLineMark(n, mark, tip);
    }
}
