// The tuning model the test suites edit, built on the program's parameter store.
#pragma once

#include "TuningModel.h"

TuningModel &Model();
