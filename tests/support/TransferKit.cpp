// The transfer suites' helpers.
#include "TransferKit.h"

#include "LinkState.h"
#include "Transport.h"
#include "TransferLink.h"

#include <QFile>

TransferKit::TransferKit(TestRig &r)
    : rig(r)
{
    FileDialogs::setResponder([this](const FileDialogs::Request &req) {
        dialogs.append(req);
        if (paths.empty()) return QString();
        const QString p = paths.front();
        paths.pop_front();
        return p;
    });
    // The processor's settle times shortened, the retry bounds as in the program.
    Pace.sceneSettleMs = 2;
    Pace.uploadSettleMs = 2;
    Pace.runOutStepMs = 1;
    Pace.pageGapMs = 1;
}

TransferKit::~TransferKit()
{
    FileDialogs::setResponder(nullptr);
}

void TransferKit::linkUp()
{
    Port.open();
    Link.Connected = 1;
    Link.LinkStatus = 2;
    Link.HeartbeatCountdown = 400;
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

void TransferKit::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
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
