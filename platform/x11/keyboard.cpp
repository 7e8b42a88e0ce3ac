#include "platform/x11/keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <vector>

#include "platform/user32/key_state.h"
#include "unicode/utf.h"

namespace platform::x11 {

namespace {

// Linux input key codes (X keycode − 8 on evdev servers) in the US layout's positions.
struct Position {
    unsigned code;
    UINT vk;
    UINT scan;
    bool extended;
};

constexpr Position kPositions[] = {
    {1, VK_ESCAPE, 0x01, false},     {2, '1', 0x02, false},
    {3, '2', 0x03, false},           {4, '3', 0x04, false},
    {5, '4', 0x05, false},           {6, '5', 0x06, false},
    {7, '6', 0x07, false},           {8, '7', 0x08, false},
    {9, '8', 0x09, false},           {10, '9', 0x0A, false},
    {11, '0', 0x0B, false},          {12, VK_OEM_MINUS, 0x0C, false},
    {13, VK_OEM_PLUS, 0x0D, false},  {14, VK_BACK, 0x0E, false},
    {15, VK_TAB, 0x0F, false},       {16, 'Q', 0x10, false},
    {17, 'W', 0x11, false},          {18, 'E', 0x12, false},
    {19, 'R', 0x13, false},          {20, 'T', 0x14, false},
    {21, 'Y', 0x15, false},          {22, 'U', 0x16, false},
    {23, 'I', 0x17, false},          {24, 'O', 0x18, false},
    {25, 'P', 0x19, false},          {26, VK_OEM_4, 0x1A, false},
    {27, VK_OEM_6, 0x1B, false},     {28, VK_RETURN, 0x1C, false},
    {29, VK_LCONTROL, 0x1D, false},  {30, 'A', 0x1E, false},
    {31, 'S', 0x1F, false},          {32, 'D', 0x20, false},
    {33, 'F', 0x21, false},          {34, 'G', 0x22, false},
    {35, 'H', 0x23, false},          {36, 'J', 0x24, false},
    {37, 'K', 0x25, false},          {38, 'L', 0x26, false},
    {39, VK_OEM_1, 0x27, false},     {40, VK_OEM_7, 0x28, false},
    {41, VK_OEM_3, 0x29, false},     {42, VK_LSHIFT, 0x2A, false},
    {43, VK_OEM_5, 0x2B, false},     {44, 'Z', 0x2C, false},
    {45, 'X', 0x2D, false},          {46, 'C', 0x2E, false},
    {47, 'V', 0x2F, false},          {48, 'B', 0x30, false},
    {49, 'N', 0x31, false},          {50, 'M', 0x32, false},
    {51, VK_OEM_COMMA, 0x33, false}, {52, VK_OEM_PERIOD, 0x34, false},
    {53, VK_OEM_2, 0x35, false},     {54, VK_RSHIFT, 0x36, false},
    {55, VK_MULTIPLY, 0x37, false},  {56, VK_LMENU, 0x38, false},
    {57, VK_SPACE, 0x39, false},     {58, VK_CAPITAL, 0x3A, false},
    {59, VK_F1, 0x3B, false},        {60, VK_F2, 0x3C, false},
    {61, VK_F3, 0x3D, false},        {62, VK_F4, 0x3E, false},
    {63, VK_F5, 0x3F, false},        {64, VK_F6, 0x40, false},
    {65, VK_F7, 0x41, false},        {66, VK_F8, 0x42, false},
    {67, VK_F9, 0x43, false},        {68, VK_F10, 0x44, false},
    {69, VK_NUMLOCK, 0x45, true},    {70, VK_SCROLL, 0x46, false},
    {71, VK_NUMPAD7, 0x47, false},   {72, VK_NUMPAD8, 0x48, false},
    {73, VK_NUMPAD9, 0x49, false},   {74, VK_SUBTRACT, 0x4A, false},
    {75, VK_NUMPAD4, 0x4B, false},   {76, VK_NUMPAD5, 0x4C, false},
    {77, VK_NUMPAD6, 0x4D, false},   {78, VK_ADD, 0x4E, false},
    {79, VK_NUMPAD1, 0x4F, false},   {80, VK_NUMPAD2, 0x50, false},
    {81, VK_NUMPAD3, 0x51, false},   {82, VK_NUMPAD0, 0x52, false},
    {83, VK_DECIMAL, 0x53, false},   {86, VK_OEM_102, 0x56, false},
    {87, VK_F11, 0x57, false},       {88, VK_F12, 0x58, false},
    {96, VK_RETURN, 0x1C, true},     {97, VK_RCONTROL, 0x1D, true},
    {98, VK_DIVIDE, 0x35, true},     {99, VK_SNAPSHOT, 0x37, true},
    {100, VK_RMENU, 0x38, true},     {102, VK_HOME, 0x47, true},
    {103, VK_UP, 0x48, true},        {104, VK_PRIOR, 0x49, true},
    {105, VK_LEFT, 0x4B, true},      {106, VK_RIGHT, 0x4D, true},
    {107, VK_END, 0x4F, true},       {108, VK_DOWN, 0x50, true},
    {109, VK_NEXT, 0x51, true},      {110, VK_INSERT, 0x52, true},
    {111, VK_DELETE, 0x53, true},    {119, VK_PAUSE, 0x45, false},
    {125, VK_LWIN, 0x5B, true},      {126, VK_RWIN, 0x5C, true},
    {127, VK_APPS, 0x5D, true},
};

const Position* positionOf(unsigned keycode) {
    if (keycode < 8) return nullptr;
    const unsigned code = keycode - 8;
    for (const Position& p : kPositions) {
        if (p.code == code) return &p;
    }
    return nullptr;
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
    const Position* position = positionOf(keycode);
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
    if (vk == 0 && position != nullptr) vk = position->vk;
    info.sideVk = vk;
    const UINT generic = user32::genericModifierOf(vk);
    info.vk = generic != 0 ? generic : vk;
    if (position != nullptr) {
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
