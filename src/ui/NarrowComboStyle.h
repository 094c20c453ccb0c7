#pragma once
// The look of the two narrow drop-down lists of the "Sterowanie" page ("NO" /
// "NC" in 43 pixels, "1" to "1000" in 52): the platform's own drawing with a
// slimmer arrow button, so the selected text is never cut ("NO" would read
// "NC", "1000" would read "100").

#include <QProxyStyle>

class NarrowComboStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int ArrowWidth = 13;

    NarrowComboStyle();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override;
};
