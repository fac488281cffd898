// The measurement, smoothing, offset and target of each output, and the overlay curves of the selected one.
#pragma once

#include "GraphOverlay.h"
#include "Measurement.h"
#include "Smoothing.h"

#include <QObject>
#include <QPen>
#include <QString>
#include <array>

class QPainter;

class MeasurementOverlay : public QObject
{
    Q_OBJECT
public:
    // What one output holds; the levels follow from the other fields.
    struct Output {
        Measurement measurement;        // empty until one is loaded
        Smoothing smoothing = Smoothing::None;
        double offsetDb = 0.0;
        FreqCurve target;               // flat unless chosen otherwise
        QString targetName;             // file name of a loaded target; empty for a built-in one
        int targetKind = 0;             // TargetKind, or TARGET_FILE
        OverlayLevels levels;
    };
    static constexpr int TARGET_FILE = 3;  // the target came from a file

    // On the grid of the graph it is drawn on.
    explicit MeasurementOverlay(const GraphGrid &grid);

    const Output &output(int ch) const { return outputs_[size_t(ch)]; }
    bool loaded(int ch) const { return ch >= 0 && ch < CH_COUNT && !outputs_[size_t(ch)].measurement.curve.empty(); }
    // The measurement as the fit and the graph see it: smoothed as chosen.
    FreqCurve smoothed(int ch) const;

    void setMeasurement(int ch, const Measurement &m);
    void setSmoothing(int ch, Smoothing s);
    void setOffset(int ch, double db);
    void setTarget(int ch, int kind, const FreqCurve &curve, const QString &name);

    // Which curves are drawn (for every output).
    enum Curve { Measured, Predicted, Target, CurveCount };
    bool shown(Curve c) const { return shown_[c]; }
    // The pen a curve is drawn with (also the panel's legend).
    static QPen pen(Curve c);
    void setShown(Curve c, bool on);

    // The selected output's curves with its current bands and crossovers; nothing when it has no measurement.
    void recompute(const ParamBlock &block, int ch);
    // Draws the shown curves of ch when it has a measurement.
    void paint(QPainter &p, int ch) const;

signals:
    // Something drawn changed: the graph recomputes and repaints.
    void changed();

private:
    void relevel(int ch);

    const GraphGrid &grid_;
    std::array<Output, CH_COUNT> outputs_;
    std::array<bool, CurveCount> shown_{{true, true, true}};
    OverlayCurves curves_{};
    int curvesCh_ = -1;  // the output curves_ was computed for
};
