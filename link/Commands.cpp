// Payload layouts of the command set; store fields are read at the moment of building.
#include "Commands.h"

#include "ProcessorSession.h"

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
    void send(Transport &port) const { port.SendFrame(b, n); }
};

uint8_t chIndex(uint8_t ch) { return ch < CH_COUNT ? ch : 0; }

}  // namespace

void CMD_FACTORY_RESET(ProcessorSession &p) { Payload{5, 0x01, 0x01}.send(p.Port); }
void CMD_INPUT_SOURCE(ProcessorSession &p, uint8_t source) { Payload{5, 0x02, source}.send(p.Port); }

void CMD_CH_VOLUME(ProcessorSession &p, uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x04, ch}.u16(p.ParamStore.ChVol[ch]).send(p.Port);
}

void CMD_CH_MUTE(ProcessorSession &p, uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x05, ch, p.ParamStore.ChMute[ch]}.send(p.Port);
}

void CMD_HPF(ProcessorSession &p, uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x06, ch, p.ParamStore.HpfType[ch]}
        .u16(p.ParamStore.HpfFreq[ch])
        .u8(p.ParamStore.HpfSlope[ch])
        .u8(p.ParamStore.HpfBypass[ch])
        .send(p.Port);
}

void CMD_LPF(ProcessorSession &p, uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x07, ch, p.ParamStore.LpfType[ch]}
        .u16(p.ParamStore.LpfFreq[ch])
        .u8(p.ParamStore.LpfSlope[ch])
        .u8(p.ParamStore.LpfBypass[ch])
        .send(p.Port);
}

void CMD_EQ_BAND(ProcessorSession &p, uint8_t ch, uint8_t band)
{
    ch = chIndex(ch);
    if (band >= BAND_COUNT) band = 0;
    Payload{5, 0x08, ch, band}
        .u16(p.ParamStore.EqFreq[ch][band])
        .u16(uint16_t(p.ParamStore.EqGain[ch][band] + GAIN_DEVICE_OFFSET))
        .u8(p.ParamStore.EqQ[ch][band])
        .send(p.Port);
}

void CMD_CH_DELAY(ProcessorSession &p, uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x09, ch}.u16(p.ParamStore.ChDelay[ch]).send(p.Port);
}

void CMD_CH_PHASE(ProcessorSession &p, uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x0A, ch, p.ParamStore.ChPhase[ch]}.send(p.Port);
}

void CMD_EQ_BYPASS(ProcessorSession &p, uint8_t ch)
{
    ch = chIndex(ch);
    Payload{5, 0x0B, ch, p.ParamStore.EqBypass[ch]}.send(p.Port);
}

void CMD_MASTER_VOLUME(ProcessorSession &p) { Payload{5, 0x0D}.u16(p.ParamStore.MasterVol).send(p.Port); }

void CMD_SCENE_SAVE(ProcessorSession &p, uint8_t scene, const uint8_t name[16]) { Payload{5, 0x0E, scene}.raw(name, 16).send(p.Port); }
void CMD_SCENE_LOAD(ProcessorSession &p, uint8_t scene) { Payload{5, 0x0F, scene}.send(p.Port); }
void CMD_SCENE_DELETE(ProcessorSession &p, uint8_t scene) { Payload{5, 0x11, scene}.send(p.Port); }

void CMD_NOISE_GATE(ProcessorSession &p, uint8_t level) { Payload{5, 0x13, level, uint8_t(level == 0 ? 0 : 1)}.send(p.Port); }

void CMD_SCENE_DATA_WRITE(ProcessorSession &p, uint8_t scene, uint8_t page, const uint8_t data[20])
{
    Payload{5, 0x15, scene, page}.raw(data, 20).send(p.Port);
}

void CMD_CH_NAMES(ProcessorSession &p) { Payload{5, 0x17}.raw(p.ParamStore.ChName, CH_COUNT).send(p.Port); }

void CMD_PARAM_PAGE_WRITE(ProcessorSession &p, uint8_t page, const uint8_t data[20]) { Payload{5, 0x41, page}.raw(data, 20).send(p.Port); }

void CMD_FIRMWARE_BLOCK(ProcessorSession &p, uint16_t index, const uint8_t data[16])
{
    Payload{5, 0xB0, uint8_t(index >> 8), uint8_t(index & 0xFF)}.raw(data, 16).send(p.Port);
}

void CMD_CLOSE(ProcessorSession &p) { Payload{5, 0xC1, 0x01}.send(p.Port); }

void REQ_HEARTBEAT(ProcessorSession &p)
{
    const uint8_t payload[] = {6, 0x00};
    p.Port.SendFrameDirect(payload, 2);
}

void REQ_SCENE_NAME(ProcessorSession &p, uint8_t scene) { Payload{6, 0x10, scene}.send(p.Port); }
void REQ_SCENE_DATA(ProcessorSession &p, uint8_t scene, uint8_t page) { Payload{6, 0x15, scene, page}.send(p.Port); }
void REQ_DEVICE_NAME(ProcessorSession &p) { Payload{6, 0x16}.send(p.Port); }
void REQ_PARAM_PAGE(ProcessorSession &p, uint8_t page) { Payload{6, 0xAA, page}.send(p.Port); }
