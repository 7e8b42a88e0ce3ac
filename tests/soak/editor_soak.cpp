// Drives the real editor with random real X input for a while: clicks, right-clicks and drags
// anywhere in the window, the editor's keys and others, typed text, the panel, the path dialog
// with files of its own. Every half minute it checks that the editor still runs and its window
// still answers; at the end it saves the map, checks that the file opens back to the same
// bytes, ends the editor with Escape and wants exit code 0.
// Escape and the close button are never sent before the end: either would end the program;
// drags end on the canvas's right part, so that few nodes cover the panel.
// Usage: editor_soak EDITOR WORK_DIR SECONDS [SEED]
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "tests/support/editor_session.h"

namespace {

using mmtest::EditorSession;
using mmtest::Milliseconds;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1380;
constexpr int kHeight = 750;
constexpr Milliseconds kPatience{60000};  // an ASan build on a busy machine
// Drags end right of this: a node dropped on the panel hides the buttons whose hover tells that
// the editor answers.
constexpr int kDropLeft = 560;

// The dialog's buttons and a panel button's centre, in window coordinates.
constexpr int kDialogCancelX = 720;
constexpr int kDialogCancelY = 290;
int panelY(int button) {
    return 80 + button * 45 + 17;
}

// A hovered button is filled 10 % darker.
std::uint32_t hoverFill(std::uint32_t fill) {
    std::uint32_t darker = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        darker |= static_cast<std::uint32_t>(static_cast<double>((fill >> shift) & 0xFF) * 0.9) << shift;
    }
    return darker;
}

const unsigned long kKeys[] = {XK_space, XK_Delete, XK_1, XK_2,         XK_3,       XK_4, XK_5,
                               XK_f,     XK_F2,     XK_h, XK_BackSpace, XK_Return,  XK_a, XK_Tab,
                               XK_Left,  XK_F1,     XK_0, XK_6,         XK_KP_Enter};

class Soak {
  public:
    Soak(EditorSession& editor, std::string workDir, unsigned seed)
        : editor(editor), dir(std::move(workDir)), random(seed) {}

    void step() {
        const int kind = pick(12);
        if (std::getenv("MM_SOAK_VERBOSE") != nullptr) std::fprintf(stderr, "step %d\n", kind);
        switch (kind) {
            case 0:
                editor.click(pick(kWidth), pick(kHeight));
                break;
            case 1:
                editor.click(pick(kWidth), pick(kHeight), 3);
                break;
            case 2:
                editor.drag(pick(kWidth), pick(kHeight), pick(kWidth), pick(kHeight));
                break;
            case 3:
                editor.moveTo(pick(kWidth), pick(kHeight));
                break;
            case 4:
                editor.tap(kKeys[pick(std::size(kKeys))]);
                break;
            case 5:
                editor.tap(pick(2) == 0 ? XK_z : XK_y, {XK_Control_L});
                break;
            case 6:
                editor.type(randomText());
                break;
            case 7:
                editor.click(110, panelY(pick(7)));
                break;  // the editing buttons, not save/open/help
            case 8:
                editor.click(kDialogCancelX, kDialogCancelY);
                break;
            case 9:
                dialog(pick(2) == 0);
                break;
            case 10:
                editor.tap(XK_F2);
                editor.type(randomText());
                editor.tap(XK_Return);
                break;
            default:
                editor.tap(XK_h);
                break;
        }
    }

    std::string savePath(int slot) const { return dir + "/soak-" + std::to_string(slot) + ".mind"; }

  private:
    int pick(std::size_t n) {
        return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(random));
    }

    std::string randomText() {
        static const char kLetters[] = "abcXYZ 019-_.,;'[]=";
        std::string text;
        const int length = 1 + pick(12);
        for (int i = 0; i < length; ++i) text.push_back(kLetters[pick(sizeof kLetters - 1)]);
        return text;
    }

    // Ctrl+S or Ctrl+O, then a path of the soak's own (or one that does not exist), then OK.
    void dialog(bool save) {
        editor.tap(save ? XK_s : XK_o, {XK_Control_L});
        editor.type(pick(4) == 0 ? dir + "/absent.mind" : savePath(pick(3)));
        editor.click(520, 290);  // OK, or a canvas click when no dialog opened
    }

    EditorSession& editor;
    std::string dir;
    std::mt19937 random;
};

// The editor answers when hovering a panel button shows its hover fill and leaving it shows
// its own fill again, within the patience. A dragged node may cover a button: the first button
// that shows its own fill is the one asked. With every button covered, only a living process
// can be asked for.
bool showsAfterMoves(EditorSession& editor, int toX, int toY, int probeX, int probeY, std::uint32_t colour) {
    // A move that comes while the editor's input queue is full is lost, as on Windows; a user
    // would move again, and so does the soak, once a second.
    const auto end = std::chrono::steady_clock::now() + kPatience;
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        editor.moveTo(toX + i % 2, toY);
        if (editor.waitForColour(probeX, probeY, colour, Milliseconds{1000})) return true;
    }
    return false;
}

