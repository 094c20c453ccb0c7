#pragma once
// The box "Granice ruchu" on "Opcje": the travel limits (the model's
// TravelLimits) of the controller in use, kept in this PC's config.ini by its
// serial number (section TravelLimits, shared with kxrd4-cli limits), never
// in the controller. "Zapisz" keeps what the fields hold (min and max empty:
// no limits); the fields follow the controller in use.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "DeviceIdentity.h"
#include "TravelLimits.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

class TravelLimitsView : public QObject {
    Q_OBJECT
public:
    struct Window {
        std::function<QString()> settingsPath;
        std::function<std::optional<DeviceIdentity>()> controller;
        std::function<void(const QString&)> showStatus;
    };
    TravelLimitsView(QWidget* optionsPage, Window window, QObject* parent = nullptr);

    // The limits of the controller in use, nullopt when none are kept.
    std::optional<TravelLimits> Current() const { return current_; }
    // Looks at the controller in use (also done every 500 ms).
    void CheckDevice();
    // "Zapisz": false (and a message) when the fields hold no limits.
    bool Save();
    // Keeps these limits for the controller in use (a restored backup's).
    bool Keep(const TravelLimits& limits);

    QGroupBox* Box = nullptr;
    QLineEdit* MinField = nullptr;
    QLineEdit* MaxField = nullptr;
    QLineEdit* VmaxField = nullptr;
    QPushButton* SaveButton = nullptr;
    QLabel* Note = nullptr;

private:
    void Load();

    Window window_;
    std::string key_;
    std::optional<TravelLimits> current_;
    QTimer* poll_ = nullptr;
};
