// A strict JSON reader into a flat value list. It walks the text exactly as Qt's own parser does (the same
// leniencies, the same error at the same offset) so that a document is taken or refused as before.
#include "JsonReader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int NestingLimit = 1024;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool addHexDigit(char c, uint32_t *value)
{
    *value <<= 4;
    if (c >= '0' && c <= '9') *value |= uint32_t(c - '0');
    else if (c >= 'a' && c <= 'f') *value |= uint32_t(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') *value |= uint32_t(c - 'A' + 10);
    else return false;
    return true;
}

// A UTF-8 sequence at `p`, taken as Qt takes it: no overlong forms, surrogates or code points past U+10FFFF.
bool utf8(const char *&p, const char *end, uint32_t *ch)
{
    const auto *s = reinterpret_cast<const uint8_t *>(p);
    const uint8_t b = s[0];
    if (b < 0x80) return *ch = b, ++p, true;
    int need;
    uint32_t min, uc;
    if (b <= 0xC1) return false;
    if (b < 0xE0) need = 2, min = 0x80, uc = b & 0x1Fu;
    else if (b < 0xF0) need = 3, min = 0x800, uc = b & 0x0Fu;
    else if (b < 0xF5) need = 4, min = 0x10000, uc = b & 0x07u;
    else return false;
    if (end - p - 1 < need - 1) return false;
    for (int i = 1; i < need; ++i) {
        if ((s[i] & 0xC0) != 0x80) return false;
        uc = uc << 6 | (s[i] & 0x3Fu);
    }
    if (uc < min || (uc >= 0xD800 && uc <= 0xDFFF) || uc > 0x10FFFF) return false;
    p += need;
    *ch = uc;
    return true;
}

char16_t *appendUtf16(char16_t *out, uint32_t ch)
{
    if (ch >= 0x10000) {
        *out++ = char16_t((ch >> 10) + 0xD7C0);
        *out++ = char16_t(ch % 0x400 + 0xDC00);
    } else {
        *out++ = char16_t(ch);
    }
    return out;
}

// The white space between tokens.
struct Spaces {
    bool is[256] = {};
    constexpr Spaces() : is() { is[int(' ')] = is[int('\t')] = is[int('\n')] = is[int('\r')] = true; }
};
constexpr Spaces Space;

// A backslash sequence; unknown escapes stand for the character itself.
bool escape(const char *&p, const char *end, uint32_t *ch)
{
    if (++p >= end) return false;
    const uint32_t c = uint32_t(int(*p++));  // sign-extended, as Qt takes it
    switch (c) {
    case 'b': *ch = 0x8; return true;
    case 'f': *ch = 0xC; return true;
    case 'n': *ch = 0xA; return true;
    case 'r': *ch = 0xD; return true;
    case 't': *ch = 0x9; return true;
    case 'u':
        *ch = 0;
        if (p > end - 4) return false;
        for (int i = 0; i < 4; ++i, ++p)
            if (!addHexDigit(*p, ch)) return false;
        return true;
    default: *ch = c; return true;
    }
}

// The number of a literal of the usual form whose digits and exponent make an exact double division or
// product (so correctly rounded); false for any other literal.
bool quickNumber(const char *p, const char *end, double *out)
{
    static const double Powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    uint64_t m = 0;
    int digits = 0, exponent = 0;
    bool any = false, fraction = false;
    for (; p < end; ++p) {
        if (*p == '.' && !fraction) {
            fraction = true;
            continue;
        }
        if (!isDigit(*p)) break;
        any = true;
        if (m == 0 && *p == '0') {
            exponent -= fraction;
            continue;
        }
        if (++digits > 15) return false;
        m = m * 10 + uint64_t(*p - '0');
        exponent -= fraction;
    }
    if (!any) return false;
    if (p < end) {
        if (*p != 'e' && *p != 'E') return false;
        const bool minus = ++p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+')) ++p;
        int e = 0, n = 0;
        for (; p < end && isDigit(*p) && n < 4; ++p, ++n) e = e * 10 + (*p - '0');
        if (n == 0 || p != end) return false;
        exponent += minus ? -e : e;
    }
    if (exponent < -22 || exponent > 22) return false;
    const double v = exponent < 0 ? double(m) / Powers[-exponent] : double(m) * Powers[exponent];
    *out = negative && m ? -v : v;  // zero is always +0, as Qt keeps it as an integer
    return true;
}

}  // namespace

bool JsonReader::parse(const QByteArray &json, QJsonParseError *error)
{
    head_ = json_ = json.constData();
    end_ = head_ + json.size();
    depth_ = 0;
    error_ = QJsonParseError::NoError;
    values_.clear();
    values_.reserve(size_t(json.size() / 12 + 8));
    textSize_ = 0;
    if (textCapacity_ <= json.size()) {
        textCapacity_ = json.size() + 1;
        text_.reset(new char16_t[size_t(textCapacity_)]);
    }
    if (end_ - json_ > 3 && uint8_t(json_[0]) == 0xEF && uint8_t(json_[1]) == 0xBB && uint8_t(json_[2]) == 0xBF)
        json_ += 3;
    const char t = token();
    bool ok = false;
    if (t == '[') ok = array();
    else if (t == '{') ok = object();
    else error_ = QJsonParseError::IllegalValue;
    if (ok) {
        space();
        if (json_ < end_) error_ = QJsonParseError::GarbageAtEnd, ok = false;
    }
    error->error = ok ? QJsonParseError::NoError : error_;
    error->offset = ok ? 0 : int(json_ - head_);
    if (!ok) values_.clear();
    return ok;
}

