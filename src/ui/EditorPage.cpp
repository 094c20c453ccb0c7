#include "EditorPage.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>

#include "EditorHost.h"
#include "FormControls.h"
#include "MessageBoxes.h"

namespace {

// The fixed-pitch font of the listing and of Prog, so the columns line up.
QFont ListingFont() {
    return FixedPitchFont(13);
}

// A button with its glyph above the caption.
QToolButton* GlyphButton(QWidget* parent, const char* name, const QString& caption,
                         const QString& glyph, const QRect& geometry) {
    auto* button = Place<QToolButton>(parent, name, geometry);
    button->setText(caption);
    button->setIcon(ResourceIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

// The width of a line label in the form; a longer text widens it.
constexpr int LabelWidth = 156;
const QColor HoverColour(255, 255, 255);
const QColor PlainColour(0, 0, 0);
// PgUp and PgDn move the selection by this many lines.
constexpr int PageLines = 10;

QString TwoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// "linii 07" or "linii 03–07".
QString LinesText(const LineSelection& selection) {
    return selection.Count() == 1
               ? EditorPage::tr("linii %1").arg(TwoDigits(selection.First()))
               : EditorPage::tr("linii %1–%2")
                     .arg(TwoDigits(selection.First()), TwoDigits(selection.Last()));
}

} // namespace

EditorPage::EditorPage(EditorHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    ProgNumBox = Place<QGroupBox>(this, "ProgNumBox", QRect(0, 3, 526, 45));
    for (int k = 0; k < ProgramCount; ++k) {
        auto* button = new QRadioButton(QStringLiteral("P%1").arg(k), ProgNumBox);
        button->setObjectName(QStringLiteral("p%1").arg(k));
        button->setGeometry(23 + 50 * k, 17, 34, 17);
        connect(button, &QRadioButton::clicked, this,
                [this] { host_.RunGuarded([this] { p0Click(); }); });
        p[k] = button;
    }
    p[0]->setChecked(true);

    GroupBox3 = Place<QGroupBox>(this, "GroupBox3", QRect(0, 54, 191, 141));
    BitBtn6 = GlyphButton(GroupBox3, "BitBtn6", tr("Wyślij program"),
                          QStringLiteral(":/shell/send.png"), QRect(18, 21, 151, 52));
    BitBtn7 = GlyphButton(GroupBox3, "BitBtn7", tr("Odczytaj program"),
                          QStringLiteral(":/shell/receive.png"), QRect(18, 79, 151, 52));
    GroupBox10 = Place<QGroupBox>(this, "GroupBox10", QRect(0, 201, 191, 134));
    BitBtn8 = GlyphButton(GroupBox10, "BitBtn8", tr("Uruchom program"),
                          QStringLiteral(":/shell/run.png"), QRect(18, 13, 151, 52));
    BitBtn9 = GlyphButton(GroupBox10, "BitBtn9", tr("Zatrzymaj program"),
                          QStringLiteral(":/shell/stop.png"), QRect(18, 71, 151, 52));
    GroupBox8 = Place<QGroupBox>(this, "GroupBox8", QRect(0, 341, 191, 84));
    BitBtn5 = GlyphButton(GroupBox8, "BitBtn5", tr("Wyczyść program"),
                          QStringLiteral(":/shell/clear.png"), QRect(18, 15, 151, 52));
    GroupBox9 = Place<QGroupBox>(this, "GroupBox9", QRect(0, 431, 191, 104));
    // Glyph left of the caption, both centred as on a push button.
    BitBtn10 =
        Place<QPushButton>(GroupBox9, "BitBtn10", QRect(18, 15, 151, 52),
                           ResourceIcon(QStringLiteral(":/shell/copy.png")), tr("Kopiuj program"));
    Prog = Place<QComboBox>(GroupBox9, "Prog", QRect(18, 73, 151, 24));
    Prog->setFont(ListingFont());
    for (int k = 0; k < ProgramCount; ++k)
        Prog->addItem(tr("Program %1").arg(k));
    Prog->setCurrentIndex(0);
    GroupBox11 = Place<QGroupBox>(this, "GroupBox11", QRect(0, 541, 191, 44));
    pb = Place<QProgressBar>(GroupBox11, "pb", QRect(18, 13, 151, 16));
    pb->setRange(0, LinesPerProgram);
    pb->setValue(0);
    pb->setTextVisible(false);

    connect(BitBtn5, &QToolButton::clicked, this,
            [this] { host_.RunGuarded([this] { BitBtn5Click(); }); });
    connect(BitBtn10, &QPushButton::clicked, this,
            [this] { host_.RunGuarded([this] { BitBtn10Click(); }); });

    ProgBox = Place<QGroupBox>(this, "ProgBox", QRect(203, 54, 323, 531));
    ProgBox->setMouseTracking(true);
    // The line labels take the listing's font from the box (set once, not
    // on each of them); other labels in the box set the window's font.
    const QFont font = ListingFont();
    ProgBox->setFont(font);
    for (int n = 0; n < LinesPerProgram; ++n) {
        auto* label = new QLabel(ProgBox);
        label->setObjectName(QStringLiteral("line%1").arg(n, 2, 10, QLatin1Char('0')));
        label->setGeometry(36, 21 + 20 * n, LabelWidth, 20);
        label->setTextFormat(Qt::PlainText);
        label->setMouseTracking(true);
        line[n] = label;
        PaintLabel(n);
    }
    // Texts up to this length fit the form's width without being measured:
    // no character is wider than the font's widest one (given in whole
    // pixels, so one more is allowed for its rounding). A longer text is
    // measured, once per length in a fixed-pitch font.
    fixedPitch_ = QFontInfo(font).fixedPitch();
    fittingLength_ = LabelWidth / (QFontMetrics(font).maxWidth() + 1);
    // The keyboard works on the listing, which has the focus from the start.
    ProgBox->setFocusPolicy(Qt::StrongFocus);
    ProgBox->setFocus();
    // The mouse on the listing is seen before any widget handles it. This is
    // also how a right-button release is taken by the line label under the
    // pointer, whichever widget received the press.
    qApp->installEventFilter(this);
}

// Pale red and pale yellow: the line text stays black and readable on both.
const QColor EditorPage::ErrorColour(255, 196, 196);
const QColor EditorPage::WarningColour(255, 236, 160);

int EditorPage::CurrentProgram() const {
    for (int k = 0; k < ProgramCount; ++k)
        if (p[k]->isChecked())
            return k;
    return NoIndex;
}

void EditorPage::RenderProgram() {
    RenderLines();
    emit ProgramRendered();
}

void EditorPage::SetLineMark(int n, LineMark mark, const QString& toolTip) {
    if (n < 0 || n >= LinesPerProgram)
        return;
    marks_[static_cast<std::size_t>(n)] = mark;
    line[n]->setToolTip(toolTip);
    PaintLabel(n);
}

void EditorPage::RenderLines() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    const ProgramSet& set = host_.Programs();
    for (int n = 0; n < LinesPerProgram; ++n) {
        QLabel* label = line[n];
        const QString text = QString::fromStdString(RenderLine(n, set.Line(program, n)));
        if (label->text() == text)
            continue;
        label->setText(text);
        // The labels size themselves to their text, so the longest lines
        // ("X_DST  +0012000") keep their last digit; never below the form's
        // width. Only a text too long for that width is measured.
        int width = LabelWidth;
        if (text.size() > fittingLength_) {
            // In a fixed-pitch font the width follows from the length alone:
            // each length is measured once.
            const bool cached = fixedPitch_ && text.size() < MeasuredLengths;
            int* known = cached ? &widthByLength_[static_cast<std::size_t>(text.size())] : nullptr;
            if (known == nullptr || *known == 0) {
                width = std::max(LabelWidth, label->sizeHint().width());
                if (known != nullptr)
                    *known = width;
            } else {
                width = *known;
            }
        }
        if (label->width() != width)
            label->resize(width, label->height());
    }
}

int EditorPage::LineNumberOf(const QObject* label) {
    const QString name = label->objectName();
    bool ok = false;
    const int number = name.right(2).toInt(&ok);
    return ok ? number : -1;
}

void EditorPage::ShowProgram(int program) {
    if (!ProgramSet::IsValidProgram(program))
        return;
    p[program]->setChecked(true);
    RenderProgram();
}

void EditorPage::SelectLine(int number, bool extend) {
    const LineSelection before = selection_;
    selection_.Select(number, extend);
    PaintSelection(before);
}

void EditorPage::PaintSelection(const LineSelection& before) {
    for (int n = std::min(before.First(), selection_.First());
         n <= std::max(before.Last(), selection_.Last()); ++n)
        PaintLabel(n);
}

void EditorPage::ClearSelectedLines() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    for (int n = selection_.First(); n <= selection_.Last(); ++n)
        host_.Programs().ClearLine(program, n);
    RenderProgram();
    host_.MarkModified();
    host_.RecordChange(tr("wyczyszczenie %1").arg(LinesText(selection_)));
}

