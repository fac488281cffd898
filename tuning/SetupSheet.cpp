// The setup sheet drawn with Qt's PDF writer: a page of outputs, crossovers and graphs, a page of bands.
#include "SetupSheet.h"

#include "OutputResponse.h"
#include "ProcessorResponse.h"
#include "SceneFields.h"
#include "SceneText.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>
#include <cstring>

namespace {

constexpr int RESOLUTION = 300;  // dots per inch of the page
constexpr int CURVE_POINTS = 160;
constexpr double TOP_DB = 15.0;
constexpr double BOTTOM_DB = -30.0;
constexpr int BAND_COLUMNS = 3;

const char *const OutputColumns[] = {"Output", "Name",      "Volume",    "Delay",   "Phase",
                                     "Mute",   "EQ bypass", "High-pass", "Low-pass"};
const char *const BandColumns[] = {"Band", "Frequency", "Gain", "Q"};

QFont sheetFont(double points, bool bold = false)
{
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

double lineHeight(const QPainter &p) { return p.fontMetrics().height() * 1.35; }

// One table row of texts at y, columns at the given x positions (relative to `left`), each cut to its column.
void drawRow(QPainter &p, double left, double y, double height, const QStringList &cells, const QVector<double> &xs,
             double width)
{
    const double pad = p.fontMetrics().averageCharWidth();
    for (int i = 0; i < cells.size() && i < xs.size(); ++i) {
        const double w = (i + 1 < xs.size() ? xs[i + 1] : width) - xs[i] - pad;
        p.drawText(QRectF(left + xs[i], y, w, height), Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(cells[i], Qt::ElideRight, int(w)));
    }
}

QString field(const QByteArray &block, const SceneField &f, int entry)
{
    return SceneFields::text(f.kind, SceneFields::code(reinterpret_cast<const uint8_t *>(block.constData()), f, entry));
}

QString outputTitle(const QByteArray &block, int ch)
{
    return QStringLiteral("CH%1 %2").arg(ch + 1).arg(field(block, SceneFields::Outputs[0], ch));
}

bool anyBandShaped(const QByteArray &block)
{
    for (int ch = 0; ch < CH_COUNT; ++ch)
        for (int b = 0; b < BAND_COUNT; ++b)
            if (SceneText::bandShaped(block, ch, b)) return true;
    return false;
}

}  // namespace

bool SetupSheet::write(const QByteArray &block, const Heading &heading, const QString &path, QString *why)
{
    if (block.size() != STORE_SIZE) return *why = QStringLiteral("a scene block must be 4096 bytes"), false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return *why = file.errorString(), false;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(RESOLUTION);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        pdf.setTitle(QStringLiteral("Setup sheet"));
        pdf.setCreator(QStringLiteral("Kestrun"));
        QPainter p;
        if (!p.begin(&pdf)) {
            file.cancelWriting();
            return *why = QStringLiteral("the PDF could not be started"), false;
        }
        const QRectF page(QPointF(0, 0), pdf.pageLayout().paintRectPixels(RESOLUTION).size());
        const SetupSheet sheet(block);
        sheet.drawFirstPage(p, page, heading);
        if (anyBandShaped(block)) {
            pdf.newPage();
            sheet.drawBandPages(pdf, p, page);
        }
        p.end();
    }
    if (!file.commit()) return *why = file.errorString(), false;
    return true;
}

