#include "TFProg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "DeferredStyleIcon.h"
#include "MnemonicTable.h"
#include "ProgramLine.h"

namespace {

// Background of a numeric field whose text is not a whole number.
const QColor WarningColour(253, 124, 102);

// Longest text the operator can type into Number.
constexpr int NumberMaxLength = 8;

struct NumberRule {
    OperandLayout layout;
    std::int32_t min;
    std::int32_t max;
};

// The layout and the clamping range of the commands that take a number.
bool NumberRuleOf(int c, NumberRule& rule) {
    switch (c) {
    case 1:
    case 2:
    case 3:
        rule = {OperandLayout::Digits5, 0, 29999};
        return true;
    case 12:
    case 18:
        rule = {OperandLayout::Digits5, 0, 99999};
        return true;
    case 6:
        rule = {OperandLayout::SignedDigits5, -29999, 29999};
        return true;
    case 7:
        rule = {OperandLayout::SignedDigits7, -9999999, 9999999};
        return true;
    case 8:
        rule = {OperandLayout::Homing, -29999, 29999};
        return true;
    default:
        return false;
    }
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items, int left,
                    int width, const QFont& font) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(0);
    box->setGeometry(left, 40, width, 24);
    box->setFont(font);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, 21);
    label->adjustSize();
    return label;
}

// Selects the item standing for a stored byte; a byte the list does not
// offer leaves the list without a selection.
void SelectByte(QComboBox* box, std::uint8_t value) {
    box->setCurrentIndex(value < box->count() ? value : -1);
}

// Writes the item index of a list into a byte; no selection keeps the byte.
void StoreIndex(const QComboBox* box, std::uint8_t& byte) {
    if (box->currentIndex() >= 0) {
        byte = static_cast<std::uint8_t>(box->currentIndex());
    }
}

} // namespace

TFProg::TFProg(ProgramSet& programs, Hooks hooks, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      programs_(programs), hooks_(std::move(hooks)) {
    setObjectName("FProg");
    setWindowTitle("Edycja rozkazu");
    setModal(false);
    QFont formFont("Tahoma");
    formFont.setPixelSize(11);
    setFont(formFont);
    setFixedSize(471, 95);

    QFont fieldFont("Courier New");
    fieldFont.setStyleHint(QFont::TypeWriter);
    fieldFont.setPixelSize(13);

    ParamBox = new QGroupBox(this);
    ParamBox->setObjectName("ParamBox");
    ParamBox->setGeometry(6, 6, 459, 81);

    LFunction = MakeLabel(ParamBox, "LFunction", "Funkcja", 16);
    QStringList mnemonics;
    for (int code = 0; code < CommandCount; ++code) {
        mnemonics << QString::fromLatin1(MnemonicTable::Mnemonic(code));
    }
    Function = MakeList(ParamBox, "Function", mnemonics, 16, 89, fieldFont);

    LNumber = MakeLabel(ParamBox, "LNumber", "Parametr", 111);
    Number = new QLineEdit("0", ParamBox);
    Number->setObjectName("Number");
    Number->setGeometry(111, 40, 121, 24);
    Number->setFont(fieldFont);
    Number->setMaxLength(NumberMaxLength);

    QStringList lines;
    for (int l = 0; l < LinesPerProgram; ++l) {
        lines << QString("%1").arg(l, 2, 10, QChar('0'));
    }
    LLine = MakeLabel(ParamBox, "LLine", "Linia", 111);
    Line = MakeList(ParamBox, "Line", lines, 111, 43, fieldFont);

    QStringList programsList;
    for (int p = 0; p < ProgramCount; ++p) {
        programsList << QString::number(p);
    }
    LProg = MakeLabel(ParamBox, "LProg", "Program", 111);
    Prog = MakeList(ParamBox, "Prog", programsList, 111, 43, fieldFont);

    LInOut = MakeLabel(ParamBox, "LInOut", "We/Wy", 161);
    InOut = MakeList(ParamBox, "InOut", {"0", "1"}, 160, 43, fieldFont);
    LOnOff = MakeLabel(ParamBox, "LOnOff", "Stan", 209);
    OnOff = MakeList(ParamBox, "OnOff", {"off", "on"}, 209, 58, fieldFont);
    LNoNc = MakeLabel(ParamBox, "LNoNc", "Typ", 238);
    NoNc = MakeList(ParamBox, "NoNc", {"NO", "NC"}, 238, 43, fieldFont);

    OkButton = new QPushButton(DeferredStyleIcon::Make(QStyle::SP_DialogOkButton), "OK", ParamBox);
    OkButton->setObjectName("OkButton");
    OkButton->setGeometry(296, 39, 75, 25);
    OkButton->setAutoDefault(false);
    CanelButton =
        new QPushButton(DeferredStyleIcon::Make(QStyle::SP_DialogCancelButton), "Anuluj", ParamBox);
    CanelButton->setObjectName("CanelButton");
    CanelButton->setGeometry(377, 39, 75, 25);
    CanelButton->setAutoDefault(false);

    connect(Function, &QComboBox::activated, this, &TFProg::FunctionChange);
    connect(OkButton, &QPushButton::clicked, this, &TFProg::OkButtonClick);
    connect(CanelButton, &QPushButton::clicked, this, &TFProg::CanelButtonClick);
    // The warning colour stays until the operator changes the text again.
    connect(Number, &QLineEdit::textChanged, this, [this] { SetNumberWarning(false); });

    // The form sees Enter and Escape before its controls do.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }

    ShowFieldsFor(0);
}

int TFProg::OpeningCode(std::uint8_t commandByte) {
    int c = commandByte;
    if (c >= PositiveTargetOffset) {
        c -= PositiveTargetOffset;
    }
    return c < CommandCount ? c : 0;
}

bool TFProg::ParseWholeNumber(const QString& text, std::int64_t& value) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    if (i == t.size()) {
        return false;
    }
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        const QChar ch = t[i];
        if (ch < '0' || ch > '9') {
            return false;
        }
        v = v * 10 + (ch.unicode() - '0');
        if (v > 999999999999LL) {
            return false; // far beyond anything Number can hold
        }
    }
    value = negative ? -v : v;
    return true;
}

