// A main window on a simulated processor, with message boxes answered by the test.
#pragma once

#include "Kestrun.h"
#include "FileDialogs.h"
#include "Notice.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "TestModel.h"
#include "VirtualCar.h"

#include <QList>
#include <deque>
#include <memory>

class TestRig
{
public:
    // Resets the test session and language, builds a window and attaches the simulated processor.
    explicit TestRig(bool plugged = true);
    ~TestRig();

    SimProcessor sim;
    SimDevice dev{sim};
    // The window's message boxes (answered as below) and file dialogs (answered by the test, else real).
    Notice noticeBox{Lang()};
    FileDialogs fileDialogs;
    // The window's sound card: the shipped sedan around the simulated processor, not paced.
    std::unique_ptr<VirtualCar> car = VirtualCar::shipped(sim, QStringLiteral("sedan"), nullptr);

// Marks the rig's link connected with an empty log.
void connectLink(TestRig &rig);
// The CMD_EQ_BAND payload of channel ch, band b as the store holds it: 05 08 ch b freq gain+120 Q.
QByteArray bandFrame(int ch, int b);
    std::unique_ptr<Kestrun> w;

    // Every box shown, in order; questions are answered from `answers` (front first), else `defaultAnswer`.
    QList<Notice::Request> notices;
    std::deque<bool> answers;
    bool defaultAnswer = true;

    // Delivers n ticks of the window's periodic timer.
    void tick(int n = 1);
    // Ticks until the download and the scene names are through (at most maxTicks); true on success.
    bool connectAndDownload(int maxTicks = 2000);
    // Payloads the processor received since the last clear.
    std::vector<QByteArray> sent() const { return sim.payloads(); }
    void clearSent() { sim.clearLog(); }

    // Puts the test session and language back to their start values (store, link, language, scenes, transport).
    static void resetGlobals();
};

// Marks the rig's link connected with an empty log.
void connectLink(TestRig &rig);
// The CMD_EQ_BAND payload of channel ch, band b as the store holds it: 05 08 ch b freq gain+120 Q.
QByteArray bandFrame(int ch, int b);
