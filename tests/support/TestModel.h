// The processor session, language and tuning model the test suites edit, one of each per test executable.
#pragma once

#include "Language.h"
#include "ProcessorSession.h"
#include "TuningModel.h"

ProcessorSession &Session();
Language &Lang();
TuningModel &Model();