void EditorPage::p0Click() {
    RenderProgram();
}

void EditorPage::PaintLabel(int n) {
    QLabel* label = line[n];
    const bool hovered = label == hovered_;
    const bool selected = selection_.Contains(n);
    // White text on the light page would all but vanish: the line under the
    // mouse is shown on the selection colour; the selected lines on a paler
    // one, with black text.
    const QColor highlight = ProgBox->palette().color(QPalette::Highlight);
    // A marked line keeps its mark's colour under the selection's.
    const LineMark mark = marks_[static_cast<std::size_t>(n)];
    const QColor plain = mark == LineMark::Error     ? ErrorColour
                         : mark == LineMark::Warning ? WarningColour
                                                     : ProgBox->palette().color(QPalette::Window);
    QColor background = plain;
    if (hovered)
        background = highlight;
    else if (selected)
        background = QColor((highlight.red() + 2 * plain.red()) / 3,
                            (highlight.green() + 2 * plain.green()) / 3,
                            (highlight.blue() + 2 * plain.blue()) / 3);
    const QColor text = hovered ? HoverColour : PlainColour;
    QPalette palette = label->palette();
    const bool fill = hovered || selected || mark != LineMark::None;
    if (palette.color(QPalette::WindowText) == text &&
        palette.color(QPalette::Window) == background && label->autoFillBackground() == fill)
        return;
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, background);
    label->setAutoFillBackground(fill);
    label->setPalette(palette);
}

