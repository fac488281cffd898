// The receiver of marker moves computed by the response math: the window places its markers and labels.
#pragma once

#include <QPoint>

class MarkerSink
{
public:
    virtual ~MarkerSink() = default;

    // Current top-left corner of the marker of band 0..30.
    virtual QPoint bandMarkerPos(int band) const = 0;
    // Band marker (11 x 11) and its number label (18 x 18) to a new top-left corner.
    virtual void placeBandMarker(int band, int x, int y) = 0;
    virtual void placeBandLabel(int band, int x, int y) = 0;
    // The crossover markers (16 x 16) to a new top-left corner.
    virtual void placeHpfMarker(int x, int y) = 0;
    virtual void placeLpfMarker(int x, int y) = 0;
};
