// Arbitrary input played through the editor's own dispatch, with no window: pointer moves,
// presses and releases anywhere in and around the window, key-downs with repeats (every key the
// editor knows and some it does not), characters of every kind, the Control state, plus opening
// files from a small pool, saving into a private folder and drawing frames off-screen. After
// every message the editor must be sound (fuzz/editor_checks.h); saved files must hold exactly
// what the map saves, opened files must give exactly what opening their bytes gives; the opens
// and saves that succeed are counted for the final statistics (fuzz/editor_file_stats.h).
//
// The bytes are a sequence of records; each starts with an opcode byte, taken modulo the number
// of opcodes, followed by its operands (missing bytes read as zero):
//   0 move     x:2 y:2 buttons:1       pointer move (bit 0 left button held)
//   1 press    x:2 y:2                 left button down
//   2 release                          left button up
//   3 right    x:2 y:2                 right button down
//   4 key      key:1 flags:1           key-down; flags bit 0 Ctrl held, bits 1-3 repeats
//   5 char     class:1 value:2         one character (two for a surrogate pair)
//   6 panel    button:1                press and release on a panel button
//   7 drag     node:2 dx:1 dy:1        press on a shown node, move by 4·(dx, dy), release
//   8 dialog   target:1                press on OK, Cancel, the path box or beside the dialog
//   9 open     file:1                  panel "打开", type a pool path, OK
//  10 save     slot:1                  panel "保存", type a save path, OK
//  11 draw                             one frame into an off-screen image of the window's size
//  12 wheel    flags:1 x:2 y:2 delta:2 wheel steps, plain, with Shift or Ctrl
//  13 middle   x:2 y:2 steps:1 (x:2 y:2)...    a middle-button drag
//  14 text     length:1 (class:1 value:2)...   typed characters
//  15 clip     kind:1 size:2 (bytes)...        what another program puts on the clipboard
// The keys include Ctrl+C, Ctrl+X and Ctrl+V, which copy, cut and paste through an in-memory
// clipboard; clip fills it with hostile text (deep, huge, control characters, escapes), broken
// map lines, or an owner that never answers.
// A coordinate of 0xFFF0 or more picks an edge value (the int16 limits, the window's edges).
#include <windows.h>

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/model/map_view.h"
#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/ui/clipboard.h"
#include "app/ui/clipboard_branch.h"
#include "app/ui/dispatch.h"
#include "app/ui/text_style.h"
#include "fuzz/editor_checks.h"
#include "fuzz/editor_file_stats.h"
#include "fuzz/editor_files.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace editor_fuzz {
namespace {

class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : at(data), left(size) {}
    bool empty() const { return left == 0; }
    std::uint8_t byte() {
        if (left == 0) return 0;
        --left;
        return *at++;
    }
    std::uint16_t u16() {
        const std::uint16_t high = byte();
        return static_cast<std::uint16_t>(high << 8 | byte());
    }

  private:
    const std::uint8_t* at;
    std::size_t left;
};

bool controlHeld = false;
bool askControl() {
    return controlHeld;
}

constexpr std::array<std::uint8_t, 38> kKeys = {
    VK_SPACE, VK_DELETE, '1', '2', '3', '4', '5', 'F', VK_F2, 'O', 'S', 'Y', 'Z', 'H', VK_ESCAPE, VK_BACK,
    VK_RETURN, 'A', VK_TAB, VK_LEFT, VK_F1, '0', '6', VK_CONTROL, VK_SHIFT,
    // The view's keys: arrows, Home, zoom in and out (main row and keypad), Ctrl+0's keypad twin.
    VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_OEM_PLUS, VK_OEM_MINUS, VK_ADD, VK_SUBTRACT, VK_NUMPAD0, 'F',
    // Copy, cut and paste.
    'C', 'X', 'V'};

// The clipboard of the run: what the editor copied, or what clip records put there.
class FuzzClipboard final : public Clipboard {
  public:
    bool put(const std::string& lines, const std::u16string& outline) override {
        silent = false;
        mapLines = lines;
        text = outline;
        return true;
    }
    Content get(bool wantMapLines) override {
        Content content;
        if (silent) {
            content.kind = Content::Kind::NoAnswer;
        } else if (wantMapLines && !mapLines.empty()) {
            content.kind = Content::Kind::MapLines;
            content.mapLines = mapLines;
        } else if (!text.empty()) {
            content.kind = Content::Kind::Text;
            content.text = text;
        }
        return content;
    }
    void clear() {
        silent = false;
        mapLines.clear();
        text.clear();
    }

