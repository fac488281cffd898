// Names and used flags of the nine scenes stored in the processor.
#pragma once

#include <cstdint>

constexpr int SCENE_COUNT = 9;
constexpr int SCENE_NAME_SIZE = 16;

extern uint8_t SceneName[SCENE_COUNT][SCENE_NAME_SIZE];
extern uint8_t SceneUsed[SCENE_COUNT];

// "Mode1" .. "Mode9", none used.
void InitSceneNames();
// Takes the name of scene k (1..9) from a reply: a name starting with a letter "A".."z" is used,
// anything else gives "Mode<k>" and marks the slot unused. k outside 1..9 is ignored.
void StoreSceneName(int k, const uint8_t name[SCENE_NAME_SIZE]);
