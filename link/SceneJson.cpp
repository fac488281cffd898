// Scene blocks to JSON and back, exact to the byte; every value is checked against its field's range.
#include "SceneJson.h"

#include "SceneFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char *const FormatName = "kestrun-scene";
constexpr int FormatVersion = 1;

QString joined(const QString &path, const QString &key)
{
    return path.isEmpty() ? key : path + QLatin1Char('.') + key;
}

// Where an entry's object lies in the document; its text is built only for a refusal.
struct Path {
    int channel = -1, filter = -1, band = -1;
    QString text() const
    {
        QString s;
        if (channel >= 0) s = QStringLiteral("outputs[%1]").arg(channel);
        if (filter >= 0) s += QLatin1Char('.') + QLatin1String(SceneFields::FilterKeys[filter]);
        if (band >= 0) s += QStringLiteral(".eq[%1]").arg(band);
        return s;
    }
    QString at(const char *key) const { return joined(text(), QString::fromLatin1(key)); }
};

// One member of an object: a field of its table, or (negative) the object's own member -1 - field.
struct Member {
    const char *key;
    int field;
};

// The keys of an object made of a field table and its own members, in the order they are written (by key, as
// JSON objects keep them).
struct Layout {
    const SceneField *fields;
    int count;
    std::vector<const char *> extra;  // the object's own members, in the order they are checked
    std::vector<Member> written;
    Layout(const SceneField *table, int n) : Layout(table, n, std::vector<const char *>()) {}
    template <size_t N, size_t Size>
    Layout(const SceneField *table, int n, const char (&own)[N][Size])
        : Layout(table, n, std::vector<const char *>(std::begin(own), std::end(own)))
    {
    }
    Layout(const SceneField *table, int n, std::vector<const char *> own) : fields(table), count(n), extra(std::move(own))
    {
        for (int i = 0; i < n; ++i) written.push_back({table[i].key, i});
        for (int i = 0; i < int(extra.size()); ++i) written.push_back({extra[size_t(i)], -1 - i});
        std::sort(written.begin(), written.end(), [](const Member &a, const Member &b) { return strcmp(a.key, b.key) < 0; });
    }
    bool knows(const QString &key) const
    {
        return std::any_of(written.begin(), written.end(), [&](const Member &m) { return key == QLatin1String(m.key); });
    }
};

// The keys of the reserved object (the offsets as text) and the regions in key order.
struct ReservedKeys {
    QByteArray text[SceneFields::RESERVED_COUNT];
    const char *keys[SceneFields::RESERVED_COUNT] = {};
    int byKey[SceneFields::RESERVED_COUNT];
    ReservedKeys()
    {
        for (int i = 0; i < SceneFields::RESERVED_COUNT; ++i) {
            text[i] = QByteArray::number(SceneFields::Reserved[i].offset);
            keys[i] = text[i].constData();
            byKey[i] = i;
        }
        std::sort(std::begin(byKey), std::end(byKey), [this](int a, int b) { return text[a] < text[b]; });
    }
};

// The own members of the root and output objects, in the order they are checked.
const char RootMembers[][9] = {"format", "version", "outputs", "reserved", "tail"};
const char OutputMembers[][10] = {"high_pass", "low_pass", "eq"};

// The layouts of the document's objects, made for one reading or writing.
struct Layouts {
    Layout root{SceneFields::Globals, SceneFields::GLOBAL_COUNT, RootMembers};
    Layout output{SceneFields::Outputs, SceneFields::OUTPUT_COUNT, OutputMembers};
    Layout filter[2] = {{SceneFields::Filters[0], SceneFields::FILTER_COUNT},
                        {SceneFields::Filters[1], SceneFields::FILTER_COUNT}};
    Layout band{SceneFields::Bands, SceneFields::BAND_FIELD_COUNT};
    ReservedKeys reserved;
};

// False with the path of the first stored code of an entry outside its field's range.
bool checkEntry(const uint8_t *block, const Layout &layout, int entry, const Path &path, QString *why)
{
    for (int i = 0; i < layout.count; ++i) {
        const SceneField &f = layout.fields[i];
        const uint32_t c = SceneFields::code(block, f, entry);
        if (!SceneFields::valid(f.kind, c))
            return *why = QStringLiteral("%1: stored %2").arg(path.at(f.key), SceneFields::text(f.kind, c)), false;
    }
    return true;
}

// The JSON text of a block, indented by four spaces a level like QJsonDocument's, except that each object
// of plain values (a band, a filter) stands on one line: shorter files, and one changed line per changed band
// when the files are kept under version control.
class Writer
{
public:
    Writer(const Layouts &layouts, const uint8_t *block, QByteArray *out) : l_(layouts), b_(block), out_(*out) {}

