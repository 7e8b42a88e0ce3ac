#include "app/render/svg_export.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/model/scene_layout.h"
#include "app/render/palette.h"
#include "graphics/graphics.h"
#include "unicode/utf.h"

namespace {

constexpr int kTextInset = 5;        // as the frame draws captions
constexpr double kEmPerLine = 0.69;  // the face's em against its line height (ascent + descent)
constexpr double kBaselinePerLine = 0.8;

void appendNumber(std::string& out, std::int64_t value) {
    out += std::to_string(value);
}

void appendColour(std::string& out, Colour colour) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out.push_back('#');
    for (int shift : {0, 8, 16}) {
        const unsigned component = (colour >> shift) & 0xFFu;
        out.push_back(kDigits[component >> 4]);
        out.push_back(kDigits[component & 0xFu]);
    }
}

// Text content: & < > as entities; characters XML cannot hold as U+FFFD.
void appendEscaped(std::string& out, std::u16string_view text) {
    std::size_t runStart = 0;
    const auto flush = [&](std::size_t end) {
        unicode::appendUtf8(out, text.substr(runStart, end - runStart));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const char* entity = nullptr;
        if (c == u'&') {
            entity = "&amp;";
        } else if (c == u'<') {
            entity = "&lt;";
        } else if (c == u'>') {
            entity = "&gt;";
        } else if ((c < 0x20 && c != u'\t') || c == 0xFFFE || c == 0xFFFF) {
            entity = "\xEF\xBF\xBD";
        }
        if (entity == nullptr) continue;
        flush(i);
        out += entity;
        runStart = i + 1;
    }
    flush(text.size());
}

// A line may break after a space and around ideographs, as the editor's text layout does.
bool breaksAfter(std::u16string_view text, std::size_t i) {
    if (text[i] == u' ') return i + 1 < text.size() && text[i + 1] != u' ';
    const auto wide = [](char16_t c) { return c >= 0x2E80 && !(c >= 0xD800 && c <= 0xDFFF); };
    return wide(text[i]) || (i + 1 < text.size() && wide(text[i + 1]));
}

std::u16string_view trimmedEnd(std::u16string_view line) {
    while (!line.empty() && line.back() == u' ') line.remove_suffix(1);
    return line;
}

int measure(std::u16string_view text) {
    const std::u16string copy(text);
    return Gfx::getTextWidth(copy.c_str());
}

// The caption's lines within maxWidth: its own line breaks, then breaks where a line would
// grow too wide. A word wider than the box stays whole (the box clips it).
std::vector<std::u16string_view> captionLines(std::u16string_view text, int maxWidth) {
    std::vector<std::u16string_view> lines;
    std::size_t paragraphStart = 0;
    while (paragraphStart <= text.size()) {
        std::size_t end = text.find(u'\n', paragraphStart);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view paragraph = text.substr(paragraphStart, end - paragraphStart);
        if (!paragraph.empty() && paragraph.back() == u'\r') paragraph.remove_suffix(1);
        std::size_t lineStart = 0;
        std::size_t lastFit = 0;  // end of the longest piece known to fit
        for (std::size_t i = 0; i < paragraph.size(); ++i) {
            if (!breaksAfter(paragraph, i) && i + 1 != paragraph.size()) continue;
            const std::u16string_view candidate = paragraph.substr(lineStart, i + 1 - lineStart);
            if (lastFit > lineStart && measure(trimmedEnd(candidate)) > maxWidth) {
                lines.push_back(trimmedEnd(paragraph.substr(lineStart, lastFit - lineStart)));
                lineStart = lastFit;
                while (lineStart < paragraph.size() && paragraph[lineStart] == u' ') ++lineStart;
            }
            lastFit = i + 1;
        }
        lines.push_back(trimmedEnd(paragraph.substr(lineStart)));
        paragraphStart = end + 1;
    }
    return lines;
}

class SvgWriter {
  public:
    SvgWriter(const PictureArea& area, int lineHeight) : area_(area), lineHeight_(lineHeight) {}

    std::string& out() { return out_; }

