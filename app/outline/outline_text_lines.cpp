#include "app/outline/outline_text_lines.h"

#include <cstdint>

#include "unicode/utf.h"

namespace {
bool hasUtf16Mark(std::string_view bytes) {
    return bytes.size() >= 2 &&
           ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

// Counts what unicode::fromUtf8 replaces: each ill-formed sequence (its longest prefix that
// could still begin a character, or one byte) once.
std::size_t invalidUtf8(std::string_view bytes) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[i++]);
        if (lead < 0x80) continue;
        int need = 0;
        std::uint8_t low = 0x80;
        std::uint8_t high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            ++count;
            continue;
        }
        for (; need > 0; --need, ++i) {
            const auto next = i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0;
            if (i >= bytes.size() || next < low || next > high) {
                ++count;
                break;
            }
            low = 0x80;
            high = 0xBF;
        }
    }
    return count;
}

std::size_t invalidUtf16(std::string_view units, bool littleEndian) {
    const auto unitAt = [&](std::size_t i) {
        const unsigned first = static_cast<unsigned char>(units[i]);
        const unsigned second = static_cast<unsigned char>(units[i + 1]);
        return littleEndian ? first | second << 8 : first << 8 | second;
    };
    std::size_t count = units.size() % 2;
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const unsigned unit = unitAt(i);
        if (unicode::isHighSurrogate(unit) && i + 3 < units.size() &&
            unicode::isLowSurrogate(unitAt(i + 2))) {
            i += 2;
        } else if (unicode::isHighSurrogate(unit) || unicode::isLowSurrogate(unit)) {
            ++count;
        }
    }
    return count;
}
}  // namespace

bool outlineText(std::string_view bytes, std::string& storage, std::string_view& text, std::string& error) {
    const auto byteAt = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (hasUtf16Mark(bytes)) {
        const bool littleEndian = byteAt(0) == 0xFF;
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned first = byteAt(i);
            const unsigned second = byteAt(i + 1);
            units.push_back(static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second));
        }
        if (bytes.size() % 2 != 0) units.push_back(static_cast<char16_t>(unicode::kReplacement));
        storage.clear();
        unicode::appendUtf8(storage, units);
        text = storage;
    } else {
        text = bytes;
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    }
    if (text.find('\0') != std::string_view::npos) {
        error = "the file holds NUL bytes: it is not a text outline";
        return false;
    }
    return true;
}

std::string lineError(std::size_t lineNumber, const std::string& why) {
    return "line " + std::to_string(lineNumber) + ": " + why;
}

std::size_t invalidTextSequences(std::string_view bytes, bool& utf16) {
    utf16 = hasUtf16Mark(bytes);
    if (utf16) return invalidUtf16(bytes.substr(2), bytes[0] == '\xFF');
    return invalidUtf8(bytes);
}
