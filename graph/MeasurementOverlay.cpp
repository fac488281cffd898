// Measurement overlay: per-output state, levels recomputed on setting changes, curves on band changes.
#include "MeasurementOverlay.h"

#include "TargetCurve.h"

#include <QPainter>

namespace {

// Lines that stay distinct from the six output colours and from each other where they coincide, drawn in
// this order: the measured curve solid, the predicted one dashed over it (they are equal before a fit), the
// target wide and dash-dotted on top (a flat target lies on a flat equaliser's line), the others in its gaps.
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

QPen MeasurementOverlay::pen(Curve c)
{
    switch (c) {
    case Measured: return QPen(MeasuredColour, 2, Qt::SolidLine);
    case Predicted: return QPen(PredictedColour, 1, Qt::DashLine);
    default: return QPen(TargetColour, 2, Qt::DashDotLine);
    }
}

void MeasurementOverlay::paint(QPainter &p, int ch) const
{
    if (ch != curvesCh_ || !loaded(ch)) return;
    const struct {
        Curve curve;
        const OverlayLine &line;
    } lines[CurveCount] = {{Measured, curves_.measured}, {Predicted, curves_.predicted}, {Target, curves_.target}};
    for (const auto &l : lines) {
        if (!shown_[l.curve]) continue;
        p.setPen(pen(l.curve));
        p.drawPolyline(l.line.data(), GRAPH_POINTS);
    }
}
