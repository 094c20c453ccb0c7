#pragma once
// The stop of the axis from anywhere in the tool: Esc in every window of the
// tool (the main window, the line edit dialog, the text view, any question;
// the key keeps its usual meaning there too) and the red "STOP" button at the
// right end of the tool bar, seen on every page. Each sends the stop once
// (the window's stop: the running program's halt when the window started
// one, then MotorStop, the deceleration at A max; during a backup or restore
// the run is interrupted and its own session sends them). Esc is seen through the
// application's event dispatch (KxApplication), so it reaches this whichever
// window or box has the focus.

#include <QObject>
#include <functional>

class QToolButton;
class QWidget;

class AxisStop : public QObject {
    Q_OBJECT
public:
    // stop sends the stop to the controller in use (nothing without one).
    AxisStop(QWidget* toolBar, std::function<void()> stop, QObject* parent = nullptr);
    ~AxisStop() override;
    AxisStop(const AxisStop&) = delete;
    AxisStop& operator=(const AxisStop&) = delete;

    // Keeps the button at the right end of a tool bar this wide.
    void Place(int toolBarWidth);
    void Stop();

    QToolButton* StopButton = nullptr;

private:
    std::function<void()> stop_;
};
