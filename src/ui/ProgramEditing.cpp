#include "ProgramEditing.h"

#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStringList>
#include <utility>

#include "EditorHost.h"
#include "EditorPage.h"
#include "LineBlockText.h"
#include "LineShift.h"
#include "MessageBoxes.h"
#include "TextView.h"
#include "UiLanguage.h"

namespace {

QString TwoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// "linii 07" or "linii 03–07".
QString LinesText(int first, int last) {
    return first == last ? ProgramEditing::tr("linii %1").arg(TwoDigits(first))
                         : ProgramEditing::tr("linii %1–%2").arg(TwoDigits(first), TwoDigits(last));
}

// "linię 07" or "linie 03–07" (what is removed or copied).
QString LinesObject(int first, int last) {
    return first == last ? ProgramEditing::tr("linię %1").arg(TwoDigits(first))
                         : ProgramEditing::tr("linie %1–%2").arg(TwoDigits(first), TwoDigits(last));
}

// The listing's errors (English, also for the command line) in Polish, phrase
// by phrase in this order; the command line's hint about --clamp is dropped
// in either language.
const std::pair<const char*, const char*> ListingPhrases[] = {
    {R"re( \(--clamp clamps it\)$)re", ""},
    {R"re(^(P\d )?line (\d\d)\b)re", "\\1linia \\2"},
    {R"re( is listed twice$)re", " występuje dwukrotnie"},
    {R"re(no command \(write "\*\*\*\*\*" for an empty line\))re",
     "brak rozkazu (pustą linię zapisuje się jako \"*****\")"},
    {R"re(command byte (\S+) is not a command the editor knows; only raw bytes can give this line)re",
     "bajt rozkazu \\1 nie jest rozkazem znanym edytorowi; taką linię można podać tylko surowymi "
     "bajtami"},
    {R"re(unknown command "(.*)"$)re", "nieznany rozkaz \"\\1\""},
    {R"re(unexpected "(.*)" after the operands of (\S+)$)re",
     "nieoczekiwane \"\\1\" po argumentach \\2"},
    {R"re(missing the contact type NO or NC$)re", "brak typu styku NO lub NC"},
    {R"re(missing the state on or off$)re", "brak stanu on lub off"},
    {R"re(missing number$)re", "brak liczby"},
    {R"re(missing I/O number$)re", "brak numeru wejścia/wyjścia"},
    {R"re(missing line$)re", "brak numeru linii"},
    {R"re(missing program$)re", "brak numeru programu"},
    {R"re(expected the contact type NO or NC, not "(.*)"$)re",
     "oczekiwano typu styku NO lub NC, a jest \"\\1\""},
    {R"re(expected the state on or off, not "(.*)"$)re",
     "oczekiwano stanu on lub off, a jest \"\\1\""},
    {R"re(I/O number "(.*)" is outside the range 0 to (\d+)$)re",
     "numer wejścia/wyjścia \"\\1\" jest spoza zakresu 0 do \\2"},
    {R"re(: line "(.*)" is outside the range 0 to (\d+)$)re",
     ": numer linii \"\\1\" jest spoza zakresu 0 do \\2"},
    {R"re(: program "(.*)" is outside the range 0 to (\d+)$)re",
     ": numer programu \"\\1\" jest spoza zakresu 0 do \\2"},
    {R"re("(.*)" is not a whole number$)re", "\"\\1\" nie jest liczbą całkowitą"},
    {R"re((-?\d+) is outside the range (-?\d+) to (-?\d+)$)re",
     "\\1 jest spoza zakresu \\2 do \\3"},
    {R"re(raw bytes must be 8 hexadecimal bytes, found (\d+) items$)re",
     "surowe bajty to 8 bajtów szesnastkowych, a podano \\1"},
    {R"re(raw byte "(.*)" is not two hexadecimal digits$)re",
     "surowy bajt \"\\1\" nie jest dwiema cyframi szesnastkowymi"},
    {R"re(the text "(.*)" and the raw bytes disagree; the bytes read "(.*)"$)re",
     "tekst \"\\1\" nie zgadza się z surowymi bajtami; bajty to \"\\2\""},
    {R"re(^"(.*)" is no program header: programs are P0 to P9$)re",
     "\"\\1\" nie jest nagłówkiem programu: programy to P0 do P9"},
    {R"re(^"(.*)" is neither a program header \(P0 to P9\) nor a line \(\[00\] to \[24\]\)$)re",
     "\"\\1\" nie jest ani nagłówkiem programu (P0 do P9), ani linią ([00] do [24])"},
    {R"re(^"(.*)" is no line number: lines are \[00\] to \[24\]$)re",
     "\"\\1\" nie jest numerem linii: linie to [00] do [24]"},
    {R"re(^line \[(.*)\] comes before any program header \(P0 to P9\)$)re",
     "linia [\\1] stoi przed nagłówkiem programu (P0 do P9)"},
    {R"re(^the text holds more than one program; take one at a time$)re",
     "tekst zawiera więcej niż jeden program; podaj po jednym"},
    {R"re(^a line without a number follows line 24$)re", "linia bez numeru stoi po linii 24"},
    {R"re(^the text holds no program lines$)re", "tekst nie zawiera linii programu"},
};

QString ErrorText(const LineBlockText::Error& error) {
    QString message = QString::fromStdString(error.message);
    const bool english = UiLanguage::Current() == Language::English;
    for (const auto& [pattern, polish] : ListingPhrases) {
        if (english && *polish != '\0')
            continue;
        message.replace(QRegularExpression(QString::fromUtf8(pattern)), QString::fromUtf8(polish));
    }
    return error.lineNumber > 0
               ? ProgramEditing::tr("Linia %1 tekstu: %2").arg(error.lineNumber).arg(message)
               : message;
}

} // namespace

