// Maps for the idle benchmark, written in the editor's own file format: captions all
// different, nodes spread over the canvas and beyond the window's right and bottom edges, or
// all packed into the canvas. Either way a lane across the canvas is kept clear of other
// nodes' boxes for the benchmark's own node, the root's last child: it is drawn last and found
// by a click, so the bench can select it, recolour it and drag it along the lane.
#pragma once

#include <string>

enum class IdleMapKind { Spread, InView };

// The bench's node and the lane it is dragged along, in map (= window, as opened) pixels.
inline constexpr int kLaneNodeX = 300;
inline constexpr int kLaneNodeY = 560;
inline constexpr int kLaneNodeWidth = 140;
inline constexpr int kLaneLeft = 260;
inline constexpr int kLaneRight = 1100;
inline constexpr int kLaneTop = 540;
inline constexpr int kLaneBottom = 630;

// True when a box of that place and size would reach into the lane.
bool reachesLane(int x, int y, int width, int height);

// Writes a map of nodeCount nodes (at least 2: the root and the lane's node) to path; false
// when it cannot be written.
bool writeIdleBenchMap(int nodeCount, const std::string& path, IdleMapKind kind = IdleMapKind::Spread);
