// Colours are 32-bit 0x00BBGGRR values (red in the low byte), the platform's COLORREF layout.
#pragma once

#include <cstdint>

using Colour = std::uint32_t;