void TFProg::ShowFieldsFor(int c) {
    Function->setCurrentIndex(c);
    bool number = false, line = false, prog = false, inOut = false, onOff = false, noNc = false;
    switch (OperandLayoutOf(c)) {
    case OperandLayout::NoOperand:
        break;
    case OperandLayout::Digits5:
    case OperandLayout::SignedDigits5:
    case OperandLayout::SignedDigits7:
        number = true;
        break;
    case OperandLayout::Homing:
        number = noNc = true;
        break;
    case OperandLayout::IoState:
        inOut = onOff = true;
        break;
    case OperandLayout::LineTarget:
        line = true;
        break;
    case OperandLayout::LineIfInput:
        line = inOut = onOff = true;
        break;
    case OperandLayout::ProgramTarget:
        prog = true;
        break;
    }
    LNumber->setVisible(number);
    Number->setVisible(number);
    LLine->setVisible(line);
    Line->setVisible(line);
    LProg->setVisible(prog);
    Prog->setVisible(prog);
    LInOut->setVisible(inOut);
    InOut->setVisible(inOut);
    LOnOff->setVisible(onOff);
    OnOff->setVisible(onOff);
    LNoNc->setVisible(noNc);
    NoNc->setVisible(noNc);
}

void TFProg::FillFieldsFrom(int c) {
    const ProgramLine line = programs_.Line(target_.program, target_.line);
    const OperandLayout layout = OperandLayoutOf(c);
    switch (layout) {
    case OperandLayout::NoOperand:
        break;
    case OperandLayout::Digits5:
    case OperandLayout::SignedDigits5:
    case OperandLayout::SignedDigits7:
        Number->setText(QString::fromStdString(NumberText(line, layout)));
        break;
    case OperandLayout::Homing:
        Number->setText(QString::fromStdString(NumberText(line, OperandLayout::SignedDigits5)));
        SelectByte(NoNc, line[7]);
        break;
    case OperandLayout::IoState:
        SelectByte(InOut, line[1]);
        SelectByte(OnOff, line[2]);
        break;
    case OperandLayout::LineTarget:
        SelectByte(Line, line[1]);
        break;
    case OperandLayout::LineIfInput:
        SelectByte(Line, line[1]);
        SelectByte(InOut, line[2]);
        SelectByte(OnOff, line[3]);
        break;
    case OperandLayout::ProgramTarget:
        SelectByte(Prog, line[1]);
        break;
    }
}

