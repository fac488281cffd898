// The undo history: each step holds the model's state before and after it.
#pragma once

#include "ParamStore.h"

#include <cstdint>
#include <deque>

// Everything an edit can change: the store and the state kept beside it.
struct ModelState {
    ParamBlock store;
    uint16_t shadow[CH_COUNT][BAND_COUNT];
    uint8_t mainMute;
    uint8_t ownMute[CH_COUNT];
    bool operator==(const ModelState &o) const;
    bool operator!=(const ModelState &o) const { return !(*this == o); }
};

class EditHistory
{
public:
    static constexpr int LIMIT = 500;        // steps kept; the oldest goes first
    static constexpr int64_t MERGE_MS = 1000;  // a keyed run continues while its steps follow within this

    // Records a step. A step with a nonzero key joins the last one when that has the same key, was recorded
    // less than MERGE_MS before and nothing was undone since.
    void record(const ModelState &before, const ModelState &after, int key, int64_t nowMs);
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < int(steps_.size()); }
    // The state to go back to / forward to; null when there is none.
    const ModelState *undo();
    const ModelState *redo();
    void clear();
    int size() const { return int(steps_.size()); }

private:
    struct Step {
        ModelState before;
        ModelState after;
        int key;
        int64_t at;
    };
    std::deque<Step> steps_;
    int index_ = 0;  // steps before index_ are done
};
