// The check behind MINDMAP_CHECK_DAMAGE=1: each partial frame is followed by the whole frame
// of the same state, drawn from the same drawing state, and the two must be the same pixels.
#pragma once

#include <windows.h>

#include <string>

#include "app/model/mind_map.h"

// Draws the partial frame, then the whole one over it; when they differ anywhere, writes both
// (as PPM images, named after the pass) and ends the program.
struct Damage;
void drawCheckedFramePart(MindMap& mindMap, const Damage& damage);

// Writes the working target's pixels as a binary PPM image; false when it could not.
bool writeFramePicture(const std::string& path);