    std::string mapLines;
    std::u16string text;
    bool silent = false;
};
FuzzClipboard clipboard;

bool shiftHeld = false;
bool askShift() {
    return shiftHeld;
}

constexpr std::array<char16_t, 8> kOddUnits = {0xFFFF, 0xFFFE, 0xFEFF, 0x0301,
                                               0x200D, 0x202E, 0x0E3F, 0x3000};

std::int16_t coordinate(std::uint16_t value, int extent) {
    constexpr int kMargin = 120;
    if (value >= 0xFFF0) {
        const std::array<int, 8> edges = {SHRT_MIN, SHRT_MAX,        -1,         0, extent - 1,
                                          extent,   kPanelWidth - 1, kPanelWidth};
        return static_cast<std::int16_t>(edges[value % edges.size()]);
    }
    return static_cast<std::int16_t>(value % (extent + 2 * kMargin) - kMargin);
}

// The characters of one char record.
std::vector<char16_t> characters(Bytes& in) {
    const std::uint8_t kind = in.byte();
    const std::uint16_t v = in.u16();
    switch (kind % 8) {
        case 0:
            return {static_cast<char16_t>(32 + v % 95)};
        case 1:
            return {static_cast<char16_t>(0x4E00 + v % 0x5200)};
        case 2:
            return {static_cast<char16_t>(0xD800 + v % 0x400)};
        case 3:
            return {static_cast<char16_t>(0xDC00 + v % 0x400)};
        case 4:
            return {static_cast<char16_t>(0xD83C + v % 2), static_cast<char16_t>(0xDC00 + v % 0x400)};
        case 5:
            return {static_cast<char16_t>(v % 32)};
        case 6:
            return {static_cast<char16_t>(v)};
        default:
            return {kOddUnits[v % kOddUnits.size()]};
    }
}

class Session {
  public:
    Session(MindMap& map, const FilePool& files) : map(map), files(files) {}

    void play(Bytes& in) {
        const SavedState before = savedStateOf(map);
        const std::uint8_t opcode = in.byte();
        switch (opcode % 16) {
            case 0: {
                const std::int16_t x = coordinate(in.u16(), kWindowWidth);
                const std::int16_t y = coordinate(in.u16(), kWindowHeight);
                mouse(WM_MOUSEMOVE, x, y, (in.byte() & 1) != 0 ? Gfx::kMouseLeft : 0);
                break;
            }
            case 1: {
                const std::int16_t x = coordinate(in.u16(), kWindowWidth);
                mouse(WM_LBUTTONDOWN, x, coordinate(in.u16(), kWindowHeight), Gfx::kMouseLeft);
                break;
            }
            case 2:
                mouse(WM_LBUTTONUP, 0, 0, 0);
                break;
            case 3: {
                const std::int16_t x = coordinate(in.u16(), kWindowWidth);
                mouse(WM_RBUTTONDOWN, x, coordinate(in.u16(), kWindowHeight), Gfx::kMouseRight);
                break;
            }
            case 4:
                keys(in);
                break;
            case 5:
                type(characters(in));
                break;
            case 6:
                pressPanel(in.byte() % kPanelButtons.size());
                break;
            case 7:
                dragNode(in);
                break;
            case 8:
                pressDialog(in.byte());
                break;
            case 9:
                openFile(files.openPath(in.byte()));
                break;
            case 10:
                saveFile(files.savePath(in.byte()));
                break;
            case 11:
                map.drawFrame();
                break;
            case 12:
                wheel(in);
                break;
            case 13:
                middleDrag(in);
                break;
            case 15:
                fillClipboard(in);
                break;
            default: {
                const int length = in.byte() % 64;
                for (int i = 0; i < length && !in.empty(); ++i) type(characters(in));
                break;
            }
        }
        checkEditor(map);
        checkChangeCounted(before, map);
        if (++records % 8 == 0) checkRoundTrip(map);
    }

  private:
    // Whether the message makes the open dialog act on its path: a press on OK, or Enter.
    bool confirmsDialog(const Gfx::InputMessage& message) const {
        if (!map.showFileDialog || map.isEditing) return false;
        if (message.kind == WM_KEYDOWN) return message.key.keyCode == VK_RETURN;
        if (message.kind != WM_LBUTTONDOWN) return false;
        return pathDialogLayout(map.getPanelWidth()).ok.contains(message.mouse.x, message.mouse.y);
    }

