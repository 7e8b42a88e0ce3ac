#include "app/ui/clipboard_branch.h"

#include <algorithm>

#include "app/files/file_io.h"
#include "app/mapformat/map_file_format.h"
#include "app/outline/map_import.h"
#include "app/outline/outline_export.h"
#include "unicode/utf.h"

std::string branchMapLines(const Node& top) {
    return writeMapFile(top);
}

std::u16string branchOutlineText(const Node& top) {
    return unicode::fromUtf8(writeTextOutline(top));
}

std::unique_ptr<Node> branchFromMapLines(std::string_view mapLines) {
    if (mapLines.size() > kMaxFileBytes) return nullptr;
    return readMapFile(mapLines);
}

std::unique_ptr<Node> branchFromText(std::u16string_view text, std::string& error,
                                     const CaptionWidth& captionWidth) {
    // Counted before anything is built: a huge paste is refused without the memory it would take.
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) +
                              (text.empty() || text.back() == u'\n' ? 0 : 1);
    if (lines > kMaxPastedLines) {
        error = std::to_string(lines) + " lines, more than " + std::to_string(kMaxPastedLines);
        return nullptr;
    }
    const std::string bytes = unicode::toUtf8(text);
    if (bytes.size() > kMaxFileBytes) {
        error = "more than " + std::to_string(kMaxFileBytes >> 20) + " MiB of text";
        return nullptr;
    }
    return importOutline(bytes, OutlineFormat::Text, error, nullptr, captionWidth);
}
