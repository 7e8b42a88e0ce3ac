#include "bench/idle/frame_reading.h"

#include <algorithm>

int firstPixelOf(const std::vector<std::uint32_t>& row, std::uint32_t colour) {
    const auto found = std::find(row.begin(), row.end(), colour);
    return found == row.end() ? -1 : static_cast<int>(found - row.begin());
}

void MoveFrames::read(int edge, double atMs) {
    if (edge < 0 || edge == edge_) return;
    edge_ = edge;
    ++frames_;
    lastFrameMs_ = atMs;
}
