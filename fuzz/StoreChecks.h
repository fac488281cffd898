// The store after a download's correction, checked with the plausibility check of scene files.
#pragma once

#include "FuzzInput.h"
#include "ParamStore.h"
#include "SceneCheck.h"
#include "SceneFile.h"

// The fields a download's correction brings into range (it leaves the names and the bypass flags alone).
inline bool correctedOnDownload(SceneCheck::Field f)
{
    using F = SceneCheck::Field;
    return f != F::ChName && f != F::EqBypass && f != F::HpfBypass && f != F::LpfBypass;
}

// A corrected store (host encoding) saved as a file passes the check, but for the fields the correction
// leaves alone.
inline void checkCorrectedStore(const ParamBlock &store)
{
    static SceneCheck::Findings found;  // static: its memory is reused from run to run
    found.clear();
    SceneCheck::checkImage(reinterpret_cast<const uint8_t *>(SceneFile::singleImage(store).constData()), 0, &found);
    for (const auto &f : found) FUZZ_CHECK(!correctedOnDownload(f.field));
}
