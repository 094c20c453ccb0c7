#include "ControlPage.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStringListModel>
#include <QStyle>

#include "ControllerMessages.h"
#include "DeferredStyleIcon.h"
#include "EmulatedInputs.h"
#include "FontFamilies.h"
#include "FormControls.h"
#include "LiveChart.h"
#include "LiveChartModule.h"
#include "NarrowComboStyle.h"
#include "NumberField.h"

// The captions are the parameters' names, translated as everywhere else.
const std::array<ControlPage::Row, 6> ControlPage::Rows{{
    {"VminLabel", QT_TRANSLATE_NOOP("ParameterTable", "Prędkość minimalna"), "ReadVminButton",
     "WriteVminButton", QT_TRANSLATE_NOOP("ControlPage", "Zapisz"), 0, 29999,
     MessageLetter::VminRead, MessageLetter::VminWrite},
    {"VmaxLabel", QT_TRANSLATE_NOOP("ParameterTable", "Prędkość maksymalna"), "ReadVmaxButton",
     "WriteVmaxButton", QT_TRANSLATE_NOOP("ControlPage", "Zapisz"), 0, 29999,
     MessageLetter::VmaxRead, MessageLetter::VmaxWrite},
    {"AmaxLabel", QT_TRANSLATE_NOOP("ParameterTable", "Przyspieszenie maksymalne"),
     "ReadAmaxButton", "WriteAmaxButton", QT_TRANSLATE_NOOP("ControlPage", "Zapisz"), 0, 29999,
     MessageLetter::AmaxRead, MessageLetter::AmaxWrite},
    {"VdstLabel", QT_TRANSLATE_NOOP("ParameterTable", "Prędkość zadana"), "ReadVdstButton",
     "WriteVdstButton", QT_TRANSLATE_NOOP("ControlPage", "Ustaw"), -29999, 29999,
     MessageLetter::VdstRead, MessageLetter::VdstSet},
    {"XdstLabel", QT_TRANSLATE_NOOP("ParameterTable", "Pozycja zadana"), "ReadXdstButton",
     "WriteXdstButton", QT_TRANSLATE_NOOP("ControlPage", "Ustaw"), -9999999, 9999999,
     MessageLetter::XdstRead, MessageLetter::XdstSet},
    {"HomeLabel", QT_TRANSLATE_NOOP("ParameterTable", "Prędkość bazowania"), "ReadHomeButton",
     "WriteHomeButton", QT_TRANSLATE_NOOP("ControlPage", "Bazuj"), -29999, 29999,
     MessageLetter::HomeRead, MessageLetter::HomeStart},
}};

namespace {

constexpr std::size_t HomeRow = 5;
constexpr int RowTops[3] = {25, 70, 115};

QFont FieldFont() {
    QFont f(FontFamilies::Proportional());
    f.setPixelSize(13);
    return f;
}

QStyle::StandardPixmap WriteImage(const char* caption) {
    const QString c = QString::fromUtf8(caption);
    if (c == QStringLiteral("Zapisz")) {
        return QStyle::SP_DialogSaveButton;
    }
    if (c == QStringLiteral("Ustaw")) {
        return QStyle::SP_DialogApplyButton;
    }
    return QStyle::SP_MediaSkipBackward; // "Bazuj": back to the home switch
}

} // namespace