    void document()
    {
        object(l_.root, 0, 0, [this](int own) {
            switch (own) {
            case 0: out_ += QByteArray("\"") + FormatName + '"'; break;
            case 1: out_ += QByteArray::number(FormatVersion); break;
            case 2: outputs(); break;
            case 3: reserved(); break;
            default: tail(); break;
            }
        });
        out_ += '\n';
    }

private:
    void indent(int level) { out_.append(4 * level, ' '); }

    // An object's members in key order: each on its own line below `level`, or all on one line for a
    // negative level. `own` writes the value of the object's own members.
    template <typename Own>
    void object(const Layout &layout, int entry, int level, Own own)
    {
        out_ += level < 0 ? "{" : "{\n";
        for (size_t i = 0; i < layout.written.size(); ++i) {
            const Member &m = layout.written[i];
            if (level >= 0) indent(level + 1);
            out_ += '"', out_ += m.key, out_ += "\": ";
            if (m.field >= 0) SceneFields::writeJson(layout.fields[m.field].kind, SceneFields::code(b_, layout.fields[m.field], entry), &out_);
            else own(-1 - m.field);
            if (i + 1 < layout.written.size()) out_ += level < 0 ? ", " : ",\n";
            else if (level >= 0) out_ += '\n';
        }
        if (level >= 0) indent(level);
        out_ += '}';
    }

    void outputs()
    {
        out_ += "[\n";
        for (int ch = 0; ch < CH_COUNT; ++ch) {
            indent(2);
            object(l_.output, ch, 2, [this, ch](int own) {
                if (own < 2) return object(l_.filter[own], ch, -1, [](int) {});
                out_ += "[\n";
                for (int band = 0; band < BAND_COUNT; ++band) {
                    indent(4);
                    object(l_.band, ch * BAND_COUNT + band, -1, [](int) {});
                    out_ += band + 1 < BAND_COUNT ? ",\n" : "\n";
                }
                indent(3);
                out_ += ']';
            });
            out_ += ch + 1 < CH_COUNT ? ",\n" : "\n";
        }
        indent(1);
        out_ += ']';
    }

    void hex(const uint8_t *bytes, int n)
    {
        out_ += '"';
        out_ += QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), n).toHex();
        out_ += '"';
    }

    void reserved()
    {
        out_ += '{';
        const ReservedKeys &keys = l_.reserved;
        for (int i : keys.byKey) {
            const ByteRegion &r = SceneFields::Reserved[i];
            if (i != keys.byKey[0]) out_ += ", ";
            out_ += '"';
            out_ += keys.keys[i];
            out_ += "\": ";
            hex(b_ + r.offset, r.size);
        }
        out_ += '}';
    }

    void tail()
    {
        int n = SceneFields::Tail.size;
        while (n > 0 && b_[SceneFields::Tail.offset + n - 1] == 0) --n;  // trailing zero bytes are implied
        hex(b_ + SceneFields::Tail.offset, n);
    }

    const Layouts &l_;
    const uint8_t *b_;
    QByteArray &out_;
};

// Reads the fields of one entry from an object: it must hold exactly the layout's keys (the first unknown one
// named in the order the object keeps its keys).
bool takeFields(const QJsonObject &o, const Layout &layout, int entry, const Path &path, uint8_t *block, QString *why)
{
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!layout.knows(it.key())) return *why = joined(path.text(), it.key()) + QStringLiteral(": unknown field"), false;
    for (const char *key : layout.extra)
        if (!o.contains(QLatin1String(key))) return *why = path.at(key) + QStringLiteral(": missing"), false;
    for (int i = 0; i < layout.count; ++i) {
        const SceneField &f = layout.fields[i];
        const QJsonValue v = o.value(QLatin1String(f.key));
        if (v.isUndefined()) return *why = path.at(f.key) + QStringLiteral(": missing"), false;
        uint32_t c = 0;
        QString reason;
        if (!SceneFields::fromJson(f.kind, v, &c, &reason)) return *why = path.at(f.key) + QStringLiteral(": ") + reason, false;
        SceneFields::setCode(block, f, entry, c);
    }
    return true;
}

// Member `key` of `o` as an array of exactly `count` objects.
bool objectArray(const QJsonObject &o, const char *key, int count, const Path &path, QJsonArray *array, QString *why)
{
    const QJsonValue a = o.value(QLatin1String(key));
    if (!a.isArray() || a.toArray().size() != count)
        return *why = QStringLiteral("%1: expected an array of %2 objects").arg(path.at(key)).arg(count), false;
    *array = a.toArray();
    for (int i = 0; i < count; ++i)
        if (!array->at(i).isObject())
            return *why = QStringLiteral("%1[%2]: expected an object").arg(path.at(key)).arg(i), false;
    return true;
}

