// The system as the installer window's handlers see it.
#pragma once

#include "sys/System.h"

sys::System& AppSystem();
