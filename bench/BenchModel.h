// The processor session, language and tuning model a benchmark program edits, one of each.
#pragma once

#include "Language.h"
#include "ProcessorSession.h"
#include "TuningModel.h"

inline ProcessorSession &Session()
{
    static ProcessorSession session;
    return session;
}

inline Language &Lang()
{
    static Language language;
    return language;
}

inline TuningModel &Model()
{
    static TuningModel model(Session());
    return model;
}
