// Frames of the real editor told apart by reading its window's pixels.
#pragma once

#include <cstdint>
#include <vector>

// Index of the first pixel of that colour in a row, or -1.
int firstPixelOf(const std::vector<std::uint32_t>& row, std::uint32_t colour);

// Counts the frames of a drag from successive readings of where the dragged box's left edge
// shows: a reading that differs from the one before is a new frame (frames come at least a
// pass pause apart, so readings a millisecond or two apart see each one).
class MoveFrames {
  public:
    explicit MoveFrames(int startEdge) : edge_(startEdge) {}
    // A reading at a time in ms; -1 (the box not found) is no frame.
    void read(int edge, double atMs);
    int frames() const { return frames_; }
    int edge() const { return edge_; }
    double lastFrameMs() const { return lastFrameMs_; }

  private:
    int edge_;
    int frames_ = 0;
    double lastFrameMs_ = 0;
};
