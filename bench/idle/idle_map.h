// Maps for the idle benchmark, written in the editor's own file format: captions all
// different, nodes spread over the canvas and beyond the window's right and bottom edges.
#pragma once

#include <string>

// Writes a map of nodeCount nodes (at least 1) to path; false when it cannot be written.
bool writeIdleBenchMap(int nodeCount, const std::string& path);
