// Readable lines of a scene block: the show listing and the differences of two blocks.
#include "SceneText.h"

#include "SceneFields.h"

#include <functional>

namespace {

const uint8_t *bytesOf(const QByteArray &block) { return reinterpret_cast<const uint8_t *>(block.constData()); }

QString field(const uint8_t *b, const SceneField &f, int entry) { return SceneFields::text(f.kind, SceneFields::code(b, f, entry)); }

QString channel(int ch) { return QStringLiteral("CH%1").arg(ch + 1); }

QString labelled(const QString &prefix, const char *label)
{
    return *label ? prefix + QLatin1Char(' ') + QLatin1String(label) : prefix;
}

// Visits every field entry of a block with its readable name.
void forEachField(const std::function<void(const QString &, const SceneField &, int)> &visit)
{
    for (const SceneField &f : SceneFields::Globals) visit(QLatin1String(f.label), f, 0);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        for (const SceneField &f : SceneFields::Outputs) visit(labelled(channel(ch), f.label), f, ch);
        for (int w = 0; w < 2; ++w) {
            const QString prefix = channel(ch) + QLatin1Char(' ') + QLatin1String(SceneFields::FilterLabels[w]);
            for (const SceneField &f : SceneFields::Filters[w]) visit(labelled(prefix, f.label), f, ch);
        }
        for (int band = 0; band < BAND_COUNT; ++band) {
            const QString prefix = channel(ch) + QStringLiteral(" band %1").arg(band + 1);
            for (const SceneField &f : SceneFields::Bands) visit(labelled(prefix, f.label), f, ch * BAND_COUNT + band);
        }
    }
}

// "reserved bytes 11..23: 2 bytes differ" when the region differs.
void regionDiff(const QByteArray &a, const QByteArray &b, const ByteRegion &r, const char *name, QStringList *lines)
{
    int count = 0;
    for (int i = r.offset; i < r.offset + r.size; ++i) count += a.at(i) != b.at(i);
    if (count)
        *lines << QStringLiteral("%1 %2..%3: %4 byte%5 differ")
                      .arg(QLatin1String(name))
                      .arg(r.offset)
                      .arg(r.offset + r.size - 1)
                      .arg(count)
                      .arg(count == 1 ? "" : "s");
}

}  // namespace

QString SceneText::filter(const QByteArray &block, int which, int ch)
{
    const uint8_t *b = bytesOf(block);
    const SceneField *f = SceneFields::Filters[which];
    const uint32_t bypass = SceneFields::code(b, f[0], ch);
    if (bypass == 1) return QStringLiteral("OFF");
    QString s = field(b, f[1], ch) + QLatin1Char(' ') + field(b, f[2], ch) + QLatin1Char(' ') + field(b, f[3], ch);
    if (bypass != 0) s += QStringLiteral(", bypass ") + SceneFields::text(f[0].kind, bypass);
    return s;
}

bool SceneText::bandShaped(const QByteArray &block, int ch, int band)
{
    return SceneFields::code(bytesOf(block), SceneFields::Bands[1], ch * BAND_COUNT + band) != 2 * GAIN_ZERO;
}

QStringList SceneText::show(const QByteArray &block, bool allBands)
{
    const uint8_t *b = bytesOf(block);
    QStringList lines;
    for (const SceneField &f : SceneFields::Globals) lines << QLatin1String(f.label) + QStringLiteral(": ") + field(b, f, 0);
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        lines << QString() << channel(ch) + QLatin1Char(' ') + field(b, SceneFields::Outputs[0], ch);
        QStringList levels;
        for (int i = 1; i < SceneFields::OUTPUT_COUNT; ++i)
            levels << QLatin1String(SceneFields::Outputs[i].label) + QLatin1Char(' ') + field(b, SceneFields::Outputs[i], ch);
        lines << QStringLiteral("  ") + levels.join(QStringLiteral(", "));
        for (int w = 0; w < 2; ++w)
            lines << QStringLiteral("  %1: %2").arg(QLatin1String(SceneFields::FilterLabels[w]), filter(block, w, ch));
        int shown = 0;
        for (int band = 0; band < BAND_COUNT; ++band) {
            if (!allBands && !bandShaped(block, ch, band)) continue;
            const int e = ch * BAND_COUNT + band;
            lines << QStringLiteral("  band %1: %2, %3, Q %4")
                         .arg(band + 1, 2)
                         .arg(field(b, SceneFields::Bands[0], e), field(b, SceneFields::Bands[1], e),
                              field(b, SceneFields::Bands[2], e));
            ++shown;
        }
        if (!shown) lines << QStringLiteral("  all bands flat");
    }
    return lines;
}

QStringList SceneText::diff(const QByteArray &a, const QByteArray &b)
{
    QStringList lines;
    forEachField([&](const QString &name, const SceneField &f, int entry) {
        const uint32_t ca = SceneFields::code(bytesOf(a), f, entry);
        const uint32_t cb = SceneFields::code(bytesOf(b), f, entry);
        if (ca != cb)
            lines << QStringLiteral("%1: %2 -> %3").arg(name, SceneFields::text(f.kind, ca), SceneFields::text(f.kind, cb));
    });
    for (const ByteRegion &r : SceneFields::Reserved) regionDiff(a, b, r, "reserved bytes", &lines);
    regionDiff(a, b, SceneFields::Tail, "bytes", &lines);
    return lines;
}
