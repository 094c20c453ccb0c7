#include "RunChartPainter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QColor PositionColour(Qt::blue);
const QColor VelocityColour(0, 128, 0);

struct Series {
    std::vector<QPointF> points; // (seconds, value)
};

// A "nice" step of about range / 5.
double NiceStep(double range) {
    if (!(range > 0)) {
        return 1;
    }
    const double raw = range / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * magnitude >= raw) {
            return m * magnitude;
        }
    }
    return 10 * magnitude;
}

QString Number(double value) {
    return QString::number(value, 'g', 8);
}

void Panel(QPainter& p, const QRectF& plot, double t0, double t1, const Series& measured,
           const Series& predicted, const QColor& colour, const QString& title, double font,
           bool timeNumbers) {
    double low = 0;
    double high = 0;
    bool any = false;
    for (const Series* s : {&measured, &predicted}) {
        for (const QPointF& point : s->points) {
            low = any ? std::min(low, point.y()) : point.y();
            high = any ? std::max(high, point.y()) : point.y();
            any = true;
        }
    }
    if (!any || high == low) {
        low -= 1;
        high += 1;
    }
    const double margin = (high - low) * 0.05;
    low -= margin;
    high += margin;
    auto x = [&](double t) { return plot.left() + (t - t0) / (t1 - t0) * plot.width(); };
    auto y = [&](double v) { return plot.bottom() - (v - low) / (high - low) * plot.height(); };

    p.setPen(QPen(QColor(225, 225, 225), 0));
    const double vStep = NiceStep(high - low);
    for (double v = std::ceil(low / vStep) * vStep; v <= high; v += vStep) {
        p.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(plot.left() - 8 * font, y(v) - font, 7.5 * font, 2 * font),
                   Qt::AlignRight | Qt::AlignVCenter, Number(v));
        p.setPen(QPen(QColor(225, 225, 225), 0));
    }
    const double tStep = NiceStep(t1 - t0);
    for (double t = std::ceil(t0 / tStep) * tStep; t <= t1; t += tStep) {
        p.drawLine(QPointF(x(t), plot.top()), QPointF(x(t), plot.bottom()));
        if (timeNumbers) {
            p.setPen(Qt::black);
            p.drawText(QRectF(x(t) - 4 * font, plot.bottom() + 0.3 * font, 8 * font, 1.6 * font),
                       Qt::AlignHCenter | Qt::AlignTop, Number(std::abs(t) < 1e-9 ? 0 : t));
            p.setPen(QPen(QColor(225, 225, 225), 0));
        }
    }
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);

    p.save();
    p.setClipRect(plot);
    for (const auto& [series, dashed] :
         {std::pair{&predicted, true}, std::pair{&measured, false}}) {
        if (series->points.size() < 2) {
            continue;
        }
        QPainterPath path(QPointF(x(series->points[0].x()), y(series->points[0].y())));
        for (std::size_t i = 1; i < series->points.size(); ++i) {
            path.lineTo(x(series->points[i].x()), y(series->points[i].y()));
        }
        QPen pen(dashed ? colour.lighter(140) : colour, font * (dashed ? 0.22 : 0.14));
        if (dashed) {
            pen.setStyle(Qt::DashLine);
        }
        p.setPen(pen);
        p.drawPath(path);
    }
    p.restore();
    p.setPen(Qt::black);
    p.drawText(QRectF(plot.left(), plot.top() - 1.7 * font, plot.width(), 1.6 * font),
               Qt::AlignLeft | Qt::AlignBottom, title);
}

} // namespace

void RunChartPainter::Paint(QPainter& painter, const QRectF& area, const MotionRecording& recording,
                            const RunComparison::Result& comparison, double fontPixels) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(fontPixels))));
    painter.setFont(font);
    const double f = fontPixels;

    Series measuredPosition;
    Series measuredVelocity;
    for (const auto& s : recording.samples) {
        const double t = s.TimeS() - comparison.runStartS;
        measuredPosition.points.emplace_back(t, s.position);
        measuredVelocity.points.emplace_back(t, s.velocity);
    }
    Series predictedPosition;
    Series predictedVelocity;
    const auto& samples = comparison.prediction.run.samples;
    // At most about 2000 points a curve.
    const std::size_t every = std::max<std::size_t>(1, samples.size() / 2000);
    for (std::size_t i = 0; i < samples.size(); i += every) {
        predictedPosition.points.emplace_back(samples[i].timeMs / 1000.0, samples[i].position);
        predictedVelocity.points.emplace_back(samples[i].timeMs / 1000.0, samples[i].velocity);
    }
    double t0 = 0;
    double t1 = 0.5;
    for (const Series* s : {&measuredPosition, &predictedPosition}) {
        for (const QPointF& point : s->points) {
            t0 = std::min(t0, point.x());
            t1 = std::max(t1, point.x());
        }
    }

    const double legend = 5.0 * f;
    const QRectF inner = area.adjusted(8.5 * f, 2 * f, -1 * f, -(2.2 * f + legend));
    const double gap = 3.2 * f;
    const double half = (inner.height() - gap) / 2;
    const QRectF upper(inner.left(), inner.top(), inner.width(), half);
    const QRectF lower(inner.left(), inner.top() + half + gap, inner.width(), half);
    Panel(painter, upper, t0, t1, measuredPosition, predictedPosition, PositionColour,
          tr("Pozycja [kroki]"), f, false);
    Panel(painter, lower, t0, t1, measuredVelocity, predictedVelocity, VelocityColour,
          tr("Prędkość [kroki/s]"), f, true);
    painter.drawText(QRectF(lower.left(), lower.bottom() + 1.9 * f, lower.width(), 1.6 * f),
                     Qt::AlignHCenter | Qt::AlignTop, tr("czas [s]"));

    // The legend: solid measured, dashed predicted; a second row when the
    // area is narrow.
    double ly = lower.bottom() + 4.6 * f;
    double lx = inner.left();
    auto entry = [&](const QColor& colour, bool dashed, const QString& text) {
        const double needed = 3 * f + painter.fontMetrics().horizontalAdvance(text);
        if (lx + needed > area.right() && lx > inner.left()) {
            lx = inner.left();
            ly += 1.6 * f;
        }
        QPen pen(dashed ? colour.lighter(140) : colour, f * (dashed ? 0.22 : 0.14));
        if (dashed) {
            pen.setStyle(Qt::DashLine);
        }
        painter.setPen(pen);
        painter.drawLine(QPointF(lx, ly - 0.4 * f), QPointF(lx + 2.5 * f, ly - 0.4 * f));
        painter.setPen(Qt::black);
        const double width = painter.fontMetrics().horizontalAdvance(text);
        painter.drawText(QPointF(lx + 3 * f, ly), text);
        lx += 3 * f + width + 1.5 * f;
    };
    entry(PositionColour, false, tr("pozycja zmierzona"));
    entry(PositionColour, true, tr("pozycja przewidziana"));
    entry(VelocityColour, false, tr("prędkość zmierzona"));
    entry(VelocityColour, true, tr("prędkość przewidziana"));
    painter.restore();
}
