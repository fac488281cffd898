// The tuning model the benchmarks edit, built on the program's parameter store.
#pragma once

#include "ParamStore.h"
#include "TuningModel.h"

inline TuningModel &Model()
{
    static TuningModel model(ParamStore);
    return model;
}