// Hex text (value `v` of member `key`) to bytes at `dst`: exactly `size` bytes, or up to `size` (the rest
// zero) when `shortOk`.
bool takeHex(const QJsonValue &v, const char *object, const char *key, int size, bool shortOk, uint8_t *dst, QString *why)
{
    const auto digit = [](char16_t c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    const QString s = v.toString();
    const int n = int(s.size() / 2);
    const bool hexOnly = s.size() % 2 == 0 && std::all_of(s.begin(), s.end(), [&](QChar c) { return digit(c.unicode()) >= 0; });
    if (!v.isString() || !hexOnly || n > size || (!shortOk && n != size))
        return *why = QStringLiteral("%1: expected %2%3 bytes as hex digits")
                          .arg(joined(QString::fromLatin1(object), QString::fromLatin1(key)), shortOk ? "up to " : "")
                          .arg(size),
               false;
    std::fill(dst, dst + size, uint8_t(0));
    for (int i = 0; i < n; ++i) dst[i] = uint8_t(digit(s[2 * i].unicode()) << 4 | digit(s[2 * i + 1].unicode()));
    return true;
}

}  // namespace

bool SceneJson::write(const QByteArray &block, QByteArray *json, QString *why)
{
    const uint8_t *b = reinterpret_cast<const uint8_t *>(block.constData());
    const Layouts layouts;
    if (!checkEntry(b, layouts.root, 0, Path(), why)) return false;
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        if (!checkEntry(b, layouts.output, ch, Path{ch}, why)) return false;
        for (int f = 0; f < 2; ++f)
            if (!checkEntry(b, layouts.filter[f], ch, Path{ch, f}, why)) return false;
        for (int band = 0; band < BAND_COUNT; ++band)
            if (!checkEntry(b, layouts.band, ch * BAND_COUNT + band, Path{ch, -1, band}, why)) return false;
    }
    QByteArray text;
    text.reserve(16384);
    Writer(layouts, b, &text).document();
    *json = text;
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
    const QJsonValue format = root.value(QLatin1String("format")), version = root.value(QLatin1String("version"));
    if (!format.isString() || format.toString() != QLatin1String(FormatName))
        return *why = QStringLiteral("format: expected \"%1\"").arg(FormatName), false;
    if (!version.isDouble() || version.toDouble() != FormatVersion)
        return *why = QStringLiteral("version: expected %1").arg(FormatVersion), false;

    const Layouts layouts;
    QByteArray out(STORE_SIZE, '\0');
    uint8_t *b = reinterpret_cast<uint8_t *>(out.data());
    if (!takeFields(root, layouts.root, 0, Path(), b, why)) return false;
    QJsonArray outputs, bands;
    if (!objectArray(root, "outputs", CH_COUNT, Path(), &outputs, why)) return false;
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        const QJsonObject output = outputs.at(ch).toObject();
        if (!takeFields(output, layouts.output, ch, Path{ch}, b, why)) return false;
        for (int f = 0; f < 2; ++f) {
            const QJsonValue filter = output.value(QLatin1String(SceneFields::FilterKeys[f]));
            if (!filter.isObject()) return *why = Path{ch, f}.text() + QStringLiteral(": expected an object"), false;
            if (!takeFields(filter.toObject(), layouts.filter[f], ch, Path{ch, f}, b, why)) return false;
        }
        if (!objectArray(output, "eq", BAND_COUNT, Path{ch}, &bands, why)) return false;
        for (int band = 0; band < BAND_COUNT; ++band)
            if (!takeFields(bands.at(band).toObject(), layouts.band, ch * BAND_COUNT + band, Path{ch, -1, band}, b, why))
                return false;
    }
    const QJsonValue reservedValue = root.value(QLatin1String("reserved"));
    const QJsonObject reserved = reservedValue.toObject();
    if (!reservedValue.isObject() || reserved.size() != SceneFields::RESERVED_COUNT)
        return *why = QStringLiteral("reserved: expected an object of %1 hex strings").arg(SceneFields::RESERVED_COUNT),
               false;
    for (int i = 0; i < SceneFields::RESERVED_COUNT; ++i) {
        const ByteRegion &r = SceneFields::Reserved[i];
        const char *key = layouts.reserved.keys[i];
        if (!takeHex(reserved.value(QLatin1String(key)), "reserved", key, r.size, false, b + r.offset, why)) return false;
    }
    if (!takeHex(root.value(QLatin1String("tail")), "", "tail", SceneFields::Tail.size, true, b + SceneFields::Tail.offset, why))
        return false;
    *block = out;
    return true;
}