bool JsonReader::space()
{
    // Indentation comes in runs: eight spaces at a time while they last.
    uint64_t word = 0;
    for (; end_ - json_ >= 8; json_ += 8) {
        std::memcpy(&word, json_, 8);
        if (word != 0x2020202020202020u) break;
    }
    while (json_ < end_ && Space.is[uint8_t(*json_)]) ++json_;
    return json_ < end_;
}

char JsonReader::token()
{
    if (!space()) return 0;
    const char c = *json_++;
    switch (c) {
    case '[': case '{': case ':': case ',': case ']': case '}': case '"': return c;
    default: return 0;
    }
}

int JsonReader::open(Type type)
{
    values_.push_back(Value{type, false});
    return int(values_.size()) - 1;
}

bool JsonReader::object()
{
    if (++depth_ > NestingLimit) return error_ = QJsonParseError::DeepNesting, false;
    const int self = open(Type::Object);
    char t = token();
    while (t == '"') {
        const int keyAt = textSize_;
        bool escaped = false;
        if (!string(&escaped)) return false;
        const int keyLength = textSize_ - keyAt;
        if (token() != ':') return error_ = QJsonParseError::MissingNameSeparator, false;
        if (!space()) return error_ = QJsonParseError::UnterminatedObject, false;
        const int member = int(values_.size());
        if (!value()) return false;
        Value &m = values_[size_t(member)];
        m.keyAt = keyAt, m.keyLength = keyLength, m.keyEscaped = escaped;
        m.keyMark = !escaped && keyLength > 0 && text_[size_t(keyAt)] == 0xFEFF;
        ++values_[size_t(self)].count;
        t = token();
        if (t != ',') break;
        t = token();
        if (t == '}') return error_ = QJsonParseError::MissingObject, false;
    }
    if (t != '}') return error_ = QJsonParseError::UnterminatedObject, false;
    --depth_;
    values_[size_t(self)].end = int(values_.size());
    return true;
}

bool JsonReader::array()
{
    if (++depth_ > NestingLimit) return error_ = QJsonParseError::DeepNesting, false;
    const int self = open(Type::Array);
    if (!space()) return error_ = QJsonParseError::UnterminatedArray, false;
    if (*json_ == ']') {
        token();
    } else {
        for (;;) {
            if (!space()) return error_ = QJsonParseError::UnterminatedArray, false;
            if (!value()) return false;
            ++values_[size_t(self)].count;
            const char t = token();
            if (t == ']') break;
            if (t != ',') return error_ = space() ? QJsonParseError::MissingValueSeparator : QJsonParseError::UnterminatedArray, false;
        }
    }
    --depth_;
    values_[size_t(self)].end = int(values_.size());
    return true;
}

bool JsonReader::value()
{
    // A literal is compared letter by letter, each letter consumed (the error offset follows it).
    const auto literal = [this](const char *rest, Type type) {
        const int n = int(strlen(rest));
        if (end_ - json_ < n + 1) return error_ = QJsonParseError::IllegalValue, false;
        for (int i = 0; i < n; ++i)
            if (*json_++ != rest[i]) return error_ = QJsonParseError::IllegalValue, false;
        const int self = open(type);
        values_[size_t(self)].end = self + 1;
        return true;
    };
    switch (*json_++) {
    case 'n': return literal("ull", Type::Null);
    case 't': return literal("rue", Type::True);
    case 'f': return literal("alse", Type::False);
    case '"': {
        const int self = open(Type::String);
        const int at = textSize_;
        bool escaped = false;
        if (!string(&escaped)) return false;
        const int mark = !escaped && textSize_ > at && text_[size_t(at)] == 0xFEFF;
        Value &v = values_[size_t(self)];
        v.textAt = at + mark, v.textLength = textSize_ - at - mark, v.end = self + 1;
        return true;
    }
    case '[': return array();
    case '{': return object();
    case ',': return error_ = QJsonParseError::IllegalValue, false;
    case ']': case '}': return error_ = QJsonParseError::MissingObject, false;
    default: --json_; return number();
    }
}

