// The status bar: the selected node's caption, position (x from the panel's edge), and number
// of children, over everything else in the frame; or why the last save or open failed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/model/scene_layout.h"
#include "app/model/wrap_int32.h"
#include "app/render/palette.h"
#include "app/render/scene.h"
#include "graphics/graphics.h"

namespace {

constexpr int kBarHeight = 20;
constexpr int kTextInset = 10;                // the text keeps this far from the window's sides
constexpr std::size_t kStatusCapacity = 256;  // UTF-16 units, the terminating zero included

void appendNumber(std::u16string& out, std::int64_t value) {
    if (value < 0) out.push_back(u'-');
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char16_t digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) out.push_back(digits[--count]);
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The caption as a zero-terminated text shows it: up to its first zero unit (a caption read
// from a file may hold one).
std::u16string_view shownText(const std::u16string& text) {
    return std::u16string_view(text.c_str());
}

// What breaks a line where the status line is drawn: CR and LF (a CR LF pair is one break),
// and the other mandatory breaks the Linux text layout obeys.
bool breaksLine(char16_t unit) {
    return unit == u'\r' || unit == u'\n' || unit == u'\v' || unit == u'\f' || unit == u'\x85' ||
           unit == u'\x2028' || unit == u'\x2029';
}

}  // namespace

std::u16string oneLineCaption(std::u16string_view caption) {
    std::u16string line;
    line.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (!breaksLine(caption[i])) {
            line.push_back(caption[i]);
            continue;
        }
        if (caption[i] == u'\r' && i + 1 < caption.size() && caption[i + 1] == u'\n') ++i;
        line += kLineBreakMark;
    }
    return line;
}

std::u16string formatStatusLine(const MindMap& mindMap) {
    const Node* node = mindMap.selectedNode;
    std::u16string line = u"选中: ";
    // A caption's line breaks would end the line there and hide the rest of it.
    // Only the start of a long caption can show.
    line += node != nullptr ? oneLineCaption(shownText(node->text).substr(0, kStatusCapacity))
                            : std::u16string(u"无");
    line += u" | 位置: (";
    // The x is measured from the panel's edge, and wraps as every sum of positions does.
    appendNumber(line, node != nullptr ? wrapToInt32(std::int64_t{node->x} - mindMap.panelWidth) : 0);
    line += u", ";
    appendNumber(line, node != nullptr ? node->y : 0);
    line += u") | 子节点: ";
    appendNumber(line, node != nullptr ? static_cast<std::int64_t>(node->children.size()) : 0);
    line += u" | 按 H 显示帮助";

    const std::size_t limit = kStatusCapacity - 1;
    if (line.size() > limit) {
        std::size_t keep = limit;
        if (isHighSurrogate(line[keep - 1])) --keep;  // its low half would be cut off
        line.resize(keep);
    }
    return line;
}

void drawStatusBar(const MindMap& mindMap) {
    Gfx::setFillColor(palette::kStatusFill);
    Gfx::fillRectangle(0, kWindowHeight - kBarHeight, kWindowWidth, kWindowHeight);
    // A failed save or open says why here, in red, until the next command.
    const bool failure = !mindMap.fileFailure.empty();
    Gfx::setTextColor(failure ? palette::kFailureText : palette::kStatusText);
    const std::u16string statusText = failure ? mindMap.fileFailure : formatStatusLine(mindMap);
    RECT statusRect{kTextInset, kWindowHeight - kBarHeight, kWindowWidth - kTextInset, kWindowHeight};
    Gfx::drawTextInRect(statusText.c_str(), &statusRect, DT_VCENTER | DT_NOPREFIX);
}
