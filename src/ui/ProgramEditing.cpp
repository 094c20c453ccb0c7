#include "ProgramEditing.h"

#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include "EditorHost.h"
#include "EditorPage.h"
#include "LineBlockText.h"
#include "LineShift.h"
#include "MessageBoxes.h"
#include "TextView.h"

namespace {

QString TwoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// "linii 07" or "linii 03–07".
QString LinesText(int first, int last) {
    return first == last ? QStringLiteral("linii ") + TwoDigits(first)
                         : QStringLiteral("linii %1–%2").arg(TwoDigits(first), TwoDigits(last));
}

// "linię 07" or "linie 03–07" (what is removed or copied).
QString LinesObject(int first, int last) {
    return first == last ? QStringLiteral("linię ") + TwoDigits(first)
                         : QStringLiteral("linie %1–%2").arg(TwoDigits(first), TwoDigits(last));
}

QString ErrorText(const LineBlockText::Error& error) {
    const QString message = QString::fromStdString(error.message);
    return error.lineNumber > 0
               ? QStringLiteral("Linia %1 tekstu: %2").arg(error.lineNumber).arg(message)
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

    Cofnij = MakeAction("Cofnij", QStringLiteral("Cofnij"), {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                        &ProgramEditing::Undo);
    Ponow = MakeAction(
        "Ponow", QStringLiteral("Ponów"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        &ProgramEditing::Redo);
    Wytnij = MakeAction("Wytnij", QStringLiteral("Wytnij linie"),
                        {QKeySequence(Qt::CTRL | Qt::Key_X)}, &ProgramEditing::CutLines);
    KopiujLinie = MakeAction("KopiujLinie", QStringLiteral("Kopiuj linie"),
                             {QKeySequence(Qt::CTRL | Qt::Key_C)}, &ProgramEditing::CopyLines);
    KopiujProgram =
        MakeAction("KopiujProgram", QStringLiteral("Kopiuj cały program"),
                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, &ProgramEditing::CopyProgram);
    Wklej = MakeAction("Wklej", QStringLiteral("Wklej linie"), {QKeySequence(Qt::CTRL | Qt::Key_V)},
                       &ProgramEditing::PasteLines);
    WstawLinie = MakeAction("WstawLinie", QStringLiteral("Wstaw linię"),
                            {QKeySequence(Qt::Key_Insert)}, &ProgramEditing::InsertLine);
    UsunLinie = MakeAction("UsunLinie", QStringLiteral("Usuń linię"),
                           {QKeySequence(Qt::CTRL | Qt::Key_Delete)}, &ProgramEditing::DeleteLines);
    EdytujTekst = MakeAction("EdytujTekst", QStringLiteral("Edytuj jako tekst…"),
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
    Edycja = new QMenu(QStringLiteral("Edycja"), bar);
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
    Cofnij->setText(stack.canUndo() ? QStringLiteral("Cofnij: ") + stack.undoText()
                                    : QStringLiteral("Cofnij"));
    Ponow->setEnabled(stack.canRedo());
    Ponow->setText(stack.canRedo() ? QStringLiteral("Ponów: ") + stack.redoText()
                                   : QStringLiteral("Ponów"));
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
    host_.ShowStatus(QStringLiteral("Skopiowano do schowka: ") +
                     LinesObject(selection.First(), selection.Last()));
}

void ProgramEditing::CopyProgram() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(
        LineBlockText::Write(host_.Programs(), program, 0, LinesPerProgram - 1)));
    host_.ShowStatus(QStringLiteral("Skopiowano do schowka: program %1").arg(program));
}

bool ProgramEditing::RemoveSelected(const QString& title, const QString& what) {
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
            QStringLiteral("Do %1 skaczą linie: %2. Czy na pewno chcesz %3 %4?")
                .arg(lines, names.join(QStringLiteral(", ")), what, LinesObject(first, last)),
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
    if (!RemoveSelected(QStringLiteral("Wytnij linie"), QStringLiteral("wyciąć")))
        return;
    QGuiApplication::clipboard()->setText(text);
    history_->Record(QStringLiteral("wycięcie ") + LinesText(first, last), before);
}

void ProgramEditing::PasteLines() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const QString title = QStringLiteral("Wklej linie");
    LineBlockText::Block block;
    LineBlockText::Error error;
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (!LineBlockText::Parse(text, block, error)) {
        Warn(title, QStringLiteral("Tekst ze schowka nie jest programem i nie został wklejony.\n") +
                        ErrorText(error));
        return;
    }
    const int at = editor_.Selection().First();
    const int count = static_cast<int>(block.lines.size());
    ProgramSet& set = host_.Programs();
    if (!LineShift::CanInsert(set, program, at, count)) {
        Warn(title, QStringLiteral("Nie można wkleić %1 linii w linii %2: niepusta linia zostałaby "
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
    history_->Record(QStringLiteral("wklejenie ") + LinesText(at, at + count - 1), before);
}

void ProgramEditing::InsertLine() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const int at = editor_.Selection().Current();
    if (!LineShift::Insert(host_.Programs(), program, at)) {
        Warn(QStringLiteral("Wstaw linię"),
             QStringLiteral("Nie można wstawić linii: linia 24 nie jest pusta."));
        return;
    }
    editor_.SelectLine(at);
    editor_.RenderProgram();
    host_.MarkModified();
    history_->Record(QStringLiteral("wstawienie linii ") + TwoDigits(at));
}

void ProgramEditing::DeleteLines() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    const int first = editor_.Selection().First();
    const int last = editor_.Selection().Last();
    const ProgramHistory::View before{program, editor_.Selection().Current()};
    if (RemoveSelected(QStringLiteral("Usuń linię"), QStringLiteral("usunąć")))
        history_->Record(QStringLiteral("usunięcie ") + LinesText(first, last), before);
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
    if (history_->Record(QStringLiteral("edycja programu %1 jako tekst").arg(program)))
        host_.MarkModified();
}

void ProgramEditing::EditAsText() {
    const int program = editor_.CurrentProgram();
    if (program == NoIndex)
        return;
    if (Text == nullptr)
        Text = new TextView(window_);
    Text->Open(
        QStringLiteral("Program %1 – edycja jako tekst").arg(program),
        QString::fromStdString(LineBlockText::WritePlain(host_.Programs(), program)),
        [this](const QString& text) { return TextError(text); },
        [this, program](const QString& text) {
            host_.RunGuarded([this, program, &text] { ApplyText(program, text); });
        });
}
