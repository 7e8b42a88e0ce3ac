// How wide a node's box is for its caption: the caption's measured width plus padding, kept
// between kMinNodeWidth and kMaxNodeWidth. The caption editor refits a box with it after each
// edit, and an imported map's boxes get it from the start.
#pragma once

#include <cstdint>

inline constexpr int kNodeCaptionPadding = 40;
inline constexpr int kMinNodeWidth = 120;
inline constexpr int kMaxNodeWidth = 300;

// captionWidth is 64 bits: a caption read from a file may measure close to the largest int.
constexpr std::int32_t fittedNodeWidth(std::int64_t captionWidth) {
    const std::int64_t width = captionWidth + kNodeCaptionPadding;
    if (width >= kMaxNodeWidth) return kMaxNodeWidth;
    if (width < kMinNodeWidth) return kMinNodeWidth;
    return static_cast<std::int32_t>(width);
}
