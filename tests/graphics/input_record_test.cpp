// Building InputMessage records from window messages: categories and every field (the layout
// is checked where the record is defined).
#include <gtest/gtest.h>

#include "graphics/input_queue.h"

namespace Gfx {
namespace {

TEST(InputRecord, CategoriesOfKinds) {
    for (unsigned kind = WM_MOUSEMOVE; kind <= WM_MOUSEWHEEL; ++kind)
        EXPECT_EQ(inputCategory(kind), kInputMouse);
    EXPECT_EQ(inputCategory(WM_KEYDOWN), kInputKey);
    EXPECT_EQ(inputCategory(WM_KEYUP), kInputKey);
    EXPECT_EQ(inputCategory(WM_CHAR), kInputChar);
    EXPECT_EQ(inputCategory(WM_MOVE), kInputWindow);
    EXPECT_EQ(inputCategory(WM_SIZE), kInputWindow);
    EXPECT_EQ(inputCategory(WM_ACTIVATE), kInputWindow);
    EXPECT_EQ(inputCategory(WM_SYSKEYDOWN), 0);
    EXPECT_EQ(inputCategory(WM_PAINT), 0);
    EXPECT_EQ(inputCategory(WM_MOUSEWHEEL + 1), 0);
}

TEST(InputRecord, MouseFlagsPositionAndWheel) {
    const InputMessage down =
        makeInputRecord(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, MAKELPARAM(1379, 749));
    EXPECT_EQ(down.kind, WM_LBUTTONDOWN);
    EXPECT_EQ(down.mouse.mouseFlags, kMouseLeft | kMouseCtrl | kMouseShift);
    EXPECT_EQ(down.mouse.x, 1379);
    EXPECT_EQ(down.mouse.y, 749);
    EXPECT_EQ(down.mouse.wheel, 0);

    const InputMessage buttons = makeInputRecord(WM_MOUSEMOVE, MK_MBUTTON | MK_RBUTTON, MAKELPARAM(-5, -7));
    EXPECT_EQ(buttons.mouse.mouseFlags, kMouseMiddle | kMouseRight);
    EXPECT_EQ(buttons.mouse.x, -5);
    EXPECT_EQ(buttons.mouse.y, -7);

    const InputMessage away = makeInputRecord(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(30, 40));
    EXPECT_EQ(away.mouse.wheel, 120);
    const InputMessage toward =
        makeInputRecord(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -120), MAKELPARAM(30, 40));
    EXPECT_EQ(toward.mouse.wheel, -120);
    EXPECT_EQ(toward.mouse.mouseFlags, kMouseCtrl);
}

TEST(InputRecord, SystemKeysBecomePlainKeys) {
    // Alt+F4 down: scan code 0x3E, context bit 29, repeat count 1.
    const LPARAM altF4 = static_cast<LPARAM>(0x203E0001);
    const InputMessage down = makeInputRecord(WM_SYSKEYDOWN, VK_F4, altF4);
    EXPECT_EQ(down.kind, WM_KEYDOWN);
    EXPECT_EQ(down.key.keyCode, VK_F4);
    EXPECT_EQ(down.key.scanCode, 0x3E);
    EXPECT_EQ(down.key.keyFlags, 0);

    const LPARAM releasedExtended = static_cast<LPARAM>(0xC1480001u);  // extended, previously down
    const InputMessage up = makeInputRecord(WM_SYSKEYUP, VK_UP, releasedExtended);
    EXPECT_EQ(up.kind, WM_KEYUP);
    EXPECT_EQ(up.key.scanCode, 0x48);
    EXPECT_EQ(up.key.keyFlags, 3);
}

TEST(InputRecord, CharactersAndWindowMessages) {
    const InputMessage text = makeInputRecord(WM_CHAR, 0x4E2D, 1);  // 中
    EXPECT_EQ(text.kind, WM_CHAR);
    EXPECT_EQ(text.text.character, 0x4E2D);

    const InputMessage size = makeInputRecord(WM_SIZE, 0, MAKELPARAM(1380, 750));
    EXPECT_EQ(size.kind, WM_SIZE);
    EXPECT_EQ(size.window.wParam, 0u);
    EXPECT_EQ(size.window.lParam, MAKELPARAM(1380, 750));
    const InputMessage activate = makeInputRecord(WM_ACTIVATE, WA_ACTIVE, -1);
    EXPECT_EQ(activate.window.wParam, static_cast<std::uint64_t>(WA_ACTIVE));
    EXPECT_EQ(activate.window.lParam, -1);
}

}  // namespace
}  // namespace Gfx
