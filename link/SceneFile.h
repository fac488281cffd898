// Scene files on the computer: the single-scene image of the store, the all-scenes image, reading and writing.
#pragma once

#include "ParamStore.h"
#include "SceneNames.h"

#include <QByteArray>
#include <QString>

class SceneFile
{
public:
    static constexpr int SINGLE_SIZE = STORE_SIZE;             // "*.SCE"
    static constexpr int ALL_SIZE = SCENE_COUNT * STORE_SIZE;  // "*.ALL"

    enum class Read { Ok, Unreadable, WrongSize };

    // The 4096 bytes of the store with every equaliser gain in the processor's encoding (+120);
    // the store itself is not changed.
    static QByteArray singleImage(const ParamBlock &store);
    // Nine blocks of 4096 bytes, scene 1 first.
    static QByteArray allImage(const uint8_t scenes[SCENE_COUNT][STORE_SIZE]);
    // Writes the whole file through a temporary that replaces the old file only when complete;
    // false when it cannot be written (an existing file is then left as it was).
    static bool write(const QString &path, const QByteArray &data);
    // Reads a file that must be exactly `size` bytes; nothing is read from a file of another size.
    static Read read(const QString &path, int size, QByteArray *out);
};