bool JsonReader::string(bool *escaped)
{
    // First as plain UTF-8; a backslash sends the string through the escaping pass from its start.
    const char *start = json_;
    char16_t *const first = text_.get() + textSize_;
    char16_t *out = first;
    *escaped = false;
    while (json_ < end_ && *json_ != '"') {
        if (*json_ == '\\') {
            *escaped = true;
            break;
        }
        if (uint8_t(*json_) < 0x80) {
            *out++ = char16_t(*json_++);
            continue;
        }
        uint32_t ch = 0;
        if (!utf8(json_, end_, &ch)) return error_ = QJsonParseError::IllegalUTF8String, false;
        out = appendUtf16(out, ch);
    }
    if (++json_ >= end_) return error_ = QJsonParseError::UnterminatedString, false;
    if (*escaped) {
        json_ = start;
        out = first;
        while (json_ < end_ && *json_ != '"') {
            uint32_t ch = 0;
            if (*json_ == '\\') {
                if (!escape(json_, end_, &ch)) return error_ = QJsonParseError::IllegalEscapeSequence, false;
            } else if (!utf8(json_, end_, &ch)) {
                return error_ = QJsonParseError::IllegalUTF8String, false;
            }
            out = appendUtf16(out, ch);
        }
        if (++json_ >= end_) return error_ = QJsonParseError::UnterminatedString, false;
    }
    textSize_ = int(out - text_.get());
    return true;
}

bool JsonReader::number()
{
    const char *start = json_;
    if (json_ < end_ && *json_ == '-') ++json_;
    if (json_ < end_ && *json_ == '0') ++json_;
    else
        while (json_ < end_ && isDigit(*json_)) ++json_;
    if (json_ < end_ && *json_ == '.') {
        ++json_;
        while (json_ < end_ && isDigit(*json_)) ++json_;
    }
    if (json_ < end_ && (*json_ == 'e' || *json_ == 'E')) {
        ++json_;
        if (json_ < end_ && (*json_ == '-' || *json_ == '+')) ++json_;
        while (json_ < end_ && isDigit(*json_)) ++json_;
    }
    if (json_ >= end_) return error_ = QJsonParseError::TerminationByNumber, false;
    double v = 0;
    if (!quickNumber(start, json_, &v)) {
        // Rare forms (long mantissas, large exponents, malformed): Qt's own conversion decides.
        bool ok = false;
        v = QByteArray::fromRawData(start, int(json_ - start)).toDouble(&ok);
        if (!ok) return error_ = QJsonParseError::IllegalNumber, false;
        if (v == 0) v = 0;  // no negative zero
    }
    Value n{Type::Number, false};
    n.number = v;
    n.end = int(values_.size()) + 1;
    values_.push_back(n);
    return true;
}

bool JsonReader::equals(int at, int length, const char *text) const
{
    const char16_t *p = text_.get() + at;
    for (int i = 0; i < length; ++i)
        if (text[i] == 0 || p[i] != char16_t(uint8_t(text[i]))) return false;
    return text[length] == 0;
}

bool JsonReader::keyEquals(int a, int b) const
{
    const Value &x = at(a), &y = at(b);
    return x.keyLength == y.keyLength &&
           std::equal(text_.get() + x.keyAt, text_.get() + x.keyAt + x.keyLength, text_.get() + y.keyAt);
}

bool JsonReader::keyBefore(int a, int b) const
{
    // Keys written with escapes are compared by UTF-16 units, all others by code points.
    const Value &x = at(a), &y = at(b);
    const bool units = x.keyEscaped && y.keyEscaped;
    const char16_t *p = text_.get() + x.keyAt, *q = text_.get() + y.keyAt;
    const int n = std::min(x.keyLength, y.keyLength);
    for (int i = 0; i < n; ++i) {
        if (p[i] == q[i]) continue;
        if (units) return p[i] < q[i];
        const auto rank = [](char16_t c) { return c >= 0xD800 && c <= 0xDFFF ? uint32_t(c) + 0x10000 : uint32_t(c); };
        return rank(p[i]) < rank(q[i]);
    }
    return x.keyLength < y.keyLength;
}

int JsonReader::matchMembers(int object, const char *const *keys, int *found, int limit, int *first) const
{
    int count = 0, distinct[8];
    for (int k = 0; keys[k]; ++k) found[k] = -1;
    *first = -1;
    for (int m = object + 1; m < at(object).end; m = at(m).end) {
        const Value &v = at(m);
        int k = 0;
        while (keys[k] && !equals(v.keyAt + v.keyMark, v.keyLength - v.keyMark, keys[k])) ++k;
        if (keys[k] && !v.keyMark) {
            found[k] = m;
            continue;
        }
        // A key with the mark is known by name but not found by lookup.
        if (!keys[k] && (*first < 0 || keyBefore(m, *first))) *first = m;
        if (count >= limit || count >= 8) continue;
        bool seen = false;
        for (int i = 0; i < count && !seen; ++i) seen = keyEquals(m, distinct[i]);
        if (!seen) distinct[count++] = m;
    }
    return count;
}

bool JsonReader::isString(int i, const char *text) const
{
    return at(i).type == Type::String && equals(at(i).textAt, at(i).textLength, text);
}

QStringView JsonReader::textView(int i) const
{
    return QStringView(text_.get() + at(i).textAt, at(i).textLength);
}

QString JsonReader::key(int i) const
{
    return QStringView(text_.get() + at(i).keyAt + at(i).keyMark, at(i).keyLength - at(i).keyMark).toString();
}
