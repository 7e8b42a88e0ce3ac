// The clipboard on the CLIPBOARD selection. What this process put there is answered from its
// own copy (as Windows answers the owner); anything else is converted from the X owner. A
// registered format is the X target of its name; CF_UNICODETEXT is UTF8_STRING.
#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/display.h"
#include "platform/x11/selection.h"
#include "unicode/utf.h"

namespace {
constexpr UINT kFirstRegisteredFormat = 0xC000;
constexpr int kOwnerDeadlineMs = 2000;

std::mutex clipboardMutex;
std::thread::id openedBy;  // the thread that holds the clipboard open; none when closed
bool isOpen = false;
// What this process set, until it empties it or loses it. Never destroyed: the X thread may
// still answer a request from it while the process ends.
std::map<UINT, HANDLE>& localData = *new std::map<UINT, HANDLE>;
std::vector<HANDLE> fetched;           // answers of other owners, freed when the clipboard closes
std::vector<std::string> formatNames;  // registered formats from kFirstRegisteredFormat on

bool openedHere() {
    return isOpen && openedBy == std::this_thread::get_id();
}

HANDLE copyToGlobal(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    if (size > 0) std::memcpy(GlobalLock(block), data, size);
    if (size > 0) GlobalUnlock(block);
    return block;
}

std::string globalBytes(HANDLE block) {
    const SIZE_T size = GlobalSize(block);
    const char* data = static_cast<const char*>(GlobalLock(block));
    std::string bytes(data, size);
    GlobalUnlock(block);
    return bytes;
}

// The X target of a format; None for one with no target.
Atom targetOf(UINT format) {
    if (format == CF_UNICODETEXT) return platform::x11::xAtomNamed("UTF8_STRING");
    if (format >= kFirstRegisteredFormat && format - kFirstRegisteredFormat < formatNames.size())
        return platform::x11::xAtomNamed(formatNames[format - kFirstRegisteredFormat].c_str());
    return None;
}

// What X is offered for the data set here: text as UTF-8 without its terminating NUL.
platform::x11::SelectionContent contentForX() {
    platform::x11::SelectionContent content;
    for (const auto& [format, block] : localData) {
        const Atom target = targetOf(format);
        if (target == None) continue;
        std::string bytes = globalBytes(block);
        if (format == CF_UNICODETEXT) {
            std::u16string text(reinterpret_cast<const char16_t*>(bytes.data()),
                                bytes.size() / sizeof(char16_t));
            text = text.substr(0, text.find(u'\0'));
            // X programs end lines with a line feed alone.
            std::u16string lines;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
                    lines.push_back(text[i]);
            }
            bytes = unicode::toUtf8(lines);
        }
        content.emplace(target, std::move(bytes));
    }
    return content;
}

void freeLocalData() {
    for (const auto& [format, block] : localData) GlobalFree(block);
    localData.clear();
}
}  // namespace

BOOL WINAPI OpenClipboard(HWND) {
    std::lock_guard<std::mutex> lock(clipboardMutex);
    if (isOpen && !openedHere()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    isOpen = true;
    openedBy = std::this_thread::get_id();
    return TRUE;
}

BOOL WINAPI CloseClipboard() {
    std::lock_guard<std::mutex> lock(clipboardMutex);
    if (!openedHere()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    for (HANDLE block : fetched) GlobalFree(block);
    fetched.clear();
    // The data set while it was open goes to X in one piece.
    if (!localData.empty()) {
        platform::x11::XLock xLock;
        if (platform::x11::xDisplay() != nullptr) platform::x11::xOwnClipboard(contentForX());
    }
    isOpen = false;
    return TRUE;
}

BOOL WINAPI EmptyClipboard() {
    std::lock_guard<std::mutex> lock(clipboardMutex);
    if (!openedHere()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    freeLocalData();
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT format, HANDLE memory) {
    std::lock_guard<std::mutex> lock(clipboardMutex);
    if (!openedHere() || memory == nullptr) {
        SetLastError(openedHere() ? ERROR_INVALID_PARAMETER : ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    HANDLE& slot = localData[format];
    if (slot != nullptr && slot != memory) GlobalFree(slot);
    slot = memory;
    return memory;
}

HANDLE WINAPI GetClipboardData(UINT format) {
    std::unique_lock<std::mutex> lock(clipboardMutex);
    if (!openedHere()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    // Another client that took the selection since leaves nothing of ours.
    if (!localData.empty() && platform::x11::xDisplayOpened() && !platform::x11::xClipboardOwned())
        freeLocalData();
    if (!localData.empty()) {
        const auto found = localData.find(format);
        if (found != localData.end()) return found->second;
        SetLastError(ERROR_SUCCESS);
        return nullptr;
    }
    Atom target = None;
    {
        platform::x11::XLock xLock;
        if (platform::x11::xDisplay() != nullptr) target = targetOf(format);
    }
    if (target == None) {
        SetLastError(ERROR_SUCCESS);
        return nullptr;
    }
    std::string bytes;
    lock.unlock();  // the wait may be long; the clipboard stays open by this thread all the same
    const auto result = platform::x11::xFetchClipboard(target, bytes, kOwnerDeadlineMs);
    lock.lock();
    if (result == platform::x11::SelectionFetch::NoAnswer) {
        SetLastError(ERROR_TIMEOUT);
        return nullptr;
    }
    if (result != platform::x11::SelectionFetch::Got) {
        SetLastError(ERROR_SUCCESS);
        return nullptr;
    }
    HANDLE block = nullptr;
    if (format == CF_UNICODETEXT) {
        std::u16string text = unicode::fromUtf8(bytes);
        text.push_back(u'\0');
        block = copyToGlobal(text.data(), text.size() * sizeof(char16_t));
    } else {
        block = copyToGlobal(bytes.data(), bytes.size());
    }
    if (block != nullptr) fetched.push_back(block);
    return block;
}

UINT WINAPI RegisterClipboardFormatW(LPCWSTR formatName) {
    if (formatName == nullptr || formatName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string name = unicode::toUtf8(reinterpret_cast<const char16_t*>(formatName));
    std::lock_guard<std::mutex> lock(clipboardMutex);
    for (std::size_t i = 0; i < formatNames.size(); ++i) {
        if (formatNames[i] == name) return kFirstRegisteredFormat + static_cast<UINT>(i);
    }
    formatNames.push_back(name);
    return kFirstRegisteredFormat + static_cast<UINT>(formatNames.size() - 1);
}
