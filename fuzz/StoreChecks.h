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

// A corrected image in the processor's encoding, as a saved file holds it, passes the check, but for the
// fields the correction leaves alone.
inline void checkCorrectedImage(const uint8_t *image)
{
    static SceneCheck::Findings found;  // static: its memory is reused from run to run
    found.clear();
    SceneCheck::checkImage(image, 0, &found);
    for (const auto &f : found) FUZZ_CHECK(!correctedOnDownload(f.field));
}

// The same for a corrected store (host encoding) saved as a file.
inline void checkCorrectedStore(const ParamBlock &store)
{
    checkCorrectedImage(reinterpret_cast<const uint8_t *>(SceneFile::singleImage(store).constData()));
}
