// Scene blocks to JSON and back, exact to the byte; every value is checked against its field's range.
#include "SceneJson.h"

#include "SceneFields.h"

#include <algorithm>
#include <cctype>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const char *const FormatName = "kestrun-scene";
constexpr int FormatVersion = 1;

QString joined(const QString &path, const QString &key)
{
    return path.isEmpty() ? key : path + QLatin1Char('.') + key;
}

QString indexed(const QString &path, const char *key, int i)
{
    return joined(path, QString::fromLatin1(key)) + QStringLiteral("[%1]").arg(i);
}

// Writes the fields of one entry into `o`; false with the path of the first invalid stored code.
bool putFields(const uint8_t *block, const SceneField *fields, int n, int entry, const QString &path, QJsonObject *o,
               QString *why)
{
    for (int i = 0; i < n; ++i) {
        const uint32_t c = SceneFields::code(block, fields[i], entry);
        if (!SceneFields::valid(fields[i].kind, c)) {
            *why = QStringLiteral("%1: stored %2").arg(joined(path, QString::fromLatin1(fields[i].key)),
                                                        SceneFields::text(fields[i].kind, c));
            return false;
        }
        o->insert(QString::fromLatin1(fields[i].key), SceneFields::json(fields[i].kind, c));
    }
    return true;
}

// Reads the fields of one entry from `o`, which must hold exactly those keys and `extra`.
bool takeFields(const QJsonObject &o, const SceneField *fields, int n, int entry, const QString &path,
                const QStringList &extra, uint8_t *block, QString *why)
{
    QStringList known = extra;
    for (int i = 0; i < n; ++i) known << QString::fromLatin1(fields[i].key);
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!known.contains(it.key())) return *why = joined(path, it.key()) + QStringLiteral(": unknown field"), false;
    for (const QString &k : extra)
        if (!o.contains(k)) return *why = joined(path, k) + QStringLiteral(": missing"), false;
    for (int i = 0; i < n; ++i) {
        const QString key = QString::fromLatin1(fields[i].key);
        if (!o.contains(key)) return *why = joined(path, key) + QStringLiteral(": missing"), false;
        uint32_t c = 0;
        QString reason;
        if (!SceneFields::fromJson(fields[i].kind, o.value(key), &c, &reason))
            return *why = joined(path, key) + QStringLiteral(": ") + reason, false;
        SceneFields::setCode(block, fields[i], entry, c);
    }
    return true;
}

// An array member of exactly `count` objects.
bool objectArray(const QJsonObject &o, const char *key, int count, const QString &path, QJsonArray *out, QString *why)
{
    const QString p = joined(path, QString::fromLatin1(key));
    const QJsonValue v = o.value(QString::fromLatin1(key));
    if (!v.isArray() || v.toArray().size() != count)
        return *why = QStringLiteral("%1: expected an array of %2 objects").arg(p).arg(count), false;
    *out = v.toArray();
    for (int i = 0; i < count; ++i)
        if (!out->at(i).isObject()) return *why = QStringLiteral("%1[%2]: expected an object").arg(p).arg(i), false;
    return true;
}

// Hex text to bytes at `dst`: exactly `size` bytes, or up to `size` (the rest zero) when `shortOk`.
bool takeHex(const QJsonValue &v, const QString &path, int size, bool shortOk, uint8_t *dst, QString *why)
{
    const QString s = v.toString();
    const bool hexOnly = s.size() % 2 == 0 && std::all_of(s.begin(), s.end(), [](QChar c) {
                             return c.unicode() < 128 && std::isxdigit(c.unicode());
                         });
    const QByteArray bytes = QByteArray::fromHex(s.toLatin1());
    if (!v.isString() || !hexOnly || bytes.size() > size || (!shortOk && bytes.size() != size))
        return *why = QStringLiteral("%1: expected %2%3 bytes as hex digits").arg(path, shortOk ? "up to " : "").arg(size),
               false;
    std::fill(dst, dst + size, uint8_t(0));
    std::copy(bytes.begin(), bytes.end(), dst);
    return true;
}

// Each object of plain values (a band, a filter) on one line: shorter files, and one changed line per
// changed band when the files are kept under version control.
QByteArray compactLeaves(const QByteArray &indented)
{
    static const QRegularExpression leaf(QStringLiteral("\\{\\n([^{}\\[\\]]*)\\n\\s*\\}"));
    const QString s = QString::fromUtf8(indented);
    QString out;
    int last = 0;
    for (auto it = leaf.globalMatch(s); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QStringList members = m.captured(1).split(QLatin1Char('\n'));
        for (QString &line : members) line = line.trimmed();
        out += s.midRef(last, m.capturedStart() - last) + QLatin1Char('{') + members.join(QLatin1Char(' ')) +
               QLatin1Char('}');
        last = m.capturedEnd();
    }
    out += s.midRef(last);
    return out.toUtf8();
}

}  // namespace

