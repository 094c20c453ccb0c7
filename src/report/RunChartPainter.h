#pragma once
// The chart of a recorded run: position (upper panel) and velocity (lower
// panel), measured solid over predicted dashed, on one time axis in seconds
// from the run's start, with grid, numbers and a legend. Paints on any
// device: a PDF page or an image. Its words follow the translation loaded.

#include <QCoreApplication>
#include <QRectF>

#include "MotionRecording.h"
#include "RunComparison.h"

class QPainter;

class RunChartPainter {
    Q_DECLARE_TR_FUNCTIONS(RunChartPainter)

public:
    // Paints into area (in the painter's units); fontPixels: the height of
    // the numbers in those units.
    static void Paint(QPainter& painter, const QRectF& area, const MotionRecording& recording,
                      const RunComparison::Result& comparison, double fontPixels);
};
