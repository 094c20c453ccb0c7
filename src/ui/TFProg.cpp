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
#include <optional>

#include "DeferredStyleIcon.h"
#include "FontFamilies.h"
#include "LineEditFields.h"
#include "LineEncoder.h"
#include "ManualView.h"
#include "MnemonicTable.h"
#include "NumberField.h"
#include "ProgramLine.h"

namespace {

// Background of a numeric field whose text is not a whole number.
const QColor WarningColour(253, 124, 102);

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

// The item index of a list as the byte it stands for; nullopt when nothing is
// selected, which keeps the byte.
std::optional<std::uint8_t> SelectedItem(const QComboBox* box) {
    if (box->currentIndex() < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(box->currentIndex());
}

} // namespace

TFProg::TFProg(ProgramSet& programs, Hooks hooks, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      programs_(programs), hooks_(std::move(hooks)) {
    setObjectName("FProg");
    setWindowTitle(tr("Edycja rozkazu"));
    setModal(false);
    QFont formFont(FontFamilies::Proportional());
    formFont.setPixelSize(11);
    setFont(formFont);
    setFixedSize(471, 95);

    QFont fieldFont(FontFamilies::FixedPitch());
    fieldFont.setStyleHint(QFont::TypeWriter);
    fieldFont.setPixelSize(13);

    ParamBox = new QGroupBox(this);
    ParamBox->setObjectName("ParamBox");
    ParamBox->setGeometry(6, 6, 459, 81);

    LFunction = MakeLabel(ParamBox, "LFunction", tr("Funkcja"), 16);
    QStringList mnemonics;
    for (int code = 0; code < CommandCount; ++code) {
        mnemonics << QString::fromLatin1(MnemonicTable::Mnemonic(code));
    }
    Function = MakeList(ParamBox, "Function", mnemonics, 16, 89, fieldFont);

    LNumber = MakeLabel(ParamBox, "LNumber", tr("Parametr"), 111);
    // At most 8 typed characters; a number filled from a stored line is shown
    // whole, however long its digit bytes make it, so that OK clamps the value
    // the line really holds.
    Number = new NumberField("Number", ParamBox);
    Number->setText("0");
    Number->setGeometry(111, 40, 121, 24);
    Number->setFont(fieldFont);

    QStringList lines;
    for (int l = 0; l < LinesPerProgram; ++l) {
        lines << QString("%1").arg(l, 2, 10, QChar('0'));
    }
    LLine = MakeLabel(ParamBox, "LLine", tr("Linia"), 111);
    Line = MakeList(ParamBox, "Line", lines, 111, 43, fieldFont);

    QStringList programsList;
    for (int p = 0; p < ProgramCount; ++p) {
        programsList << QString::number(p);
    }
    LProg = MakeLabel(ParamBox, "LProg", tr("Program"), 111);
    Prog = MakeList(ParamBox, "Prog", programsList, 111, 43, fieldFont);

    LInOut = MakeLabel(ParamBox, "LInOut", tr("We/Wy"), 161);
    InOut = MakeList(ParamBox, "InOut", {"0", "1"}, 160, 43, fieldFont);
    LOnOff = MakeLabel(ParamBox, "LOnOff", tr("Stan"), 209);
    OnOff = MakeList(ParamBox, "OnOff", {"off", "on"}, 209, 58, fieldFont);
    LNoNc = MakeLabel(ParamBox, "LNoNc", tr("Typ"), 238);
    NoNc = MakeList(ParamBox, "NoNc", {"NO", "NC"}, 238, 43, fieldFont);

    OkButton = new QPushButton(DeferredStyleIcon::Make(QStyle::SP_DialogOkButton), "OK", ParamBox);
    OkButton->setObjectName("OkButton");
    OkButton->setGeometry(296, 39, 75, 25);
    OkButton->setAutoDefault(false);
    CanelButton = new QPushButton(DeferredStyleIcon::Make(QStyle::SP_DialogCancelButton),
                                  tr("Anuluj"), ParamBox);
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
    return LineEditFields::OpeningCode(commandByte);
}

void TFProg::ShowFieldsFor(int c) {
    Function->setCurrentIndex(c);
    const LineEditFields::Used used = LineEditFields::UsedBy(c);
    LNumber->setVisible(used.number);
    Number->setVisible(used.number);
    LLine->setVisible(used.line);
    Line->setVisible(used.line);
    LProg->setVisible(used.prog);
    Prog->setVisible(used.prog);
    LInOut->setVisible(used.inOut);
    InOut->setVisible(used.inOut);
    LOnOff->setVisible(used.onOff);
    OnOff->setVisible(used.onOff);
    LNoNc->setVisible(used.noNc);
    NoNc->setVisible(used.noNc);
}

void TFProg::FillFieldsFrom(int c) {
    LineEditFields fields;
    fields.FillFrom(programs_.Line(target_.program, target_.line), c);
    const LineEditFields::Used used = LineEditFields::UsedBy(c);
    if (used.number) {
        Number->ShowText(QString::fromStdString(fields.number));
    }
    if (used.line) {
        Line->setCurrentIndex(fields.line);
    }
    if (used.prog) {
        Prog->setCurrentIndex(fields.prog);
    }
    if (used.inOut) {
        InOut->setCurrentIndex(fields.inOut);
    }
    if (used.onOff) {
        OnOff->setCurrentIndex(fields.onOff);
    }
    if (used.noNc) {
        NoNc->setCurrentIndex(fields.noNc);
    }
}

void TFProg::Open(int line, int program) {
    target_.line = static_cast<std::uint8_t>(line);
    target_.program = static_cast<std::uint8_t>(program);
    const int c = OpeningCode(programs_.Line(program, line)[0]);
    ShowFieldsFor(c);
    FillFieldsFrom(c);
    ParamBox->setTitle(tr("Program %1 linia %2").arg(program).arg(line));
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
    Number->ShowText(QString());
    NoNc->setCurrentIndex(0);
    OnOff->setCurrentIndex(0);
    InOut->setCurrentIndex(0);
    Prog->setCurrentIndex(0);
    Line->setCurrentIndex(0);
    ShowFieldsFor(c);
    FillFieldsFrom(c);
}

bool TFProg::EncodeLine() {
    LineEncoder::Fields fields;
    fields.command = Function->currentIndex();
    if (fields.command < 0 || fields.command >= CommandCount) {
        return false;
    }
    if (LineEncoder::NumberRuleOf(fields.command) &&
        !LineEncoder::ParseWholeNumber(Number->text().toStdString(), fields.number)) {
        SetNumberWarning(true);
        return false;
    }
    fields.noNc = SelectedItem(NoNc);
    fields.inOut = SelectedItem(InOut);
    fields.onOff = SelectedItem(OnOff);
    fields.line = SelectedItem(Line);
    fields.program = SelectedItem(Prog);
    ProgramLine line = programs_.Line(target_.program, target_.line);
    LineEncoder::Encode(line, fields);
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
    case Qt::Key_F1:
        ManualView::Show(ManualView::CommandPage(Function->currentIndex()), parentWidget());
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
    // F1 is the page of the chosen command, not the main window's manual.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        event->accept();
        return true;
    }
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
