// kernel32 stand-in: declarations. Being written.
#pragma once
#include "win32_types.h"
