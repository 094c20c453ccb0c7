// The programming side in English: the held-program label, the editing
// commands and their questions, the program check's findings, the controller
// backup and its questions, the controller's replies and transfer errors, and
// the run report's texts show no Polish; and the text view's errors are all
// Polish in the Polish window (no English inside).

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "ControllerBackupView.h"
#include "ControllerMessages.h"
#include "DeviceReportProcessor.h"
#include "DeviceTexts.h"
#include "EditorPage.h"
#include "HeldProgramView.h"
#include "InEnglish.h"
#include "MessageLetter.h"
#include "PolishText.h"
#include "ProgramCheckView.h"
#include "ProgramEditing.h"
#include "ProgramListing.h"
#include "RunReport.h"
#include "RunReportText.h"
#include "ShellFixture.h"
#include "TextView.h"

namespace {

// The text fits the label's box (wrapped where the label wraps).
bool Fits(const QLabel* label) {
    const QRect needed = label->fontMetrics().boundingRect(
        label->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft, label->text());
    return needed.height() <= label->contentsRect().height() &&
           needed.width() <= label->contentsRect().width();
}

// English words of the listing's errors that must not show in the Polish
// window.
bool LooksEnglish(const QString& text) {
    static const QSet<QString> words{
        "the",    "is",     "unknown",  "command", "missing", "expected",    "outside", "range",
        "number", "raw",    "bytes",    "byte",    "holds",   "line",        "lines",   "not",
        "of",     "after",  "operands", "whole",   "listed",  "hexadecimal", "digits",  "found",
        "items",  "header", "clamp",    "follows", "neither", "contact",     "state"};
    static const QRegularExpression separators(QStringLiteral("[^A-Za-z]+"));
    for (const QString& word : text.toLower().split(separators, Qt::SkipEmptyParts)) {
        if (words.contains(word))
            return true;
    }
    return false;
}

ProgramSet Listing(const std::string& listing) {
    ProgramSet set;
    ProgramListing::Error error;
    EXPECT_TRUE(ProgramListing::Parse(listing, false, set, error)) << error.message;
    return set;
}

// The window with the English texts loaded.
class EnglishPrograms : public InEnglish<ShellFixture> {
protected:
    QStringList Boxes() const {
        QStringList texts;
        for (const auto& call : boxes.calls)
            texts << call.title << call.text;
        return texts;
    }
};

TEST_F(EnglishPrograms, EditingCommandsHeldLabelAndTheirQuestionsAreEnglish) {
    QStringList texts;
    ProgramEditing& editing = window->Editing();
    texts << editing.Edycja->title();
    for (QAction* action : editing.Edycja->actions())
        texts << action->text();
    // The held-program label in each state.
    HeldProgramView& held = window->Held();
    window->Programs() = Listing("P0\n[00]  M_EN\n[01]  END\n");
    window->Editor().ShowProgram(0);
    const HeldPrograms::Bytes editor = HeldPrograms::BytesOf(window->Programs(), 0);
    HeldPrograms::Bytes other = editor;
    other[3] ^= 1;
    texts << held.HeldLabel->text(); // unknown
    EXPECT_TRUE(Fits(held.HeldLabel));
    held.Learned(0, editor);
    texts << held.HeldLabel->text(); // same
    held.Learned(0, other);
    texts << held.HeldLabel->text(); // differs
    EXPECT_TRUE(Fits(held.HeldLabel)) << held.HeldLabel->text().toStdString();
    held.SendStarted(0);
    held.ProgramSent(0);
    window->Programs().LineBytes(0, 5)[0] = 1;
    window->Editor().RenderProgram();
    EXPECT_EQ(held.StateShown(), HeldPrograms::State::Changed);
    texts << held.HeldLabel->text();
    EXPECT_TRUE(Fits(held.HeldLabel)) << held.HeldLabel->text().toStdString();
    // The run question of a changed program (answered Cancel).
    boxes.answers = {QMessageBox::Cancel};
    EXPECT_FALSE(held.BeforeRun(0));

    // Each editing command's question or warning, and the undo texts.
    window->Programs() = Listing("P0\n[00]  W_TIM  00010\n[01]  J_LIN  00\n[24]  END\n");
    window->Editor().ShowProgram(0);
    window->Editor().SelectLine(0);
    boxes.answers = {QMessageBox::No, QMessageBox::No};
    editing.DeleteLines(); // line 01 jumps into it
    editing.CutLines();
    editing.InsertLine(); // line 24 is not empty
    QGuiApplication::clipboard()->setText(QStringLiteral("[00]  FOO"));
    editing.PasteLines();
    QGuiApplication::clipboard()->setText(QStringLiteral("[00]  END\n[01]  END"));
    window->Editor().SelectLine(23);
    editing.PasteLines(); // would push line 24 out
    window->Programs() = Listing("P0\n[00]  END\n");
    window->Editor().ShowProgram(0);
    window->Editor().SelectLine(0);
    editing.InsertLine();
    editing.CopyLines();
    texts << window->StatusPanel(0)->text();
    texts << editing.Cofnij->text();
    editing.Undo();
    texts << editing.Ponow->text();
    texts << Boxes();
    EXPECT_GE(boxes.calls.size(), 6u);
    // The text view with an error in it.
    editing.EditAsText();
    ASSERT_NE(editing.Text, nullptr);
    editing.Text->Text->setPlainText(QStringLiteral("[00]  X_DST  +99999999"));
    texts << editing.Text->windowTitle() << editing.Text->Problem->text();
    EXPECT_FALSE(editing.Text->Problem->text().contains("--clamp"));
    editing.Text->Text->setPlainText(QStringLiteral("[00]  FOO\n[01]  END"));
    EXPECT_EQ(editing.Text->Problem->text(),
              "Line 1 of the text: line 00: unknown command \"FOO\"");
    editing.Text->reject();
    const QStringList polish = PolishAmong(texts);
    EXPECT_TRUE(polish.isEmpty()) << Joined(polish);
}

// Each kind of finding the check can give, in the window's marks, log,
// status text and the send question.
TEST_F(EnglishPrograms, EveryKindOfFindingIsShownInEnglish) {
    using Kind = ProgramCheck::Kind;
    auto raw = [](int line, ProgramLine bytes) {
        return RenderLine(line, bytes) + std::string(ProgramListing::RawSeparator) +
               ProgramListing::RawText(bytes) + "\n";
    };
    struct Row {
        Kind kind;
        std::string listing;
        std::int32_t travel = 1000; // the limits: -travel..travel
        std::int32_t vmax = 2000;
    };
    const std::vector<Row> rows = {
        {Kind::UnknownCommand, "P0\n" + raw(0, {42}) + "[01]  END\n"},
        {Kind::DigitOutOfRange, "P0\n" + raw(0, {1, 0, 12, 0, 0, 0}) + "[01]  END\n"},
        {Kind::IoOutOfRange, "P0\n" + raw(0, {13, 2, 1}) + "[01]  END\n"},
        {Kind::JumpOutOfRange, "P0\n" + raw(0, {14, 30})},
        {Kind::JumpToEmptyLine, "P0\n[00]  M_EN\n[01]  J_LIN  22\n"},
        {Kind::ProgramOutOfRange, "P0\n" + raw(0, {17, 12})},
        {Kind::ProgToEmptyProgram, "P0\n[00]  PROG   3\n"},
        {Kind::RunsPastLastLine, "P0\n[00]  M_EN\n"},
        {Kind::LoopWithoutWait, "P0\n[00]  S_OUT  0  on\n[01]  S_OUT  0  off\n[02]  J_LIN  00\n"},
        {Kind::MoveWhileDisabled, "P0\n[00]  X_DST  +0000100\n[01]  END\n"},
        {Kind::MoveWithZeroLimit, "P0\n[00]  M_EN\n[01]  V_MAX  00000\n[02]  V_DF+\n[03]  END\n"},
        {Kind::HomeVelocityZero, "P0\n[00]  M_EN\n[01]  HOME   0  NO\n[02]  END\n"},
        {Kind::LeavesTravel, "P0\n[00]  M_EN\n[01]  X_DST  +0005000\n[02]  END\n"},
        {Kind::AboveVelocityLimit, "P0\n[00]  M_EN\n[01]  X_DST  +0005000\n[02]  END\n", 100000,
         999},
        {Kind::Unreachable, "P0\n[00]  END\n[01]  M_EN\n"},
        {Kind::CounterNotSet, "P0\n[00]  W_TIM  00010\n[01]  J_CNT  00\n[02]  END\n"},
        {Kind::FixedInput, "P0\n[00]  W_INP  0  on\n[01]  END\n"},
        {Kind::ClampedValue, "P0\n[00]  M_EN\n[01]  V_DST  +05000\n[02]  END\n"},
    };
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(Kind::ClampedValue) + 1) << "a kind is missing";
    ProgramCheckView& check = window->Check();
    TravelLimits limits;
    check.SetTravel([&limits] { return limits; }, [] { return 0; });
    auto* log = Find<QPlainTextEdit>(QStringLiteral("Memo2"));
    for (const Row& row : rows) {
        SCOPED_TRACE(ProgramCheck::Code(row.kind));
        limits.min = -row.travel;
        limits.max = row.travel;
        limits.vmax = row.vmax;
        window->Programs() = Listing(row.listing);
        window->Editor().ShowProgram(0);
        log->clear();
        boxes.calls.clear();
        check.CheckProgram1->trigger();
        bool found = false;
        for (const auto& finding : check.Findings())
            found = found || finding.kind == row.kind;
        EXPECT_TRUE(found);
        QStringList texts = log->toPlainText().split('\n');
        texts << window->StatusPanel(0)->text();
        for (int n = 0; n < LinesPerProgram; ++n)
            texts << window->Editor().line[n]->toolTip();
        boxes.answers = {QMessageBox::No};
        check.ConfirmSend(0);
        texts << Boxes();
        const QStringList polish = PolishAmong(texts);
        EXPECT_TRUE(polish.isEmpty()) << Joined(polish);
    }
    window->Programs() = Listing("P0\n[00]  M_EN\n[01]  J_LIN  22\n");
    window->Editor().ShowProgram(0);
    log->clear();
    check.CheckProgram1->trigger();
    EXPECT_TRUE(log->toPlainText().contains("P0 [01] error: jump to empty line 22"))
        << log->toPlainText().toStdString();
    EXPECT_EQ(window->Editor().line[1]->toolTip(), "Jump to empty line 22");
}

