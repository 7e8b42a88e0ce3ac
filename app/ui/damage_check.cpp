#include "app/ui/damage_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/render/frame_damage.h"
#include "app/render/frame_start.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

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

void drawCheckedFramePart(MindMap& mindMap, const Damage& damage) {
    const FrameStart start(mindMap);
    drawFramePart(mindMap, damage.parts);
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
    const RECT& rect = damage.rect;
    std::fprintf(stderr,
                 "mindmap: a partial frame within (%ld,%ld)-(%ld,%ld) differs from the whole frame at "
                 "(%d,%d); both are "
                 "written as mindmap-damage-part.ppm and mindmap-damage-whole.ppm\n",
                 static_cast<long>(rect.left), static_cast<long>(rect.top), static_cast<long>(rect.right),
                 static_cast<long>(rect.bottom), static_cast<int>(at % static_cast<std::size_t>(width)),
                 static_cast<int>(at / static_cast<std::size_t>(width)));
    std::abort();
}
