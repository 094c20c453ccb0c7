#include "TravelLimitsView.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

#include "IntegerText.h"
#include "SettingsFile.h"

namespace {

QLineEdit* Field(QWidget* box, const char* name, const QString& label, int top) {
    auto* caption = new QLabel(label, box);
    caption->setGeometry(10, top + 3, 60, 18);
    auto* field = new QLineEdit(box);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(70, top, 100, 24);
    field->setMaxLength(11);
    return field;
}

} // namespace

TravelLimitsView::TravelLimitsView(QWidget* optionsPage, Window window, QObject* parent)
    : QObject(parent), window_(std::move(window)) {
    Box = new QGroupBox(tr("Granice ruchu"), optionsPage);
    Box->setObjectName(QStringLiteral("TravelLimitsBox"));
    Box->setGeometry(340, 326, 180, 180);
    Box->raise();
    MinField = Field(Box, "LimitMin", tr("Min"), 22);
    MaxField = Field(Box, "LimitMax", tr("Max"), 50);
    VmaxField = Field(Box, "LimitVmax", tr("V max"), 78);
    VmaxField->setPlaceholderText(tr("bez limitu"));
    SaveButton = new QPushButton(tr("Zapisz"), Box);
    SaveButton->setObjectName(QStringLiteral("LimitSave"));
    SaveButton->setGeometry(70, 106, 100, 24);
    connect(SaveButton, &QPushButton::clicked, this, [this] { Save(); });
    Note = new QLabel(Box);
    Note->setObjectName(QStringLiteral("LimitNote"));
    Note->setGeometry(8, 132, 166, 44);
    Note->setWordWrap(true);
    Note->setStyleSheet(QStringLiteral("color: #555;"));

    poll_ = new QTimer(this);
    poll_->setInterval(500);
    connect(poll_, &QTimer::timeout, this, [this] { CheckDevice(); });
    poll_->start();
    CheckDevice();
}

void TravelLimitsView::CheckDevice() {
    const std::optional<DeviceIdentity> device =
        window_.controller ? window_.controller() : std::nullopt;
    const std::string key = device ? TravelLimits::KeyFor(device->serial, device->port) : "";
    if (key == key_ && (Note->text().size() > 0))
        return;
    key_ = key;
    Load();
}

void TravelLimitsView::Load() {
    current_.reset();
    const bool known = !key_.empty();
    for (QWidget* w : {static_cast<QWidget*>(MinField), static_cast<QWidget*>(MaxField),
                       static_cast<QWidget*>(VmaxField), static_cast<QWidget*>(SaveButton)})
        w->setEnabled(known);
    if (known)
        current_ = TravelLimits::Parse(SettingsFile(window_.settingsPath().toStdString())
                                           .ReadString(TravelLimits::Section, key_, std::string()));
    MinField->setText(current_ ? QString::number(current_->min) : QString());
    MaxField->setText(current_ ? QString::number(current_->max) : QString());
    VmaxField->setText(current_ && current_->vmax ? QString::number(*current_->vmax) : QString());
    Note->setText(
        known ? tr("Dla %1, zapisane w tym PC, nie w sterowniku.").arg(QString::fromStdString(key_))
              : tr("Brak sterownika: granice są zapisywane dla numeru seryjnego "
                   "sterownika, w tym PC."));
}

bool TravelLimitsView::Keep(const TravelLimits& limits) {
    CheckDevice();
    MinField->setText(QString::number(limits.min));
    MaxField->setText(QString::number(limits.max));
    VmaxField->setText(limits.vmax ? QString::number(*limits.vmax) : QString());
    return Save();
}

bool TravelLimitsView::Save() {
    if (key_.empty())
        return false;
    const QString min = MinField->text().trimmed();
    const QString max = MaxField->text().trimmed();
    const QString vmax = VmaxField->text().trimmed();
    std::string text;
    if (!min.isEmpty() || !max.isEmpty() || !vmax.isEmpty()) {
        text = (min + " " + max + (vmax.isEmpty() ? QString() : " " + vmax)).toStdString();
        if (min.isEmpty() || max.isEmpty() || !TravelLimits::Parse(text)) {
            window_.showStatus(
                tr("Granice ruchu: podaj liczby min ≤ max (i V max większe od 0 albo puste)"));
            return false;
        }
        text = TravelLimits::Parse(text)->Text();
    }
    try {
        SettingsFile(window_.settingsPath().toStdString())
            .WriteString(TravelLimits::Section, key_, text);
    } catch (const std::runtime_error& error) {
        window_.showStatus(QString::fromUtf8(error.what()));
        return false;
    }
    Load();
    window_.showStatus(current_ ? tr("Granice ruchu zostały zapisane (w tym PC)")
                                : tr("Granice ruchu zostały usunięte"));
    return true;
}