void EditorPage::line00MouseMove(QLabel* label) {
    hovered_ = label;
    for (int n = 0; n < LinesPerProgram; ++n)
        PaintLabel(n);
}

void EditorPage::ProgBoxMouseMove() {
    hovered_ = nullptr;
    for (int n = 0; n < LinesPerProgram; ++n)
        PaintLabel(n);
}

void EditorPage::line00DblClick(QLabel* label) {
    const int number = LineNumberOf(label);
    if (number >= 0 && number < LinesPerProgram)
        host_.OpenLineEditor(number);
}

void EditorPage::line00MouseDown(QLabel* label, Qt::MouseButton button) {
    if (button == Qt::RightButton)
        drag_.Press(CurrentProgram(), LineNumberOf(label));
}

void EditorPage::line00MouseUp(QLabel* label, Qt::MouseButton button) {
    if (button != Qt::RightButton)
        return;
    const int from = drag_.Line();
    const int to = LineNumberOf(label);
    if (!drag_.Drop(host_.Programs(), to))
        return;
    host_.MarkModified();
    RenderProgram();
    host_.RecordChange(tr("zamiana linii %1 i %2").arg(TwoDigits(from), TwoDigits(to)));
}

void EditorPage::ProgBoxMouseDown() {
    ResetDragSource();
}

void EditorPage::BitBtn5Click() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    const auto answer =
        host_.Boxes().Show(QMessageBox::Question, tr("Wyczyść program"),
                           tr("Czy na pewno chcesz wyczyścić program %1").arg(program),
                           QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    host_.Programs().ClearProgram(program);
    RenderProgram();
    host_.MarkModified();
    host_.ShowStatus(tr("Program został wczyszczony"));
    host_.RecordChange(tr("wyczyszczenie programu %1").arg(program));
}

