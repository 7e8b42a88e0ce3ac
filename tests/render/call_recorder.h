// A drawing device that writes down every graphics call the editor makes, with its arguments,
// and still draws it on the off-screen target. Calls a device operation makes of another one
// internally are not written down: only what the editor asked for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "graphics/draw_on_img.h"
#include "graphics/library_state.h"

namespace test_render {

// UTF-8 of a UTF-16 text, so that failures print readable captions.
inline std::string utf8(const char16_t* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        std::uint32_t c = *text;
        if (c >= 0xD800 && c <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00);
            ++text;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

inline std::string hex(std::uint32_t colour) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%06X", static_cast<unsigned>(colour));
    return buffer;
}

inline std::string numbers(std::initializer_list<long long> values) {
    std::string out;
    for (long long v : values) {
        out += ' ';
        out += std::to_string(v);
    }
    return out;
}

class CallRecorder : public Gfx::DrawOnImg {
  public:
    // Takes the place of the image device for the current working image.
    void install() {
        previous = Gfx::library.currentDevice;
        Gfx::library.currentDevice = this;
    }
    void uninstall() {
        if (previous != nullptr) Gfx::library.currentDevice = previous;
        previous = nullptr;
    }

    std::vector<std::string> calls;

    void clearDevice() override {
        Scope s(*this, "clearDevice");
        DrawOnImg::clearDevice();
    }
    void setLineColor(COLORREF c) override {
        Scope s(*this, "setLineColor " + hex(c));
        DrawOnImg::setLineColor(c);
    }
    void setTextColor(COLORREF c) override {
        Scope s(*this, "setTextColor " + hex(c));
        DrawOnImg::setTextColor(c);
    }
    void setBackgroundColor(COLORREF c) override {
        Scope s(*this, "setBackgroundColor " + hex(c));
        DrawOnImg::setBackgroundColor(c);
    }
    void setBackgroundMode(int mode) override {
        Scope s(*this, "setBackgroundMode" + numbers({mode}));
        DrawOnImg::setBackgroundMode(mode);
    }
    void setFillColor(COLORREF c) override {
        Scope s(*this, "setFillColor " + hex(c));
        DrawOnImg::setFillColor(c);
    }
    void setLineStyle(int style, int thickness, const DWORD* pattern, DWORD count) override {
        Scope s(*this, "setLineStyle" + numbers({style, thickness, pattern == nullptr ? 0 : 1, count}));
        DrawOnImg::setLineStyle(style, thickness, pattern, count);
    }
    void setLineStyle(const Gfx::LINESTYLE* style) override {
        Scope s(*this, "setLineStyle(record)");
        DrawOnImg::setLineStyle(style);
    }
    void setFillStyle(int style, int hatch, Gfx::IMAGE* pattern) override {
        Scope s(*this, "setFillStyle" + numbers({style, hatch}));
        DrawOnImg::setFillStyle(style, hatch, pattern);
    }
    void setTextStyle(const LOGFONTW* font) override {
        Scope s(*this, "setTextStyle");
        DrawOnImg::setTextStyle(font);
    }
    void drawLine(int x1, int y1, int x2, int y2) override {
        Scope s(*this, "drawLine" + numbers({x1, y1, x2, y2}));
        DrawOnImg::drawLine(x1, y1, x2, y2);
    }
    void drawRectangle(int l, int t, int r, int b) override {
        Scope s(*this, "drawRectangle" + numbers({l, t, r, b}));
        DrawOnImg::drawRectangle(l, t, r, b);
    }
    void fillRectangle(int l, int t, int r, int b) override {
        Scope s(*this, "fillRectangle" + numbers({l, t, r, b}));
        DrawOnImg::fillRectangle(l, t, r, b);
    }
    void solidRectangle(int l, int t, int r, int b) override {
        Scope s(*this, "solidRectangle" + numbers({l, t, r, b}));
        DrawOnImg::solidRectangle(l, t, r, b);
    }
    void drawRoundRect(int l, int t, int r, int b, int w, int h) override {
        Scope s(*this, "drawRoundRect" + numbers({l, t, r, b, w, h}));
        DrawOnImg::drawRoundRect(l, t, r, b, w, h);
    }
    void fillRoundRect(int l, int t, int r, int b, int w, int h) override {
        Scope s(*this, "fillRoundRect" + numbers({l, t, r, b, w, h}));
        DrawOnImg::fillRoundRect(l, t, r, b, w, h);
    }
    void solidRoundRect(int l, int t, int r, int b, int w, int h) override {
        Scope s(*this, "solidRoundRect" + numbers({l, t, r, b, w, h}));
        DrawOnImg::solidRoundRect(l, t, r, b, w, h);
    }
    void drawTextAt(int x, int y, const char16_t* text) override {
        Scope s(*this, "drawTextAt" + numbers({x, y}) + " " + utf8(text));
        DrawOnImg::drawTextAt(x, y, text);
    }
    int drawTextInRect(const char16_t* text, RECT* rect, UINT format) override {
        Scope s(*this, "drawTextInRect" +
                           numbers({rect->left, rect->top, rect->right, rect->bottom, format}) + " [" +
                           utf8(text) + "]");
        return DrawOnImg::drawTextInRect(text, rect, format);
    }
    int getTextWidth(const char16_t* text) override {
        Scope s(*this, "getTextWidth [" + utf8(text) + "]");
        return DrawOnImg::getTextWidth(text);
    }

  private:
    // Writes the call down only when it does not come from inside another recorded call.
    class Scope {
      public:
        Scope(CallRecorder& recorder, std::string call) : owner(recorder) {
            if (owner.depth++ == 0) owner.calls.push_back(std::move(call));
        }
        ~Scope() { --owner.depth; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        CallRecorder& owner;
    };

    int depth = 0;
    Gfx::DrawOnImg* previous = nullptr;
};

}  // namespace test_render
