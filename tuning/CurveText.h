// Reading frequency/value text (measurement exports, FRD and target files) with line-exact refusals.
#pragma once

#include <QByteArray>
#include <QString>

#include "FreqCurve.h"

constexpr qint64 CURVE_TEXT_MAX_BYTES = 64LL * 1024 * 1024;
constexpr int CURVE_TEXT_MAX_LINES = 2000000;

// Why a text was refused; the window turns the fault into its own bilingual text.
enum class TextFault {
    None,
    CannotOpen,     // the file could not be read
    TooLarge,       // more than 64 MiB
    TooManyLines,   // more than 2,000,000 lines
    Impedance,      // an impedance file (.zma)
    BadNumber,      // a field that is not a number
    TooFewFields,   // a data line without frequency and value
    NotFinite,      // NaN or infinite
    NotPositive,    // a frequency at or below 0
    NotAscending,   // a frequency not above the one before
    TooFewPoints,   // fewer data points than the curve needs
    DecimalCommas,  // every data line reads as numbers with decimal commas split apart by the comma separator
};

struct TextError {
    TextFault fault = TextFault::None;
    int line = 0;  // 1-based; 0 when the fault concerns the whole file
    int minPoints = 0;  // for TooFewPoints

    bool ok() const { return fault == TextFault::None; }
    // English text naming the line and the reason (command-line tool, logs).
    QString message() const;
};

struct CurveTextRules {
    bool skipWords = false;  // skip lines that do not start with a number (target files)
    int minPoints = 10;
    const char *valueColumn = "";  // under a heading row, the column of the values (else the second)
};

// Frequency and first value of every data line; lines starting with '*' are comments. Fields are
// separated by commas, tabs, spaces or semicolons; where the separator is not a comma, a comma inside a
// number is its decimal point. Extra numeric fields (phase) are read past. Text in UTF-16 or UTF-32 with a
// byte-order mark is read as well. A first line naming the columns ("frequency,raw,...") is a heading: the
// values are then taken from the column named rules.valueColumn (else the second), and under a heading
// separated by commas every comma separates (empty fields keep their place). A file whose every data line
// holds comma-separated integers only, in pairs ("20,5,-3,2") or more of them than its heading names, is
// refused as written with decimal commas.
bool ReadCurveText(const QByteArray &bytes, const CurveTextRules &rules, FreqCurve &out, TextError &err);

// Calls word(first, last) for each run of bytes in [b, e) between runs of separators.
template <typename Sep, typename Word>
void ForEachWord(const char *b, const char *e, Sep isSep, Word word)
{
    for (const char *p = b; p < e;) {
        while (p < e && isSep(*p)) ++p;
        if (p == e) break;
        const char *first = p;
        while (p < e && !isSep(*p)) ++p;
        word(first, p);
    }
}

// A decimal number filling [b, e) exactly, with '.' or ',' as decimal point and an optional sign.
bool ParseDecimal(const char *b, const char *e, double &value);

// The whole file at path, refused above 64 MiB before it is read.
bool ReadLimitedFile(const QString &path, QByteArray &bytes, TextError &err);
