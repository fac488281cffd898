// The before/after plot of one output, drawn with QPainter for the setup sheet and the window alike.
#include "ComparisonPlot.h"

#include "ProcessorResponse.h"
#include "Texts.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const TextPair CurveNames[ComparisonPlot::CurveCount] = {
    {"调音前（实测）", "Before (measured)"},
    {"调音后（验证）", "After (verified)"},
    {"目标", "Target"},
};

const std::vector<double> &curveOf(const OutputComparison &c, int curve)
{
    return curve == ComparisonPlot::Before ? c.beforeDb : curve == ComparisonPlot::After ? c.afterDb : c.targetDb;
}

QPen curvePen(int curve, double unit)
{
    switch (curve) {
    case ComparisonPlot::Before: return QPen(QColor(215, 95, 30), unit * 0.12);
    case ComparisonPlot::After: return QPen(QColor(20, 70, 170), unit * 0.17);
    default: return QPen(QColor(30, 130, 60), unit * 0.12, Qt::DashLine);
    }
}

bool inRange(double hz) { return hz >= GRAPH_MIN_FREQ && hz <= GRAPH_MAX_FREQ; }

// A plot about 0 dB marks its gains with a sign; one of absolute levels does not.
QString dbLabel(double db, bool signs)
{
    return QStringLiteral("%1 dB").arg(db > 0 && signs ? QStringLiteral("+%1").arg(db) : QString::number(db));
}

}  // namespace

QString ComparisonPlot::curveName(Curve curve, uint8_t language)
{
    return QString::fromUtf8(language ? CurveNames[curve].en : CurveNames[curve].zh);
}

bool ComparisonPlot::dbSpan(const OutputComparison &c, double *top, double *bottom)
{
    std::vector<double> values;
    for (int curve = 0; curve < CurveCount; ++curve) {
        const std::vector<double> &db = curveOf(c, curve);
        for (size_t i = 0; i < db.size() && i < c.hz.size(); ++i)
            if (inRange(c.hz[i]) && std::isfinite(db[i])) values.push_back(db[i]);
    }
    if (values.empty()) return false;
    // The deepest notches may fall below the plot: the lowest 2 % of the points do not widen it.
    const auto low = values.begin() + std::ptrdiff_t(values.size() / 50);
    std::nth_element(values.begin(), low, values.end());
    const double hi = *std::max_element(values.begin(), values.end());
    *top = std::ceil((hi + 1) / 10) * 10;
    *bottom = std::floor(*low / 10) * 10;
    *bottom = std::min(*top - 30, std::max(*top - 60, *bottom));
    return true;
}

