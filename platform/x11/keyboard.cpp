#include "platform/x11/keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <iterator>
#include <optional>
#include <vector>

#include "platform/user32/key_state.h"
#include "unicode/utf.h"

namespace platform::x11 {

namespace {

// Linux input key codes (X keycode − 8 on evdev servers) in the US layout's positions. For the
// first block the PC set-1 scan code is the key code itself (0 where no key sits).
constexpr UINT kFirstBlockVk[] = {
    0,          VK_ESCAPE,   '1',          '2',           '3',         '4',          '5',
    '6',        '7',         '8',          '9',           '0',         VK_OEM_MINUS, VK_OEM_PLUS,
    VK_BACK,    VK_TAB,      'Q',          'W',           'E',         'R',          'T',
    'Y',        'U',         'I',          'O',           'P',         VK_OEM_4,     VK_OEM_6,
    VK_RETURN,  VK_LCONTROL, 'A',          'S',           'D',         'F',          'G',
    'H',        'J',         'K',          'L',           VK_OEM_1,    VK_OEM_7,     VK_OEM_3,
    VK_LSHIFT,  VK_OEM_5,    'Z',          'X',           'C',         'V',          'B',
    'N',        'M',         VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2,    VK_RSHIFT,    VK_MULTIPLY,
    VK_LMENU,   VK_SPACE,    VK_CAPITAL,   VK_F1,         VK_F2,       VK_F3,        VK_F4,
    VK_F5,      VK_F6,       VK_F7,        VK_F8,         VK_F9,       VK_F10,       VK_NUMLOCK,
    VK_SCROLL,  VK_NUMPAD7,  VK_NUMPAD8,   VK_NUMPAD9,    VK_SUBTRACT, VK_NUMPAD4,   VK_NUMPAD5,
    VK_NUMPAD6, VK_ADD,      VK_NUMPAD1,   VK_NUMPAD2,    VK_NUMPAD3,  VK_NUMPAD0,   VK_DECIMAL,
    0,          0,           VK_OEM_102,   VK_F11,        VK_F12};

struct Position {
    unsigned code;
    UINT vk;
    UINT scan;
    bool extended;
};

// The keys beyond the first block, most of them with the extended prefix.
constexpr Position kLaterPositions[] = {
    {96, VK_RETURN, 0x1C, true},   {97, VK_RCONTROL, 0x1D, true}, {98, VK_DIVIDE, 0x35, true},
    {99, VK_SNAPSHOT, 0x37, true}, {100, VK_RMENU, 0x38, true},   {102, VK_HOME, 0x47, true},
    {103, VK_UP, 0x48, true},      {104, VK_PRIOR, 0x49, true},   {105, VK_LEFT, 0x4B, true},
    {106, VK_RIGHT, 0x4D, true},   {107, VK_END, 0x4F, true},     {108, VK_DOWN, 0x50, true},
    {109, VK_NEXT, 0x51, true},    {110, VK_INSERT, 0x52, true},  {111, VK_DELETE, 0x53, true},
    {119, VK_PAUSE, 0x45, false},  {125, VK_LWIN, 0x5B, true},    {126, VK_RWIN, 0x5C, true},
    {127, VK_APPS, 0x5D, true},
};

// The position of a key, or nothing for a key code no key of the US layout has.
std::optional<Position> positionOf(unsigned keycode) {
    if (keycode < 8) return std::nullopt;
    const unsigned code = keycode - 8;
    if (code < std::size(kFirstBlockVk)) {
        const UINT vk = kFirstBlockVk[code];
        if (vk == 0) return std::nullopt;
        return Position{code, vk, code, vk == VK_NUMLOCK};
    }
    for (const Position& p : kLaterPositions) {
        if (p.code == code) return p;
    }
    return std::nullopt;
}

// Keys whose meaning the layout gives by symbol rather than by position.
UINT vkFromKeysym(KeySym sym) {
    if (sym >= XK_a && sym <= XK_z) return static_cast<UINT>('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z) return static_cast<UINT>('A' + (sym - XK_A));
    if (sym >= XK_0 && sym <= XK_9) return static_cast<UINT>('0' + (sym - XK_0));
    if (sym >= XK_F1 && sym <= XK_F24) return static_cast<UINT>(VK_F1 + (sym - XK_F1));
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<UINT>(VK_NUMPAD0 + (sym - XK_KP_0));
    switch (sym) {
        case XK_BackSpace:
            return VK_BACK;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VK_TAB;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_Escape:
            return VK_ESCAPE;
        case XK_space:
            return VK_SPACE;
        case XK_Delete:
        case XK_KP_Delete:
            return VK_DELETE;
        case XK_Insert:
        case XK_KP_Insert:
            return VK_INSERT;
        case XK_Home:
        case XK_KP_Home:
            return VK_HOME;
        case XK_End:
        case XK_KP_End:
            return VK_END;
        case XK_Prior:
        case XK_KP_Prior:
            return VK_PRIOR;
        case XK_Next:
        case XK_KP_Next:
            return VK_NEXT;
        case XK_Left:
        case XK_KP_Left:
            return VK_LEFT;
        case XK_Right:
        case XK_KP_Right:
            return VK_RIGHT;
        case XK_Up:
        case XK_KP_Up:
            return VK_UP;
        case XK_Down:
        case XK_KP_Down:
            return VK_DOWN;
        case XK_KP_Begin:
            return VK_CLEAR;
        case XK_KP_Multiply:
            return VK_MULTIPLY;
        case XK_KP_Add:
            return VK_ADD;
        case XK_KP_Separator:
            return VK_SEPARATOR;
        case XK_KP_Subtract:
            return VK_SUBTRACT;
        case XK_KP_Decimal:
            return VK_DECIMAL;
        case XK_KP_Divide:
            return VK_DIVIDE;
        case XK_Shift_L:
            return VK_LSHIFT;
        case XK_Shift_R:
            return VK_RSHIFT;
        case XK_Control_L:
            return VK_LCONTROL;
        case XK_Control_R:
            return VK_RCONTROL;
        case XK_Alt_L:
        case XK_Meta_L:
            return VK_LMENU;
        case XK_Alt_R:
        case XK_Meta_R:
        case XK_ISO_Level3_Shift:
            return VK_RMENU;
        case XK_Super_L:
            return VK_LWIN;
        case XK_Super_R:
            return VK_RWIN;
        case XK_Menu:
            return VK_APPS;
        case XK_Caps_Lock:
            return VK_CAPITAL;
        case XK_Num_Lock:
            return VK_NUMLOCK;
        case XK_Scroll_Lock:
            return VK_SCROLL;
        case XK_Pause:
            return VK_PAUSE;
        case XK_Print:
            return VK_SNAPSHOT;
        case XK_semicolon:
            return VK_OEM_1;
        case XK_equal:
        case XK_plus:  // unshifted on layouts such as the German one; Windows' VK_OEM_PLUS is that key
            return VK_OEM_PLUS;
        case XK_comma:
            return VK_OEM_COMMA;
        case XK_minus:
            return VK_OEM_MINUS;
        case XK_period:
            return VK_OEM_PERIOD;
        case XK_slash:
            return VK_OEM_2;
        case XK_grave:
            return VK_OEM_3;
        case XK_bracketleft:
            return VK_OEM_4;
        case XK_backslash:
            return VK_OEM_5;
        case XK_bracketright:
            return VK_OEM_6;
        case XK_apostrophe:
            return VK_OEM_7;
        case XK_less:
            return VK_OEM_102;
        default:
            return 0;
    }
}

KeyInfo describe(Display* display, unsigned keycode, unsigned state) {
    KeyInfo info;
    const std::optional<Position> position = positionOf(keycode);
    const KeySym base = XkbKeycodeToKeysym(display, static_cast<KeyCode>(keycode), 0, 0);
    unsigned consumed = 0;
    KeySym effective = NoSymbol;
    XkbLookupKeySym(display, static_cast<KeyCode>(keycode), state, &consumed, &effective);
    info.keysym = effective != NoSymbol ? effective : base;
    // Keypad keys follow Num Lock, so they are read after the modifiers; the others by the
    // unshifted symbol, so Shift+1 is still the key '1'.
    UINT vk = 0;
    if (info.keysym >= XK_KP_Space && info.keysym <= XK_KP_9) vk = vkFromKeysym(info.keysym);
    if (vk == 0) vk = vkFromKeysym(base);
    if (vk == 0 && position) vk = position->vk;
    info.sideVk = vk;
    const UINT generic = user32::genericModifierOf(vk);
    info.vk = generic != 0 ? generic : vk;
    if (position) {
        info.scanCode = position->scan;
        info.extended = position->extended;
    } else if (keycode >= 8) {
        info.scanCode = (keycode - 8) & 0xFF;
    }
    return info;
}

std::u16string lookupText(XKeyEvent& event, XIC inputContext, KeySym* keysym) {
    Status status = 0;
    std::vector<char> buffer(64);
    int length = 0;
    if (inputContext != nullptr) {
        length = Xutf8LookupString(inputContext, &event, buffer.data(), static_cast<int>(buffer.size()),
                                   keysym, &status);
        if (status == XBufferOverflow) {
            buffer.resize(static_cast<std::size_t>(length) + 1);
            length = Xutf8LookupString(inputContext, &event, buffer.data(), static_cast<int>(buffer.size()),
                                       keysym, &status);
        }
        if (status != XLookupChars && status != XLookupBoth) return {};
        return unicode::fromUtf8(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
    }
    // No input method: the key's symbol gives the character (Latin-1 and Unicode symbols).
    length = XLookupString(&event, buffer.data(), static_cast<int>(buffer.size()), keysym, nullptr);
    const KeySym sym = *keysym;
    std::u16string out;
    if (sym >= 0x20 && sym <= 0xFF) {
        out.push_back(static_cast<char16_t>(sym));
    } else if ((sym & 0xFF000000) == 0x01000000) {
        unicode::appendCodePoint(out, static_cast<char32_t>(sym & 0x00FFFFFF));
    } else if (length == 1) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(buffer[0])));
    }
    return out;
}

}  // namespace

