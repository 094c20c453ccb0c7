#include "EditorPage.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
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
    button->setIcon(QIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

// The width of a line label in the form; a longer text widens it.
constexpr int LabelWidth = 156;
const QColor HoverColour(255, 255, 255);
const QColor PlainColour(0, 0, 0);

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
    BitBtn6 = GlyphButton(GroupBox3, "BitBtn6", QStringLiteral("Wyślij program"),
                          QStringLiteral(":/shell/send.png"), QRect(18, 21, 151, 52));
    BitBtn7 = GlyphButton(GroupBox3, "BitBtn7", QStringLiteral("Odczytaj program"),
                          QStringLiteral(":/shell/receive.png"), QRect(18, 79, 151, 52));
    GroupBox10 = Place<QGroupBox>(this, "GroupBox10", QRect(0, 201, 191, 134));
    BitBtn8 = GlyphButton(GroupBox10, "BitBtn8", QStringLiteral("Uruchom program"),
                          QStringLiteral(":/shell/run.png"), QRect(18, 13, 151, 52));
    BitBtn9 = GlyphButton(GroupBox10, "BitBtn9", QStringLiteral("Zatrzymaj program"),
                          QStringLiteral(":/shell/stop.png"), QRect(18, 71, 151, 52));
    GroupBox8 = Place<QGroupBox>(this, "GroupBox8", QRect(0, 341, 191, 84));
    BitBtn5 = GlyphButton(GroupBox8, "BitBtn5", QStringLiteral("Wyczyść program"),
                          QStringLiteral(":/shell/clear.png"), QRect(18, 15, 151, 52));
    GroupBox9 = Place<QGroupBox>(this, "GroupBox9", QRect(0, 431, 191, 104));
    // Glyph left of the caption, both centred as on a push button.
    BitBtn10 = Place<QPushButton>(GroupBox9, "BitBtn10", QRect(18, 15, 151, 52),
                                  QIcon(QStringLiteral(":/shell/copy.png")),
                                  QStringLiteral("Kopiuj program"));
    Prog = Place<QComboBox>(GroupBox9, "Prog", QRect(18, 73, 151, 24));
    Prog->setFont(ListingFont());
    for (int k = 0; k < ProgramCount; ++k)
        Prog->addItem(QStringLiteral("Program %1").arg(k));
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
    const QFont font = ListingFont();
    for (int n = 0; n < LinesPerProgram; ++n) {
        auto* label = new QLabel(ProgBox);
        label->setObjectName(QStringLiteral("line%1").arg(n, 2, 10, QLatin1Char('0')));
        label->setGeometry(36, 21 + 20 * n, LabelWidth, 20);
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        label->setMouseTracking(true);
        SetLabelColour(label, PlainColour);
        line[n] = label;
    }
    // The mouse on the listing is seen before any widget handles it. This is
    // also how a right-button release is taken by the line label under the
    // pointer, whichever widget received the press.
    qApp->installEventFilter(this);
}

int EditorPage::CurrentProgram() const {
    for (int k = 0; k < ProgramCount; ++k)
        if (p[k]->isChecked())
            return k;
    return NoIndex;
}

void EditorPage::RenderProgram() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    const ProgramSet& set = host_.Programs();
    for (int n = 0; n < LinesPerProgram; ++n) {
        QLabel* label = line[n];
        label->setText(QString::fromStdString(RenderLine(n, set.Line(program, n))));
        // The labels size themselves to their text, so the longest lines
        // ("X_DST  +0012000") keep their last digit; never below the form's width.
        label->resize(std::max(LabelWidth, label->sizeHint().width()), label->height());
    }
}

int EditorPage::LineNumberOf(const QObject* label) {
    const QString name = label->objectName();
    bool ok = false;
    const int number = name.right(2).toInt(&ok);
    return ok ? number : -1;
}

void EditorPage::p0Click() {
    RenderProgram();
}

void EditorPage::SetLabelColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    if (palette.color(QPalette::WindowText) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    // White text on the light page would all but vanish: the line under the
    // mouse is shown on the selection colour.
    const bool hovered = colour == HoverColour;
    palette.setColor(QPalette::Window, hovered ? ProgBox->palette().color(QPalette::Highlight)
                                               : ProgBox->palette().color(QPalette::Window));
    label->setAutoFillBackground(hovered);
    label->setPalette(palette);
}

void EditorPage::line00MouseMove(QLabel* label) {
    for (QLabel* each : line)
        if (each != label)
            SetLabelColour(each, PlainColour);
    SetLabelColour(label, HoverColour);
}

void EditorPage::ProgBoxMouseMove() {
    for (QLabel* each : line)
        SetLabelColour(each, PlainColour);
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
    if (!drag_.Drop(host_.Programs(), LineNumberOf(label)))
        return;
    host_.MarkModified();
    RenderProgram();
}

void EditorPage::ProgBoxMouseDown() {
    ResetDragSource();
}

void EditorPage::BitBtn5Click() {
    const int program = CurrentProgram();
    if (program == NoIndex)
        return;
    const auto answer = host_.Boxes().Show(
        QMessageBox::Question, QStringLiteral("Wyczyść program"),
        QStringLiteral("Czy na pewno chcesz wyczyścić program ") + QString::number(program),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    host_.Programs().ClearProgram(program);
    RenderProgram();
    host_.MarkModified();
    host_.ShowStatus(QStringLiteral("Program został wczyszczony"));
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
    host_.ShowStatus(QStringLiteral("Program został skopiowany"));
}

QLabel* EditorPage::LineLabelAt(const QPointF& globalPosition) const {
    QWidget* under = QApplication::widgetAt(globalPosition.toPoint());
    for (QLabel* each : line)
        if (each == under)
            return each;
    return nullptr;
}

bool EditorPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
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
    else if (type == QEvent::MouseButtonPress)
        host_.RunGuarded([this, label, button] { line00MouseDown(label, button); });
    else {
        // The second press of a double-click reaches the label only as the
        // double-click; it is a press all the same (a right one starts a move).
        if (button == Qt::LeftButton)
            host_.RunGuarded([this, label] { line00DblClick(label); });
        host_.RunGuarded([this, label, button] { line00MouseDown(label, button); });
    }
    // The box behind the label must not see it: a press there cancels a move.
    return true;
}
