#pragma once
// The page "Programowanie": the program choice p0..p9, the listing of the
// current program in the 25 labels line00..line24, the transfer, clear and
// copy buttons, the copy destination Prog and the progress bar pb.
// Mouse on the listing: hover colouring, double-click opens the line edit
// dialog, right-button drag exchanges two lines.
// The keyboard on the listing (ProgBox has the focus): Up/Down, PgUp/PgDn,
// Home/End move the selection (with Shift they extend it), Enter opens the
// line edit dialog, Delete clears the selected lines; a left click selects a
// line, Shift+click a range.
// The transfer buttons BitBtn6..BitBtn9 are handled by the hosting window.

#include <QColor>
#include <QString>
#include <QWidget>
#include <array>

#include "DragSource.h"
#include "LineSelection.h"
#include "ProgramSet.h"

class EditorHost;
class QComboBox;
class QGroupBox;
class QLabel;
class QKeyEvent;
class QMouseEvent;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

class EditorPage : public QWidget {
    Q_OBJECT

public:
    explicit EditorPage(EditorHost& host, QWidget* parent = nullptr);

    // The index of the checked button p0..p9, 255 when none is checked.
    int CurrentProgram() const;
    // Sets the 25 labels to the RenderLine texts of the current program.
    void RenderProgram();

    // A mark of a line of the listing: a background of its own (under the
    // hover and selection colours) and a tool tip.
    enum class LineMark { None, Warning, Error };
    void SetLineMark(int line, LineMark mark, const QString& toolTip);
    LineMark MarkOf(int line) const { return marks_[static_cast<std::size_t>(line)]; }
    static const QColor ErrorColour;
    static const QColor WarningColour;

    // Checks the button of the program and shows it.
    void ShowProgram(int program);

    // The selected lines, shown on the listing.
    const LineSelection& Selection() const { return selection_; }
    void SelectLine(int line, bool extend = false);
    // Clears the selected lines to empty lines, nothing moving (Delete).
    void ClearSelectedLines();

    // The line recorded by a right-button press, (255, 255) when no move is
    // pending.
    const DragSource& Drag() const { return drag_; }
    void ResetDragSource() { drag_.Reset(); }

    // The line number of a line label: the last two characters of its name.
    static int LineNumberOf(const QObject* label);

    // Handlers, named after the controls that raise them.
    void p0Click();
    void line00MouseMove(QLabel* label);
    void line00DblClick(QLabel* label);
    void line00MouseDown(QLabel* label, Qt::MouseButton button);
    void line00MouseUp(QLabel* label, Qt::MouseButton button);
    void ProgBoxMouseMove();
    void ProgBoxMouseDown();
    void BitBtn5Click();
    void BitBtn10Click();

    // The page's controls.
    QGroupBox* ProgNumBox = nullptr;
    std::array<QRadioButton*, ProgramCount> p{};
    QGroupBox* GroupBox3 = nullptr;
    QToolButton* BitBtn6 = nullptr;
    QToolButton* BitBtn7 = nullptr;
    QGroupBox* GroupBox10 = nullptr;
    QToolButton* BitBtn8 = nullptr;
    QToolButton* BitBtn9 = nullptr;
    QGroupBox* GroupBox8 = nullptr;
    QToolButton* BitBtn5 = nullptr;
    QGroupBox* GroupBox9 = nullptr;
    QPushButton* BitBtn10 = nullptr;
    QComboBox* Prog = nullptr;
    QGroupBox* GroupBox11 = nullptr;
    QProgressBar* pb = nullptr;
    QGroupBox* ProgBox = nullptr;
    std::array<QLabel*, LinesPerProgram> line{};

signals:
    // The listing was drawn anew (after a change, or another program shown).
    void ProgramRendered();
    // The context menu of the lines was asked for from the keyboard (the
    // right button moves lines), at a point of the screen.
    void LineMenuRequested(const QPoint& globalPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The line label under a point of the screen, or null.
    QLabel* LineLabelAt(const QPointF& globalPosition) const;
    // The label's colours from the hover and the selection.
    void PaintLabel(int n);
    void PaintSelection(const LineSelection& before);
    bool ListingKeyPress(QKeyEvent* event);
    // Sets the labels' texts (RenderProgram without its signal).
    void RenderLines();

    EditorHost& host_;
    DragSource drag_;
    LineSelection selection_;
    QLabel* hovered_ = nullptr;
    // A length of text that surely fits the form's label width; longer texts
    // are measured and widen their label when they need it.
    int fittingLength_ = 0;
    // The width of a label for each text length longer than that, 0 while
    // not measured; kept only when the font is fixed-pitch.
    static constexpr int MeasuredLengths = 64;
    bool fixedPitch_ = false;
    std::array<int, MeasuredLengths> widthByLength_{};
    std::array<LineMark, LinesPerProgram> marks_{};
};
