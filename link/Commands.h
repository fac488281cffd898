// One builder per command and request of the processor; each lays out its payload and sends it.
#pragma once

#include <cstdint>

class ProcessorSession;

void CMD_FACTORY_RESET(ProcessorSession &p);
void CMD_INPUT_SOURCE(ProcessorSession &p, uint8_t source);
void CMD_CH_VOLUME(ProcessorSession &p, uint8_t ch);
void CMD_CH_MUTE(ProcessorSession &p, uint8_t ch);
void CMD_HPF(ProcessorSession &p, uint8_t ch);
void CMD_LPF(ProcessorSession &p, uint8_t ch);
void CMD_EQ_BAND(ProcessorSession &p, uint8_t ch, uint8_t band);
void CMD_CH_DELAY(ProcessorSession &p, uint8_t ch);
void CMD_CH_PHASE(ProcessorSession &p, uint8_t ch);
void CMD_EQ_BYPASS(ProcessorSession &p, uint8_t ch);
void CMD_MASTER_VOLUME(ProcessorSession &p);
void CMD_SCENE_SAVE(ProcessorSession &p, uint8_t scene, const uint8_t name[16]);
void CMD_SCENE_LOAD(ProcessorSession &p, uint8_t scene);
void CMD_SCENE_DELETE(ProcessorSession &p, uint8_t scene);
void CMD_NOISE_GATE(ProcessorSession &p, uint8_t level);
void CMD_SCENE_DATA_WRITE(ProcessorSession &p, uint8_t scene, uint8_t page, const uint8_t data[20]);
void CMD_CH_NAMES(ProcessorSession &p);
void CMD_PARAM_PAGE_WRITE(ProcessorSession &p, uint8_t page, const uint8_t data[20]);
void CMD_FIRMWARE_BLOCK(ProcessorSession &p, uint16_t index, const uint8_t data[16]);
void CMD_CLOSE(ProcessorSession &p);
void REQ_HEARTBEAT(ProcessorSession &p);  // through SendFrameDirect
void REQ_SCENE_NAME(ProcessorSession &p, uint8_t scene);
void REQ_SCENE_DATA(ProcessorSession &p, uint8_t scene, uint8_t page);
void REQ_DEVICE_NAME(ProcessorSession &p);
void REQ_PARAM_PAGE(ProcessorSession &p, uint8_t page);