ProgramEditing::ProgramEditing(EditorPage& editor, EditorHost& host, QWidget* window)
    : editor_(editor), host_(host), window_(window) {
    history_ = std::make_unique<ProgramHistory>(
        host_.Programs(),
        ProgramHistory::Hooks{[this] {
                                  return ProgramHistory::View{editor_.CurrentProgram(),
                                                              editor_.Selection().Current()};
                              },
                              [this](const ProgramHistory::View& view) {
                                  editor_.ShowProgram(view.program);
                                  editor_.SelectLine(view.line);
                              },
                              [this] { host_.MarkModified(); }});

    Cofnij = MakeAction("Cofnij", tr("Cofnij"), {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                        &ProgramEditing::Undo);
    Ponow = MakeAction(
        "Ponow", tr("Ponów"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        &ProgramEditing::Redo);
    Wytnij = MakeAction("Wytnij", tr("Wytnij linie"), {QKeySequence(Qt::CTRL | Qt::Key_X)},
                        &ProgramEditing::CutLines);
    KopiujLinie = MakeAction("KopiujLinie", tr("Kopiuj linie"),
                             {QKeySequence(Qt::CTRL | Qt::Key_C)}, &ProgramEditing::CopyLines);
    KopiujProgram =
        MakeAction("KopiujProgram", tr("Kopiuj cały program"),
                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, &ProgramEditing::CopyProgram);
    Wklej = MakeAction("Wklej", tr("Wklej linie"), {QKeySequence(Qt::CTRL | Qt::Key_V)},
                       &ProgramEditing::PasteLines);
    WstawLinie = MakeAction("WstawLinie", tr("Wstaw linię"), {QKeySequence(Qt::Key_Insert)},
                            &ProgramEditing::InsertLine);
    UsunLinie = MakeAction("UsunLinie", tr("Usuń linię"), {QKeySequence(Qt::CTRL | Qt::Key_Delete)},
                           &ProgramEditing::DeleteLines);
    EdytujTekst = MakeAction("EdytujTekst", tr("Edytuj jako tekst…"),
                             {QKeySequence(Qt::CTRL | Qt::Key_T)}, &ProgramEditing::EditAsText);
    // Ctrl+0..9 choose the program.
    for (int k = 0; k < ProgramCount; ++k) {
        auto* choose = new QAction(this);
        choose->setObjectName(QStringLiteral("Program%1").arg(k));
        choose->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + k)));
        choose->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        editor_.addAction(choose);
        connect(choose, &QAction::triggered, this,
                [this, k] { host_.RunGuarded([this, k] { editor_.ShowProgram(k); }); });
    }
    connect(&history_->Stack(), &QUndoStack::indexChanged, this, [this] { UpdateUndoActions(); });
    connect(&history_->Stack(), &QUndoStack::cleanChanged, this, [this] { UpdateUndoActions(); });
    UpdateUndoActions();

    lineMenu_ = std::make_unique<QMenu>();
    lineMenu_->setObjectName(QStringLiteral("LineMenu"));
    lineMenu_->addActions({WstawLinie, UsunLinie});
    lineMenu_->addSeparator();
    lineMenu_->addActions({Wytnij, KopiujLinie, Wklej});
    lineMenu_->addSeparator();
    lineMenu_->addAction(EdytujTekst);
    connect(&editor_, &EditorPage::LineMenuRequested, this, &ProgramEditing::ShowLineMenu);

    editor_.ProgBox->setFocus();
}

