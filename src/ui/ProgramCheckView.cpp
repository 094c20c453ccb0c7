#include "ProgramCheckView.h"

#include <QAction>
#include <QMenu>

#include "EditorHost.h"
#include "EditorPage.h"
#include "MessageBoxes.h"
#include "ProgramDryRun.h"

namespace {

QString Counts(const std::vector<ProgramCheck::Finding>& findings) {
    int errors = 0;
    for (const auto& finding : findings)
        errors += finding.grade == ProgramCheck::Grade::Error ? 1 : 0;
    return QStringLiteral("błędy: %1, ostrzeżenia: %2")
        .arg(errors)
        .arg(static_cast<int>(findings.size()) - errors);
}

QString LineText(const ProgramCheck::Finding& finding) {
    return QStringLiteral("P%1 [%2] %3: %4")
        .arg(finding.program)
        .arg(finding.line, 2, 10, QLatin1Char('0'))
        .arg(finding.grade == ProgramCheck::Grade::Error ? QStringLiteral("błąd")
                                                         : QStringLiteral("ostrzeżenie"))
        .arg(QString::fromStdString(finding.polish));
}

} // namespace

ProgramCheckView::ProgramCheckView(EditorPage& editor, EditorHost& host, Log log, QObject* parent)
    : QObject(parent), editor_(editor), host_(host), log_(std::move(log)) {
    CheckProgram1 = new QAction(QStringLiteral("Sprawdź program"), this);
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
    return Confirm(program, QStringLiteral("Wyślij program"),
                   QStringLiteral("Program zawiera błędy. Wysłać mimo to?"));
}

bool ProgramCheckView::ConfirmRun(int program) {
    return Confirm(program, QStringLiteral("Uruchom program"),
                   QStringLiteral("Program zawiera błędy. Uruchomić mimo to?"));
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
                       .arg(QString::fromStdString(finding.polish), question);
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
    const QString summary =
        findings_.empty()
            ? QStringLiteral("Sprawdzenie programu %1: bez uwag").arg(program)
            : QStringLiteral("Sprawdzenie programu %1: %2").arg(program).arg(Counts(findings_));
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
                tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) +
                       QString::fromStdString(finding.polish);
            }
        }
        editor_.SetLineMark(n, mark, tip);
    }
}
