// Scene file images and their safe reading and writing.
#include "SceneFile.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

QByteArray SceneFile::singleImage(const ParamBlock &store)
{
    ParamBlock copy = store;
    for (int ch = 0; ch < CH_COUNT; ++ch)
        for (int b = 0; b < BAND_COUNT; ++b) copy.EqGain[ch][b] = uint16_t(copy.EqGain[ch][b] + GAIN_DEVICE_OFFSET);
    return QByteArray(reinterpret_cast<const char *>(copy.bytes()), SINGLE_SIZE);
}

QByteArray SceneFile::allImage(const uint8_t scenes[SCENE_COUNT][STORE_SIZE])
{
    return QByteArray(reinterpret_cast<const char *>(&scenes[0][0]), ALL_SIZE);
}

bool SceneFile::write(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

SceneFile::Read SceneFile::read(const QString &path, int size, QByteArray *out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Read::Unreadable;
    if (file.size() != size) return Read::WrongSize;
    QByteArray data = file.read(size);
    if (data.size() != size) return Read::Unreadable;
    *out = data;
    return Read::Ok;
}
