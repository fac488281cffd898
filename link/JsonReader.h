// A JSON text parsed into one flat list of values, with the grammar, the refusals and error offsets of
// QJsonDocument::fromJson, but no allocation per value.
#pragma once

#include <QByteArray>
#include <QJsonParseError>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class JsonReader
{
public:
    enum class Type : uint8_t { Null, False, True, Number, String, Array, Object };
    // One value; the children of an array or object follow it in document order.
    struct Value {
        Type type;
        bool keyEscaped;  // the member's key was written with escapes (it decides the key order)
        // The key was written unescaped and starts with a byte order mark, which QString::fromUtf8 drops:
        // Qt's key lookups still see the mark, the key as text does not (nor does the text of a string).
        bool keyMark = false;
        int keyAt = 0, keyLength = 0;  // member of an object: its key in the decoded text
        int textAt = 0, textLength = 0;  // a string: in the decoded text
        int end = 0;    // index after this value and all it contains
        int count = 0;  // array or object: its members (duplicate keys each counted)
        double number = 0;
    };

    // False with the error and offset that QJsonDocument::fromJson gives for the same text.
    bool parse(const QByteArray &json, QJsonParseError *error);

    const Value &at(int i) const { return values_[size_t(i)]; }
    // Matches the members of an object against `keys` (ending with nullptr) in one pass: found[k] is the last
    // member with keys[k], or -1. Returns how many distinct keys no lookup of `keys` finds, counted up to
    // `limit`; *first is the first key whose text is none of `keys`, in the order QJsonObject keeps its keys.
    int matchMembers(int object, const char *const *keys, int *found, int limit, int *first) const;
    bool isString(int i, const char *text) const;
    QStringView textView(int i) const;
    QString key(int i) const;  // as text, without a leading byte order mark

private:
    bool value();
    bool object();
    bool array();
    bool string(bool *escaped);
    bool number();
    bool space();
    char token();
    int open(Type type);
    bool keyEquals(int a, int b) const;
    bool keyBefore(int a, int b) const;
    bool equals(int at, int length, const char *text) const;

    const char *head_ = nullptr, *json_ = nullptr, *end_ = nullptr;
    int depth_ = 0;
    QJsonParseError::ParseError error_ = QJsonParseError::NoError;
    std::vector<Value> values_;
    std::unique_ptr<char16_t[]> text_;  // every decoded string and key, never longer than the JSON text
    int textSize_ = 0, textCapacity_ = 0;
};