    // When the dialog acts, its path must name something in the fuzzer's own folder: a typed
    // name, a relative path or one with folders of its own would otherwise be read or written
    // wherever the process runs. Done only then, as the user's typing would be: a path confined
    // while it is still being typed grows into a name that exists nowhere.
    void confinePath() {
        std::u16string& path = map.filePath;
        if (path.empty()) return;  // OK on an empty path does nothing
        const std::string& folder = files.folderPath();
        const std::u16string prefix = std::u16string(folder.begin(), folder.end()) + u"/";
        if (path.compare(0, prefix.size(), prefix) == 0 &&
            path.find(u'/', prefix.size()) == std::u16string::npos)
            return;
        std::u16string name = path;
        for (char16_t& unit : name) {
            if (unit == u'/') unit = u'_';
        }
        path = prefix + name;
    }

    void dispatch(const Gfx::InputMessage& message, MessageKind kind) {
        const bool confirms = confirmsDialog(message);
        std::u16string typed;
        FileAction action{};
        if (confirms) {
            typed = map.filePath;
            confinePath();
            action.open = !map.isSaveDialog;
            action.path.assign(map.filePath.begin(), map.filePath.end());
            action.pooled = files.isPoolPath(action.path);
        }
        const Modes before = modesOf(map);
        bool running = true;
        dispatchInput(map, message, running, askControl, askShift);
        checkView();
        checkModeChange(before, modesOf(map), kind);
        if (!running) {
            // The loop would end here: only a plain Escape ends the program.
            require(kind == MessageKind::Key && message.key.keyCode == VK_ESCAPE && !before.editing &&
                        !before.dialog,
                    "only Escape with no edit and no dialog ends the program");
        }
        if (confirms && map.showFileDialog) {
            map.filePath = typed;  // the message did not act after all: typing goes on
        } else if (confirms && !action.path.empty()) {
            countFileAction(map, action);
        }
        checkEditor(map);
    }

    void mouse(std::uint16_t kind, std::int16_t x, std::int16_t y, std::uint8_t flags) {
        Gfx::InputMessage message{};
        message.kind = kind;
        message.mouse.x = x;
        message.mouse.y = y;
        message.mouse.mouseFlags = static_cast<std::uint8_t>(flags | (controlHeld ? Gfx::kMouseCtrl : 0));
        dispatch(message, kind == WM_LBUTTONDOWN ? MessageKind::LeftPress : MessageKind::Other);
    }

    // The view stays within its bounds, whatever pans and zooms came before (UBSan watches its
    // arithmetic); the map's coordinates under the window's corners are computed without fault.
    void checkView() {
        const View& v = map.view;
        require(v.zoomPercent() >= View::kMinZoom && v.zoomPercent() <= View::kMaxZoom,
                "zoom within 10 to 400 %");
        require(v.offsetX() >= -View::kMaxOffset && v.offsetX() <= View::kMaxOffset &&
                    v.offsetY() >= -View::kMaxOffset && v.offsetY() <= View::kMaxOffset,
                "view offset within its bounds");
        for (int corner : {SHRT_MIN, SHRT_MAX}) {
            require(v.toWindowX(v.toMapX(corner)) <= corner,
                    "a window pixel's map point is drawn at or before it");
            (void)v.toMapY(corner);
        }
        if (map.root != nullptr) (void)nodeWindowBox(*map.root, v);
    }

    // Wheel steps, plain, with Shift and with Ctrl, of any size, at any pointer position.
    void wheel(Bytes& in) {
        const std::uint8_t flags = in.byte();
        const std::int16_t x = coordinate(in.u16(), kWindowWidth);
        const std::int16_t y = coordinate(in.u16(), kWindowHeight);
        Gfx::InputMessage message{};
        message.kind = WM_MOUSEWHEEL;
        message.mouse.x = x;
        message.mouse.y = y;
        message.mouse.mouseFlags = static_cast<std::uint8_t>(flags & (Gfx::kMouseCtrl | Gfx::kMouseShift));
        const std::uint16_t delta = in.u16();
        message.mouse.wheel = (flags & 0x80) != 0 ? static_cast<std::int16_t>(delta)
                                                  : static_cast<std::int16_t>((delta % 9 - 4) * WHEEL_DELTA);
        dispatch(message, MessageKind::Other);
    }

