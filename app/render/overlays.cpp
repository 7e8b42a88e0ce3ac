// The overlays of the modes: the caption edit box, the help screen and the path dialog. Each
// text box's caret blinks by its own frame counter: 15 frames shown, 15 hidden.
#include <array>
#include <cstdint>
#include <string>

#include "app/render/scene.h"
#include "app/render/text_caret.h"
#include "app/storage/file_dialog_layout.h"
#include "graphics/graphics.h"

namespace {

constexpr COLORREF kBoxFill = 0xF0F0F0;
constexpr COLORREF kTextBoxFill = 0xFFFFFF;
constexpr COLORREF kTextBoxOutline = 0x969696;
constexpr COLORREF kBoxOutline = 0x646464;
constexpr COLORREF kHintText = 0x646464;
constexpr COLORREF kButtonFill = 0xC8C8C8;
constexpr COLORREF kText = 0x000000;
constexpr int kBlinkPeriod = 30;
constexpr int kBlinkShown = 15;

// The carets' columns start at these offsets from the panel's edge; their lines span these rows.
constexpr int kEditCaretStart = 17;
constexpr int kEditCaretTop = 15;
constexpr int kEditCaretBottom = 45;
constexpr int kPathCaretStart = 227;
constexpr int kPathCaretTop = 205;
constexpr int kPathCaretBottom = 225;

constexpr std::array<const char16_t*, 16> kHelpText = {
    u"基本操作:",
    u"1. 左键点击: 选择节点",
    u"2. 左键拖动: 移动节点",
    u"3. 右键点击: 添加子节点",
    u"4. 空格键: 添加同级节点",
    u"5. Delete键: 删除当前节点",
    u"6. F2键: 编辑节点文本",
    u"7. F键: 折叠/展开子节点",
    u"8. Ctrl+Z: 撤销操作",
    u"9. Ctrl+Y: 重做操作",
    u"10. 1-3键: 更改节点颜色",
    u"11. 4-5键: 更改文字颜色",
    u"12. Ctrl+S: 保存思维导图",
    u"13. Ctrl+O: 打开思维导图",
    u"",
    u"按 H 键关闭帮助界面",
};

RECT toRect(const DialogRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// The caret's column: the text's measured width added to the box's start, wrapping as every
// sum of positions does (a caption read from a file may measure close to the largest int).
int caretColumn(int start, const std::u16string& text) {
    const int width = Gfx::getTextWidth(text.c_str());
    return static_cast<int>(static_cast<std::uint32_t>(start) + static_cast<std::uint32_t>(width));
}

// Advances a caret counter; true in the frames that show the caret.
bool caretShown(std::int32_t& counter) {
    // Wraps after 2^31 frames (eight months at 100 a second) instead of overflowing.
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 1u);
    return counter % kBlinkPeriod < kBlinkShown;
}

}  // namespace

void drawEditBox(MindMap& mindMap) {
    const int w = mindMap.panelWidth;
    Gfx::setFillColor(kTextBoxFill);
    Gfx::fillRectangle(w + 10, 10, w + 410, 50);
    Gfx::setLineColor(kTextBoxOutline);
    Gfx::drawRectangle(w + 10, 10, w + 410, 50);

    Gfx::setTextColor(kText);
    RECT editRect{w + 15, 10, w + 405, 50};
    Gfx::drawTextInRect(mindMap.editText.c_str(), &editRect, DT_VCENTER);

    if (caretShown(mindMap.editCaretCounter)) {
        const int caretX = caretColumn(w + kEditCaretStart, mindMap.editText);
        Gfx::drawLine(caretX, kEditCaretTop, caretX, kEditCaretBottom);
    }

    Gfx::setTextColor(kHintText);
    RECT hintRect{w + 10, 55, w + 410, 80};
    Gfx::drawTextInRect(u"按Enter确认编辑，ESC取消", &hintRect, DT_VCENTER);
}

