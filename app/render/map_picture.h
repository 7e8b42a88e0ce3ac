// A picture of the map alone, as the editor draws it (connectors, boxes, captions, collapse
// markers, in the map's colours) but without the panel, the grid, the status bar or the
// selection: what export writes as PNG and, as vectors, as SVG (svg_export.h).
#pragma once

#include <cstdint>

#include "app/model/mind_map.h"

// Blank space around the drawn nodes on every side, in pixels.
inline constexpr int kPictureMargin = 20;
// Pictures larger than this on a side are refused: such a store alone takes a gigabyte.
inline constexpr std::int64_t kMaxPictureSide = 16384;

// The window-coordinate rectangle a picture shows: the boxes and collapse markers of every node
// that is drawn (collapsed subtrees are not), grown by kPictureMargin.
struct PictureArea {
    std::int64_t left;
    std::int64_t top;
    std::int64_t width;
    std::int64_t height;

    bool fitsLimit() const { return width <= kMaxPictureSide && height <= kMaxPictureSide; }
};

PictureArea mapPictureArea(const MindMap& map);

// Draws the picture into the working image, which must be area.width x area.height and carry
// the editor's text style: a white background, then the tree shifted so that the area's
// top-left corner is the image's.
void drawMapPicture(const MindMap& map, const PictureArea& area);
