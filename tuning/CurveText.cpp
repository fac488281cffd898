// Line scanner for frequency/value text: separators, decimal commas, comments and refusals.
#include "CurveText.h"

#include <QFile>
#include <QTextCodec>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

struct Field {
    const char *b;
    const char *e;
};

// Splits [b, e) at runs of separators into at most maxFields fields; returns the count of fields
// (more than there is room for are counted too).
template <typename Sep>
int Split(const char *b, const char *e, Sep isSep, Field *fields, int maxFields)
{
    int n = 0;
    ForEachWord(b, e, isSep, [&](const char *first, const char *last) {
        if (n < maxFields) fields[n] = {first, last};
        ++n;
    });
    return n;
}

// True when the commas of this line separate fields rather than mark decimals: no tab or semicolon,
// and either a single space-free word or a comma at the edge of a space-delimited word.
bool CommaSeparates(const char *b, const char *e)
{
    if (!std::memchr(b, ',', e - b)) return false;
    if (std::memchr(b, ';', e - b) || std::memchr(b, '\t', e - b)) return false;
    Field words[8];
    const int n = Split(b, e, IsSpace, words, 8);
    for (int i = 0; i < std::min(n, 8); ++i)
        if (*words[i].b == ',' || words[i].e[-1] == ',') return true;
    return n < 2;
}

// Splits one data line into at most maxFields fields; returns the count.
int SplitLine(const char *b, const char *e, Field *fields, int maxFields)
{
    const bool comma = CommaSeparates(b, e);
    return Split(b, e, [comma](char c) { return IsSpace(c) || c == ';' || (comma && c == ','); }, fields, maxFields);
}

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

constexpr int MAX_COLUMNS = 32;

// Splits at every comma, each field trimmed (a heading's columns keep their places across empty fields).
int SplitAtCommas(const char *b, const char *e, Field *fields, int maxFields)
{
    int n = 0;
    for (const char *p = b;; ++p) {
        const char *c = static_cast<const char *>(std::memchr(p, ',', e - p));
        const char *last = c ? c : e;
        const char *first = p;
        while (first < last && IsSpace(*first)) ++first;
        while (last > first && IsSpace(last[-1])) --last;
        if (n < maxFields) fields[n] = {first, last};
        ++n;
        if (!c) return n;
        p = c;
    }
}

// A heading names the frequency column first ("frequency", "freq", "Freq(Hz)", "Hz").
bool IsHeading(const Field *fields, int n)
{
    if (n < 2) return false;
    const QByteArray first = QByteArray(fields[0].b, int(fields[0].e - fields[0].b)).toLower();
    return first.startsWith("freq") || first == "hz";
}