void SetupSheet::drawFirstPage(QPainter &p, const QRectF &page, const Heading &heading) const
{
    const double w = page.width();
    double y = 0;
    p.setFont(sheetFont(16, true));
    double h = lineHeight(p);
    p.drawText(QRectF(0, y, w, h), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Arvon-6 setup sheet"));
    p.setFont(sheetFont(9));
    p.drawText(QRectF(0, y, w, h), Qt::AlignRight | Qt::AlignVCenter, heading.source);
    y += h * 1.2;

    h = lineHeight(p);
    const QString blank(QStringLiteral("______________________"));
    p.drawText(QRectF(0, y, w, h), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Date: ") + (heading.date.isEmpty() ? blank : heading.date));
    y += h;
    if (heading.note.isEmpty()) {
        p.drawText(QRectF(0, y, w, h), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Note:"));
        for (int i = 1; i <= 2; ++i) p.drawLine(QPointF(w * 0.08, y + h * i - h * 0.2), QPointF(w, y + h * i - h * 0.2));
        y += h * 2.4;
    } else {
        const QRectF noteBox(0, y, w, h * 6);
        const QRectF used = p.boundingRect(noteBox, Qt::TextWordWrap, QStringLiteral("Note: ") + heading.note);
        p.drawText(noteBox, Qt::TextWordWrap, QStringLiteral("Note: ") + heading.note);
        y += std::min(used.height(), noteBox.height()) + h * 0.4;
    }

    QStringList globals;
    for (const SceneField &f : SceneFields::Globals)
        globals << QLatin1String(f.label) + QStringLiteral(": ") + field(block_, f, 0);
    p.drawText(QRectF(0, y, w, h), Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(globals.join(QStringLiteral("     ")), Qt::ElideRight, int(w)));
    y += h * 1.5;

    // The outputs table: columns as wide as their widest text, the spare width shared out; cut when too wide.
    QVector<QStringList> rows{{}};
    for (const char *c : OutputColumns) rows[0] << QLatin1String(c);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        QStringList cells{QStringLiteral("CH%1").arg(ch + 1)};
        for (const SceneField &f : SceneFields::Outputs) cells << field(block_, f, ch);
        rows << (cells << SceneText::filter(block_, 0, ch) << SceneText::filter(block_, 1, ch));
    }
    p.setFont(sheetFont(7.5, true));
    h = lineHeight(p);
    const double pad = p.fontMetrics().averageCharWidth() * 2;
    QVector<double> widths(rows[0].size(), 0.0);
    for (const QStringList &row : rows)
        for (int i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], p.fontMetrics().horizontalAdvance(row[i]) + pad);
    double natural = 0;
    for (double cw : widths) natural += cw;
    QVector<double> xs;
    double x = 0;
    for (double cw : widths) {
        xs << x;
        x += natural <= w ? cw + (w - natural) / widths.size() : cw * w / natural;
    }
    for (int r = 0; r < rows.size(); ++r) {
        if (r == 1) p.setFont(sheetFont(7.5));
        drawRow(p, 0, y, h, rows[r], xs, w);
        y += h;
        if (r == 0) p.drawLine(QPointF(0, y), QPointF(w, y));
    }
    p.drawLine(QPointF(0, y), QPointF(w, y));
    y += h;

    // One response graph per output, two columns by three rows.
    const double gap = w * 0.04;
    const double boxW = (w - gap) / 2;
    const double boxH = (page.height() - y) / 3;
    for (int ch = 0; ch < CH_COUNT; ++ch)
        drawResponse(p, QRectF((ch % 2) * (boxW + gap), y + (ch / 2) * boxH, boxW, boxH * 0.92), ch);
}

void SetupSheet::drawResponse(QPainter &p, const QRectF &box, int ch) const
{
    p.setFont(sheetFont(8, true));
    const double h = lineHeight(p);
    p.drawText(QRectF(box.left(), box.top(), box.width(), h), Qt::AlignLeft | Qt::AlignVCenter, outputTitle(block_, ch));
    p.setFont(sheetFont(6));
    const double labelW = p.fontMetrics().horizontalAdvance(QStringLiteral("-30 dB")) * 1.2;
    const QRectF plot(box.left() + labelW, box.top() + h, box.width() - labelW, box.height() - h * 2);
    const double decades = std::log10(double(GRAPH_MAX_FREQ) / GRAPH_MIN_FREQ);
    auto xOf = [&](double hz) { return plot.left() + std::log10(hz / GRAPH_MIN_FREQ) / decades * plot.width(); };
    auto yOf = [&](double db) { return plot.top() + (TOP_DB - db) / (TOP_DB - BOTTOM_DB) * plot.height(); };

    p.setPen(QPen(QColor(200, 200, 200), 1));
    for (double db = -24; db <= 12; db += 12) {
        p.drawLine(QPointF(plot.left(), yOf(db)), QPointF(plot.right(), yOf(db)));
        p.setPen(Qt::black);
        p.drawText(QRectF(box.left(), yOf(db) - h / 2, labelW * 0.9, h), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1 dB").arg(db > 0 ? QStringLiteral("+%1").arg(db) : QString::number(db)));
        p.setPen(QPen(QColor(200, 200, 200), 1));
    }
    const double ticks[] = {100, 1000, 10000};
    const char *const tickNames[] = {"100", "1k", "10k"};
    for (int i = 0; i < 3; ++i) {
        p.drawLine(QPointF(xOf(ticks[i]), plot.top()), QPointF(xOf(ticks[i]), plot.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(xOf(ticks[i]) - labelW, plot.bottom(), labelW * 2, h), Qt::AlignCenter,
                   QLatin1String(tickNames[i]));
        p.setPen(QPen(QColor(200, 200, 200), 1));
    }
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(plot);

    // The response math of the window and the tuning tools, on the store as the processor would take it over.
    ParamBlock store;
    std::memcpy(&store, block_.constData(), size_t(STORE_SIZE));
    uint16_t shadow[CH_COUNT][BAND_COUNT];
    store.correctDownloaded(shadow);
    std::vector<double> freqs(CURVE_POINTS);
    for (int i = 0; i < CURVE_POINTS; ++i) freqs[i] = GRAPH_MIN_FREQ * std::pow(10.0, decades * i / (CURVE_POINTS - 1));
    const std::vector<double> eq = OutputEqDb(store, ch, freqs);
    const std::vector<double> xover = OutputCrossoverDb(store, ch, freqs);
    QPainterPath curve;
    for (int i = 0; i < CURVE_POINTS; ++i) {
        const double db = std::max(BOTTOM_DB - 5, std::min(TOP_DB + 5, eq[i] + xover[i]));
        if (i == 0)
            curve.moveTo(xOf(freqs[i]), yOf(db));
        else
            curve.lineTo(xOf(freqs[i]), yOf(db));
    }
    p.save();
    p.setClipRect(plot);
    p.setPen(QPen(QColor(20, 70, 170), 5));
    p.drawPath(curve);
    p.restore();
    p.setPen(Qt::black);
}

void SetupSheet::drawBandPages(QPdfWriter &pdf, QPainter &p, const QRectF &page) const
{
    p.setFont(sheetFont(14, true));
    double h = lineHeight(p);
    p.drawText(QRectF(0, 0, page.width(), h), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Equaliser bands that are not flat"));
    const double top = h * 1.5;
    p.setFont(sheetFont(8));
    h = lineHeight(p);
    const double colW = page.width() / BAND_COLUMNS;
    const QVector<double> xs{0, colW * 0.16, colW * 0.46, colW * 0.72};
    int column = 0;
    double y = top;
    // Moves to the next column, or the next page, when `rows` more rows do not fit.
    auto room = [&](int rows) {
        if (y + rows * h <= page.height()) return;
        y = top;
        if (++column < BAND_COLUMNS) return;
        pdf.newPage();
        column = 0;
    };
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        QVector<int> bands;
        for (int b = 0; b < BAND_COUNT; ++b)
            if (SceneText::bandShaped(block_, ch, b)) bands << b;
        if (bands.isEmpty()) continue;
        room(3);
        p.setFont(sheetFont(8, true));
        p.drawText(QRectF(column * colW, y, colW, h), Qt::AlignLeft | Qt::AlignVCenter, outputTitle(block_, ch));
        y += h;
        QStringList headings;
        for (const char *c : BandColumns) headings << QLatin1String(c);
        drawRow(p, column * colW, y, h, headings, xs, colW);
        p.setFont(sheetFont(8));
        y += h;
        for (int b : bands) {
            room(1);
            const int e = ch * BAND_COUNT + b;
            drawRow(p, column * colW, y, h,
                    {QString::number(b + 1), field(block_, SceneFields::Bands[0], e),
                     field(block_, SceneFields::Bands[1], e), field(block_, SceneFields::Bands[2], e)},
                    xs, colW);
            y += h;
        }
        y += h * 0.6;
    }
}
