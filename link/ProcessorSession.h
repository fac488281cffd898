// One processor session: the parameter store, the link state, the transport, the transfer pace and the scenes.
#pragma once

#include "LinkState.h"
#include "ParamStore.h"
#include "SceneNames.h"
#include "TransferLink.h"
#include "Transport.h"

class ProcessorSession
{
public:
    ProcessorSession() = default;
    ProcessorSession(const ProcessorSession &) = delete;
    ProcessorSession &operator=(const ProcessorSession &) = delete;

    // The image of every processor parameter; the tuning model built on this session is its only writer.
    ParamBlock ParamStore{};
    LinkState Link;
    Transport Port{Link};
    TransferPace Pace;
    // The names and used flags of the processor's scenes, as its replies gave them.
    SceneNames sceneNames;
    // The staging area of both all-scenes operations: scene k (1..9) in block k-1.
    uint8_t SceneBuffer[SCENE_COUNT][STORE_SIZE] = {};

    // Puts the link state back to its start values, all but the transfer slot.
    void resetLink();
};
