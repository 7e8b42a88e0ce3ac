// Positions and sizes read from a file may lie anywhere in the 32-bit range, so sums of them
// may not fit. The editor computes such a sum in 64 bits and keeps its low 32 bits: it wraps
// around as the platform's own coordinate arithmetic does, and never overflows.
#pragma once

#include <cstdint>

// `value` wrapped to 32 bits, two's complement: value modulo 2^32 in [-2^31, 2^31).
constexpr std::int32_t wrapToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}
