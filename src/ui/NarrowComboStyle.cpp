#include "NarrowComboStyle.h"

#include <QStyleOptionComplex>

NarrowComboStyle::NarrowComboStyle() : QProxyStyle(nullptr) {}

QRect NarrowComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl part, const QWidget* widget) const {
    if (control == CC_ComboBox && option != nullptr) {
        const QRect r = option->rect;
        switch (part) {
        case SC_ComboBoxArrow:
            return visualRect(
                option->direction, r,
                QRect(r.right() - ArrowWidth, r.top() + 1, ArrowWidth, r.height() - 2));
        case SC_ComboBoxEditField:
            return visualRect(
                option->direction, r,
                QRect(r.left() + 3, r.top() + 2, r.width() - ArrowWidth - 5, r.height() - 4));
        default:
            break;
        }
    }
    return QProxyStyle::subControlRect(control, option, part, widget);
}