bool stillRunning(EditorSession& editor) {
    for (int i = 0; i < static_cast<int>(kPanelButtons.size()); ++i) {
        const SceneRect box = panelButtonRect(kPanelWidth, i);
        const int probeX = box.left + 4;
        const int probeY = box.bottom - 3;
        const std::uint32_t fill = kPanelButtons[static_cast<std::size_t>(i)].fillColor;
        if (editor.colourAt(probeX, probeY) != fill) continue;
        return showsAfterMoves(editor, (box.left + box.right) / 2 + 60, (box.top + box.bottom) / 2, probeX,
                               probeY, hoverFill(fill)) &&
               showsAfterMoves(editor, kWidth - 2, kHeight / 2, probeX, probeY, fill);
    }
    return !editor.waitForExit(Milliseconds{0}).has_value();
}

// Where a stuck editor stands tells more than its silence.
void showThreads(const EditorSession& editor) {
    const std::string command =
        "gdb -p " + std::to_string(editor.pid()) + " -batch -ex 'thread apply all bt' >&2 2>/dev/null";
    [[maybe_unused]] const int status = std::system(command.c_str());
    if (std::getenv("MM_SOAK_HOLD") != nullptr) {
        std::fprintf(stderr, "soak: holding the editor (pid %d) for a look\n",
                     static_cast<int>(editor.pid()));
        std::this_thread::sleep_for(std::chrono::seconds(std::atoi(std::getenv("MM_SOAK_HOLD"))));
    }
}

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Closes whatever mode is open (an edit with Return, the dialog with Cancel), saves through the
// panel's save button (which acts under the help screen too) and checks the file.
bool finalSave(EditorSession& editor, const std::string& path) {
    editor.tap(XK_Return);
    editor.click(kDialogCancelX, kDialogCancelY);
    if (!stillRunning(editor)) return false;
    std::remove(path.c_str());
    editor.click(110, panelY(7));
    // Typed and confirmed without the session's settling, whose probe button a node may cover.
    if (!editor.waitForPathDialog(kPatience)) {
        std::fprintf(stderr, "soak: the save button opened no dialog\n");
        return false;
    }
    for (char c : path) {  // at a typist's pace: a burst could overrun the editor's input queue
        editor.type(std::string(1, c));
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    editor.click(520, 290);  // OK
    // The file tells: the help screen, if shown, has the dialog's grey where the dialog was.
    for (int i = 0; i < 600 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string bytes;
    if (!readFile(path, bytes)) {
        std::fprintf(stderr, "soak: the final save wrote no file\n");
        return false;
    }
    MindMap reopened;
    if (!reopened.loadFromBytes(bytes) || reopened.saveToBytes() != bytes) {
        std::fprintf(stderr, "soak: the final save does not open back to the same bytes\n");
        return false;
    }
    std::printf("soak: final save of %zu bytes opens back the same\n", bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: editor_soak EDITOR WORK_DIR SECONDS [SEED]\n");
        return 2;
    }
    const std::string dir = argv[2];
    const auto seconds = std::chrono::seconds(std::atoi(argv[3]));
    const unsigned seed =
        argc > 4 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : std::random_device{}();
    std::printf("soak: seed %u, %lld s\n", seed, static_cast<long long>(seconds.count()));

    EditorSession editor;
    if (!editor.connected() || !editor.start(argv[1], dir) || !editor.waitForWindow(kPatience) ||
        !editor.waitForFirstFrame(kPatience)) {
        std::fprintf(stderr, "soak: the editor did not start on the display\n");
        return 1;
    }
    Soak soak(editor, dir, seed);
    const auto end = Clock::now() + seconds;
    auto nextCheck = Clock::now() + std::chrono::seconds(30);
    long steps = 0;
    while (Clock::now() < end) {
        soak.step();
        ++steps;
        // A person's pace, not a flood: the queue's capacity is not what the soak is about.
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        if (steps % 40 == 0 && !stillRunning(editor)) {
            std::fprintf(stderr, "soak: after %ld steps the editor stopped answering\n", steps);
            showThreads(editor);
            return 1;
        }
        if (Clock::now() >= nextCheck) {
            if (!stillRunning(editor)) {
                std::fprintf(stderr, "soak: after %ld steps the editor ended or stopped answering\n", steps);
                showThreads(editor);
                return 1;
            }
            nextCheck = Clock::now() + std::chrono::seconds(30);
        }
    }
    std::printf("soak: %ld random steps\n", steps);
    if (!stillRunning(editor) || !finalSave(editor, soak.savePath(9))) return 1;
    editor.tap(XK_Escape);
    const std::optional<int> code = editor.waitForExit(kPatience);
    if (code != 0) {
        std::fprintf(stderr, "soak: Escape did not end the editor with code 0\n");
        return 1;
    }
    std::printf("soak: the editor ran clean and ended with code 0\n");
    return 0;
}
