// The before/after plot painted with the sheet's own drawing, under the output's title.
#include "ComparisonView.h"

#include "ComparisonPlot.h"

#include <QPainter>

ComparisonView::ComparisonView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(sizeHint());
}

void ComparisonView::setComparison(const OutputComparison &c, const QString &title, uint8_t language)
{
    comparison_ = c;
    title_ = title;
    language_ = language;
    update();
}

void ComparisonView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(240, 240, 240));
    p.setPen(Qt::black);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    const int h = p.fontMetrics().height();
    p.drawText(QRect(4, 2, width() - 8, h), Qt::AlignLeft | Qt::AlignVCenter, title_);
    p.setFont(font());
    ComparisonPlot::draw(p, QRectF(4, h + 4, width() - 8, height() - h - 8), comparison_, language_);
}