void ComparisonPlot::draw(QPainter &p, const QRectF &box, const OutputComparison &c, uint8_t language)
{
    p.save();
    const double unit = p.fontMetrics().height();
    const double em = p.fontMetrics().averageCharWidth();
    double top = 10, bottom = -20;
    const bool any = dbSpan(c, &top, &bottom);

    // The legend: a stretch of each curve's line and its name, flowing onto further lines where needed.
    struct Item {
        int curve;
        QRectF text;
    };
    std::vector<Item> items;
    const double sample = em * 4, gap = em;
    double x = 0, y = 0, lineH = unit;
    for (int curve = 0; curve < CurveCount; ++curve) {
        if (curveOf(c, curve).empty()) continue;
        const QString name = curveName(Curve(curve), language);
        const double room = box.width() - sample - gap;
        const QRectF used = p.boundingRect(QRectF(0, 0, room, 1e6), Qt::TextWordWrap, name);
        if (x > 0 && x + sample + gap + used.width() > box.width()) {
            x = 0;
            y += lineH;
            lineH = unit;
        }
        items.push_back({curve, QRectF(x + sample + gap, y, used.width() + 1, used.height())});
        lineH = std::max(lineH, used.height());
        x += sample + gap + used.width() + gap * 2;
    }
    const double legendH = items.empty() ? 0 : y + lineH + unit * 0.3;

    const bool signs = bottom < 0;
    double labelW = 0;
    for (double db = bottom; db <= top; db += 10)
        labelW = std::max(labelW, double(p.fontMetrics().horizontalAdvance(dbLabel(db, signs))));
    labelW += em;
    const double rightRoom = p.fontMetrics().horizontalAdvance(QStringLiteral("20k")) / 2.0 + em / 2;
    const QRectF plot(box.left() + labelW, box.top() + unit / 2, box.width() - labelW - rightRoom,
                      box.height() - unit / 2 - unit * 1.2 - legendH);
    if (plot.width() <= 0 || plot.height() <= 0) return p.restore();
    const double decades = std::log10(double(GRAPH_MAX_FREQ) / GRAPH_MIN_FREQ);
    auto xOf = [&](double hz) { return plot.left() + std::log10(hz / GRAPH_MIN_FREQ) / decades * plot.width(); };
    auto yOf = [&](double db) { return plot.top() + (top - db) / (top - bottom) * plot.height(); };

    p.fillRect(plot, Qt::white);
    const QPen grid(QColor(200, 200, 200), unit * 0.04);
    const int labelStep = (plot.height() / (top - bottom) * 10 < unit * 1.1) ? 20 : 10;
    for (double db = bottom; db <= top; db += 10) {
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), yOf(db)), QPointF(plot.right(), yOf(db)));
        if (int(top - db) % labelStep) continue;
        p.setPen(Qt::black);
        p.drawText(QRectF(box.left(), yOf(db) - unit / 2, labelW - em / 2, unit), Qt::AlignRight | Qt::AlignVCenter,
                   dbLabel(db, signs));
    }
    const double ticks[] = {20, 100, 1000, 10000, 20000};
    const char *const tickNames[] = {"20", "100", "1k", "10k", "20k"};
    double labelEnd = -1e9;  // a label that would touch the one before it is left out (20k beside 10k)
    for (int i = 0; i < 5; ++i) {
        p.setPen(grid);
        p.drawLine(QPointF(xOf(ticks[i]), plot.top()), QPointF(xOf(ticks[i]), plot.bottom()));
        const QString name = QLatin1String(tickNames[i]);
        const double half = p.fontMetrics().horizontalAdvance(name) / 2.0;
        if (xOf(ticks[i]) - half < labelEnd + em) continue;
        labelEnd = xOf(ticks[i]) + half;
        p.setPen(Qt::black);
        p.drawText(QRectF(xOf(ticks[i]) - labelW, plot.bottom(), labelW * 2, unit * 1.2), Qt::AlignCenter, name);
    }

    if (any) {
        p.save();
        p.setClipRect(plot);
        for (int curve = CurveCount - 1; curve >= 0; --curve) {
            const std::vector<double> &db = curveOf(c, curve);
            QPainterPath path;
            bool open = false;
            for (size_t i = 0; i < db.size() && i < c.hz.size(); ++i) {
                if (!(c.hz[i] > 0) || !std::isfinite(db[i])) {
                    open = false;
                    continue;
                }
                const QPointF at(xOf(c.hz[i]), yOf(std::max(bottom - 10, std::min(top + 10, db[i]))));
                open ? path.lineTo(at) : path.moveTo(at);
                open = true;
            }
            p.setPen(curvePen(curve, unit));
            p.drawPath(path);
        }
        p.restore();
    }
    p.setPen(QPen(Qt::black, unit * 0.07));
    p.drawRect(plot);

    const double legendTop = plot.bottom() + unit * 1.3;
    for (const Item &item : items) {
        const QRectF text = item.text.translated(box.left(), legendTop);
        const double mid = text.top() + unit / 2;
        p.setPen(curvePen(item.curve, unit));
        p.drawLine(QPointF(text.left() - gap - sample, mid), QPointF(text.left() - gap, mid));
        p.setPen(Qt::black);
        p.drawText(text, Qt::TextWordWrap, curveName(Curve(item.curve), language));
    }
    p.restore();
}
