// Painting of the response graph under the window's controls.
#include "Kestrun.h"

#include "ResponseGraph.h"
#include "ResponseMath.h"

#include <QPainter>
#include <QStyleOption>

void Kestrun::initGraphTables()
{
    Graph->curves().reset();
}

// Draws only what the tables hold; every curve was computed when its parameters changed.
void Kestrun::paintEvent(QPaintEvent *)
{
    QStyleOption opt;
    opt.initFrom(this);
    QPainter p(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
    Graph->paint(p);
}

void Kestrun::updateGraph()
{
    Graph->update();
}
