// The system clipboard through Win32's calls, on Windows and the Linux stand-in alike. The map
// lines go under a format registered by name, the outline as CF_UNICODETEXT (with CR LF line
// ends, as Windows programs expect them).
#include <windows.h>

#include <cstring>

#include "app/ui/clipboard.h"
#include "graphics/graphics.h"

namespace {
UINT branchFormat() {
    static const UINT format = RegisterClipboardFormatW(reinterpret_cast<LPCWSTR>(u"MindMap.Branch"));
    return format;
}

// A movable global block holding size bytes of data, or null.
HGLOBAL globalCopy(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size == 0 ? 1 : size);
    if (block == nullptr) return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    if (size > 0) std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

// Hands the block to the clipboard, which owns it on success.
bool setData(UINT format, HGLOBAL block) {
    if (block == nullptr) return false;
    if (SetClipboardData(format, block) != nullptr) return true;
    GlobalFree(block);
    return false;
}

std::u16string withCrLf(const std::u16string& text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 8);
    for (char16_t c : text) {
        if (c == u'\n') out.push_back(u'\r');
        out.push_back(c);
    }
    return out;
}

// The bytes of a block the clipboard holds; false when there is none.
bool blockBytes(HANDLE block, std::string& bytes) {
    if (block == nullptr) return false;
    const SIZE_T size = GlobalSize(block);
    const void* data = GlobalLock(block);
    if (data == nullptr) return false;
    bytes.assign(static_cast<const char*>(data), size);
    GlobalUnlock(block);
    return true;
}

// Another program (or the system, taking in what another program copied) may hold the
// clipboard open for a moment: ask again for up to half a second.
bool openClipboard() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(Gfx::getWindowHandle())) return true;
        Sleep(10);
    }
    return false;
}

class SystemClipboard final : public Clipboard {
  public:
    bool put(const std::string& mapLines, const std::u16string& text) override {
        if (!openClipboard()) return false;
        bool ok = EmptyClipboard() != FALSE;
        const std::u16string windowsText = withCrLf(text);
        ok = ok && setData(branchFormat(), globalCopy(mapLines.data(), mapLines.size()));
        ok = ok && setData(CF_UNICODETEXT,
                           globalCopy(windowsText.c_str(), (windowsText.size() + 1) * sizeof(char16_t)));
        CloseClipboard();
        return ok;
    }

    Content get(bool wantMapLines) override {
        Content content;
        if (!openClipboard()) {
            content.kind = Content::Kind::Busy;
            return content;
        }
        std::string bytes;
        SetLastError(0);
        if (wantMapLines && blockBytes(GetClipboardData(branchFormat()), bytes)) {
            content.kind = Content::Kind::MapLines;
            content.mapLines = std::move(bytes);
        } else if (GetLastError() != ERROR_TIMEOUT && blockBytes(GetClipboardData(CF_UNICODETEXT), bytes)) {
            content.kind = Content::Kind::Text;
            content.text.assign(reinterpret_cast<const char16_t*>(bytes.data()),
                                bytes.size() / sizeof(char16_t));
            // The text ends at its terminating NUL.
            const std::size_t end = content.text.find(u'\0');
            if (end != std::u16string::npos) content.text.resize(end);
        }
        if (content.kind == Content::Kind::Nothing && GetLastError() == ERROR_TIMEOUT)
            content.kind = Content::Kind::NoAnswer;
        CloseClipboard();
        return content;
    }
};

SystemClipboard systemClipboard;
Clipboard* replacement = nullptr;
}  // namespace

Clipboard& currentClipboard() {
    return replacement != nullptr ? *replacement : systemClipboard;
}

Clipboard* replaceClipboard(Clipboard* clipboard) {
    Clipboard* before = replacement;
    replacement = clipboard;
    return before;
}
