#include "app/outline/map_import.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "app/files/file_io.h"
#include "app/mapformat/map_file_format.h"
#include "app/outline/import_layout.h"
#include "app/outline/outline_readers.h"
#include "app/outline/outline_text_lines.h"
#include "unicode/utf.h"

namespace {
char16_t lowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool endsWithIgnoringCase(std::u16string_view text, std::u16string_view suffix) {
    if (text.size() < suffix.size()) return false;
    const std::u16string_view tail = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (lowerAscii(tail[i]) != suffix[i]) return false;
    }
    return true;
}

bool isLargerThanMapFileLimit(const std::u16string& path) try {
    std::error_code error;
    const auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    return !error && size > kMaxFileBytes;
} catch (const std::exception&) {  // a name with no form on this system
    return false;
}

// Why a file could not be read, as far as the file system tells.
std::string unreadableReason(const std::u16string& path) try {
    std::error_code error;
    const std::filesystem::path name(path);
    const auto status = std::filesystem::status(name, error);
    if (!std::filesystem::exists(status)) return "no such file";
    if (std::filesystem::is_directory(status)) return "it is a directory";
    if (!std::filesystem::is_regular_file(status)) return "it is not a regular file";
    if (isLargerThanMapFileLimit(path))
        return "it is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
    return "it cannot be read";
} catch (const std::exception&) {  // a name with no form on this system
    return "it cannot be read";
}

// The path for a one-line message: control characters show as '?'.
std::string quoted(const std::u16string& path) {
    std::string name = unicode::toUtf8(path);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    }
    return "'" + name + "'";
}
}  // namespace

bool outlineFormatForPath(std::u16string_view path, OutlineFormat& format) {
    static constexpr struct {
        std::u16string_view extension;
        OutlineFormat format;
    } kExtensions[] = {{u".opml", OutlineFormat::Opml},
                       {u".mm", OutlineFormat::FreeMind},
                       {u".md", OutlineFormat::Markdown},
                       {u".markdown", OutlineFormat::Markdown},
                       {u".txt", OutlineFormat::Text}};
    for (const auto& entry : kExtensions) {
        if (endsWithIgnoringCase(path, entry.extension)) {
            format = entry.format;
            return true;
        }
    }
    return false;
}

std::unique_ptr<Node> importOutline(std::string_view bytes, OutlineFormat format, std::string& error,
                                    ImportNotes* notes, const CaptionWidth& captionWidth) {
    std::unique_ptr<Node> root;
    switch (format) {
        case OutlineFormat::Opml:
            root = readOpmlOutline(bytes, error);
            break;
        case OutlineFormat::FreeMind:
            root = readFreeMindOutline(bytes, error);
            break;
        case OutlineFormat::Markdown:
            root = readMarkdownOutline(bytes, error);
            break;
        case OutlineFormat::Text:
            root = readTextOutline(bytes, error);
            break;
    }
    if (root == nullptr) return root;
    layoutImportedTree(*root, captionWidth);
    if (notes != nullptr && (format == OutlineFormat::Markdown || format == OutlineFormat::Text)) {
        notes->invalidSequences = invalidTextSequences(bytes, notes->utf16);
    }
    return root;
}

bool importMapFile(const std::u16string& inPath, const std::u16string& outPath, std::string& errorUtf8,
                   std::string* noticeUtf8, const CaptionWidth& captionWidth) {
    OutlineFormat format;
    if (!outlineFormatForPath(inPath, format)) {
        errorUtf8 = "cannot import " + quoted(inPath) + ": unknown format (use .opml, .mm, .md or .txt)";
        return false;
    }
    // Refused before reading: a huge file would be read whole only to be refused.
    std::string bytes;
    if (isLargerThanMapFileLimit(inPath) || !readFileBytes(inPath, bytes)) {
        errorUtf8 = "cannot read " + quoted(inPath) + ": " + unreadableReason(inPath);
        return false;
    }
    std::string why;
    ImportNotes notes;
    const std::unique_ptr<Node> root = importOutline(bytes, format, why, &notes, captionWidth);
    if (root == nullptr) {
        errorUtf8 = "cannot import " + quoted(inPath) + ": " + why;
        return false;
    }
    bytes.clear();
    bytes.shrink_to_fit();  // the input can be large; its memory is not needed for the output
    const FileResult written = replaceFileContents(outPath, writeMapFile(*root));
    if (!written) {
        errorUtf8 = "cannot write " + quoted(outPath) + ": " + written.reason;
        return false;
    }
    if (noticeUtf8 != nullptr) {
        noticeUtf8->clear();
        if (notes.invalidSequences > 0) {
            const std::size_t n = notes.invalidSequences;
            *noticeUtf8 = quoted(inPath) + ": " + std::to_string(n) + (n == 1 ? " sequence" : " sequences") +
                          " of invalid " + (notes.utf16 ? "UTF-16" : "UTF-8") + " read as U+FFFD";
        }
    }
    return true;
}
