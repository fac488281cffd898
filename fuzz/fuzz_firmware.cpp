// Arbitrary bytes as a firmware image, in memory: the load succeeds exactly for an image with the signature
// within the size limit, cuts it into blocks that hold its bytes with 0xFF behind the end, and a failed or
// shorter later load leaves nothing of the earlier image behind.
#include "FirmwareImage.h"
#include "FuzzInput.h"

#include <QByteArray>

#include <cstring>

namespace {
using Load = FirmwareImage::Load;

void checkImage(const FirmwareImage &image, Load result, const QByteArray &data)
{
    const bool signed_ = data.startsWith("MVO");
    const Load expected = !signed_ ? Load::Mismatch : data.size() > FirmwareImage::MAX_SIZE ? Load::TooLarge : Load::Ok;
    FUZZ_CHECK(result == expected);
    if (result != Load::Ok) {
        FUZZ_CHECK(image.size() == 0 && image.blockCount() == 0);
        return;
    }
    FUZZ_CHECK(image.size() == uint32_t(data.size()));
    FUZZ_CHECK(image.blockCount() == (data.size() + 15) / 16 && image.blockCount() <= FirmwareImage::MAX_BLOCKS);
    uint8_t block[FirmwareImage::BLOCK_SIZE];
    // The first and the last blocks, and one past the end, which reads as padding.
    for (int i = 0; i <= image.blockCount(); ++i) {
        if (i == 64 && image.blockCount() > 128) i = image.blockCount() - 64;
        image.block(i, block);
        for (int k = 0; k < FirmwareImage::BLOCK_SIZE; ++k) {
            const int at = i * FirmwareImage::BLOCK_SIZE + k;
            FUZZ_CHECK(block[k] == (at < data.size() ? uint8_t(data[at]) : 0xFF));
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // One image and one buffer for all runs: fresh megabytes each run would cost more than the run.
    static FirmwareImage image;
    static QByteArray buffer(FirmwareImage::MAX_SIZE + 64, '\0');
    FuzzInput in(data, size);
    const uint8_t how = in.byte();
    int length = int(in.left());
    std::memcpy(buffer.data(), data + 1, in.left() < size_t(buffer.size()) ? in.left() : size_t(buffer.size()));
    if ((how & 31) == 31) {
        // Stretched to a size near the limit, behind the fuzzer's own bytes, to reach the size checks.
        const int want = FirmwareImage::MAX_SIZE - 4 + (how >> 5);
        if (want > length) std::memset(buffer.data() + length, how, size_t(want - length));
        length = want > length ? want : length;
    }
    if (length > buffer.size()) return 0;
    const QByteArray bytes = QByteArray::fromRawData(buffer.constData(), length);
    checkImage(image, image.loadData(bytes), bytes);
    // Loading again: a shorter image leaves nothing of the first one behind.
    const QByteArray shorter = QByteArray::fromRawData(buffer.constData(), length / 2);
    checkImage(image, image.loadData(shorter), shorter);
    return 0;
}
