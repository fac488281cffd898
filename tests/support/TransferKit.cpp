// The transfer suites' helpers.
#include "TransferKit.h"

#include "LinkState.h"
#include "ParamStore.h"
#include "SceneFile.h"
#include "SceneNames.h"
#include "Transport.h"
#include "TransferLink.h"

#include <QFile>

TransferKit::TransferKit(TestRig &r)
    : rig(r)
{
    rig.fileDialogs.setResponder([this](const FileDialogs::Request &req) {
        dialogs.append(req);
        if (paths.empty()) return QString();
        const QString p = paths.front();
        paths.pop_front();
        return p;
    });
    // The processor's settle times shortened, the retry bounds as in the program.
    Session().Pace.sceneSettleMs = 2;
    Session().Pace.uploadSettleMs = 2;
    Session().Pace.runOutStepMs = 1;
    Session().Pace.pageGapMs = 1;
}

TransferKit::~TransferKit()
{
    rig.fileDialogs.setResponder(nullptr);
}

void TransferKit::linkUp()
{
    Session().Port.open();
    Session().Link.Connected = 1;
    Session().Link.LinkStatus = 2;
    Session().Link.HeartbeatCountdown = 400;
    rig.sim.clearReplies();
    rig.clearSent();
}

std::vector<QByteArray> TransferKit::sentWith(uint8_t cls, uint8_t code) const
{
    std::vector<QByteArray> out;
    for (const QByteArray &p : rig.sent())
        if (p.size() >= 2 && uint8_t(p[0]) == cls && uint8_t(p[1]) == code) out.push_back(p);
    return out;
}

QStringList TransferKit::noticeTexts() const
{
    QStringList out;
    for (const Notice::Request &n : rig.notices) out << n.text;
    return out;
}

QStringList TransferKit::infoTexts() const
{
    QStringList out;
    for (const Notice::Request &n : rig.notices)
        if (!n.question) out << n.text;
    return out;
}

void TransferKit::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QString TransferKit::fileIn(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    writeFile(path, bytes);
    return path;
}

QByteArray TransferKit::firmwareImage(int size)
{
    QByteArray b = pattern(size, 3);
    b.replace(0, 3, "MVO");
    return b.left(size);
}

QByteArray TransferKit::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray TransferKit::pattern(int size, int seed)
{
    QByteArray b(size, 0);
    for (int i = 0; i < size; ++i) b[i] = char((seed + i) % 251);
    return b;
}

QByteArray TransferKit::storeBytes(int from, int n)
{
    return QByteArray(reinterpret_cast<const char *>(Session().ParamStore.bytes()) + from, n);
}

QByteArray TransferKit::simScene(const SimProcessor &sim, int k)
{
    return QByteArray(reinterpret_cast<const char *>(sim.scene(k)), IMAGE_SIZE);
}

QByteArray TransferKit::simMemory(const SimProcessor &sim, int from, int n)
{
    return QByteArray(reinterpret_cast<const char *>(sim.memory()) + from, n);
}

QByteArray TransferKit::singleSceneFile()
{
    ParamBlock block = Session().ParamStore;
    block.ChVol[0] = 300;
    block.ChDelay[2] = 250;
    block.EqGain[1][4] = 180;
    block.HpfFreq[3] = 80;
    QByteArray file = SceneFile::singleImage(block);
    const QByteArray tail = pattern(STORE_SIZE - IMAGE_SIZE, 7);
    file.replace(IMAGE_SIZE, tail.size(), tail);
    return file;
}

QByteArray TransferKit::allScenesFile()
{
    QByteArray file;
    for (int k = 1; k <= SCENE_COUNT; ++k) {
        ParamBlock block = Session().ParamStore;
        block.ChVol[0] = uint16_t(100 + k);
        block.MasterVol = uint16_t(500 + k);
        block.EqGain[k % CH_COUNT][k] = uint16_t(60 + k);
        QByteArray b = SceneFile::singleImage(block);
        const QByteArray tail = pattern(STORE_SIZE - IMAGE_SIZE, k);
        b.replace(IMAGE_SIZE, tail.size(), tail);
        file += b;
    }
    return file;
}
