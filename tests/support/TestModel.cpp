// One session, language and model for a test executable, as a program entry builds them for its window.
#include "TestModel.h"

ProcessorSession &Session()
{
    static ProcessorSession session;
    return session;
}

Language &Lang()
{
    static Language language;
    return language;
}

TuningModel &Model()
{
    static TuningModel model(Session());
    return model;
}