ProgramEditing::~ProgramEditing() = default;

QAction* ProgramEditing::MakeAction(const char* name, const QString& caption,
                                    const QList<QKeySequence>& shortcuts,
                                    void (ProgramEditing::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(shortcuts);
    // Only while the focus is on the editor page: the fields of the other
    // pages keep their own keys.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    editor_.addAction(action);
    connect(action, &QAction::triggered, this,
            [this, handler] { host_.RunGuarded([this, handler] { (this->*handler)(); }); });
    return action;
}

void ProgramEditing::AddMenu(QMenuBar* bar, QAction* before) {
    Edycja = new QMenu(tr("Edycja"), bar);
    Edycja->setObjectName(QStringLiteral("Edycja"));
    bar->insertMenu(before, Edycja);
    Edycja->addActions({Cofnij, Ponow});
    Edycja->addSeparator();
    Edycja->addActions({Wytnij, KopiujLinie, KopiujProgram, Wklej});
    Edycja->addSeparator();
    Edycja->addActions({WstawLinie, UsunLinie});
    Edycja->addSeparator();
    Edycja->addAction(EdytujTekst);
}

void ProgramEditing::UpdateUndoActions() {
    const QUndoStack& stack = history_->Stack();
    Cofnij->setEnabled(stack.canUndo());
    Cofnij->setText(stack.canUndo() ? tr("Cofnij: %1").arg(stack.undoText()) : tr("Cofnij"));
    Ponow->setEnabled(stack.canRedo());
    Ponow->setText(stack.canRedo() ? tr("Ponów: %1").arg(stack.redoText()) : tr("Ponów"));
}

void ProgramEditing::ShowLineMenu(const QPoint& globalPosition) {
    lineMenu_->popup(globalPosition);
}

void ProgramEditing::Warn(const QString& title, const QString& text) {
    host_.Boxes().Show(QMessageBox::Warning, title, text, QMessageBox::Ok);
}

void ProgramEditing::Undo() {
    history_->Undo();
}

void ProgramEditing::Redo() {
    history_->Redo();
}

void ProgramEditing::CopyLines() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const LineSelection& selection = editor_.Selection();
    QGuiApplication::clipboard()->setText(QString::fromStdString(
        LineBlockText::Write(host_.Programs(), program, selection.First(), selection.Last())));
    host_.ShowStatus(
        tr("Skopiowano do schowka: %1").arg(LinesObject(selection.First(), selection.Last())));
}

void ProgramEditing::CopyProgram() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(
        LineBlockText::Write(host_.Programs(), program, 0, LinesPerProgram - 1)));
    host_.ShowStatus(tr("Skopiowano do schowka: program %1").arg(program));
}

