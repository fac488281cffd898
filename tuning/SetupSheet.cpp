// The setup sheet drawn with Qt's PDF writer: a page of outputs, crossovers and graphs, a page of bands.
#include "SetupSheet.h"

#include "ComparisonPlot.h"
#include "OutputResponse.h"
#include "ProcessorResponse.h"
#include "SceneFields.h"
#include "SceneText.h"
#include "SpeakerNames.h"
#include "Texts.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>

#include <cmath>
#include <numeric>
#include <cstring>

namespace {

constexpr int RESOLUTION = 300;  // dots per inch of the page
constexpr int CURVE_POINTS = 160;
constexpr double TOP_DB = 15.0;
constexpr double BOTTOM_DB = -30.0;
constexpr int BAND_COLUMNS = 3;

constexpr int OUTPUT_COLUMNS = 9;
constexpr int BAND_TABLE_COLUMNS = 4;

// The sheet's own texts, Chinese and English.
enum SheetText {
    Title, DocTitle, Date, Note, BandsTitle, On, Off, Level, MeasuredTitle,
    ColOutput,
    ColBand = ColOutput + OUTPUT_COLUMNS,
    GlobalLabel = ColBand + BAND_TABLE_COLUMNS,
};
const TextPair SheetTexts[] = {
    {"Arvon-6 设置单", "Arvon-6 setup sheet"},
    {"设置单", "Setup sheet"},
    {"日期：", "Date: "},
    {"备注：", "Note: "},
    {"非平直的均衡频段", "Equaliser bands that are not flat"},
    {"开", "on"},
    {"关", "off"},
    {"%1 级", "level %1"},
    {"调音前后的实测响应", "Measured response before and after tuning"},
    {"输出", "Output"}, {"名称", "Name"}, {"音量", "Volume"}, {"延时", "Delay"}, {"相位", "Phase"},
    {"静音", "Mute"}, {"均衡旁通", "EQ bypass"}, {"高通", "High-pass"}, {"低通", "Low-pass"},
    {"频段", "Band"}, {"频率", "Frequency"}, {"增益", "Gain"}, {"Q", "Q"},
    // The globals' labels, in the order of SceneFields::Globals.
    {"固件版本", "Firmware version"}, {"输入源", "Input source"},
    {"总音量", "Master volume"}, {"噪声门", "Noise gate"},
};
static_assert(sizeof SheetTexts / sizeof SheetTexts[0] == GlobalLabel + SceneFields::GLOBAL_COUNT, "one text each");

QFont sheetFont(double points, bool bold = false)
{
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

double lineHeight(const QPainter &p) { return p.fontMetrics().height() * 1.35; }

double cellPad(const QPainter &p) { return p.fontMetrics().averageCharWidth() * 2; }

// Where each column of a table starts within `width`: as wide as its widest text where everything fits;
// otherwise each at least as wide as its longest word (texts wrap between words) and the rest of the width
// shared by what the columns want beyond that.
QVector<double> columnStarts(const QPainter &p, const QVector<QStringList> &rows, double width)
{
    const int n = rows.first().size();
    const double pad = cellPad(p);
    QVector<double> want(n, 0.0), least(n, 0.0);
    for (const QStringList &row : rows)
        for (int i = 0; i < n && i < row.size(); ++i) {
            want[i] = std::max(want[i], p.fontMetrics().horizontalAdvance(row[i]) + pad);
            for (const QString &word : row[i].split(QLatin1Char(' '), Qt::SkipEmptyParts))
                least[i] = std::max(least[i], p.fontMetrics().horizontalAdvance(word) + pad);
        }
    const double wanted = std::accumulate(want.begin(), want.end(), 0.0);
    const double leastSum = std::accumulate(least.begin(), least.end(), 0.0);
    QVector<double> xs;
    double x = 0;
    for (int i = 0; i < n; ++i) {
        xs << x;
        if (wanted <= width)
            x += want[i] + (width - wanted) / n;
        else if (leastSum < width)
            x += least[i] + (want[i] - least[i]) * (width - leastSum) / (wanted - leastSum);
        else
            x += least[i] * width / leastSum;
    }
    return xs;
}

// One table row at y, columns at the given x positions (relative to `left`); a text too long for its column
// wraps between words. Returns the row's height: `height`, or more for wrapped lines.
double drawRow(QPainter &p, double left, double y, double height, const QStringList &cells, const QVector<double> &xs,
               double width)
{
    const double pad = cellPad(p) / 2;
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    QVector<QRectF> boxes;
    double rowHeight = height;
    for (int i = 0; i < cells.size() && i < xs.size(); ++i) {
        boxes << QRectF(left + xs[i], y, (i + 1 < xs.size() ? xs[i + 1] : width) - xs[i] - pad, height);
        const QRectF room(boxes.last().topLeft(), QSizeF(boxes.last().width(), 1e6));
        const QRectF used = p.boundingRect(room, flags, cells[i]);
        rowHeight = std::max(rowHeight, used.height() + height - p.fontMetrics().height());
    }
    for (int i = 0; i < boxes.size(); ++i) {
        boxes[i].setHeight(rowHeight);
        p.drawText(boxes[i], flags, cells[i]);
    }
    return rowHeight;
}

// A number and its unit stay on one line: "3.04 ms (105 cm)" may wrap before "(", never inside "3.04 ms".
QString keepUnits(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("(\\d) ")), QStringLiteral("\\1\u00a0"));
}

