// The overlays of the modes: the caption edit box, the help screen and the path dialog. Each
// text box's caret blinks by its own frame counter: 15 frames shown, 15 hidden.
#include <array>
#include <cstdint>
#include <string>

#include "app/model/scene_layout.h"
#include "app/model/wrap_int32.h"
#include "app/render/palette.h"
#include "app/render/scene.h"
#include "app/render/text_caret.h"
#include "graphics/graphics.h"

namespace {

using namespace palette;

constexpr int kBlinkPeriod = 30;
constexpr int kBlinkShown = 15;

// The caption edit box and the help screen, their x measured from the panel's right edge.
struct EditBoxLayout {
    SceneRect box;
    SceneRect text;
    SceneRect hint;
};
constexpr EditBoxLayout editBoxLayout(int panelWidth) {
    const int w = panelWidth;
    return {{w + 10, 10, w + 410, 50}, {w + 15, 10, w + 405, 50}, {w + 10, 55, w + 410, 80}};
}

struct HelpScreenLayout {
    SceneRect box;
    SceneRect title;
    SceneRect firstLine;  // each further line 30 pixels lower
};
constexpr HelpScreenLayout helpScreenLayout(int panelWidth) {
    const int w = panelWidth;
    return {{w + 50, 50, w + 750, 550}, {w + 50, 60, w + 750, 90}, {w + 70, 100, w + 730, 530}};
}
constexpr int kHelpLineStep = 30;

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

RECT toRect(const SceneRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// A box: its fill, drawn by fillShape (Gfx::fillRectangle also outlines it in the line colour
// of the moment, Gfx::solidRectangle does not), then its outline.
using FillShape = void (*)(int left, int top, int right, int bottom);
void drawBox(const SceneRect& r, FillShape fillShape, Colour fill, Colour outline) {
    Gfx::setFillColor(fill);
    fillShape(r.left, r.top, r.right, r.bottom);
    Gfx::setLineColor(outline);
    Gfx::drawRectangle(r.left, r.top, r.right, r.bottom);
}

void drawText(const char16_t* text, const SceneRect& r, Colour colour, UINT format) {
    Gfx::setTextColor(colour);
    RECT rect = toRect(r);
    Gfx::drawTextInRect(text, &rect, format);
}

// The caret of a text box, a vertical line: it stands kCaretIndent pixels into the text's
// rectangle after the text's measured width, and spans the box less kCaretInset pixels at either
// end. The column wraps as every sum of positions does (a caption read from a file may measure
// close to the largest int).
constexpr int kCaretIndent = 2;
constexpr int kCaretInset = 5;
SceneRect caretLine(const SceneRect& box, const SceneRect& textRect, const std::u16string& text) {
    const int x = wrapToInt32(std::int64_t{textRect.left} + kCaretIndent + Gfx::getTextWidth(text.c_str()));
    return {x, box.top + kCaretInset, x, box.bottom - kCaretInset};
}

// Advances a caret counter; true in the frames that show the caret.
bool caretShown(std::int32_t& counter) {
    // Wraps after 2^31 frames (eight months at 100 a second) instead of overflowing.
    counter = wrapToInt32(std::int64_t{counter} + 1);
    return counter % kBlinkPeriod < kBlinkShown;
}

// The caret's line, in the line colour of the moment, in the frames that show it.
void drawCaret(std::int32_t& counter, const SceneRect& box, const SceneRect& textRect,
               const std::u16string& text) {
    if (!caretShown(counter)) return;
    const SceneRect line = caretLine(box, textRect, text);
    Gfx::drawLine(line.left, line.top, line.right, line.bottom);
}

void placeCaret(const SceneRect& box, const SceneRect& textRect, const std::u16string& text) {
    const SceneRect line = caretLine(box, textRect, text);
    Gfx::setTextCaret(line.left, line.top, line.bottom - line.top);
}

}  // namespace

void drawEditBox(MindMap& mindMap) {
    const EditBoxLayout edit = editBoxLayout(mindMap.panelWidth);
    drawBox(edit.box, Gfx::fillRectangle, kTextBoxFill, kTextBoxOutline);
    drawText(mindMap.editText.c_str(), edit.text, kOverlayText, DT_VCENTER | DT_NOPREFIX);
    drawCaret(mindMap.editCaretCounter, edit.box, edit.text, mindMap.editText);
    drawText(u"按Enter确认编辑，ESC取消", edit.hint, kHintText, DT_VCENTER);
}

void placeTextCaret(const MindMap& mindMap) {
    // Typing serves the edit first, then the path (as the characters are routed).
    if (mindMap.isEditing) {
        const EditBoxLayout edit = editBoxLayout(mindMap.panelWidth);
        placeCaret(edit.box, edit.text, mindMap.editText);
    } else if (mindMap.showFileDialog) {
        const PathDialogLayout dialog = pathDialogLayout(mindMap.panelWidth);
        placeCaret(dialog.pathBox, dialog.pathText, mindMap.filePath);
    } else if (mindMap.find.open) {
        placeFindCaret(mindMap);
    } else {
        Gfx::hideTextCaret();
    }
}

SceneRect editTextBox(int panelWidth) {
    return editBoxLayout(panelWidth).box;
}

int editCaretColumn(const MindMap& mindMap) {
    const EditBoxLayout edit = editBoxLayout(mindMap.panelWidth);
    return caretLine(edit.box, edit.text, mindMap.editText).left;
}

int pathCaretColumn(const MindMap& mindMap) {
    const PathDialogLayout dialog = pathDialogLayout(mindMap.panelWidth);
    return caretLine(dialog.pathBox, dialog.pathText, mindMap.filePath).left;
}

void drawHelpScreen(const MindMap& mindMap) {
    const HelpScreenLayout help = helpScreenLayout(mindMap.panelWidth);
    drawBox(help.box, Gfx::solidRectangle, kOverlayFill, kOverlayOutline);
    drawText(u"思维导图制作器 - 使用说明", help.title, kOverlayText, DT_CENTER | DT_VCENTER);
    SceneRect line = help.firstLine;
    for (const char16_t* text : kHelpText) {
        drawText(text, line, kOverlayText, DT_LEFT | DT_TOP);
        line.top += kHelpLineStep;
        line.bottom += kHelpLineStep;
    }
}

void drawPathDialog(MindMap& mindMap) {
    const PathDialogLayout dialog = pathDialogLayout(mindMap.panelWidth);
    drawBox(dialog.box, Gfx::solidRectangle, kOverlayFill, kOverlayOutline);
    drawText(mindMap.isSaveDialog ? u"保存思维导图" : u"打开思维导图", dialog.title, kOverlayText,
             DT_CENTER | DT_VCENTER);

    drawBox(dialog.pathBox, Gfx::fillRectangle, kTextBoxFill, kTextBoxOutline);
    drawText(mindMap.filePath.c_str(), dialog.pathText, kOverlayText, DT_VCENTER | DT_NOPREFIX);
    drawCaret(mindMap.pathCaretCounter, dialog.pathBox, dialog.pathText, mindMap.filePath);

    drawBox(dialog.ok, Gfx::fillRectangle, kDialogButtonFill, kOverlayOutline);
    drawBox(dialog.cancel, Gfx::fillRectangle, kDialogButtonFill, kOverlayOutline);
    drawText(u"确定", dialog.ok, kOverlayText, DT_CENTER | DT_VCENTER);
    drawText(u"取消", dialog.cancel, kOverlayText, DT_CENTER | DT_VCENTER);
    drawText(u"输入文件路径（如: mymap.mind）", dialog.hint, kHintText, DT_VCENTER);
}