void TFProg::Open(int line, int program) {
    target_.line = static_cast<std::uint8_t>(line);
    target_.program = static_cast<std::uint8_t>(program);
    const int c = OpeningCode(programs_.Line(program, line)[0]);
    ShowFieldsFor(c);
    FillFieldsFrom(c);
    ParamBox->setTitle(QString("Program %1 linia %2").arg(program).arg(line));
    if (!isVisible()) {
        PlaceOverMainWindow();
        show();
    }
    raise();
    activateWindow();
    if (hooks_.MarkModified) {
        hooks_.MarkModified();
    }
}

void TFProg::FunctionChange(int c) {
    if (c < 0 || c >= CommandCount) {
        return;
    }
    Number->setText(QString());
    NoNc->setCurrentIndex(0);
    OnOff->setCurrentIndex(0);
    InOut->setCurrentIndex(0);
    Prog->setCurrentIndex(0);
    Line->setCurrentIndex(0);
    ShowFieldsFor(c);
    FillFieldsFrom(c);
}

bool TFProg::EncodeLine() {
    const int c = Function->currentIndex();
    if (c < 0 || c >= CommandCount) {
        return false;
    }
    ProgramLine line = programs_.Line(target_.program, target_.line);
    NumberRule rule{};
    if (NumberRuleOf(c, rule)) {
        std::int64_t value = 0;
        if (!ParseWholeNumber(Number->text(), value)) {
            SetNumberWarning(true);
            return false;
        }
        line[0] = static_cast<std::uint8_t>(c);
        StoreNumber(line, rule.layout,
                    static_cast<std::int32_t>(std::clamp<std::int64_t>(value, rule.min, rule.max)));
        if (c == 8) {
            StoreIndex(NoNc, line[7]);
        }
    } else {
        line[0] = static_cast<std::uint8_t>(c);
        switch (OperandLayoutOf(c)) {
        case OperandLayout::IoState:
            StoreIndex(InOut, line[1]);
            StoreIndex(OnOff, line[2]);
            break;
        case OperandLayout::LineTarget:
            StoreIndex(Line, line[1]);
            break;
        case OperandLayout::LineIfInput:
            StoreIndex(Line, line[1]);
            StoreIndex(InOut, line[2]);
            StoreIndex(OnOff, line[3]);
            break;
        case OperandLayout::ProgramTarget:
            StoreIndex(Prog, line[1]);
            break;
        default:
            break;
        }
    }
    programs_.SetLine(target_.program, target_.line, line);
    return true;
}

void TFProg::OkButtonClick() {
    if (!EncodeLine()) {
        return;
    }
    hide();
    if (hooks_.EnableEditor) {
        hooks_.EnableEditor();
    }
    if (hooks_.RenderProgram) {
        hooks_.RenderProgram();
    }
}

void TFProg::CanelButtonClick() {
    hide();
    if (hooks_.EnableEditor) {
        hooks_.EnableEditor();
    }
}

bool TFProg::FormKeyPress(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        CanelButtonClick();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OkButtonClick();
        return true;
    default:
        return false;
    }
}

bool TFProg::eventFilter(QObject* watched, QEvent* event) {
    // The open list of a drop-down is a window of its own: Enter there picks
    // the highlighted command (FunctionChange fills its fields) and Escape
    // closes only the list.
    const auto* widget = qobject_cast<QWidget*>(watched);
    const bool inOpenList = widget != nullptr && widget->window() != this;
    if (event->type() == QEvent::KeyPress && !inOpenList &&
        FormKeyPress(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFProg::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyPress(event)) {
        QDialog::keyPressEvent(event);
    }
}

void TFProg::SetNumberWarning(bool on) {
    QPalette palette = Number->palette();
    palette.setColor(QPalette::Base,
                     on ? WarningColour : ParamBox->palette().color(QPalette::Base));
    Number->setPalette(palette);
}

void TFProg::PlaceOverMainWindow() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner == nullptr) {
        return;
    }
    const QRect frame = owner->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
}