TEST_F(EnglishPrograms, BackupViewAndItsQuestionsAreEnglish) {
    ControllerBackupView& view = window->Backups();
    window->Config(); // "Opcje" boxes are built when first asked for
    QStringList texts = PolishTextsIn(view.Box);
    for (QAction* action : {view.BackupAction, view.RestoreAction})
        texts << action->text();
    texts << ControllerBackupView::Filter();
    for (const QPushButton* button : {view.BackupButton, view.RestoreButton, view.CancelButton})
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
    // Without a controller: the warning of each command.
    view.Backup();
    view.Restore();
    texts << Boxes();
    EXPECT_EQ(boxes.calls.size(), 2u);
    const QStringList polish = PolishAmong(texts);
    EXPECT_TRUE(polish.isEmpty()) << Joined(polish);
}

// A sink that keeps what the window would show.
class ShownTexts : public DeviceReportSink {
public:
    void AppendHexLog(std::string_view) override {}
    void AppendTextLog(std::string_view line) override { log.emplace_back(line); }
    void ShowStatus(std::string_view text, bool) override {
        if (!text.empty())
            status.emplace_back(text);
    }
    void SetValueField(std::string_view, std::int32_t) override {}
    void SetNoNc(std::optional<int>) override {}
    void AddChartSample(std::int32_t, std::int32_t) override {}
    void SetProgress(int) override {}
    void AdvanceProgress() override {}
    void RenderProgram() override {}
    std::vector<std::string> status;
    std::vector<std::string> log;
};