uint32_t codeOf(const QByteArray &block, const SceneField &f, int entry)
{
    return SceneFields::code(reinterpret_cast<const uint8_t *>(block.constData()), f, entry);
}

bool anyBandShaped(const QByteArray &block)
{
    for (int ch = 0; ch < CH_COUNT; ++ch)
        for (int b = 0; b < BAND_COUNT; ++b)
            if (SceneText::bandShaped(block, ch, b)) return true;
    return false;
}

}  // namespace

QString SetupSheet::text(int id) const
{
    return QString::fromUtf8(language_ ? SheetTexts[id].en : SheetTexts[id].zh);
}

QString SetupSheet::value(const SceneField &f, int entry) const
{
    const uint32_t code = codeOf(block_, f, entry);
    if (SceneFields::valid(f.kind, code)) {
        switch (f.kind) {
        case FieldKind::Flag: return text(code ? On : Off);
        case FieldKind::Gate: return code ? text(Level).arg(code) : text(Off);
        case FieldKind::Speaker: return SpeakerName(uint8_t(code), language_);
        case FieldKind::FilterType: return T(Txt(int(Txt::FilterTypeButterworth) + int(code)), language_);
        default: break;
        }
    }
    return keepUnits(SceneFields::text(f.kind, code));
}

QString SetupSheet::filter(int which, int ch) const
{
    const SceneField *f = SceneFields::Filters[which];
    const uint32_t bypass = codeOf(block_, f[0], ch);
    if (bypass == 1) return text(Off).toUpper();
    QString s = value(f[1], ch) + QLatin1Char(' ') + value(f[2], ch) + QLatin1Char(' ') + value(f[3], ch);
    if (bypass != 0) s += QStringLiteral(", bypass ") + value(f[0], ch);
    return s;
}

QString SetupSheet::globalsLine() const
{
    QStringList globals;
    for (int i = 0; i < SceneFields::GLOBAL_COUNT; ++i)
        globals << text(GlobalLabel + i) + (language_ ? QStringLiteral(": ") : QStringLiteral("：")) +
                       value(SceneFields::Globals[i], 0);
    return globals.join(QStringLiteral("     "));
}

QString SetupSheet::outputTitle(int ch) const
{
    return QStringLiteral("CH%1 %2").arg(ch + 1).arg(value(SceneFields::Outputs[0], ch));
}

