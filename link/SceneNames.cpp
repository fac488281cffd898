// The scene-name table of one processor.
#include "SceneNames.h"

#include <cstdio>
#include <cstring>

void SceneNames::defaultName(int i)
{
    std::memset(SceneName[i], 0, SCENE_NAME_SIZE);
    std::snprintf(reinterpret_cast<char *>(SceneName[i]), SCENE_NAME_SIZE, "Mode%d", i + 1);
    SceneUsed[i] = 0;
}

void SceneNames::reset()
{
    for (int i = 0; i < SCENE_COUNT; ++i) defaultName(i);
}

void SceneNames::store(int k, const uint8_t name[SCENE_NAME_SIZE])
{
    if (k < 1 || k > SCENE_COUNT) return;
    const int i = k - 1;
    if (name[0] >= 'A' && name[0] <= 'z') {
        std::memcpy(SceneName[i], name, SCENE_NAME_SIZE);
        SceneUsed[i] = 1;
    } else {
        defaultName(i);
    }
}