bool ProgramEditing::RemoveSelected(const QString& title, const QString& question) {
    const int program = editor_.CurrentProgram();
    const int first = editor_.Selection().First();
    const int last = editor_.Selection().Last();
    const std::vector<int> jumps = LineShift::JumpsInto(host_.Programs(), program, first, last);
    if (!jumps.empty()) {
        QStringList names;
        for (const int l : jumps)
            names << TwoDigits(l);
        const QString lines = LinesText(first, last);
        const auto answer = host_.Boxes().Show(
            QMessageBox::Question, title,
            question.arg(lines, names.join(QStringLiteral(", ")), LinesObject(first, last)),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    LineShift::Delete(host_.Programs(), program, first, last);
    editor_.SelectLine(first);
    editor_.RenderProgram();
    host_.MarkModified();
    return true;
}

void ProgramEditing::CutLines() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const int first = editor_.Selection().First();
    const int last = editor_.Selection().Last();
    const ProgramHistory::View before{program, editor_.Selection().Current()};
    const QString text =
        QString::fromStdString(LineBlockText::Write(host_.Programs(), program, first, last));
    if (!RemoveSelected(tr("Wytnij linie"),
                        tr("Do %1 skaczą linie: %2. Czy na pewno chcesz wyciąć %3?")))
        return;
    QGuiApplication::clipboard()->setText(text);
    history_->Record(tr("wycięcie %1").arg(LinesText(first, last)), before);
}

void ProgramEditing::PasteLines() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const QString title = tr("Wklej linie");
    LineBlockText::Block block;
    LineBlockText::Error error;
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (!LineBlockText::Parse(text, block, error)) {
        Warn(title, tr("Tekst ze schowka nie jest programem i nie został wklejony.\n%1")
                        .arg(ErrorText(error)));
        return;
    }
    const int at = editor_.Selection().First();
    const int count = static_cast<int>(block.lines.size());
    ProgramSet& set = host_.Programs();
    if (!LineShift::CanInsert(set, program, at, count)) {
        Warn(title, tr("Nie można wkleić %1 linii w linii %2: niepusta linia zostałaby "
                       "przesunięta poza linię 24.")
                        .arg(count)
                        .arg(TwoDigits(at)));
        return;
    }
    const ProgramHistory::View before{program, editor_.Selection().Current()};
    LineShift::Insert(set, program, at, count);
    for (int i = 0; i < count; ++i)
        set.SetLine(program, at + i, block.lines[static_cast<std::size_t>(i)]);
    editor_.SelectLine(at);
    editor_.SelectLine(at + count - 1, true);
    editor_.RenderProgram();
    host_.MarkModified();
    history_->Record(tr("wklejenie %1").arg(LinesText(at, at + count - 1)), before);
}

void ProgramEditing::InsertLine() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const int at = editor_.Selection().Current();
    if (!LineShift::Insert(host_.Programs(), program, at)) {
        Warn(tr("Wstaw linię"), tr("Nie można wstawić linii: linia 24 nie jest pusta."));
        return;
    }
    editor_.SelectLine(at);
    editor_.RenderProgram();
    host_.MarkModified();
    history_->Record(tr("wstawienie linii %1").arg(TwoDigits(at)));
}

void ProgramEditing::DeleteLines() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const int first = editor_.Selection().First();
    const int last = editor_.Selection().Last();
    const ProgramHistory::View before{program, editor_.Selection().Current()};
    if (RemoveSelected(tr("Usuń linię"),
                       tr("Do %1 skaczą linie: %2. Czy na pewno chcesz usunąć %3?")))
        history_->Record(tr("usunięcie %1").arg(LinesText(first, last)), before);
}

QString ProgramEditing::TextError(const QString& text) const {
    const int program = editor_.CurrentProgram();
    LineBlockText::ProgramLines lines;
    LineBlockText::Error error;
    if (LineBlockText::ParseProgram(text.toStdString(), host_.Programs(), program, lines, error))
        return {};
    return ErrorText(error);
}

void ProgramEditing::ApplyText(int program, const QString& text) {
    LineBlockText::ProgramLines lines;
    LineBlockText::Error error;
    if (!LineBlockText::ParseProgram(text.toStdString(), host_.Programs(), program, lines, error))
        return;
    for (int l = 0; l < LinesPerProgram; ++l)
        host_.Programs().SetLine(program, l, lines[static_cast<std::size_t>(l)]);
    editor_.ShowProgram(program);
    if (history_->Record(tr("edycja programu %1 jako tekst").arg(program)))
        host_.MarkModified();
}

void ProgramEditing::EditAsText() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    if (Text == nullptr)
        Text = new TextView(window_);
    Text->Open(
        tr("Program %1 – edycja jako tekst").arg(program),
        QString::fromStdString(LineBlockText::WritePlain(host_.Programs(), program)),
        [this](const QString& text) { return TextError(text); },
        [this, program](const QString& text) {
            host_.RunGuarded([this, program, &text] { ApplyText(program, text); });
        });
}
