// The graph's band and crossover markers and their interaction: drags, band double-clicks, value-edit keys.
#pragma once

#include "MarkerSink.h"
#include "ParamStore.h"

#include <QObject>
#include <QPoint>

class DragPushButton;
class Kestrun;
class QLineEdit;
class TuningModel;

class GraphMarkers : public QObject, public MarkerSink
{
    Q_OBJECT
public:
    GraphMarkers(Kestrun &window, TuningModel &model);

    void createMarkers();    // the markers; watches them, the step buttons and the band buttons
    void watchValueEdits();  // watches every value edit

    // Graph markers: 31 bands, the high-pass and the low-pass filter.
    DragPushButton *BandMark[BAND_COUNT] = {};
    DragPushButton *HpfMark = nullptr;
    DragPushButton *LpfMark = nullptr;

    // Where the response math puts the markers and band labels.
    QPoint bandMarkerPos(int band) const override;
    void placeBandMarker(int band, int x, int y) override;
    void placeBandLabel(int band, int x, int y) override;
    void placeHpfMarker(int x, int y) override;
    void placeLpfMarker(int x, int y) override;

public slots:
    // Requests a repaint of the plot only: the painter draws nowhere else, and the controls around the
    // graph need no repaint when a curve changes (a whole-window repaint costs several times more).
    void updateGraph();
    void Mark_Point_Update_Change(int band);
    void HPF_Point_Update_Change();
    void LPF_Point_Update_Change();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;  // graph interaction and value edits

private:
    int bandMarkerIndex(const QObject *o) const;
    int bandButtonIndex(const QObject *o) const;
    QLineEdit *valueEdit(QObject *o) const;
    bool stepValueEdit(QObject *o, int dir, bool autoRepeat, bool fromKey);
    bool runHistoryKey(QObject *watched, QEvent *event);

    Kestrun &w_;
    TuningModel &model_;
};