class NoOutput : public ReportOutput {
public:
    void SendReport(std::uint8_t, const std::uint8_t*, std::size_t) override {}
};

TEST_F(EnglishPrograms, EveryReplyAndTransferErrorOfTheControllerIsTranslated) {
    QStringList untranslated;
    auto check = [&untranslated](const std::string& text) {
        const QString shown = DeviceTexts::Translate(text);
        if (shown == QString::fromStdString(text) || LooksPolish(shown))
            untranslated << QString::fromStdString(text) + QStringLiteral(" → ") + shown;
    };
    int replies = 0;
    for (int letter = FirstMessageLetter; letter <= LastMessageLetter; ++letter) {
        const std::string_view text = DeviceReportProcessor::ReplyText(letter);
        if (!text.empty()) {
            check(std::string(text));
            ++replies;
        }
    }
    EXPECT_GE(replies, 30);
    // The transfer errors: not started (each cause, send and read), stalled
    // at a line and at the confirmation, and a controller that went silent.
    ProgramSet programs;
    NoOutput output;
    ControllerMessages messages(output, programs);
    ShownTexts sink;
    std::int64_t now = 0;
    DeviceReportProcessor processor(programs, messages, sink, [&now] { return now; });
    const auto lineWrite = static_cast<std::uint8_t>(MessageLetter::LineWrite);
    const auto lineRead = static_cast<std::uint8_t>(MessageLetter::LineRead);
    const std::uint8_t first[2] = {3, 0};
    for (const auto letter : {lineWrite, lineRead}) {
        for (const auto why : {ReportWriteResult::NoDevice, ReportWriteResult::UnsuitableDevice,
                               ReportWriteResult::Failed})
            processor.RequestWritten(letter, first, 2, why);
    }
    const int device = 0;
    processor.CheckTimeouts(&device);
    processor.RequestWritten(lineWrite, first, 2, ReportWriteResult::Written);
    for (std::uint8_t line = 0; line < 7; ++line) {
        const std::uint8_t reply[3] = {lineWrite, 3, line};
        processor.Process(reply, 3);
    }
    now += 60000;
    processor.CheckTimeouts(&device);
    processor.RequestWritten(lineWrite, first, 2, ReportWriteResult::Written);
    for (std::uint8_t line = 0; line < LinesPerProgram; ++line) {
        const std::uint8_t reply[3] = {lineWrite, 3, line};
        processor.Process(reply, 3);
    }
    const auto poll = static_cast<std::uint8_t>(MessageLetter::StatusPoll);
    processor.RequestWritten(poll, nullptr, 0, ReportWriteResult::Written);
    now += 60000;
    processor.CheckTimeouts(&device);
    EXPECT_GE(sink.status.size(), 9u);
    for (const std::string& text : sink.status)
        check(text);
    EXPECT_TRUE(untranslated.isEmpty()) << Joined(untranslated);
    ASSERT_GE(sink.status.size(), 7u);
    EXPECT_EQ(DeviceTexts::Translate(sink.status[6]), "No reply from the controller: line 07");
}

