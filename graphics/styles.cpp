// LINESTYLE and FILLSTYLE: defaults, copying (deep only where the style uses the pattern)
// and release of what they own.
#include <algorithm>

#include "graphics/image.h"

namespace Gfx {

namespace {

bool isUserStyle(int style) {
    return (style & PS_STYLE_MASK) == PS_USERSTYLE;
}

bool isPatternStyle(int style) {
    return style == BS_PATTERN || style == BS_DIBPATTERN;
}

}  // namespace

LINESTYLE::LINESTYLE() : style(PS_SOLID), thickness(1), userPattern(nullptr), patternCount(0) {}

LINESTYLE::LINESTYLE(const LINESTYLE& other) : LINESTYLE() {
    *this = other;
}

LINESTYLE& LINESTYLE::operator=(const LINESTYLE& other) {
    if (this == &other) return *this;
    DWORD* copy = nullptr;
    DWORD count = 0;
    if (isUserStyle(other.style) && other.userPattern != nullptr && other.patternCount != 0) {
        copy = new DWORD[other.patternCount];
        std::copy(other.userPattern, other.userPattern + other.patternCount, copy);
        count = other.patternCount;
    }
    delete[] userPattern;
    style = other.style;
    thickness = other.thickness;
    userPattern = copy;
    patternCount = count;
    return *this;
}

LINESTYLE::~LINESTYLE() {
    delete[] userPattern;
}

FILLSTYLE::FILLSTYLE() : style(BS_SOLID), hatch(0), patternImage(nullptr) {}

FILLSTYLE::FILLSTYLE(const FILLSTYLE& other) : FILLSTYLE() {
    *this = other;
}

FILLSTYLE& FILLSTYLE::operator=(const FILLSTYLE& other) {
    if (this == &other) return *this;
    style = other.style;
    hatch = other.hatch;
    if (isPatternStyle(other.style) && other.patternImage != nullptr) {
        if (patternImage == nullptr) patternImage = new IMAGE();
        *patternImage = *other.patternImage;
    } else {
        delete patternImage;
        patternImage = nullptr;
    }
    return *this;
}

FILLSTYLE::~FILLSTYLE() {
    delete patternImage;
}

}  // namespace Gfx