ControlPage::ControlPage(QWidget* tabSheet3, ControllerMessages& messages, FileDialogs& dialogs,
                         MessageBoxes& boxes, QObject* parent)
    : QObject(parent), page_(tabSheet3), messages_(messages) {
    narrowStyle_ = new NarrowComboStyle;
    narrowStyle_->setParent(this);
    QGroupBox* box4 = Place<QGroupBox>(page_, "GroupBox4", QRect(3, 16, 257, 153));
    QGroupBox* box5 = Place<QGroupBox>(page_, "GroupBox5", QRect(271, 16, 257, 153));

    using Handler = void (ControlPage::*)();
    const Handler readHandlers[6] = {
        &ControlPage::ReadVminButtonClick, &ControlPage::ReadVmaxButtonClick,
        &ControlPage::ReadAmaxButtonClick, &ControlPage::ReadVdstButtonClick,
        &ControlPage::ReadXdstButtonClick, &ControlPage::ReadHomeButtonClick};
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const Row& row = Rows[i];
        const ParameterRow placed = PlaceParameterRow(
            i < 3 ? box4 : box5, {RowTops[i % 3], 7, i == HomeRow ? 88 : 137, 150, 75},
            {row.field, QCoreApplication::translate("ParameterTable", row.caption), row.readButton,
             row.writeButton, tr(row.writeCaption), WriteImage(row.writeCaption)});
        placed.Connect(this, &ControlPage::HomeLabelChange, readHandlers[i],
                       &ControlPage::WriteVminButtonClick);
        fields_[i] = placed.field;
    }

    noNc_ = Place<QComboBox>(box5, "NoNc", QRect(101, 115, 43, 24));
    noNc_->setFont(FieldFont());
    noNc_->setStyle(narrowStyle_);
    noNc_->addItems({QStringLiteral("NO"), QStringLiteral("NC")});
    noNc_->setCurrentIndex(0);
    // A contact type chosen again clears the mark of a refused homing.
    connect(noNc_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            noNc_->setPalette(QApplication::palette(noNc_));
        }
    });

    QGroupBox* box6 = Place<QGroupBox>(page_, "GroupBox6", QRect(3, 502, 179, 91));
    connect(Place<QPushButton>(box6, "EnableButton", QRect(13, 17, 74, 25), tr("Enable")),
            &QPushButton::clicked, this, &ControlPage::EnableButtonClick);
    connect(Place<QPushButton>(box6, "DisableButton", QRect(98, 17, 70, 25), tr("Disable")),
            &QPushButton::clicked, this, &ControlPage::DisableButtonClick);
    connect(Place<QPushButton>(box6, "StopButton", QRect(13, 52, 74, 25), tr("Stop")),
            &QPushButton::clicked, this, &ControlPage::StopButtonClick);
    connect(Place<QPushButton>(box6, "BrakeButton", QRect(98, 52, 70, 25), tr("Brake")),
            &QPushButton::clicked, this, &ControlPage::BrakeButtonClick);

    QGroupBox* box7 = Place<QGroupBox>(page_, "GroupBox7", QRect(188, 502, 341, 91));
    struct Jog {
        const char* name;
        const char* caption;
        int x, y, w;
        QStyle::StandardPixmap image;
        Handler handler;
    };
    const Jog jogs[4] = {
        {"BitBtn1", QT_TRANSLATE_NOOP("ControlPage", "Zwiększ prędkość"), 13, 17, 126,
         QStyle::SP_ArrowUp, &ControlPage::BitBtn1Click},
        {"BitBtn2", QT_TRANSLATE_NOOP("ControlPage", "Zmniejsz prędkość"), 13, 52, 126,
         QStyle::SP_ArrowDown, &ControlPage::BitBtn2Click},
        {"BitBtn4", QT_TRANSLATE_NOOP("ControlPage", "Przesuń w lewo"), 203, 17, 128,
         QStyle::SP_ArrowLeft, &ControlPage::BitBtn4Click},
        {"BitBtn3", QT_TRANSLATE_NOOP("ControlPage", "Przesuń w prawo"), 203, 52, 128,
         QStyle::SP_ArrowRight, &ControlPage::BitBtn3Click},
    };
    for (const Jog& jog : jogs) {
        QPushButton* b =
            Place<QPushButton>(box7, jog.name, QRect(jog.x, jog.y, jog.w, 25), tr(jog.caption));
        b->setIcon(DeferredStyleIcon::Make(jog.image));
        connect(b, &QPushButton::clicked, this, jog.handler);
    }
    delta_ = Place<QComboBox>(box7, "Delta", QRect(145, 36, 52, 24));
    delta_->setFont(FieldFont());
    delta_->setStyle(narrowStyle_);
    QStringList steps;
    steps.reserve(1000);
    for (int n = 1; n <= 1000; ++n) {
        steps << QString::number(n);
    }
    // A plain list model: no item object for each of the 1000 steps.
    delta_->setModel(new QStringListModel(steps, delta_));
    delta_->setCurrentIndex(499);

    // The chart comes from its library; without it the page works on and
    // says in the chart's place why there is none.
    const QRect chartArea(3, 175, 526, 336);
    chart_ = LiveChartModule::Create(page_, dialogs, boxes);
    if (chart_ != nullptr) {
        chart_->setGeometry(chartArea);
    } else {
        auto* missing = Place<QLabel>(page_, "Chart1Missing", chartArea,
                                      tr("Wykres niedostępny:\n%1").arg(LiveChartModule::Error()));
        missing->setAlignment(Qt::AlignCenter);
        missing->setWordWrap(true);
        qWarning("kxrd4-pc: the chart library cannot be loaded:\n%s",
                 qPrintable(LiveChartModule::Error()));
    }
    playChart_ =
        Place<QPushButton>(page_, "PlayChartButton", QRect(421, 471, 98, 25), tr("Play/Stop"));
    playChart_->raise();                                // over the chart's lower right corner
    inputs_ = new EmulatedInputs(page_, 13, 474, this); // the lower left corner
    connect(playChart_, &QPushButton::clicked, this, &ControlPage::PlayChartButtonClick);
    // The motor and jog boxes overlap the chart's lowest pixels; they stay on top.
    box6->raise();
    box7->raise();
}

