// Painting of the response graph under the window's controls.
#include "Kestrun.h"

#include <QPainter>
#include <QStyleOption>

void Kestrun::initGraphTables() {}

void Kestrun::paintEvent(QPaintEvent *)
{
    QStyleOption opt;
    opt.initFrom(this);
    QPainter p(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
}
