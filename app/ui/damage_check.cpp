#include "app/ui/damage_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/render/frame_damage.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

// Everything a frame reads of the device's drawing state, and the overlays' caret counters,
// so that a second frame can start where the first one did.
class FrameStart {
  public:
    explicit FrameStart(const MindMap& m)
        : line_(Gfx::getLineColor()),
          fill_(Gfx::getFillColor()),
          text_(Gfx::getTextColor()),
          background_(Gfx::getBackgroundColor()),
          mode_(Gfx::getBackgroundMode()),
          rop2_(Gfx::getRop2()),
          polyFill_(Gfx::getPolyFillMode()),
          edit_(m.editCaretCounter),
          path_(m.pathCaretCounter),
          find_(m.find.caretCounter) {
        Gfx::getLineStyle(&lineStyle_);
        Gfx::getFillStyle(&fillStyle_);
        Gfx::getTextStyle(&font_);
    }
    void restore(MindMap& m) const {
        Gfx::setLineStyle(&lineStyle_);
        Gfx::setFillStyle(&fillStyle_);
        Gfx::setTextStyle(&font_);
        Gfx::setLineColor(line_);
        Gfx::setFillColor(fill_);
        Gfx::setTextColor(text_);
        Gfx::setBackgroundColor(background_);
        Gfx::setBackgroundMode(mode_);
        Gfx::setRop2(rop2_);
        Gfx::setPolyFillMode(polyFill_);
        m.editCaretCounter = edit_;
        m.pathCaretCounter = path_;
        m.find.caretCounter = find_;
    }

  private:
    COLORREF line_, fill_, text_, background_;
    int mode_, rop2_, polyFill_;
    std::int32_t edit_, path_, find_;
    Gfx::LINESTYLE lineStyle_;
    Gfx::FILLSTYLE fillStyle_;
    LOGFONTW font_{};
};

std::vector<DWORD> framePixels() {
    const DWORD* pixels = Gfx::getImageBuffer(Gfx::getWorkingImage());
    const std::size_t count =
        static_cast<std::size_t>(Gfx::getWidth()) * static_cast<std::size_t>(Gfx::getHeight());
    return pixels != nullptr ? std::vector<DWORD>(pixels, pixels + count) : std::vector<DWORD>{};
}

bool writePixels(const std::string& path, const std::vector<DWORD>& pixels, int width, int height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        for (int x = 0; x < width; ++x) {
            const DWORD p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x)];
            row[static_cast<std::size_t>(x) * 3] = static_cast<unsigned char>((p >> 16) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>((p >> 8) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<unsigned char>(p & 0xFF);
        }
        ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace

bool writeFramePicture(const std::string& path) {
    return writePixels(path, framePixels(), Gfx::getWidth(), Gfx::getHeight());
}

void drawCheckedFramePart(MindMap& mindMap, const RECT& rect) {
    const FrameStart start(mindMap);
    drawFramePart(mindMap, rect);
    const std::vector<DWORD> part = framePixels();
    start.restore(mindMap);
    mindMap.drawFrame();
    const std::vector<DWORD> whole = framePixels();
    if (part == whole) return;
    std::size_t at = 0;
    while (part[at] == whole[at]) ++at;
    const int width = Gfx::getWidth();
    writePixels("mindmap-damage-part.ppm", part, width, Gfx::getHeight());
    writePixels("mindmap-damage-whole.ppm", whole, width, Gfx::getHeight());
    std::fprintf(
        stderr,
        "mindmap: a partial frame (%ld,%ld)-(%ld,%ld) differs from the whole frame at (%d,%d); both are "
        "written as mindmap-damage-part.ppm and mindmap-damage-whole.ppm\n",
        static_cast<long>(rect.left), static_cast<long>(rect.top), static_cast<long>(rect.right),
        static_cast<long>(rect.bottom), static_cast<int>(at % static_cast<std::size_t>(width)),
        static_cast<int>(at / static_cast<std::size_t>(width)));
    std::abort();
}
