// The headless processor session: the simulated processor attached, one scene in both places.
#include "HeadlessSession.h"

#include "TuningModel.h"

#include <cstring>

HeadlessSession::HeadlessSession() : model_(std::make_unique<TuningModel>(session_))
{
    model_->reset();
    session_.Port.setDevice(&dev_);
    load(sim_.memoryBytes().leftJustified(STORE_SIZE, '\0'));
}

HeadlessSession::~HeadlessSession()
{
    session_.Port.close();
    session_.Port.setDevice(nullptr);
}

TuningModel &HeadlessSession::model()
{
    return *model_;
}

bool HeadlessSession::load(const QByteArray &block)
{
    if (block.size() != STORE_SIZE) return false;
    session_.Link.Connected = 0;  // adopting the scene sends nothing
    const uint32_t version = sim_.firmwareVersion();
    std::memcpy(sim_.memory(), block.constData(), size_t(IMAGE_SIZE));
    sim_.setFirmwareVersion(version);
    TuningModel &m = *model_;
    std::memcpy(&m.store, block.constData(), size_t(STORE_SIZE));
    m.store.FirmwareVersion = version;
    m.adoptStore();
    connect();
    return true;
}

void HeadlessSession::connect()
{
    if (!session_.Port.isOpen()) session_.Port.open();
    session_.Link.Connected = session_.Port.isOpen() ? 1 : 0;
    sim_.clearLog();
}