void placeTextCaret(const MindMap& mindMap) {
    const int w = mindMap.panelWidth;
    // Typing serves the edit first, then the path (as the characters are routed).
    if (mindMap.isEditing) {
        Gfx::setTextCaret(caretColumn(w + kEditCaretStart, mindMap.editText), kEditCaretTop,
                          kEditCaretBottom - kEditCaretTop);
    } else if (mindMap.showFileDialog) {
        Gfx::setTextCaret(caretColumn(w + kPathCaretStart, mindMap.filePath), kPathCaretTop,
                          kPathCaretBottom - kPathCaretTop);
    } else {
        Gfx::hideTextCaret();
    }
}

void drawHelpScreen(const MindMap& mindMap) {
    const int w = mindMap.panelWidth;
    Gfx::setFillColor(kBoxFill);
    Gfx::solidRectangle(w + 50, 50, w + 750, 550);
    Gfx::setLineColor(kBoxOutline);
    Gfx::drawRectangle(w + 50, 50, w + 750, 550);

    Gfx::setTextColor(kText);
    RECT titleRect{w + 50, 60, w + 750, 90};
    Gfx::drawTextInRect(u"思维导图制作器 - 使用说明", &titleRect, DT_CENTER | DT_VCENTER);

    RECT textRect{w + 70, 100, w + 730, 530};
    for (const char16_t* line : kHelpText) {
        Gfx::drawTextInRect(line, &textRect, DT_LEFT | DT_TOP);
        textRect.top += 30;
        textRect.bottom += 30;
    }
}

void drawPathDialog(MindMap& mindMap) {
    const int w = mindMap.panelWidth;
    const DialogRect box = dialogBoxRect(w);
    Gfx::setFillColor(kBoxFill);
    Gfx::solidRectangle(box.left, box.top, box.right, box.bottom);
    Gfx::setLineColor(kBoxOutline);
    Gfx::drawRectangle(box.left, box.top, box.right, box.bottom);

    Gfx::setTextColor(kText);
    RECT titleRect = toRect(dialogTitleRect(w));
    Gfx::drawTextInRect(mindMap.isSaveDialog ? u"保存思维导图" : u"打开思维导图", &titleRect,
                        DT_CENTER | DT_VCENTER);

    const DialogRect pathBox = dialogPathBoxRect(w);
    Gfx::setFillColor(kTextBoxFill);
    Gfx::fillRectangle(pathBox.left, pathBox.top, pathBox.right, pathBox.bottom);
    Gfx::setLineColor(kTextBoxOutline);
    Gfx::drawRectangle(pathBox.left, pathBox.top, pathBox.right, pathBox.bottom);

    Gfx::setTextColor(kText);
    RECT pathRect = toRect(dialogPathTextRect(w));
    Gfx::drawTextInRect(mindMap.filePath.c_str(), &pathRect, DT_VCENTER);

    if (caretShown(mindMap.pathCaretCounter)) {
        const int caretX = caretColumn(w + kPathCaretStart, mindMap.filePath);
        Gfx::drawLine(caretX, kPathCaretTop, caretX, kPathCaretBottom);
    }

    RECT okRect = toRect(dialogOkRect(w));
    RECT cancelRect = toRect(dialogCancelRect(w));
    Gfx::setFillColor(kButtonFill);
    Gfx::fillRectangle(okRect.left, okRect.top, okRect.right, okRect.bottom);
    Gfx::fillRectangle(cancelRect.left, cancelRect.top, cancelRect.right, cancelRect.bottom);
    Gfx::setLineColor(kBoxOutline);
    Gfx::drawRectangle(okRect.left, okRect.top, okRect.right, okRect.bottom);
    Gfx::drawRectangle(cancelRect.left, cancelRect.top, cancelRect.right, cancelRect.bottom);

    Gfx::setTextColor(kText);
    Gfx::drawTextInRect(u"确定", &okRect, DT_CENTER | DT_VCENTER);
    Gfx::drawTextInRect(u"取消", &cancelRect, DT_CENTER | DT_VCENTER);

    Gfx::setTextColor(kHintText);
    RECT hintRect = toRect(dialogHintRect(w));
    Gfx::drawTextInRect(u"输入文件路径（如: mymap.mind）", &hintRect, DT_VCENTER);
}