    // A middle-button drag over any distance, possibly without its release.
    void middleDrag(Bytes& in) {
        const std::int16_t x = coordinate(in.u16(), kWindowWidth);
        const std::int16_t y = coordinate(in.u16(), kWindowHeight);
        const std::uint8_t steps = in.byte();
        mouse(WM_MBUTTONDOWN, x, y, Gfx::kMouseMiddle);
        for (int i = 0; i < (steps & 7) && !in.empty(); ++i) {
            const std::int16_t mx = coordinate(in.u16(), kWindowWidth);
            const std::int16_t my = coordinate(in.u16(), kWindowHeight);
            mouse(WM_MOUSEMOVE, mx, my, (steps & 0x40) != 0 && i == 3 ? 0 : Gfx::kMouseMiddle);
        }
        if ((steps & 0x80) == 0) mouse(WM_MBUTTONUP, x, y, 0);
    }

    // Another program's clipboard content. Deep and huge outlines reach the import's limits (and
    // one line past them), so a paste is refused or built, never more.
    void fillClipboard(Bytes& in) {
        const std::uint8_t kind = in.byte();
        const std::uint16_t size = in.u16();
        clipboard.clear();
        std::u16string& text = clipboard.text;
        switch (kind % 8) {
            case 0:  // a chain of tab-indented lines, up to a few past the deepest level
                for (int i = 0; i < kMaxDepth - 8 + size % 16; ++i)
                    text += std::u16string(static_cast<std::size_t>(i), u'\t') + u"x\n";
                break;
            case 1:  // many lines, up to one past the limit, most of them blank
                text.assign(kMaxPastedLines - 2 + size % 4, u'\n');
                text += u"a\n b";
                break;
            case 2:  // map lines made of the input's bytes
                for (int i = 0; i < size % 512 && !in.empty(); ++i)
                    clipboard.mapLines.push_back(static_cast<char>(in.byte()));
                break;
            case 3:  // an owner that never answers
                clipboard.silent = true;
                break;
            case 4:  // map lines that nest below the deepest level
                for (int i = 0; i < kMaxDepth + size % 4; ++i)
                    clipboard.mapLines += std::string(2 * static_cast<std::size_t>(i), ' ') +
                                          "node: 1 2 140 45 1 2 3 4 5 6 " + std::to_string(i % 2) +
                                          " \"n\"\n";
                break;
            default:  // text of every kind of character, with tabs, spaces, line breaks and escapes
                for (int i = 0; i < size % 256 && !in.empty(); ++i) {
                    const std::uint8_t pick = in.byte();
                    if (pick < 64) {
                        static constexpr char16_t kLayout[] = {u'\t', u' ', u'\n', u'\r',
                                                               u'\\', u'e', u's',  u'n'};
                        text.push_back(kLayout[pick % 8]);
                    } else {
                        for (char16_t unit : characters(in)) text.push_back(unit);
                    }
                }
                break;
        }
    }

    void keys(Bytes& in) {
        const std::uint8_t pick = in.byte();
        const std::uint8_t flags = in.byte();
        controlHeld = (flags & 1) != 0;
        shiftHeld = (flags & 0x10) != 0;
        Gfx::InputMessage message{};
        message.kind = WM_KEYDOWN;
        message.key.keyCode = pick < 240 ? kKeys[pick % kKeys.size()] : pick;
        const int repeats = (flags >> 1) & 7;
        for (int i = 0; i <= repeats; ++i) {
            message.key.keyFlags = i == 0 ? 0 : 2;  // "already down" on auto-repeats
            dispatch(message, MessageKind::Key);
        }
    }

    void type(const std::vector<char16_t>& units) {
        for (char16_t unit : units) {
            Gfx::InputMessage message{};
            message.kind = WM_CHAR;
            message.text.character = unit;
            dispatch(message, MessageKind::Other);
        }
    }

    void typeAscii(const std::string& text) {
        for (char c : text) type({static_cast<char16_t>(c)});
    }