TEST_F(EnglishPrograms, TheRunReportIsEnglish) {
    EXPECT_TRUE(RunReportText::English());
    MotionRecording recording;
    RunComparison::Result result;
    result.measuredCycleS = 1.5;
    result.predictedCycleS = 1.25;
    result.maxDeviation = 12;
    result.deviationLine = 2;
    RunComparison::Arrival arrival;
    arrival.line = 3;
    arrival.predictedS = 0.5;
    arrival.measuredS = 0.75;
    result.arrivals = {arrival, RunComparison::Arrival{}};
    result.prediction.enableAssumed = true;
    QStringList texts = RunReportText::Lines(result, recording, 5);
    texts << RunReportText::Summary(result, recording, 5);
    const QStringList polish = PolishAmong(texts);
    EXPECT_TRUE(polish.isEmpty()) << Joined(polish);
    EXPECT_EQ(RunReportText::Seconds(1.5), "1.500 s");
    ProgramCheck::Finding finding;
    finding.polish = "Skok do pustej linii 22";
    finding.english = "jump to empty line 22";
    EXPECT_EQ(RunReportText::FindingText(finding), "jump to empty line 22");
    // The report itself is written; its refusal is English too.
    QTemporaryDir dir;
    ProgramSet programs;
    RunReportContent content;
    content.programs = &programs;
    content.recording = &recording;
    content.comparison = &result;
    content.findings = {finding};
    QString error;
    EXPECT_TRUE(RunReport::Write(dir.filePath("run.pdf"), content, error)) << error.toStdString();
    content.recording = nullptr;
    EXPECT_FALSE(RunReport::Write(dir.filePath("none.pdf"), content, error));
    EXPECT_EQ(error, "No recording for the report");
}

} // namespace

namespace {

// The text view's errors in the Polish window: the listing's English reasons
// come out in Polish.
TEST_F(ShellFixture, TheTextViewsErrorsArePolishThroughout) {
    const std::vector<std::string> texts = {
        "[00]  FOO",
        "[00]  X_DST",
        "[00]  X_DST  abc",
        "[00]  X_DST  +9999999",
        "[00]  J_LIN  30",
        "[00]  W_INP  5  on",
        "[00]  W_INP  0  maybe",
        "[00]  W_INP  0",
        "[00]  HOME   100",
        "[00]  HOME   100  XX",
        "[00]  PROG   12",
        "[00]  PROG",
        "[00]  J_INP",
        "[00]  END  5",
        "[00]",
        "[00]  END  | 01 02",
        "[00]  END  | 01 02 03 04 05 06 07 ZZ",
        "[00]  M_EN  | 0B 00 00 00 00 00 00 00",
        "P3\n[00]  END\nP4\n[00]  END",
        "[00]  END\n[00]  END",
        "[99]  END",
        "P12",
        "",
        "[24]  END\nEND",
    };
    ProgramEditing& editing = window->Editing();
    window->Editor().ShowProgram(0);
    editing.EditAsText();
    ASSERT_NE(editing.Text, nullptr);
    QStringList mixed;
    for (const std::string& text : texts) {
        editing.Text->Text->setPlainText(QString::fromStdString(text));
        const QString problem = editing.Text->Problem->text();
        if (LooksEnglish(problem) || !LooksPolish(problem))
            mixed << QString::fromStdString(text) + QStringLiteral(" → ") + problem;
    }
    EXPECT_TRUE(mixed.isEmpty()) << Joined(mixed);
    editing.Text->Text->setPlainText(QStringLiteral("[00]  FOO"));
    EXPECT_EQ(editing.Text->Problem->text(), "Linia 1 tekstu: linia 00: nieznany rozkaz \"FOO\"");
    editing.Text->reject();
}

} // namespace
