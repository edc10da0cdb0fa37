#include "toolkit/Application.h"

namespace {
TApplication theApplication;
}

TApplication* Application = &theApplication;
