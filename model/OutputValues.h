// Texts and typed entries of the output volumes and delays: formats, parsing and range checks.
#pragma once

#include <QString>
#include <cstdint>

namespace OutputValues {

constexpr int MAX_VOLUME = 600;   // 0.1 dB steps from -60.0 dB
constexpr int MAX_DELAY = 1500;   // 0.01 ms steps up to 15.00 ms
constexpr double CM_PER_STEP = 0.345;      // 345 m/s
constexpr double STEPS_PER_CM = 2.89855;

// A volume code as shown: v / 10 - 60 with one decimal and "dB" (600 gives "0.0dB").
QString volumeText(int v);
// A typed volume in dB: true for a plain number in -60..0 (a unit such as "dB" makes it fail).
bool parseVolume(const QString &text, double *db);
// The slider position of a typed volume: trunc((db + 60) * 10 + 0.5).
int volumeCode(double db);

// A delay as shown in the given unit: "2.50ms" (unit 0) or whole rounded "86cm" (unit 1).
QString delayText(uint16_t d, uint32_t unit);
// The delay field's text in the window's unit (1 = centimetres); millisecond texts are traced on the debug channel.
QString delayDisplay(uint16_t d, uint32_t unit);
// One trace line on the debug channel: "[ file : line : function time ] value".
void traceValue(const char *file, int line, const QString &function, double value);
// A typed delay in the given unit, a trailing "ms" or "cm" allowed: true when it parses and the
// unrounded value r (0.01 ms steps) lies in 0..1500.
bool parseDelay(QString text, uint32_t unit, double *r);
// The stored delay of an accepted entry: trunc(r + 0.5).
uint16_t delayCode(double r);

}  // namespace OutputValues
