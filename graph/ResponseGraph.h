// The response graph: the selected channel's curves and markers follow the model; painting of the plot.
#pragma once

#include "MeasurementOverlay.h"
#include "ModelChange.h"
#include "ResponseMath.h"

class KestrunForm;
class MarkerSink;
class QPainter;
class QWidget;
class TuningModel;

class ResponseGraph
{
public:
    ResponseGraph(QWidget &window, KestrunForm &ui, TuningModel &model, MarkerSink &markers);

    // Moves markers and labels as the change says and computes the changed curves of the selected channel.
    void apply(const ModelChange &change);
    // Draws the selected curve, at most one comparison curve, the crossover lines and, over them, the
    // selected output's measurement overlay when it has one.
    void paint(QPainter &p) const;
    // Requests a repaint of the plot only: the painter draws nowhere else.
    void update();
    // The measurements and targets of the outputs; the graph follows its changes.
    MeasurementOverlay &overlay() { return overlay_; }
    // The curves of the six outputs in pixels.
    ResponseCurves &curves() { return curves_; }

private:
    void showAll(uint8_t ch);
    void placeLabel(int b, uint8_t ch, bool withMarker);

    QWidget &window_;
    KestrunForm &ui_;
    TuningModel &model_;
    MarkerSink &markers_;
    ResponseCurves curves_;
    MeasurementOverlay overlay_;
};
