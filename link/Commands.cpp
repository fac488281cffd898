// Payload layouts of the command set; store fields are read at the moment of building.
#include "Commands.h"

#include "ParamStore.h"
#include "Transport.h"

#include <cstring>
#include <initializer_list>

namespace {

struct Payload {
    uint8_t b[24];
    int n = 0;
    Payload(std::initializer_list<uint8_t> bytes)
    {
        for (uint8_t v : bytes) b[n++] = v;
    }
    Payload &u16(uint16_t v)
    {
        b[n++] = uint8_t(v & 0xFF);
        b[n++] = uint8_t(v >> 8);
        return *this;
    }
    Payload &u8(uint8_t v)
    {
        b[n++] = v;
        return *this;
    }
    Payload &raw(const uint8_t *p, int len)
    {
        std::memcpy(b + n, p, size_t(len));
        n += len;
        return *this;
    }
    void send() const { SendFrame(b, n); }
};

uint8_t chIndex(uint8_t ch) { return ch < CH_COUNT ? ch : 0; }

}  // namespace

void CMD_FACTORY_RESET() { Payload{5, 0x01, 0x01}.send(); }
void CMD_INPUT_SOURCE(uint8_t source) { Payload{5, 0x02, source}.send(); }

void CMD_CH_VOLUME(uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x04, ch}.u16(ParamStore.ChVol[ch]).send();
}

void CMD_CH_MUTE(uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x05, ch, ParamStore.ChMute[ch]}.send();
}

void CMD_HPF(uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x06, ch, ParamStore.HpfType[ch]}
        .u16(ParamStore.HpfFreq[ch])
        .u8(ParamStore.HpfSlope[ch])
        .u8(ParamStore.HpfBypass[ch])
        .send();
}

void CMD_LPF(uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x07, ch, ParamStore.LpfType[ch]}
        .u16(ParamStore.LpfFreq[ch])
        .u8(ParamStore.LpfSlope[ch])
        .u8(ParamStore.LpfBypass[ch])
        .send();
}

void CMD_EQ_BAND(uint8_t ch, uint8_t band)
{
    ch = chIndex(ch);
    if (band >= BAND_COUNT) band = 0;
    Payload{5, 0x08, ch, band}
        .u16(ParamStore.EqFreq[ch][band])
        .u16(uint16_t(ParamStore.EqGain[ch][band] + GAIN_DEVICE_OFFSET))
        .u8(ParamStore.EqQ[ch][band])
        .send();
}

void CMD_CH_DELAY(uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x09, ch}.u16(ParamStore.ChDelay[ch]).send();
}

void CMD_CH_PHASE(uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x0A, ch, ParamStore.ChPhase[ch]}.send();
}

void CMD_EQ_BYPASS(uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x0B, ch, ParamStore.EqBypass[ch]}.send();
}

void CMD_MASTER_VOLUME() { Payload{5, 0x0D}.u16(ParamStore.MasterVol).send(); }

void CMD_SCENE_SAVE(uint8_t scene, const uint8_t name[16]) { Payload{5, 0x0E, scene}.raw(name, 16).send(); }
void CMD_SCENE_LOAD(uint8_t scene) { Payload{5, 0x0F, scene}.send(); }
void CMD_SCENE_DELETE(uint8_t scene) { Payload{5, 0x11, scene}.send(); }

void CMD_NOISE_GATE(uint8_t level) { Payload{5, 0x13, level, uint8_t(level == 0 ? 0 : 1)}.send(); }

void CMD_SCENE_DATA_WRITE(uint8_t scene, uint8_t page, const uint8_t data[20])
{
    Payload{5, 0x15, scene, page}.raw(data, 20).send();
}

void CMD_CH_NAMES() { Payload{5, 0x17}.raw(ParamStore.ChName, CH_COUNT).send(); }

void CMD_PARAM_PAGE_WRITE(uint8_t page, const uint8_t data[20]) { Payload{5, 0x41, page}.raw(data, 20).send(); }

void CMD_FIRMWARE_BLOCK(uint16_t index, const uint8_t data[16])
{
    Payload{5, 0xB0, uint8_t(index >> 8), uint8_t(index & 0xFF)}.raw(data, 16).send();
}

void CMD_CLOSE() { Payload{5, 0xC1, 0x01}.send(); }

void REQ_HEARTBEAT()
{
    const uint8_t p[] = {6, 0x00};
    SendFrameDirect(p, 2);
}

void REQ_SCENE_NAME(uint8_t scene) { Payload{6, 0x10, scene}.send(); }
void REQ_SCENE_DATA(uint8_t scene, uint8_t page) { Payload{6, 0x15, scene, page}.send(); }
void REQ_DEVICE_NAME() { Payload{6, 0x16}.send(); }
void REQ_PARAM_PAGE(uint8_t page) { Payload{6, 0xAA, page}.send(); }
