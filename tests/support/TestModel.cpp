// One model for a test executable, as the program entries build one for the window.
#include "TestModel.h"

#include "ParamStore.h"

TuningModel &Model()
{
    static TuningModel model(ParamStore);
    return model;
}
