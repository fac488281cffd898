// Invariants shared by the curve-text targets: what a loaded curve holds, what a refusal names, and the
// round trip of a curve through its text form.
#pragma once

#include "CurveText.h"
#include "FreqCurve.h"
#include "FuzzInput.h"

#include <QByteArray>

#include <cmath>

// A loaded curve: at least minPoints points, frequencies finite, positive and strictly ascending, values finite.
inline void checkCurve(const FreqCurve &c, int minPoints)
{
    FUZZ_CHECK(c.hz.size() == c.db.size() && c.size() >= minPoints);
    for (int i = 0; i < c.size(); ++i) {
        FUZZ_CHECK(std::isfinite(c.hz[size_t(i)]) && c.hz[size_t(i)] > 0.0 && std::isfinite(c.db[size_t(i)]));
        if (i > 0) FUZZ_CHECK(c.hz[size_t(i)] > c.hz[size_t(i) - 1]);
    }
}

// A refusal names a reason, and a line of the text where it concerns one.
inline void checkRefusal(const TextError &err, const QByteArray &text)
{
    FUZZ_CHECK(!err.ok() && !err.message().isEmpty());
    FUZZ_CHECK(err.line >= 0 && err.line <= text.count('\n') + 1);
}

// The curve written with every digit and read again is the same curve, to the last bit.
template <class Load>
void checkRoundTrip(const FreqCurve &c, Load load)
{
    QByteArray text = "* written again\n";
    for (int i = 0; i < c.size(); ++i)
        text += QByteArray::number(c.hz[size_t(i)], 'g', 17) + '\t' + QByteArray::number(c.db[size_t(i)], 'g', 17) + '\n';
    FreqCurve again;
    FUZZ_CHECK(load(text, again));
    FUZZ_CHECK(again.hz == c.hz && again.db == c.db);
}
