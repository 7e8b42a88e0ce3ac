// The benchmarks' maps, the same in every run and on every system, so frame times compare like
// with like.
#pragma once

#include <memory>

#include "app/model/mind_map.h"

// Selects a node by clicking it, adds a child, drags the child to a spot on the canvas;
// repeated until the map has nodeCount nodes. The last node added ends up selected.
std::unique_ptr<MindMap> buildBenchMap(int nodeCount);

// A map as a person makes one: every caption different (Chinese, Latin and mixed, 2 to 20
// characters, boxes fitted to them), nodes spread over the canvas and a share of them beyond
// every edge of the window, a few recoloured, some subtrees collapsed. Captions are measured in
// the text style in force, so the editor's style should be applied first.
std::unique_ptr<MindMap> buildRealisticMap(int nodeCount);
