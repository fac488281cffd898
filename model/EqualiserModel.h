// The equaliser bands and crossover filters of the tuning model.
#pragma once

#include "ModelCore.h"

#include <QString>
#include <cstdint>

// Band and filter operations on the selected channel. Each stores, copies to the linked channels and sends
// while connected; the echoes the band sliders cause (a slider that moves stores and sends its band) are
// the named step `sliderEcho`.
class EqualiserModel : public ModelCore
{
public:
    using ModelCore::ModelCore;

    // --- equaliser ---
    // A band slider moved by the user.
    void setBandGainFromSlider(int b, int code);
    bool enterBandGain(int b, const QString &text);
    bool enterBandFreq(int b, const QString &text);
    bool enterBandQ(int b, const QString &text);
    void stepBandGain(int b, int dir, int units);
    void stepBandFreq(int b, bool up, bool fast);
    void stepBandQ(int b, int dir, int units);
    void toggleBand(int b);  // flat and back (double-click on the band button)
    // A band marker dropped at gain code g and frequency f.
    void moveBandMarker(int b, uint16_t gain, uint16_t freq);
    void toggleEqBypass();
    void flattenEq();  // every band of the selected channel to 0 dB
    // Writes all 31 bands of ch at once (auto-EQ, filter files); one step, sent while connected.
    void setBands(int ch, const uint16_t freq[BAND_COUNT], const uint16_t gain[BAND_COUNT],
                  const uint8_t q[BAND_COUNT]);

    // --- crossovers; filter 0 = high-pass, 1 = low-pass ---
    void chooseFilterType(int filter, int type);
    void chooseFilterSlope(int filter, int item);  // item 8 switches the filter off
    bool enterFilterFreq(int filter, const QString &text);
    // Steps and marker drags: the selected channel's frame goes out before the linked copies.
    void stepFilterFreq(int filter, uint16_t freq);

protected:
    // Band b's slider moves to code: when it showed another gain, the band is stored, copied and sent.
    void sliderEcho(int b, int code);

private:
    void sliderMoved(int b, int code);
    void sendBand(int b);
    void bandTail(int b);
    void filterTail(int filter, bool ownFirst);
};
