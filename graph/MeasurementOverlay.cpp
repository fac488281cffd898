// Measurement overlay: per-output state, levels recomputed on setting changes, curves on band changes.
#include "MeasurementOverlay.h"

#include "TargetCurve.h"

#include <QPainter>

namespace {

// Thin lines that stay distinct from the six output colours.
const QColor MeasuredColour(190, 190, 190);
const QColor PredictedColour(255, 0, 255);
const QColor TargetColour(255, 255, 255);

}  // namespace

MeasurementOverlay::MeasurementOverlay(const GraphGrid &grid) : grid_(grid)
{
    for (Output &o : outputs_) o.target = BuiltInTarget(TargetKind::Flat);
}

FreqCurve MeasurementOverlay::smoothed(int ch) const
{
    const Output &o = outputs_[size_t(ch)];
    return Smooth(o.measurement.curve, o.smoothing);
}

void MeasurementOverlay::relevel(int ch)
{
    curvesCh_ = -1;
    if (loaded(ch)) {
        Output &o = outputs_[size_t(ch)];
        o.levels = MakeOverlayLevels(grid_, smoothed(ch), o.target, o.offsetDb);
    }
    emit changed();
}

void MeasurementOverlay::setMeasurement(int ch, const Measurement &m)
{
    outputs_[size_t(ch)].measurement = m;
    relevel(ch);
}

void MeasurementOverlay::setSmoothing(int ch, Smoothing s)
{
    outputs_[size_t(ch)].smoothing = s;
    relevel(ch);
}

void MeasurementOverlay::setOffset(int ch, double db)
{
    outputs_[size_t(ch)].offsetDb = db;
    relevel(ch);
}

void MeasurementOverlay::setTarget(int ch, int kind, const FreqCurve &curve, const QString &name)
{
    Output &o = outputs_[size_t(ch)];
    o.targetKind = kind;
    o.target = curve;
    o.targetName = name;
    relevel(ch);
}

void MeasurementOverlay::setShown(Curve c, bool on)
{
    shown_[c] = on;
    emit changed();
}

void MeasurementOverlay::recompute(const ParamBlock &block, int ch)
{
    if (!loaded(ch)) {
        curvesCh_ = -1;
        return;
    }
    curves_ = MakeOverlay(grid_, outputs_[size_t(ch)].levels, block, ch);
    curvesCh_ = ch;
}

void MeasurementOverlay::paint(QPainter &p, int ch) const
{
    if (ch != curvesCh_ || !loaded(ch)) return;
    const struct {
        Curve curve;
        const OverlayLine &line;
        QColor colour;
        Qt::PenStyle style;
    } lines[CurveCount] = {{Measured, curves_.measured, MeasuredColour, Qt::SolidLine},
                           {Predicted, curves_.predicted, PredictedColour, Qt::SolidLine},
                           {Target, curves_.target, TargetColour, Qt::DashLine}};
    for (const auto &l : lines) {
        if (!shown_[l.curve]) continue;
        p.setPen(QPen(l.colour, 1, l.style));
        p.drawPolyline(l.line.data(), GRAPH_POINTS);
    }
}
