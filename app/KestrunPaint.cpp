// Painting of the response graph under the window's controls.
#include "Kestrun.h"

#include "ResponseMath.h"

#include <QCheckBox>
#include <QPainter>
#include <QStyleOption>

namespace {

// Curve colours of CH1..CH6, the same as the text of the comparison boxes.
const QColor CurveColour[CH_COUNT] = {QColor(255, 0, 0),   QColor(255, 246, 0), QColor(0, 0, 255),
                                      QColor(0, 255, 0),   QColor(0, 255, 255), QColor(255, 180, 0)};

}  // namespace

void Kestrun::initGraphTables()
{
    Graph_Table_Init();
    SetMarkerSink(this);
}

// Draws only what the tables hold; every curve was computed when its parameters changed.
void Kestrun::paintEvent(QPaintEvent *)
{
    QStyleOption opt;
    opt.initFrom(this);
    QPainter p(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);

    const uint8_t ch = CurCh;
    if (ch >= CH_COUNT) return;
    p.setClipRect(QRect(QPoint(GRAPH_LEFT, GRAPH_CLIP_TOP), QPoint(GRAPH_CLIP_RIGHT, GRAPH_CLIP_BOTTOM)));

    QPen pen(CurveColour[ch], 2, Qt::SolidLine);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(pen);
    p.drawPolyline(CurvePoint[ch], GRAPH_POINTS);

    // At most one comparison curve: the first box that is not unchecked.
    for (int other = 0; other < CH_COUNT; ++other) {
        if (ui->checkBox[other]->checkState() == Qt::Unchecked) continue;
        p.setPen(QPen(CurveColour[other], 1, Qt::SolidLine));
        p.drawPolyline(CurvePoint[other], GRAPH_POINTS);
        break;
    }

    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawLine(HPF_Line);
    p.drawLine(LPF_Line);
}

void Kestrun::updateGraph()
{
    // The clip rectangle and the crossover lines' lower end: (36, 50) to (1096, 238).
    update(QRect(QPoint(36, 50), QPoint(1096, 238)));
}
