// Makes the README's screenshot: opens a small map in the real editor through its own open
// dialog, selects a node, hovers a panel button and writes the window's pixels to a PNG.
// Usage: mindmap_screenshot <out.png>   (needs an X display)
#include <X11/keysym.h>
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/editor_session.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr int kWidth = 1380;
constexpr int kHeight = 750;

const char kMap[] =
    "\xEF\xBB\xBFnode: 730 250 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
    "  node: 420 400 140 45 180 220 180 0 0 0 0 \"产品规划\"\n"
    "    node: 320 530 140 45 220 220 220 0 0 0 0 \"用户调研\"\n"
    "    node: 500 530 140 45 220 220 220 0 0 0 0 \"竞品分析\"\n"
    "  node: 730 400 140 45 180 180 220 0 0 0 0 \"技术方案\"\n"
    "    node: 690 530 140 45 180 180 220 0 0 0 0 \"架构设计\"\n"
    "    node: 880 530 140 45 180 180 220 0 0 0 0 \"接口定义\"\n"
    "  node: 1060 400 140 45 220 220 220 0 0 0 1 \"时间安排\"\n"
    "    node: 1060 530 140 45 220 220 220 0 0 0 0 \"第一阶段\"\n"
    "    node: 1220 530 140 45 220 220 220 0 0 0 0 \"第二阶段\"\n";

using namespace mmtest;

bool writePng(EditorSession& session, const std::string& path) {
    // The X server's 0xRRGGBB is Cairo's RGB24 pixel as it is.
    const std::vector<std::uint32_t> pixels = session.x.pixels(session.window(), 0, 0, kWidth, kHeight);
    if (pixels.empty()) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    cairo_surface_flush(surface);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < kWidth; ++x) row[x] = pixels[static_cast<std::size_t>(y * kWidth + x)];
    }
    cairo_surface_mark_dirty(surface);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: mindmap_screenshot <out.png>\n", stderr);
        return 2;
    }
    const std::string out = std::filesystem::absolute(argv[1]).string();
    const ScratchDir scratch("mm_shot");
    const std::filesystem::path& dir = scratch.path();
    std::ofstream(dir / "plan.mind", std::ios::binary) << kMap;

    EditorSession session;
    bool ok = session.connected() && session.start(MM_EDITOR_PATH, dir.string()) &&
              session.waitForWindow(kEditorPatience) && session.waitForFirstFrame(kEditorPatience);
    if (ok) {
        session.tap(XK_o, {XK_Control_L});
        ok = session.enterPath("plan.mind", kEditorPatience) &&
             session.waitForColour(probeX(730), probeY(250), kSelected, kEditorPatience);  // the root
    }
    if (ok) {
        session.click(735, 440);  // 技术方案
        session.moveTo(100, 95);  // hover 添加子节点
        ok = session.waitForColour(probeX(730), probeY(400), kSelected, kEditorPatience) &&
             session.waitForColour(probeX(730), probeY(250), kDefaultFill, kEditorPatience) &&
             session.waitForColour(14, 112, 0x5AA25A, kEditorPatience) && writePng(session, out);
    }
    session.tap(XK_Escape);
    session.waitForExit(kEditorPatience);
    if (!ok) {
        std::fputs("mindmap_screenshot: the editor did not reach the expected frame\n", stderr);
        return 1;
    }
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