bool SceneJson::write(const QByteArray &block, QByteArray *json, QString *why)
{
    const uint8_t *b = reinterpret_cast<const uint8_t *>(block.constData());
    QJsonObject root;
    root.insert(QStringLiteral("format"), QString::fromLatin1(FormatName));
    root.insert(QStringLiteral("version"), FormatVersion);
    if (!putFields(b, SceneFields::Globals, SceneFields::GLOBAL_COUNT, 0, QString(), &root, why)) return false;
    QJsonArray outputs;
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        const QString path = indexed(QString(), "outputs", ch);
        QJsonObject out;
        if (!putFields(b, SceneFields::Outputs, SceneFields::OUTPUT_COUNT, ch, path, &out, why)) return false;
        for (int f = 0; f < 2; ++f) {
            QJsonObject filter;
            const QString key = QString::fromLatin1(SceneFields::FilterKeys[f]);
            if (!putFields(b, SceneFields::Filters[f], SceneFields::FILTER_COUNT, ch, joined(path, key), &filter, why))
                return false;
            out.insert(key, filter);
        }
        QJsonArray eq;
        for (int band = 0; band < BAND_COUNT; ++band) {
            QJsonObject o;
            if (!putFields(b, SceneFields::Bands, SceneFields::BAND_FIELD_COUNT, ch * BAND_COUNT + band,
                           indexed(path, "eq", band), &o, why))
                return false;
            eq.append(o);
        }
        out.insert(QStringLiteral("eq"), eq);
        outputs.append(out);
    }
    root.insert(QStringLiteral("outputs"), outputs);
    QJsonObject reserved;
    for (const ByteRegion &r : SceneFields::Reserved)
        reserved.insert(QString::number(r.offset), QString::fromLatin1(block.mid(r.offset, r.size).toHex()));
    root.insert(QStringLiteral("reserved"), reserved);
    QByteArray tail = block.mid(SceneFields::Tail.offset, SceneFields::Tail.size);
    while (!tail.isEmpty() && tail.back() == '\0') tail.chop(1);  // trailing zero bytes are implied
    root.insert(QStringLiteral("tail"), QString::fromLatin1(tail.toHex()));
    *json = compactLeaves(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return true;
}

bool SceneJson::read(const QByteArray &json, QByteArray *block, QString *why)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError)
        return *why = QStringLiteral("line %1: %2").arg(json.left(err.offset).count('\n') + 1).arg(err.errorString()),
               false;
    if (!doc.isObject()) return *why = QStringLiteral("line 1: expected a JSON object"), false;
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(FormatName))
        return *why = QStringLiteral("format: expected \"%1\"").arg(FormatName), false;
    if (root.value(QStringLiteral("version")) != QJsonValue(FormatVersion))
        return *why = QStringLiteral("version: expected %1").arg(FormatVersion), false;

    QByteArray out(STORE_SIZE, '\0');
    uint8_t *b = reinterpret_cast<uint8_t *>(out.data());
    const QStringList rootExtra = {"format", "version", "outputs", "reserved", "tail"};
    if (!takeFields(root, SceneFields::Globals, SceneFields::GLOBAL_COUNT, 0, QString(), rootExtra, b, why))
        return false;
    QJsonArray outputs;
    if (!objectArray(root, "outputs", CH_COUNT, QString(), &outputs, why)) return false;
    const QStringList outExtra = {"high_pass", "low_pass", "eq"};
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        const QString path = indexed(QString(), "outputs", ch);
        const QJsonObject o = outputs.at(ch).toObject();
        if (!takeFields(o, SceneFields::Outputs, SceneFields::OUTPUT_COUNT, ch, path, outExtra, b, why)) return false;
        for (int f = 0; f < 2; ++f) {
            const QString key = QString::fromLatin1(SceneFields::FilterKeys[f]);
            if (!o.value(key).isObject()) return *why = joined(path, key) + QStringLiteral(": expected an object"), false;
            if (!takeFields(o.value(key).toObject(), SceneFields::Filters[f], SceneFields::FILTER_COUNT, ch,
                            joined(path, key), {}, b, why))
                return false;
        }
        QJsonArray eq;
        if (!objectArray(o, "eq", BAND_COUNT, path, &eq, why)) return false;
        for (int band = 0; band < BAND_COUNT; ++band)
            if (!takeFields(eq.at(band).toObject(), SceneFields::Bands, SceneFields::BAND_FIELD_COUNT,
                            ch * BAND_COUNT + band, indexed(path, "eq", band), {}, b, why))
                return false;
    }
    const QJsonValue reservedValue = root.value(QStringLiteral("reserved"));
    const QJsonObject reserved = reservedValue.toObject();
    if (!reservedValue.isObject() || reserved.size() != SceneFields::RESERVED_COUNT)
        return *why = QStringLiteral("reserved: expected an object of %1 hex strings").arg(SceneFields::RESERVED_COUNT),
               false;
    for (const ByteRegion &r : SceneFields::Reserved) {
        const QString key = QString::number(r.offset);
        if (!takeHex(reserved.value(key), QStringLiteral("reserved.") + key, r.size, false, b + r.offset, why))
            return false;
    }
    if (!takeHex(root.value(QStringLiteral("tail")), QStringLiteral("tail"), SceneFields::Tail.size, true,
                 b + SceneFields::Tail.offset, why))
        return false;
    *block = out;
    return true;
}