    void line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
        out_ += "<line x1=\"";
        appendX(x1);
        out_ += "\" y1=\"";
        appendY(y1);
        out_ += "\" x2=\"";
        appendX(x2);
        out_ += "\" y2=\"";
        appendY(y2);
        out_ += "\" class=\"c\"/>\n";
    }

    void box(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const char* radius, Colour fill,
             const char* styleClass) {
        out_ += "<rect x=\"";
        appendX(x);
        out_ += "\" y=\"";
        appendY(y);
        out_ += "\" width=\"";
        appendNumber(out_, w);
        out_ += "\" height=\"";
        appendNumber(out_, h);
        out_ += "\" rx=\"";
        out_ += radius;
        out_ += "\" fill=\"";
        appendColour(out_, fill);
        out_ += "\" class=\"";
        out_ += styleClass;
        out_ += "\"/>\n";
    }

    // Lines from the rectangle's top, centred; clipped to it when they do not fit.
    void text(const std::vector<std::u16string_view>& lines, const WideRect& rect, Colour colour, bool fits) {
        const std::int64_t centre = (rect.left + rect.right) / 2;
        if (!fits) {
            out_ += "<clipPath id=\"k";
            appendNumber(out_, ++clipCount_);
            out_ += "\"><rect x=\"";
            appendX(rect.left);
            out_ += "\" y=\"";
            appendY(rect.top);
            out_ += "\" width=\"";
            appendNumber(out_, rect.right - rect.left);
            out_ += "\" height=\"";
            appendNumber(out_, rect.bottom - rect.top);
            out_ += "\"/></clipPath>\n";
        }
        out_ += "<text x=\"";
        appendX(centre);
        out_ += "\" y=\"";
        appendY(rect.top);
        out_ += "\" fill=\"";
        appendColour(out_, colour);
        out_ += '"';
        if (!fits) {
            out_ += " clip-path=\"url(#k";
            appendNumber(out_, clipCount_);
            out_ += ")\"";
        }
        out_ += '>';
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out_ += "<tspan x=\"";
            appendX(centre);
            out_ += "\" dy=\"";
            // The first line's baseline sits one ascent below the top; each further one a line lower.
            out_ +=
                std::to_string(i == 0 ? static_cast<int>(lineHeight_ * kBaselinePerLine + 0.5) : lineHeight_);
            out_ += "\">";
            appendEscaped(out_, lines[i]);
            out_ += "</tspan>";
        }
        out_ += "</text>\n";
    }

  private:
    void appendX(std::int64_t x) { appendNumber(out_, x - area_.left); }
    void appendY(std::int64_t y) { appendNumber(out_, y - area_.top); }

    PictureArea area_;
    int lineHeight_;
    std::string out_;
    std::int64_t clipCount_ = 0;
};

}  // namespace

std::string writeMapSvg(const MindMap& map, const PictureArea& area) {
    const int lineHeight = std::max(1, Gfx::getTextHeight(u"中"));
    SvgWriter svg(area, lineHeight);
    std::string& out = svg.out();
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    appendNumber(out, area.width);
    out += "\" height=\"";
    appendNumber(out, area.height);
    out += "\" viewBox=\"0 0 ";
    appendNumber(out, area.width);
    out += ' ';
    appendNumber(out, area.height);
    out += "\">\n<style>.c{stroke:";
    appendColour(out, palette::kConnector);
    out += ";stroke-width:2}.n{stroke:";
    appendColour(out, palette::kOutline);
    const bool wide = map.root != nullptr && !map.root->collapsed && !map.root->children.empty();
    out += wide ? ";stroke-width:2}" : ";stroke-width:1}";
    out += ".m{stroke:";
    appendColour(out, palette::kOutline);
    out += wide ? ";stroke-width:2}" : ";stroke-width:1}";
    out +=
        "text{font-family:'Microsoft YaHei','微软雅黑','Noto Sans CJK SC','WenQuanYi Micro Hei',sans-serif;"
        "font-size:";
    out += std::to_string(static_cast<int>(lineHeight * kEmPerLine + 0.5));
    out += "px;text-anchor:middle;white-space:pre}</style>\n<rect width=\"100%\" height=\"100%\" fill=\"";
    appendColour(out, palette::kBackground);
    out += "\"/>\n";

    std::vector<const Node*> pending;
    if (map.root != nullptr) pending.push_back(map.root);
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        const Node* parent = n->parent;
        if (parent != nullptr && !parent->collapsed) {
            svg.line(std::int64_t{parent->x} + parent->width / 2, std::int64_t{parent->y} + parent->height,
                     std::int64_t{n->x} + n->width / 2, n->y);
        }
        svg.box(n->x, n->y, n->width, n->height, "2.5", n->fillColor, "n");
        const WideRect textRect{std::int64_t{n->x} + kTextInset, n->y,
                                std::int64_t{n->x} + n->width - kTextInset, std::int64_t{n->y} + n->height};
        const int maxWidth = static_cast<int>(std::max<std::int64_t>(textRect.right - textRect.left, 1));
        const std::vector<std::u16string_view> lines = captionLines(n->text, maxWidth);
        bool fits = static_cast<std::int64_t>(lines.size()) * lineHeight <= n->height;
        for (std::size_t i = 0; fits && i < lines.size(); ++i) fits = measure(lines[i]) <= maxWidth;
        svg.text(lines, textRect, n->textColor, fits);
        if (!n->children.empty()) {
            const WideRect marker = collapseMarkerBox(n->x, n->y, n->width);
            svg.box(marker.left, marker.top, marker.right - marker.left, marker.bottom - marker.top, "1.5",
                    palette::kMarkerFill, "m");
            svg.text({n->collapsed ? std::u16string_view(u"+") : std::u16string_view(u"-")}, marker,
                     palette::kMarkerText, true);
        }
        if (!n->collapsed) {
            for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) pending.push_back(*it);
        }
    }
    out += "</svg>\n";
    return out;
}
