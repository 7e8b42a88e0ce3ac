// Attribute values the XML outline formats share.
#include "app/outline/outline_readers.h"

bool parseHexColour(std::string_view text, Colour& colour) {
    if (text.size() != 7 || text[0] != '#') return false;
    Colour rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        rgb = rgb << 4 | static_cast<Colour>(digit);
    }
    // The file says red, green, blue; a Colour holds red in its low byte.
    colour = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return true;
}

bool isTrueAttribute(std::string_view text) {
    if (text == "1") return true;
    if (text.size() != 4) return false;
    const char* expected = "true";
    for (std::size_t i = 0; i < 4; ++i) {
        if ((text[i] | 0x20) != expected[i]) return false;
    }
    return true;
}
