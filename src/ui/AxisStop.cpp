#include "AxisStop.h"

#include <QToolButton>

#include "KxApplication.h"

namespace {

constexpr int ButtonWidth = 64;

} // namespace

AxisStop::AxisStop(QWidget* toolBar, std::function<void()> stop, QObject* parent)
    : QObject(parent), stop_(std::move(stop)) {
    StopButton = new QToolButton(toolBar);
    StopButton->setObjectName(QStringLiteral("StopAxisButton"));
    StopButton->setText(tr("STOP"));
    StopButton->setToolTip(tr("Zatrzymaj oś (Esc w każdym oknie)"));
    StopButton->setFocusPolicy(Qt::NoFocus);
    StopButton->setStyleSheet(
        QStringLiteral("QToolButton { background: #c00000; color: white; font-weight: bold; "
                       "border: 1px solid #700000; border-radius: 3px; }"
                       "QToolButton:pressed { background: #800000; }"));
    connect(StopButton, &QToolButton::clicked, this, [this] { Stop(); });
    Place(toolBar->width());
    if (auto* application = qobject_cast<KxApplication*>(QCoreApplication::instance()))
        application->SetEscapeHook(this, [this] { Stop(); });
}

AxisStop::~AxisStop() {
    if (auto* application = qobject_cast<KxApplication*>(QCoreApplication::instance()))
        application->SetEscapeHook(this, nullptr);
}

void AxisStop::Place(int toolBarWidth) {
    StopButton->setGeometry(toolBarWidth - ButtonWidth - 4, 2, ButtonWidth, 24);
}

void AxisStop::Stop() {
    if (stop_)
        stop_();
}
