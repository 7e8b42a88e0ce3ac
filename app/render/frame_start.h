// What a frame starts from: the device's drawing state, which it reads (the panel's outline
// takes the line colour of the moment) and changes, and the overlays' caret counters, which it
// advances. A frame drawn in several parts starts each part from here again.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/model/mind_map.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

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
