// The scene page transfers: a parameter image into the processor's live memory, the nine stored
// scenes out of and into the processor.
#pragma once

#include "ParamStore.h"
#include "SceneNames.h"
#include "TransferLink.h"

#include <functional>

class SceneTransfer
{
public:
    // Transfers over the session's link.
    explicit SceneTransfer(ProcessorSession &session) : p_(session), link_(session) {}

    // The progress bar's value, 0..100: the percentage of the transfer's page frames done (an
    // acknowledged page; the unacknowledged last page of a scene when sent), told after each frame.
    using Progress = std::function<void(int)>;

    // Writes pages 0..54 of image (1100 bytes, processor encoding) with page writes: pages 0..53 are
    // acknowledged one by one, page 54 is sent once (100 %). Then the processor is given time to take it over.
    TransferResult sendParamImage(const uint8_t *image, const Progress &progress);
    // Reads the 55 pages of every stored scene into scenes (bytes 0..1099 of each block; the rest is
    // left alone). A reply lands where its own scene and page numbers say; a page counts as read when
    // the reply for the requested scene and page came.
    TransferResult fetchScenes(uint8_t scenes[SCENE_COUNT][STORE_SIZE], const Progress &progress);
    // Writes bytes 0..1099 of every block into the processor's stored scenes: pages 0..53 of a scene
    // acknowledged, page 54 sent once, then the processor is given time to store the scene.
    TransferResult sendScenes(const uint8_t scenes[SCENE_COUNT][STORE_SIZE], const Progress &progress);

private:
    ProcessorSession &p_;
    TransferLink link_;
};
