// Makes the README's screenshot: opens a small map in the real editor through its own open
// dialog, selects a node, hovers a panel button and writes the window's pixels to a PNG.
// Usage: mindmap_screenshot <out.png>   (needs an X display)
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/editor_session.h"

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

bool writePng(EditorSession& session, const std::string& path) {
    XImage* image =
        XGetImage(session.xDisplay(), session.window(), 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    cairo_surface_flush(surface);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < kWidth; ++x)
            row[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
    }
    cairo_surface_mark_dirty(surface);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    XDestroyImage(image);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: mindmap_screenshot <out.png>\n", stderr);
        return 2;
    }
    const std::string out = std::filesystem::absolute(argv[1]).string();
    const auto dir = std::filesystem::temp_directory_path() / ("mm_shot_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "plan.mind", std::ios::binary) << kMap;

    EditorSession session;
    bool ok = session.connected() && session.start(MM_EDITOR_PATH, dir.string()) &&
              session.waitForWindow(kPatience) && session.waitForFirstFrame(kPatience);
    if (ok) {
        session.tapWithControl(XK_o);
        ok = session.waitForColour(790, 225, 0xFFFFFF, kPatience);
    }
    if (ok) {
        session.typeAscii("plan.mind");
        ok = session.settle(kPatience);
        session.click(520, 290);
        ok = ok && session.waitForColour(733, 292, 0xB48246, kPatience);  // the root, selected
    }
    if (ok) {
        session.click(735, 440);  // 技术方案
        session.moveTo(100, 95);  // hover 添加子节点
        ok = session.waitForColour(733, 442, 0xB48246, kPatience) &&
             session.waitForColour(733, 292, 0xDCDCDC, kPatience) &&
             session.waitForColour(14, 112, 0x5AA25A, kPatience) && writePng(session, out);
    }
    session.tapKey(XK_Escape);
    session.waitForExit(kPatience);
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fputs("mindmap_screenshot: the editor did not reach the expected frame\n", stderr);
        return 1;
    }
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
