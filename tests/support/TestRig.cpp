// The shared test rig.
#include "TestRig.h"
#include "TuningModel.h"

#include "ChannelLink.h"
#include "FileDialogs.h"
#include "LinkState.h"
#include "ParamStore.h"
#include "SceneNames.h"
#include "SyncGroup.h"
#include "Texts.h"
#include "TransferGuard.h"
#include "TransferLink.h"
#include "Transport.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <QtTest>
#include <cstring>

void TestRig::resetGlobals()
{
    Model().reset();
    Session().resetLink();
    Lang().LanguageFlag = 0;
    Session().sceneNames.reset();
    std::memset(Session().SceneBuffer, 0, sizeof Session().SceneBuffer);
    Session().Port.setDevice(nullptr);
    Session().Port.SeqNo = 0;
    Session().Port.Rx.clear();
    Session().Port.framesWritten = 0;
    TransferGuard::reset(Session().Link);
    Session().Pace = TransferPace();
}

TestRig::TestRig(bool plugged)
{
    resetGlobals();
    sim.setPlugged(plugged);
    Session().Port.setDevice(&dev);
    noticeBox.setResponder([this](const Notice::Request &r) {
        notices.append(r);
        if (!r.question) return true;
        if (answers.empty()) return defaultAnswer;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    });
    w = std::make_unique<Kestrun>(Model(), noticeBox, fileDialogs, *car, Lang());
}

TestRig::~TestRig()
{
    w.reset();
    TransferGuard::reset(Session().Link);
    Session().Port.close();
    Session().Port.setDevice(nullptr);
}

void TestRig::tick(int n)
{
    for (int i = 0; i < n; ++i) {
        QTimerEvent e(w->periodicTimerId());
        QCoreApplication::sendEvent(w.get(), &e);
    }
}

bool TestRig::connectAndDownload(int maxTicks)
{
    for (int i = 0; i < maxTicks; ++i) {
        tick();
        if (Session().Link.Connected && Session().Link.LinkStatus == 2 && !Session().Link.NamesPending && !Session().Link.AwaitingReply) return true;
    }
    return false;
}

void connectLink(TestRig &rig)
{
    QVERIFY(Session().Port.open());
    Session().Link.Connected = 1;
    rig.clearSent();
}

QByteArray bandFrame(int ch, int b)
{
    const uint16_t f = Session().ParamStore.EqFreq[ch][b];
    const uint16_t g = uint16_t(Session().ParamStore.EqGain[ch][b] + GAIN_DEVICE_OFFSET);
    QByteArray p;
    p.append(char(5)).append(char(8)).append(char(ch)).append(char(b));
    p.append(char(f & 0xFF)).append(char(f >> 8)).append(char(g & 0xFF)).append(char(g >> 8));
    p.append(char(Session().ParamStore.EqQ[ch][b]));
    return p;
}
