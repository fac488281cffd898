// Curves, markers and the painting of the response graph.
#include "ResponseGraph.h"

#include "KestrunForm.h"
#include "MarkerSink.h"
#include "ResponseMath.h"
#include "TuningModel.h"

#include <QCheckBox>
#include <QPainter>
#include <QWidget>

namespace {

// Curve colours of CH1..CH6, the same as the text of the comparison boxes.
const QColor CurveColour[CH_COUNT] = {QColor(255, 0, 0),   QColor(255, 246, 0), QColor(0, 0, 255),
                                      QColor(0, 255, 0),   QColor(0, 255, 255), QColor(255, 180, 0)};

}  // namespace

ResponseGraph::ResponseGraph(QWidget &window, KestrunForm &ui, TuningModel &model, MarkerSink &markers)
    : window_(window), ui_(ui), model_(model), markers_(markers), curves_(model, &markers), overlay_(curves_.grid)
{
    QObject::connect(&overlay_, &MeasurementOverlay::changed, &window_, [this] {
        overlay_.recompute(model_.store, model_.CurCh);
        update();
    });
}

// The label above its marker's place; with the marker too when asked.
void ResponseGraph::placeLabel(int b, uint8_t ch, bool withMarker)
{
    const int x = Freq_To_Pos(model_.store.EqFreq[ch][b]);
    const int top = GainToMarkerTop(model_.store.EqGain[ch][b]);
    if (withMarker) markers_.placeBandMarker(b, x, top);
    markers_.placeBandLabel(b, x, top - BAND_LABEL_RISE);
}

// A newly shown channel: crossover markers and lines, every band marker and label, the whole curve.
void ResponseGraph::showAll(uint8_t ch)
{
    curves_.HPF_Curve_Update(ch);
    curves_.LPF_Curve_Update(ch);
    for (int b = 0; b < BAND_COUNT; ++b) placeLabel(b, ch, true);
    curves_.EQ_Curve_Update(ch);
    curves_.Curve_Point_Update(ch);
    overlay_.recompute(model_.store, ch);
    window_.update();
}

void ResponseGraph::apply(const ModelChange &c)
{
    const uint8_t ch = model_.CurCh;
    if (ch >= CH_COUNT) return;
    if (c.all || c.selection) {
        showAll(ch);
        return;
    }
    for (int b = 0; b < BAND_COUNT; ++b) {
        const uint8_t a = c.band[ch][b];
        if (a & ModelChange::MarkGain) curves_.EQ_Mark_Gain_Update(uint8_t(b));
        if (a & ModelChange::MarkFreq) curves_.EQ_Mark_Update(uint8_t(b));
        if (a & (ModelChange::Snap | ModelChange::Label)) placeLabel(b, ch, a & ModelChange::Snap);
    }
    if (c.filter[ch][0]) curves_.HPF_Curve_Update(ch);
    if (c.filter[ch][1]) curves_.LPF_Curve_Update(ch);
    if (!c.curve[ch]) return;
    if (c.bandAny(ch)) curves_.EQ_Curve_Update(ch);
    curves_.Curve_Point_Update(ch);
    overlay_.recompute(model_.store, ch);
    update();
}

void ResponseGraph::paint(QPainter &p) const
{
    const uint8_t ch = model_.CurCh;
    if (ch >= CH_COUNT) return;
    p.setClipRect(QRect(QPoint(GRAPH_LEFT, GRAPH_CLIP_TOP), QPoint(GRAPH_CLIP_RIGHT, GRAPH_CLIP_BOTTOM)));

    QPen pen(CurveColour[ch], 2, Qt::SolidLine);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(pen);
    p.drawPolyline(curves_.CurvePoint[ch], GRAPH_POINTS);

    // At most one comparison curve: the first box that is not unchecked.
    for (int other = 0; other < CH_COUNT; ++other) {
        if (ui_.checkBox[other]->checkState() == Qt::Unchecked) continue;
        p.setPen(QPen(CurveColour[other], 1, Qt::SolidLine));
        p.drawPolyline(curves_.CurvePoint[other], GRAPH_POINTS);
        break;
    }

    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawLine(curves_.HPF_Line);
    p.drawLine(curves_.LPF_Line);
    overlay_.paint(p, ch);
}

void ResponseGraph::update()
{
    // The clip rectangle and the crossover lines' lower end: (36, 50) to (1096, 238).
    window_.update(QRect(QPoint(36, 50), QPoint(1096, 238)));
}
