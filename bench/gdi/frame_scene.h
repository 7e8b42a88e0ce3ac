// One frame of the kind the editor draws (1380 x 750: two clears, the panel with its title and
// ten buttons, 96 grid lines, N nodes with connectors, boxes, captions and markers, and the
// status line), issued as the gdi32 and DrawTextW calls the graphics layer makes for it. The
// same source builds against the Linux stand-in and, with MinGW-w64, against Windows' GDI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/model/scene_layout.h"

namespace frame_bench {

struct SceneNode {
    int x, y, width, height, parent;
    bool hasChildren;
    COLORREF fill;
    const WCHAR* text;
};

class Scene {
  public:
    Scene(int nodeCount, HDC dc, std::uint32_t* pixels);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void drawFrame();

  private:
    void setLineColor(COLORREF color);
    void setFillColor(COLORREF color);
    void fillRoundRect(int l, int t, int r, int b, int ew, int eh);
    void drawRoundRect(int l, int t, int r, int b, int ew, int eh);
    void drawText(const WCHAR* text, int l, int t, int r, int b, UINT flags);
    void clear(COLORREF color);
    void replacePen(HPEN pen);
    void replaceBrush(HBRUSH brush);

    HDC dc_;
    std::uint32_t* pixels_;
    std::vector<SceneNode> nodes_;
    COLORREF lineColor_ = RGB(255, 255, 255);
    COLORREF fillColor_ = RGB(255, 255, 255);
    COLORREF background_ = RGB(0, 0, 0);
    int thickness_ = 1;
};

constexpr int kWidth = kWindowWidth;
constexpr int kHeight = kWindowHeight;

}  // namespace frame_bench