NumberField* ControlPage::Field(std::string_view fieldName) const {
    return FindField(Rows, fields_, fieldName);
}

bool ControlPage::SetValueField(std::string_view fieldName, std::int32_t value) {
    return ShowFieldValue(Field(fieldName), value);
}

void ControlPage::SetNoNc(std::optional<int> index) {
    noNc_->setCurrentIndex(index && (*index == 0 || *index == 1) ? *index : -1);
}

void ControlPage::AddChartSample(std::int32_t position, std::int32_t velocity) {
    if (chart_ != nullptr)
        chart_->AddSample(position, velocity);
}

void ControlPage::ReadVminButtonClick() {
    messages_.SendRequest(MessageLetter::VminRead);
}
void ControlPage::ReadVmaxButtonClick() {
    messages_.SendRequest(MessageLetter::VmaxRead);
}
void ControlPage::ReadAmaxButtonClick() {
    messages_.SendRequest(MessageLetter::AmaxRead);
}
void ControlPage::ReadVdstButtonClick() {
    messages_.SendRequest(MessageLetter::VdstRead);
}
void ControlPage::ReadXdstButtonClick() {
    messages_.SendRequest(MessageLetter::XdstRead);
}
void ControlPage::ReadHomeButtonClick() {
    messages_.SendRequest(MessageLetter::HomeRead);
}

void ControlPage::WriteVminButtonClick() {
    if (const QObject* button = sender()) {
        WriteButtonClick(button->objectName());
    }
}

void ControlPage::WriteButtonClick(const QString& buttonName) {
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        if (buttonName == QLatin1String(Rows[i].writeButton)) {
            WriteRow(Rows[i], fields_[i]);
            return;
        }
    }
}

void ControlPage::WriteRow(const Row& row, NumberField* field) {
    const std::optional<std::int32_t> value = field->TakeClamped(row.lower, row.upper);
    if (row.write != MessageLetter::HomeStart) {
        if (value && Allowed(row.write, *value)) {
            messages_.SendValue(row.write, *value);
        }
        return;
    }
    // Homing also needs a contact type; after a reply with an unknown one
    // NoNc has no selection, and homing waits until the operator picks one.
    const int contact = noNc_->currentIndex();
    if (contact < 0) {
        QPalette p = noNc_->palette();
        p.setColor(QPalette::Button, NumberField::WarningColour());
        p.setColor(QPalette::Base, NumberField::WarningColour());
        noNc_->setPalette(p);
    }
    if (value && contact >= 0 && Allowed(row.write, *value)) {
        messages_.SendHoming(*value, static_cast<std::uint8_t>(contact));
    }
}

void ControlPage::HomeLabelChange() {
    if (auto* field = qobject_cast<NumberField*>(sender())) {
        field->ClearWarning();
    }
}

void ControlPage::EnableButtonClick() {
    messages_.SendRequest(MessageLetter::EnableOn);
}
void ControlPage::DisableButtonClick() {
    messages_.SendRequest(MessageLetter::EnableOff);
}
void ControlPage::StopButtonClick() {
    messages_.SendRequest(MessageLetter::MotorStop);
}
void ControlPage::BrakeButtonClick() {
    messages_.SendRequest(MessageLetter::MotorBrake);
}

void ControlPage::Jog(MessageLetter letter) {
    const int index = delta_->currentIndex();
    if (index >= 0 && Allowed(letter, index + 1)) {
        messages_.SendValue(letter, index + 1);
    }
}

void ControlPage::BitBtn1Click() {
    Jog(MessageLetter::VelocityUp);
}
void ControlPage::BitBtn2Click() {
    Jog(MessageLetter::VelocityDown);
}
void ControlPage::BitBtn3Click() {
    Jog(MessageLetter::PositionUp);
}
void ControlPage::BitBtn4Click() {
    Jog(MessageLetter::PositionDown);
}

void ControlPage::PlayChartButtonClick() {
    if (chart_ != nullptr && chart_->InRunView() && !RecordingActive()) {
        chart_->EndRunView();
    }
    chartRunning_ = !chartRunning_;
}

void ControlPage::Timer1Timer() {
    if (chartRunning_ && PageShown() && !RecordingActive()) {
        messages_.SendRequest(MessageLetter::StatusPoll);
    }
}

bool ControlPage::PageShown() const {
    // The pages of a page control live in its stack.
    if (auto* stack = qobject_cast<QStackedWidget*>(page_->parentWidget())) {
        return stack->currentWidget() == page_;
    }
    return page_->isVisible();
}