// The field is digits only, without sign or point.
bool Digits(const Field &f)
{
    if (f.b == f.e) return false;
    for (const char *p = f.b; p < f.e; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

// A comma-separated line of integers that reads as decimal-comma numbers split apart: "20,5,-3,2" for 20.5
// and -3.2 (pairs, each second part unsigned), or under a heading more fields than it names ("100,80,5").
bool LooksSplitDecimals(const Field *fields, int n, bool commas, int headingColumns)
{
    if (!commas || n < 3 || n > MAX_COLUMNS) return false;
    bool pairs = n % 2 == 0;
    for (int i = 0; i < n; ++i) {
        const bool sign = fields[i].b < fields[i].e && *fields[i].b == '-';
        if (!Digits(Field{fields[i].b + sign, fields[i].e})) return false;
        pairs = pairs && !(i % 2 == 1 && sign);
    }
    return pairs || (headingColumns > 0 && n > headingColumns);
}

// Text with a UTF-16 or UTF-32 byte-order mark as UTF-8; other text as it is.
QByteArray AsUtf8(const QByteArray &bytes)
{
    QTextCodec *codec = QTextCodec::codecForUtfText(bytes, nullptr);
    if (!codec || codec->mibEnum() == 106) return bytes;  // 106: UTF-8, whose mark is skipped by the reader
    return codec->toUnicode(bytes).toUtf8();
}

}  // namespace

bool ParseDecimal(const char *b, const char *e, double &value)
{
    if (b < e && *b == '+') ++b;
    const size_t len = size_t(e - b);
    char buf[64];
    if (len == 0 || len >= sizeof buf) return false;
    std::memcpy(buf, b, len);
    for (size_t i = 0; i < len; ++i)
        if (buf[i] == ',') buf[i] = '.';
    const auto res = std::from_chars(buf, buf + len, value);
    return res.ec == std::errc() && res.ptr == buf + len;
}

bool ReadCurveText(const QByteArray &raw, const CurveTextRules &rules, FreqCurve &out, TextError &err)
{
    out = FreqCurve();
    err = TextError();
    if (raw.size() > CURVE_TEXT_MAX_BYTES) {
        err.fault = TextFault::TooLarge;
        return false;
    }
    const QByteArray bytes = AsUtf8(raw);
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    if (end - p >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;
    auto fail = [&err, &out](TextFault f, int line) {
        out = FreqCurve();
        err.fault = f;
        err.line = line;
        return false;
    };
    int line = 0;
    bool contentSeen = false;
    bool headed = false, headingCommas = false;
    int valueIndex = 1, headingColumns = 0;
    // Every data line so far reads as split decimal commas; the first of them.
    bool splitDecimals = true;
    int firstDataLine = 0;
    while (p < end) {
        const char *nl = static_cast<const char *>(std::memchr(p, '\n', end - p));
        const char *e = nl ? nl : end;
        const char *b = p;
        p = nl ? nl + 1 : end;
        if (++line > CURVE_TEXT_MAX_LINES) return fail(TextFault::TooManyLines, line);
        while (b < e && IsSpace(*b)) ++b;
        while (e > b && IsSpace(e[-1])) --e;
        if (b == e || *b == '*') continue;
        Field fields[MAX_COLUMNS];
        if (!contentSeen && !StartsNumber(*b)) {
            contentSeen = true;
            headingCommas = CommaSeparates(b, e);
            const int n = headingCommas ? SplitAtCommas(b, e, fields, MAX_COLUMNS)
                                        : SplitLine(b, e, fields, MAX_COLUMNS);
            if (IsHeading(fields, n)) {
                headed = true;
                headingColumns = n;
                for (int i = 1; i < std::min(n, MAX_COLUMNS) && *rules.valueColumn; ++i) {
                    const QByteArray name(fields[i].b, int(fields[i].e - fields[i].b));
                    if (name.toLower() == rules.valueColumn) valueIndex = i;
                }
                continue;
            }
        }
        contentSeen = true;
        if (rules.skipWords && !StartsNumber(*b)) continue;
        const bool commas = headed ? headingCommas : CommaSeparates(b, e);
        const int n = headed && headingCommas ? SplitAtCommas(b, e, fields, MAX_COLUMNS)
                                              : SplitLine(b, e, fields, MAX_COLUMNS);
        if (firstDataLine == 0) firstDataLine = line;
        splitDecimals = splitDecimals && LooksSplitDecimals(fields, n, commas, headingColumns);
        auto refuse = [&](TextFault f) {
            return splitDecimals ? fail(TextFault::DecimalCommas, firstDataLine) : fail(f, line);
        };
        // Without a heading the first three fields are numbers (frequency, value, phase); under one, the
        // frequency and the value column.
        const int need = headed ? valueIndex + 1 : 2;
        if (n < need) return refuse(TextFault::TooFewFields);
        double v[MAX_COLUMNS];
        for (int i = 0; i < std::min(n, headed ? need : 3); ++i) {
            if (headed && i != 0 && i != valueIndex) continue;
            if (!ParseDecimal(fields[i].b, fields[i].e, v[i])) return refuse(TextFault::BadNumber);
            if (!std::isfinite(v[i])) return refuse(TextFault::NotFinite);
        }
        if (!(v[0] > 0.0)) return refuse(TextFault::NotPositive);
        if (!out.hz.empty() && !(v[0] > out.hz.back())) return refuse(TextFault::NotAscending);
        out.hz.push_back(v[0]);
        out.db.push_back(v[valueIndex]);
    }
    if (firstDataLine != 0 && splitDecimals) return fail(TextFault::DecimalCommas, firstDataLine);
    if (out.size() < rules.minPoints) {
        err.minPoints = rules.minPoints;
        return fail(TextFault::TooFewPoints, line);
    }
    return true;
}

bool ReadLimitedFile(const QString &path, QByteArray &bytes, TextError &err)
{
    err = TextError();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        err.fault = TextFault::CannotOpen;
        return false;
    }
    if (f.size() > CURVE_TEXT_MAX_BYTES) {
        err.fault = TextFault::TooLarge;
        return false;
    }
    bytes = f.read(CURVE_TEXT_MAX_BYTES + 1);
    if (bytes.size() > CURVE_TEXT_MAX_BYTES) {  // a device or pipe that reported no size
        err.fault = TextFault::TooLarge;
        return false;
    }
    return true;
}

QString TextError::message() const
{
    QString reason;
    switch (fault) {
    case TextFault::None: return QString();
    case TextFault::CannotOpen: return QStringLiteral("the file cannot be read");
    case TextFault::TooLarge: return QStringLiteral("the file is larger than 64 MiB");
    case TextFault::Impedance: return QStringLiteral("an impedance file (.zma) is not a frequency response");
    case TextFault::TooManyLines: reason = QStringLiteral("the file has more than 2,000,000 lines"); break;
    case TextFault::BadNumber: reason = QStringLiteral("a field is not a number"); break;
    case TextFault::TooFewFields: reason = QStringLiteral("a frequency and a level are expected"); break;
    case TextFault::NotFinite: reason = QStringLiteral("NaN or infinite value"); break;
    case TextFault::NotPositive: reason = QStringLiteral("the frequency is not above 0 Hz"); break;
    case TextFault::NotAscending: reason = QStringLiteral("the frequency is not above the one before"); break;
    case TextFault::DecimalCommas:
        reason = QStringLiteral("the numbers look like decimal commas split apart by the comma separator; use "
                                "decimal points, or another separator (tab or semicolon)");
        break;
    case TextFault::TooFewPoints:
        reason = minPoints > 1 ? QStringLiteral("fewer than %1 data points").arg(minPoints)
                               : QStringLiteral("no data points");
        break;
    }
    return QStringLiteral("line %1: %2").arg(line).arg(reason);
}