bool SetupSheet::write(const QByteArray &block, const Heading &heading, const QString &path, QString *why,
                       const std::vector<OutputComparison> &measured)
{
    if (block.size() != STORE_SIZE) return *why = QStringLiteral("a scene block must be 4096 bytes"), false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return *why = file.errorString(), false;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(RESOLUTION);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        const SetupSheet sheet(block, heading.language);
        pdf.setTitle(sheet.text(DocTitle));
        pdf.setCreator(QStringLiteral("Kestrun"));
        QPainter p;
        if (!p.begin(&pdf)) {
            file.cancelWriting();
            return *why = QStringLiteral("the PDF could not be started"), false;
        }
        const QRectF page(QPointF(0, 0), pdf.pageLayout().paintRectPixels(RESOLUTION).size());
        sheet.drawFirstPage(p, page, heading);
        if (anyBandShaped(block)) {
            pdf.newPage();
            sheet.drawBandPages(pdf, p, page);
        }
        if (!measured.empty()) {
            pdf.newPage();
            sheet.drawMeasuredPages(pdf, p, page, measured);
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
    p.drawText(QRectF(0, y, w, h), Qt::AlignLeft | Qt::AlignVCenter, text(Title));
    p.setFont(sheetFont(9));
    p.drawText(QRectF(0, y, w, h), Qt::AlignRight | Qt::AlignVCenter, heading.source);
    y += h * 1.2;

    h = lineHeight(p);
    const QString blank(QStringLiteral("______________________"));
    p.drawText(QRectF(0, y, w, h), Qt::AlignLeft | Qt::AlignVCenter,
               text(Date) + (heading.date.isEmpty() ? blank : heading.date));
    y += h;
    if (heading.note.isEmpty()) {
        p.drawText(QRectF(0, y, w, h), Qt::AlignLeft | Qt::AlignVCenter, text(Note).trimmed());
        for (int i = 1; i <= 2; ++i) p.drawLine(QPointF(w * 0.08, y + h * i - h * 0.2), QPointF(w, y + h * i - h * 0.2));
        y += h * 2.4;
    } else {
        const QRectF noteBox(0, y, w, h * 6);
        const QRectF used = p.boundingRect(noteBox, Qt::TextWordWrap, text(Note) + heading.note);
        p.drawText(noteBox, Qt::TextWordWrap, text(Note) + heading.note);
        y += std::min(used.height(), noteBox.height()) + h * 0.4;
    }

    const QString globals = globalsLine();
    const QRectF globalsBox = p.boundingRect(QRectF(0, y, w, h * 4), Qt::TextWordWrap, globals);
    p.drawText(QRectF(0, y, w, std::max(h, globalsBox.height())), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               globals);
    y += std::max(h, globalsBox.height()) + h * 0.5;

    // The outputs table: every text whole, wrapped within its column where the page is too narrow.
    QVector<QStringList> rows{{}};
    for (int i = 0; i < OUTPUT_COLUMNS; ++i) rows[0] << text(ColOutput + i);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        QStringList cells{QStringLiteral("CH%1").arg(ch + 1)};
        for (const SceneField &f : SceneFields::Outputs) cells << value(f, ch);
        rows << (cells << filter(0, ch) << filter(1, ch));
    }
    p.setFont(sheetFont(7.5, true));
    h = lineHeight(p);
    const QVector<double> xs = columnStarts(p, rows, w);
    for (int r = 0; r < rows.size(); ++r) {
        if (r == 1) p.setFont(sheetFont(7.5));
        y += drawRow(p, 0, y, h, rows[r], xs, w);
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
    p.drawText(QRectF(box.left(), box.top(), box.width(), h), Qt::AlignLeft | Qt::AlignVCenter, outputTitle(ch));
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

void SetupSheet::drawMeasuredPages(QPdfWriter &pdf, QPainter &p, const QRectF &page,
                                   const std::vector<OutputComparison> &measured) const
{
    constexpr int perPage = 6;  // two columns by three rows
    const double gap = page.width() * 0.04;
    const double boxW = (page.width() - gap) / 2;
    for (size_t k = 0; k < measured.size(); ++k) {
        const int slot = int(k % perPage);
        if (slot == 0 && k > 0) pdf.newPage();
        p.setFont(sheetFont(14, true));
        const double titleH = lineHeight(p) * 1.5;
        if (slot == 0) p.drawText(QRectF(0, 0, page.width(), lineHeight(p)), Qt::AlignLeft | Qt::AlignVCenter, text(MeasuredTitle));
        const double boxH = (page.height() - titleH) / 3;
        const QRectF box((slot % 2) * (boxW + gap), titleH + (slot / 2) * boxH, boxW, boxH * 0.92);
        const int ch = measured[k].channel;
        p.setFont(sheetFont(8, true));
        const double h = lineHeight(p);
        if (ch >= 0 && ch < CH_COUNT)
            p.drawText(QRectF(box.left(), box.top(), box.width(), h), Qt::AlignLeft | Qt::AlignVCenter, outputTitle(ch));
        p.setFont(sheetFont(6));
        ComparisonPlot::draw(p, QRectF(box.left(), box.top() + h, box.width(), box.height() - h), measured[k], language_);
    }
}

void SetupSheet::drawBandPages(QPdfWriter &pdf, QPainter &p, const QRectF &page) const
{
    p.setFont(sheetFont(14, true));
    double h = lineHeight(p);
    p.drawText(QRectF(0, 0, page.width(), h), Qt::AlignLeft | Qt::AlignVCenter, text(BandsTitle));
    const double top = h * 1.5;
    const double colW = page.width() / BAND_COLUMNS;
    // One column layout for every output's table, from the headings and all printed bands.
    QVector<QStringList> rows{{}};
    for (int i = 0; i < BAND_TABLE_COLUMNS; ++i) rows[0] << text(ColBand + i);
    auto bandRow = [&](int ch, int b) {
        const int e = ch * BAND_COUNT + b;
        return QStringList{QString::number(b + 1), value(SceneFields::Bands[0], e), value(SceneFields::Bands[1], e),
                           value(SceneFields::Bands[2], e)};
    };
    for (int ch = 0; ch < CH_COUNT; ++ch)
        for (int b = 0; b < BAND_COUNT; ++b)
            if (SceneText::bandShaped(block_, ch, b)) rows << bandRow(ch, b);
    p.setFont(sheetFont(8, true));
    const QVector<double> xs = columnStarts(p, rows, colW * 0.95);
    p.setFont(sheetFont(8));
    h = lineHeight(p);
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
        p.drawText(QRectF(column * colW, y, colW, h), Qt::AlignLeft | Qt::AlignVCenter, outputTitle(ch));
        y += h;
        y += drawRow(p, column * colW, y, h, rows[0], xs, colW * 0.95);
        p.setFont(sheetFont(8));
        for (int b : bands) {
            room(1);
            y += drawRow(p, column * colW, y, h, bandRow(ch, b), xs, colW * 0.95);
        }
        y += h * 0.6;
    }
}
