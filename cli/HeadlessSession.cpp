// The headless processor session: globals reset, the simulated processor attached, one scene in both places.
#include "HeadlessSession.h"

#include "LinkState.h"
#include "ParamStore.h"
#include "Texts.h"
#include "Transport.h"
#include "TuningModel.h"

#include <cstring>

HeadlessSession::HeadlessSession() : language_(LanguageFlag)
{
    LanguageFlag = 1;
    Model().reset();
    ResetLinkState();
    Port.setDevice(&dev_);
    Port.SeqNo = 0;
    Port.Rx.clear();
    load(sim_.memoryBytes().leftJustified(STORE_SIZE, '\0'));
}

HeadlessSession::~HeadlessSession()
{
    Port.close();
    Port.setDevice(nullptr);
    ResetLinkState();
    LanguageFlag = language_;
}

TuningModel &HeadlessSession::model()
{
    return Model();
}

bool HeadlessSession::load(const QByteArray &block)
{
    if (block.size() != STORE_SIZE) return false;
    Link.Connected = 0;  // adopting the scene sends nothing
    const uint32_t version = sim_.firmwareVersion();
    std::memcpy(sim_.memory(), block.constData(), size_t(IMAGE_SIZE));
    sim_.setFirmwareVersion(version);
    TuningModel &m = Model();
    std::memcpy(&m.store, block.constData(), size_t(STORE_SIZE));
    m.store.FirmwareVersion = version;
    m.adoptStore();
    connect();
    return true;
}

void HeadlessSession::connect()
{
    if (!Port.isOpen()) Port.open();
    Link.Connected = Port.isOpen() ? 1 : 0;
    sim_.clearLog();
}
