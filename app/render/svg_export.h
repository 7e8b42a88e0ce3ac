// The map's picture (map_picture.h) as SVG: the same connectors, boxes, captions and collapse
// markers, as vectors, with captions as text (UTF-8, escaped) broken into lines where the
// editor breaks them, measured in the working target's text style (the caller sets the
// editor's). Viewable in a browser; the fonts are named, the reader's own are used.
#pragma once

#include <string>

#include "app/model/mind_map.h"
#include "app/render/map_picture.h"

std::string writeMapSvg(const MindMap& map, const PictureArea& area);