KeyInfo describeKey(Display* display, XKeyEvent& event) {
    return describe(display, event.keycode, event.state);
}

KeyInfo describeKeycode(Display* display, unsigned keycode) {
    return describe(display, keycode, 0);
}

std::u16string typedText(XKeyEvent& event, XIC inputContext, const KeyInfo& key, bool ctrl, bool alt) {
    if (const char16_t* control = user32::controlKeyText(key.vk, ctrl)) return control;
    if (ctrl && !alt) {
        if (key.vk >= 'A' && key.vk <= 'Z') return std::u16string(1, static_cast<char16_t>(key.vk - 'A' + 1));
        if (key.vk == VK_OEM_4) return u"\x1b";
        if (key.vk == VK_OEM_5) return u"\x1c";
        if (key.vk == VK_OEM_6) return u"\x1d";
        return {};
    }
    KeySym sym = NoSymbol;
    std::u16string text = lookupText(event, inputContext, &sym);
    // Control characters come only from the keys above; Delete and the like type nothing.
    std::u16string printable;
    for (char16_t c : text) {
        if (c >= 0x20 && c != 0x7F) printable.push_back(c);
    }
    return printable;
}

std::u16string committedText(XKeyEvent& event, XIC inputContext) {
    KeySym sym = NoSymbol;
    return inputContext != nullptr ? lookupText(event, inputContext, &sym) : std::u16string{};
}

}  // namespace platform::x11
