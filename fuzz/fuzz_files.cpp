// Arbitrary bytes as ".SCE", ".ALL" and ".bin" files through the loaders; a loaded scene is then taken
// over as a downloaded image and drawn, as it is once the processor hands it back.
#include "FirmwareImage.h"
#include "ParamStore.h"
#include "ResponseMath.h"
#include "SceneFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {
QString path;

void check(bool ok)
{
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    path = QStringLiteral("/tmp/kestrun-fuzz-files-%1").arg(getpid());
    Graph_Table_Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 600 * 1024) return 0;
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // Firmware: the signature, the limits and every block.
    FirmwareImage image;
    if (image.load(path) == FirmwareImage::Load::Ok) {
        check(image.size() <= uint32_t(FirmwareImage::MAX_SIZE));
        uint8_t block[FirmwareImage::BLOCK_SIZE];
        for (int i = 0; i < image.blockCount(); ++i) image.block(i, block);
    }
    // Scene files of either kind; only files of the exact size are read.
    QByteArray bytes;
    const SceneFile::Read one = SceneFile::read(path, SceneFile::SINGLE_SIZE, &bytes);
    check(one != SceneFile::Read::Ok || bytes.size() == SceneFile::SINGLE_SIZE);
    const SceneFile::Read all = SceneFile::read(path, SceneFile::ALL_SIZE, &bytes);
    check(all != SceneFile::Read::Ok || bytes.size() == SceneFile::ALL_SIZE);
    // The first 4096 bytes as a store image: corrected, converted and drawn without NaN or overflow.
    std::memset(&ParamStore, 0, sizeof ParamStore);
    std::memcpy(&ParamStore, data, size < size_t(STORE_SIZE) ? size : size_t(STORE_SIZE));
    ParamStore.correctDownloaded(EqGainShadow);
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        HPF_Curve_Update(ch);
        LPF_Curve_Update(ch);
        EQ_Curve_Update(ch);
        Curve_Point_Update(ch);
        for (int i = 0; i < GRAPH_POINTS; ++i) check(std::isfinite(EQCurve[ch][i]) && std::isfinite(HPFCurve[ch][i]));
    }
    return 0;
}
