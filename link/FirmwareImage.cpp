// Loading and cutting a firmware image.
#include "FirmwareImage.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <cstring>

FirmwareImage::FirmwareImage()
    : buf_(BUFFER_SIZE, 0xFF)
{
}

void FirmwareImage::clear()
{
    // Only the bytes of the last image can differ from 0xFF (blocks never read past the size).
    std::fill(buf_.begin(), buf_.begin() + size_, uint8_t(0xFF));
    size_ = 0;
}

FirmwareImage::Load FirmwareImage::load(const QString &path)
{
    clear();
    if (path.isEmpty()) return Load::Mismatch;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Load::Mismatch;
    return read(file);
}

FirmwareImage::Load FirmwareImage::loadData(const QByteArray &data)
{
    clear();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer);
}

FirmwareImage::Load FirmwareImage::read(QIODevice &file)
{
    char sig[3];
    if (file.read(sig, 3) != 3 || std::memcmp(sig, "MVO", 3) != 0) return Load::Mismatch;
    const qint64 size = file.size();
    if (size > MAX_SIZE) return Load::TooLarge;
    if (!file.seek(0)) return Load::ReadError;
    const qint64 got = file.read(reinterpret_cast<char *>(buf_.data()), size);
    if (got != size) {
        std::fill(buf_.begin(), buf_.begin() + size, uint8_t(0xFF));
        return Load::ReadError;
    }
    size_ = uint32_t(size);
    return Load::Ok;
}

void FirmwareImage::block(int i, uint8_t out[BLOCK_SIZE]) const
{
    const size_t at = size_t(i) * BLOCK_SIZE;
    for (int k = 0; k < BLOCK_SIZE; ++k) out[k] = at + size_t(k) < size_ ? buf_[at + size_t(k)] : 0xFF;
}
