#pragma once
// The Fusion style with its group box frames drawn without smoothing. Fusion
// draws a group box's frame by stretching a small picture whose stretched
// parts are uniform along the stretch, so plain scaling draws it as the
// smooth scaling it asks for does (to within a level of 255 where the parts
// meet), at a fraction of the work: over the large boxes of the first page,
// the smooth one was the largest single part of the first frame.

#include <QProxyStyle>

class GroupBoxFrameStyle : public QProxyStyle {
public:
    GroupBoxFrameStyle();

    // The style to give the application in place of the one it has: this one
    // when that is Fusion, none (nullptr) otherwise.
    static GroupBoxFrameStyle* Replacing(const QStyle& current);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