    void click(int x, int y) {
        mouse(WM_LBUTTONDOWN, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), Gfx::kMouseLeft);
        mouse(WM_LBUTTONUP, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0);
    }

    void pressPanel(std::size_t index) {
        const SceneRect box = panelButtonRect(map.getPanelWidth(), static_cast<int>(index));
        click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    }

    void dragNode(Bytes& in) {
        const std::uint16_t k = in.u16();
        const int dx = static_cast<std::int8_t>(in.byte()) * 4;
        const int dy = static_cast<std::int8_t>(in.byte()) * 4;
        // The shown nodes in drawing order; a node beyond int16 coordinates cannot be pointed at.
        std::vector<const Node*> shown;
        std::vector<const Node*> pending{map.root};
        while (!pending.empty()) {
            const Node* node = pending.back();
            pending.pop_back();
            const WideRect box = nodeWindowBox(*node, map.view);
            const long long cx = box.left + (box.right - box.left) / 2;
            const long long cy = box.top + (box.bottom - box.top) / 2;
            if (cx >= SHRT_MIN && cx <= SHRT_MAX && cy >= SHRT_MIN && cy <= SHRT_MAX) shown.push_back(node);
            if (!node->collapsed)
                pending.insert(pending.end(), node->children.rbegin(), node->children.rend());
        }
        if (shown.empty()) return;
        const Node* node = shown[k % shown.size()];
        const WideRect box = nodeWindowBox(*node, map.view);
        const int x = static_cast<int>(box.left + (box.right - box.left) / 2);
        const int y = static_cast<int>(box.top + (box.bottom - box.top) / 2);
        const auto clamp = [](int v) {
            return static_cast<std::int16_t>(v < SHRT_MIN ? SHRT_MIN : v > SHRT_MAX ? SHRT_MAX : v);
        };
        mouse(WM_LBUTTONDOWN, clamp(x), clamp(y), Gfx::kMouseLeft);
        mouse(WM_MOUSEMOVE, clamp(x + dx / 2), clamp(y + dy / 2), Gfx::kMouseLeft);
        mouse(WM_MOUSEMOVE, clamp(x + dx), clamp(y + dy), Gfx::kMouseLeft);
        mouse(WM_LBUTTONUP, clamp(x + dx), clamp(y + dy), 0);
    }

    void pressDialog(std::uint8_t target) {
        const PathDialogLayout dialog = pathDialogLayout(map.getPanelWidth());
        const std::array<SceneRect, 4> targets = {dialog.ok, dialog.cancel, dialog.pathBox, dialog.hint};
        const SceneRect box = targets[target % targets.size()];
        click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    }

    // Types path into a dialog the panel button opened and presses OK. Returns whether the
    // press reached an open dialog of that kind holding exactly that path.
    bool runDialog(std::size_t button, bool save, const std::string& path) {
        pressPanel(button);
        typeAscii(path);
        const bool ready = map.showFileDialog && map.isSaveDialog == save &&
                           map.filePath == std::u16string(path.begin(), path.end());
        pressDialog(0);
        if (ready) require(!map.showFileDialog, "OK closes the dialog");
        return ready;
    }

    void openFile(const std::string& path) {
        const std::string before = map.saveToBytes();
        if (!runDialog(8, false, path)) return;
        std::string bytes;
        if (readWholeFile(path, bytes)) {
            require(map.saveToBytes() == openedAndSaved(bytes), "an open gives what the file's bytes give");
            require(map.selectedNode == map.root, "an open selects the root");
        } else {
            require(map.saveToBytes() == before, "a file that cannot be read leaves the map");
        }
    }

    void saveFile(const std::string& path) {
        if (!runDialog(7, true, path)) return;
        std::string bytes;
        require(readWholeFile(path, bytes), "a save into the private folder succeeds");
        require(bytes == map.saveToBytes(), "the saved file holds what the map saves");
    }

    MindMap& map;
    const FilePool& files;
    unsigned records = 0;
};

struct Fixture {
    Fixture() : image(kWindowWidth, kWindowHeight) {
        Gfx::setWorkingImage(&image);
        applyEditorTextStyle();
    }
    Gfx::IMAGE image;
    FilePool files;
};
Fixture* fixture = nullptr;

}  // namespace
}  // namespace editor_fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Lives for the whole run; the pool's folder goes with the process's end.
    static editor_fuzz::Fixture made;
    editor_fuzz::fixture = &made;
    replaceClipboard(&editor_fuzz::clipboard);
    std::atexit(editor_fuzz::printFileStats);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace editor_fuzz;
    auto map = std::make_unique<MindMap>();
    controlHeld = false;
    clipboard.clear();
    fixture->files.clearSaves();
    Session session(*map, fixture->files);
    Bytes in(data, size);
    while (!in.empty()) session.play(in);
    checkRoundTrip(*map);
    return 0;
}
