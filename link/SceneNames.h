// Names and used flags of the nine scenes stored in the processor.
#pragma once

#include <cstdint>

constexpr int SCENE_COUNT = 9;
constexpr int SCENE_NAME_SIZE = 16;

class SceneNames
{
public:
    SceneNames() { reset(); }

    uint8_t SceneName[SCENE_COUNT][SCENE_NAME_SIZE];
    uint8_t SceneUsed[SCENE_COUNT];

    // "Mode1" .. "Mode9", none used.
    void reset();
    // Takes the name of scene k (1..9) from a reply: a name starting with a letter "A".."z" is used,
    // anything else gives "Mode<k>" and marks the slot unused. k outside 1..9 is ignored.
    void store(int k, const uint8_t name[SCENE_NAME_SIZE]);

private:
    void defaultName(int i);
};
