#include "GroupBoxFrameStyle.h"

#include <QPainter>

namespace {
const QString Fusion = QStringLiteral("fusion");
} // namespace

GroupBoxFrameStyle::GroupBoxFrameStyle() : QProxyStyle(Fusion) {}

GroupBoxFrameStyle* GroupBoxFrameStyle::Replacing(const QStyle& current) {
    if (current.name().compare(Fusion, Qt::CaseInsensitive) != 0)
        return nullptr;
    return new GroupBoxFrameStyle;
}

void GroupBoxFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameGroupBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    painter->restore();
}
