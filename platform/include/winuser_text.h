// DrawTextW (user32) and its flags. Being written.
#pragma once
#include "win32_types.h"
