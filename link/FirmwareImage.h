// A firmware image read from a file: signature check, size limits and its 16-byte blocks.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

#include <cstdint>
#include <vector>

class FirmwareImage
{
public:
    static constexpr int BUFFER_SIZE = 1 << 20;  // the largest image the program holds
    static constexpr int BLOCK_SIZE = 16;
    // Block numbers 0..32766 are counted, 0xFFFF marks the last block: at most 32768 blocks (512 KiB).
    static constexpr int MAX_BLOCKS = 32768;
    static constexpr int MAX_SIZE = MAX_BLOCKS * BLOCK_SIZE;
    static constexpr uint16_t FINAL_BLOCK = 0xFFFF;

    enum class Load {
        Ok,
        Mismatch,   // no file, unreadable, or the first three bytes are not "MVO"
        ReadError,  // fewer bytes read than the file holds
        TooLarge,   // more than MAX_SIZE bytes: refused before anything is read or sent
    };

    FirmwareImage();
    // Forgets the last image (its bytes back to 0xFF), checks the signature and the size, reads the whole file.
    Load load(const QString &path);
    // The same for an image already in memory.
    Load loadData(const QByteArray &data);

    uint32_t size() const { return size_; }
    // Blocks of the image, the last one included (0 before a good load).
    int blockCount() const { return int((size_ + BLOCK_SIZE - 1) / BLOCK_SIZE); }
    // Block i: the image bytes at i * 16, 0xFF behind the end of the file.
    void block(int i, uint8_t out[BLOCK_SIZE]) const;

private:
    void clear();
    // Signature, size and contents of an open file or buffer.
    Load read(QIODevice &file);

    std::vector<uint8_t> buf_;
    uint32_t size_ = 0;
};
