// One builder per command and request of the processor; each lays out its payload and sends it.
#pragma once

#include <cstdint>

void CMD_FACTORY_RESET();
void CMD_INPUT_SOURCE(uint8_t source);
void CMD_CH_VOLUME(uint8_t ch);
void CMD_CH_MUTE(uint8_t ch);
void CMD_HPF(uint8_t ch);
void CMD_LPF(uint8_t ch);
void CMD_EQ_BAND(uint8_t ch, uint8_t band);
void CMD_CH_DELAY(uint8_t ch);
void CMD_CH_PHASE(uint8_t ch);
void CMD_EQ_BYPASS(uint8_t ch);
void CMD_MASTER_VOLUME();
void CMD_SCENE_SAVE(uint8_t scene, const uint8_t name[16]);
void CMD_SCENE_LOAD(uint8_t scene);
void CMD_SCENE_DELETE(uint8_t scene);
void CMD_NOISE_GATE(uint8_t level);
void CMD_SCENE_DATA_WRITE(uint8_t scene, uint8_t page, const uint8_t data[20]);
void CMD_CH_NAMES();
void CMD_PARAM_PAGE_WRITE(uint8_t page, const uint8_t data[20]);
void CMD_FIRMWARE_BLOCK(uint16_t index, const uint8_t data[16]);
void CMD_CLOSE();
void REQ_HEARTBEAT();  // through SendFrameDirect
void REQ_SCENE_NAME(uint8_t scene);
void REQ_SCENE_DATA(uint8_t scene, uint8_t page);
void REQ_DEVICE_NAME();
void REQ_PARAM_PAGE(uint8_t page);
