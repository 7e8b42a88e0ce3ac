// TranslateMessage: the text a key-down typed becomes WM_CHAR (or WM_SYSCHAR with Alt)
// messages, one per UTF-16 code unit, retrieved right after the key-down.
#include <windows.h>

#include "platform/user32/key_state.h"
#include "platform/user32/message_queue.h"

using namespace platform::user32;

namespace {

// For key-downs that did not come from the keyboard (posted by a program): what the key
// types on a US keyboard.
std::u16string textOfVirtualKey(UINT vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    if (const char16_t* control = controlKeyText(vk, ctrl)) return control;
    if (vk == VK_SPACE) return u" ";
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return std::u16string(1, static_cast<char16_t>(vk - 'A' + 1));
        const bool upper = shift != caps;
        return std::u16string(1, static_cast<char16_t>(upper ? vk : vk - 'A' + 'a'));
    }
    if (vk >= '0' && vk <= '9' && !ctrl) {
        static constexpr char16_t kShifted[] = u")!@#$%^&*(";
        return std::u16string(1, shift ? kShifted[vk - '0'] : static_cast<char16_t>(vk));
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return std::u16string(1, static_cast<char16_t>(u'0' + vk - VK_NUMPAD0));
    return {};
}

}  // namespace

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr) return FALSE;
    if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) return TRUE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    const auto queue = currentQueue();
    std::u16string text;
    bool found = false;
    if (msg->lPrivate != 0) {
        std::lock_guard lock(queue->mutex);
        KeyText& entry = queue->keyTexts[msg->lPrivate % queue->keyTexts.size()];
        if (entry.id == msg->lPrivate) {
            text = entry.text;
            found = true;
        }
    }
    if (!found) text = textOfVirtualKey(static_cast<UINT>(msg->wParam));
    if (text.empty()) return TRUE;
    const UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    std::lock_guard lock(queue->mutex);
    // Ahead of everything else, so the characters follow their key-down directly.
    auto position = queue->posted.begin();
    for (char16_t unit : text) {
        MSG charMsg = *msg;
        charMsg.message = charMessage;
        charMsg.wParam = unit;
        charMsg.lPrivate = 0;
        position = queue->posted.insert(position, charMsg) + 1;
    }
    queue->wake();
    return TRUE;
}
