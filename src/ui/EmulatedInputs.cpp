#include "EmulatedInputs.h"

#include <QCheckBox>
#include <QWidget>

EmulatedInputs::EmulatedInputs(QWidget* page, int x, int y, QObject* parent) : QObject(parent) {
    for (int io = 0; io < 2; ++io) {
        auto* box = new QCheckBox(tr("Wejście %1").arg(io), page);
        box->setObjectName(QStringLiteral("Input%1").arg(io));
        box->setToolTip(tr("Stan wejścia %1 symulowanego sterownika").arg(io));
        box->setGeometry(x + io * 82, y, 78, 20);
        box->hide();
        connect(box, &QCheckBox::toggled, this, [this, io](bool on) {
            if (setInput_) {
                setInput_(io, on);
            }
        });
        boxes_[static_cast<std::size_t>(io)] = box;
    }
}

void EmulatedInputs::Attach(Setter setInput) {
    setInput_ = std::move(setInput);
    for (int io = 0; io < 2; ++io) {
        QCheckBox* box = boxes_[static_cast<std::size_t>(io)];
        box->show();
        box->raise(); // over the chart's corner
        if (setInput_) {
            setInput_(io, box->isChecked());
        }
    }
}

std::array<bool, 2> EmulatedInputs::States() const {
    return {boxes_[0]->isChecked(), boxes_[1]->isChecked()};
}
