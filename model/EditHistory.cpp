// Recording, merging and walking the undo history.
#include "EditHistory.h"

#include <cstring>

bool ModelState::operator==(const ModelState &o) const
{
    return mainMute == o.mainMute && std::memcmp(ownMute, o.ownMute, sizeof ownMute) == 0 &&
           std::memcmp(&store, &o.store, sizeof store) == 0 &&
           std::memcmp(shadow, o.shadow, sizeof shadow) == 0;
}

void EditHistory::record(const ModelState &before, const ModelState &after, int key, int64_t nowMs)
{
    steps_.erase(steps_.begin() + index_, steps_.end());
    if (key != 0 && !steps_.empty()) {
        Step &last = steps_.back();
        if (last.key == key && nowMs - last.at < MERGE_MS) {
            last.after = after;
            last.at = nowMs;
            return;
        }
    }
    steps_.push_back(Step{before, after, key, nowMs});
    if (int(steps_.size()) > LIMIT) steps_.pop_front();
    index_ = int(steps_.size());
}

const ModelState *EditHistory::undo()
{
    if (!canUndo()) return nullptr;
    Step &s = steps_[size_t(--index_)];
    s.key = 0;  // a run never continues across an undo
    return &s.before;
}

const ModelState *EditHistory::redo()
{
    if (!canRedo()) return nullptr;
    return &steps_[size_t(index_++)].after;
}

void EditHistory::clear()
{
    steps_.clear();
    index_ = 0;
}
