// Line scanner for frequency/value text: separators, decimal commas, comments and refusals.
#include "CurveText.h"

#include <QFile>
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

bool ReadCurveText(const QByteArray &bytes, const CurveTextRules &rules, FreqCurve &out, TextError &err)
{
    out = FreqCurve();
    err = TextError();
    if (bytes.size() > CURVE_TEXT_MAX_BYTES) {
        err.fault = TextFault::TooLarge;
        return false;
    }
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
    while (p < end) {
        const char *nl = static_cast<const char *>(std::memchr(p, '\n', end - p));
        const char *e = nl ? nl : end;
        const char *b = p;
        p = nl ? nl + 1 : end;
        if (++line > CURVE_TEXT_MAX_LINES) return fail(TextFault::TooManyLines, line);
        while (b < e && IsSpace(*b)) ++b;
        while (e > b && IsSpace(e[-1])) --e;
        if (b == e || *b == '*') continue;
        if (rules.skipWords && !StartsNumber(*b)) continue;
        Field fields[3];
        const int n = SplitLine(b, e, fields, 3);
        if (n < 2) return fail(TextFault::TooFewFields, line);
        double v[3];
        for (int i = 0; i < std::min(n, 3); ++i) {
            if (!ParseDecimal(fields[i].b, fields[i].e, v[i])) return fail(TextFault::BadNumber, line);
            if (!std::isfinite(v[i])) return fail(TextFault::NotFinite, line);
        }
        if (!(v[0] > 0.0)) return fail(TextFault::NotPositive, line);
        if (!out.hz.empty() && !(v[0] > out.hz.back())) return fail(TextFault::NotAscending, line);
        out.hz.push_back(v[0]);
        out.db.push_back(v[1]);
    }
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
    case TextFault::TooFewPoints:
        reason = minPoints > 1 ? QStringLiteral("fewer than %1 data points").arg(minPoints)
                               : QStringLiteral("no data points");
        break;
    }
    return QStringLiteral("line %1: %2").arg(line).arg(reason);
}
