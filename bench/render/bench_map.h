// The benchmark's map: built with the editor's own commands, the same in every run and on
// every system, so frame times compare like with like.
#pragma once

#include <memory>

#include "app/model/mind_map.h"

// Selects a node by clicking it, adds a child, drags the child to a spot on the canvas;
// repeated until the map has nodeCount nodes. The last node added ends up selected.
std::unique_ptr<MindMap> buildBenchMap(int nodeCount);
