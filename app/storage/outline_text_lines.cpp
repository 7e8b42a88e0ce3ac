#include "app/storage/outline_text_lines.h"

#include "unicode/utf.h"

bool outlineText(std::string_view bytes, std::string& storage, std::string_view& text, std::string& error) {
    const auto byteAt = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 &&
        ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const bool littleEndian = byteAt(0) == 0xFF;
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned first = byteAt(i);
            const unsigned second = byteAt(i + 1);
            units.push_back(static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second));
        }
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