void EditorPage::BitBtn10Click() {
    const int source = CurrentProgram();
    const int destination = Prog->currentIndex();
    if (source == NoIndex || destination < 0 || destination >= ProgramCount)
        return;
    // The bar runs full while the 200 bytes are copied and ends at 25.
    pb->setValue(0);
    host_.Programs().CopyProgram(source, destination);
    pb->setValue(LinesPerProgram);
    host_.MarkModified();
    host_.ShowStatus(tr("Program został skopiowany"));
    host_.RecordChange(tr("kopiowanie programu %1 do %2").arg(source).arg(destination));
}

QLabel* EditorPage::LineLabelAt(const QPointF& globalPosition) const {
    QWidget* under = QApplication::widgetAt(globalPosition.toPoint());
    for (QLabel* each : line)
        if (each == under)
            return each;
    return nullptr;
}

bool EditorPage::ListingKeyPress(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool extend = modifiers == Qt::ShiftModifier;
    if (modifiers != Qt::NoModifier && !extend)
        return false;
    const int current = selection_.Current();
    switch (event->key()) {
    case Qt::Key_Up:
        SelectLine(current - 1, extend);
        return true;
    case Qt::Key_Down:
        SelectLine(current + 1, extend);
        return true;
    case Qt::Key_PageUp:
        SelectLine(current - PageLines, extend);
        return true;
    case Qt::Key_PageDown:
        SelectLine(current + PageLines, extend);
        return true;
    case Qt::Key_Home:
        SelectLine(0, extend);
        return true;
    case Qt::Key_End:
        SelectLine(LinesPerProgram - 1, extend);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (extend)
            return false;
        host_.RunGuarded([this, current] { host_.OpenLineEditor(current); });
        return true;
    case Qt::Key_Delete:
        if (extend)
            return false;
        host_.RunGuarded([this] { ClearSelectedLines(); });
        return true;
    default:
        return false;
    }
}

bool EditorPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && watched == ProgBox)
        return ListingKeyPress(static_cast<QKeyEvent*>(event));
    if (type == QEvent::ContextMenu &&
        (watched == ProgBox || (watched->parent() == ProgBox && qobject_cast<QLabel*>(watched)))) {
        // The right button moves lines; the menu comes from the keyboard.
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse)
            return true;
        const QLabel* current = line[selection_.Current()];
        emit LineMenuRequested(current->mapToGlobal(current->rect().center()));
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        QLabel* target = LineLabelAt(mouse->globalPosition());
        if (target == nullptr)
            return false;
        host_.RunGuarded([this, target] { line00MouseUp(target, Qt::RightButton); });
        return true;
    }
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonDblClick)
        return false;
    if (watched == ProgBox) {
        if (type == QEvent::MouseMove)
            host_.RunGuarded([this] { ProgBoxMouseMove(); });
        else
            host_.RunGuarded([this] { ProgBoxMouseDown(); });
        return false;
    }
    auto* label = qobject_cast<QLabel*>(watched);
    if (label == nullptr || label->parent() != ProgBox)
        return false;
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    if (type == QEvent::MouseMove)
        host_.RunGuarded([this, label] { line00MouseMove(label); });
    else if (type == QEvent::MouseButtonPress) {
        if (button == Qt::LeftButton) {
            // A left click selects the line, Shift+click a range.
            const bool extend = static_cast<QMouseEvent*>(event)->modifiers() & Qt::ShiftModifier;
            SelectLine(LineNumberOf(label), extend);
            ProgBox->setFocus(Qt::MouseFocusReason);
        }
        host_.RunGuarded([this, label, button] { line00MouseDown(label, button); });
    } else {
        // The second press of a double-click reaches the label only as the
        // double-click; it is a press all the same (a right one starts a move).
        if (button == Qt::LeftButton)
            host_.RunGuarded([this, label] { line00DblClick(label); });
        host_.RunGuarded([this, label, button] { line00MouseDown(label, button); });
    }
    // The box behind the label must not see it: a press there cancels a move.
    return true;
}
