// gdi32 stand-in: declarations (types, constants, functions). Being written.
#pragma once
#include "win32_types.h"
