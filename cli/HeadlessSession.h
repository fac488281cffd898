// A processor session without a window: the simulated processor loaded with a scene and linked to the tuning model.
#pragma once

#include "ProcessorSession.h"
#include "SimDevice.h"
#include "SimProcessor.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

class TuningModel;

// It owns its processor session and model, attaches the simulated processor as the session's device, and puts
// the same scene into the processor's memory and the model, so that every model edit reaches the processor as
// its frames. Sessions are independent of each other.
class HeadlessSession
{
public:
    HeadlessSession();
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession &) = delete;
    HeadlessSession &operator=(const HeadlessSession &) = delete;

    // A 4096-byte scene block (as a .SCE file holds it, gains in the processor's encoding) into the
    // processor's memory (its firmware version kept) and the model, then connects. Without a call the two
    // hold the processor's factory parameters. Refuses (false) a block of another size.
    bool load(const QByteArray &block);

    SimProcessor &processor() { return sim_; }
    SimDevice &device() { return dev_; }
    TuningModel &model();
    ProcessorSession &session() { return session_; }
    // Unplugs the processor or plugs it back in (the link notices at its next frame).
    void setPlugged(bool plugged) { dev_.setPlugged(plugged); }

private:
    void connect();

    SimProcessor sim_;
    SimDevice dev_{sim_};
    ProcessorSession session_;
    std::unique_ptr<TuningModel> model_;  // built on session_
};
