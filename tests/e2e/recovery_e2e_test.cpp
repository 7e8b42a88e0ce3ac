// The real editor keeps unsaved work in its recovery copy however it ends: Escape, the close
// button, SIGTERM, SIGHUP, SIGINT and the loss of the X server; the copy holds exactly what a
// save would have written; --recover opens it and a clean save removes it.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/recovery_offer.h"
#include "app/model/scene_layout.h"
#include "tests/e2e/editor_fixture.h"

namespace e2e {
namespace {

// A right-click adds a child to the selected root: its box shows at (800, 475).
constexpr int kChildX = 800;
constexpr int kChildY = 475;

class RecoveryE2E : public EditorFixture {
  protected:
    fs::path stateFolder() const { return dir / "state" / "mindmap"; }
    // The one recovery copy in the state folder (each editor names its own), or a path that
    // does not exist when there is none.
    fs::path copyFile() const {
        const auto copies = copyFiles();
        return copies.size() == 1 ? copies[0] : stateFolder() / "no-single-copy";
    }
    std::vector<fs::path> copyFiles() const {
        std::vector<fs::path> copies;
        std::error_code error;
        for (fs::directory_iterator it(stateFolder(), error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.rfind("recovery", 0) == 0 && name.size() > 5 && name.substr(name.size() - 5) == ".mind")
                copies.push_back(it->path());
        }
        return copies;
    }

    // The map after one right-click, as Save writes it.
    static std::string oneChildMap() {
        MindMap map;
        map.addChildNode();
        return map.saveToBytes();
    }

    void addChild() {
        session.click(1000, 650, 3);
        ASSERT_TRUE(nodeShows(kChildX, kChildY, kSelected));
    }

    std::string said() const { return readBytes(dir / "stderr.txt"); }
};

struct End {
    const char* name;
    void (*perform)(EditorSession&);
    int signal;  // the signal that ends the program; 0: it exits with code 0
};
const End kEnds[] = {
    {"Escape", [](EditorSession& s) { s.tap(XK_Escape); }, 0},
    {"CloseButton", [](EditorSession& s) { s.sendCloseRequest(); }, 0},
    {"SIGTERM", [](EditorSession& s) { kill(s.pid(), SIGTERM); }, SIGTERM},
    {"SIGHUP", [](EditorSession& s) { kill(s.pid(), SIGHUP); }, SIGHUP},
    {"SIGINT", [](EditorSession& s) { kill(s.pid(), SIGINT); }, SIGINT},
};

class EveryEnd : public RecoveryE2E, public ::testing::WithParamInterface<End> {};

TEST_P(EveryEnd, KeepsTheUnsavedWork) {
    const End& end = GetParam();
    launch();
    addChild();
    end.perform(session);
    const auto code = session.waitForExit(kEditorPatience);
    if (end.signal == 0) {
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0);
    } else {
        EXPECT_EQ(session.endSignal(), end.signal);
    }
    ASSERT_TRUE(fs::exists(copyFile())) << said();
    EXPECT_EQ(readBytes(copyFile()), oneChildMap());
    EXPECT_NE(said().find("未保存的修改已存入 " + copyFile().string()), std::string::npos) << said();
}

INSTANTIATE_TEST_SUITE_P(RecoveryE2E, EveryEnd, ::testing::ValuesIn(kEnds),
                         [](const ::testing::TestParamInfo<End>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(RecoveryE2E, NothingUnsavedLeavesNoCopy) {
    launch();
    quitWithEscape();
    EXPECT_FALSE(fs::exists(copyFile()));

    launch();
    addChild();
    saveWithShortcut("saved.mind");
    quitWithEscape();
    EXPECT_FALSE(fs::exists(copyFile()));
    EXPECT_EQ(readBytes(dir / "saved.mind"), oneChildMap());
}

TEST_F(RecoveryE2E, StartSaysWhereACopyWaitsAndRecoverOpensIt) {
    fs::create_directories(stateFolder());
    {
        std::ofstream out(stateFolder() / "recovery.mind", std::ios::binary);
        out << oneChildMap();
    }
    launch();
    EXPECT_NE(said().find("发现未保存的导图: " + copyFile().string()), std::string::npos) << said();
    session.tap(XK_Escape);  // "忽略" on the offer
    ASSERT_TRUE(session.settle(kEditorPatience));
    quitWithEscape();
    EXPECT_TRUE(fs::exists(copyFile())) << "a copy nobody took up stays";

    launch({}, {"--recover"});
    ASSERT_TRUE(nodeShows(kChildX, kChildY, kDefaultFill)) << "the recovered child";
    saveWithShortcut("recovered.mind");
    // The next passes see the clean save: the copy has done its work.
    ASSERT_TRUE(session.settle(kEditorPatience));
    quitWithEscape();
    EXPECT_FALSE(fs::exists(copyFile()));
    EXPECT_EQ(readBytes(dir / "recovered.mind"), oneChildMap());
}

TEST_F(RecoveryE2E, LosingTheXServerKeepsTheWorkAndEndsLoudly) {
    // A server of the test's own, killed under the editor.
    int number = 150;
    while (number < 200 && fs::exists("/tmp/.X11-unix/X" + std::to_string(number))) ++number;
    // Appended, not ":" + string: GCC 12 warns falsely (-Wrestrict) on that in optimised
    // ThreadSanitizer builds.
    std::string display = ":";
    display += std::to_string(number);
    const pid_t server = fork();
    ASSERT_GE(server, 0);
    if (server == 0) {
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1600x900x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    for (int i = 0; i < 200 && !fs::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    const char* previous = std::getenv("DISPLAY");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("DISPLAY", display.c_str(), 1);
    // Connected to the private server, whose death would end this process in Xlib's handler
    // at the session's next call: it is never called again, nor destroyed, after the kill.
    static EditorSession* const lost = new EditorSession;
    EditorSession& editor = *lost;
    setenv("DISPLAY", saved.c_str(), 1);
    const bool started = editor.connected() &&
                         editor.start(MM_EDITOR_PATH, dir.string(), {"DISPLAY=" + display}) &&
                         editor.waitForWindow(kEditorPatience) && editor.waitForFirstFrame(kEditorPatience);
    if (!started) {
        kill(server, SIGKILL);
        waitpid(server, nullptr, 0);
        FAIL() << "the editor did not start on a private X server" << said();
    }
    editor.click(1000, 650, 3);
    ASSERT_TRUE(editor.waitForColour(probeX(kChildX), probeY(kChildY), kSelected, kEditorPatience));

    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
    const auto code = editor.waitForExit(kEditorPatience);
    ASSERT_TRUE(code.has_value()) << "the editor did not end by itself; signal " << editor.endSignal();
    EXPECT_NE(*code, 0);
    EXPECT_NE(said().find("the connection to the X display was lost"), std::string::npos) << said();
    ASSERT_TRUE(fs::exists(copyFile())) << said();
    EXPECT_EQ(readBytes(copyFile()), oneChildMap());
}

// Several editors at once, each in a folder of its own but with the one state folder. Each new
// window opens over the ones before, so only the newest takes the pointer and the keys.
class ManyEditors : public RecoveryE2E {
  protected:
    // Starts another editor; its output goes to <name>/stderr.txt.
    void start(EditorSession& editor, const std::string& name, const std::vector<std::string>& args = {}) {
        const fs::path place = dir / name;
        fs::create_directories(place);
        ASSERT_TRUE(editor.connected());
        ASSERT_TRUE(editor.start(MM_EDITOR_PATH, place.string(),
                                 {"XDG_STATE_HOME=" + (dir / "state").string()}, args));
        ASSERT_TRUE(editor.waitForWindow(kEditorPatience));
        ASSERT_TRUE(editor.waitForFirstFrame(kEditorPatience));
    }
    // Right-clicks: each adds a child below the one before.
    static void addChildren(EditorSession& editor, int count) {
        for (int i = 0; i < count; ++i) editor.click(1000, 650, 3);
        ASSERT_TRUE(editor.settle(kEditorPatience));
    }
    static std::string mapWithChain(int children) {
        MindMap map;
        for (int i = 0; i < children; ++i) map.addChildNode();
        return map.saveToBytes();
    }
    fs::path copyOf(pid_t pid) const {
        std::string owner = "-";  // appended: GCC 12 misreads "-" + string as overlapping copies
        owner += std::to_string(pid);
        for (const fs::path& copy : copyFiles()) {
            const std::string name = copy.filename().string();
            if (name.size() > 5 && name.substr(0, name.size() - 5).ends_with(owner)) return copy;
        }
        return stateFolder() / "none";
    }
    // Waits for the copy an editor writes once its map has been still for five seconds.
    bool waitForCopy(pid_t pid, const std::string& bytes) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < end) {
            if (fs::exists(copyOf(pid)) && readBytes(copyOf(pid)) == bytes) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    std::string saidBy(const std::string& name) const { return readBytes(dir / name / "stderr.txt"); }
    // What lies in the state folder, for a failure's message.
    std::string stateFiles() const {
        std::string list;
        std::error_code error;
        for (fs::directory_iterator it(stateFolder(), error), end; !error && it != end; it.increment(error))
            list += it->path().filename().string() + "\n";
        return list;
    }
};

TEST_F(ManyEditors, TwoEditorsKeepTheirOwnWorkThroughACrashAndACleanSave) {
    EditorSession a;
    EditorSession b;
    // Each new window opens over the ones before: an editor is driven before the next starts.
    start(a, "a");
    addChildren(a, 1);
    start(b, "b");
    addChildren(b, 2);
    ASSERT_TRUE(waitForCopy(a.pid(), mapWithChain(1))) << a.pid() << "\n" << stateFiles() << saidBy("a");
    ASSERT_TRUE(waitForCopy(b.pid(), mapWithChain(2))) << saidBy("b");

    // B saves cleanly: its own copy goes, A's stays.
    b.tap(XK_s, {XK_Control_L});
    ASSERT_TRUE(b.waitForPathDialog(kEditorPatience));
    ASSERT_TRUE(b.enterPath("b.mind", kEditorPatience));
    ASSERT_TRUE(b.waitForPathDialogClosed(kEditorPatience));
    ASSERT_TRUE(b.settle(kEditorPatience));
    EXPECT_FALSE(fs::exists(copyOf(b.pid())));
    EXPECT_EQ(readBytes(copyOf(a.pid())), mapWithChain(1));

    // A crashes: nothing runs at its end, its copy is what it wrote before.
    const pid_t crashed = a.pid();
    kill(a.pid(), SIGKILL);
    a.waitForExit(kEditorPatience);
    EXPECT_EQ(readBytes(copyOf(crashed)), mapWithChain(1));

    // B edits on and ends: its end writes its own copy, A's untouched.
    addChildren(b, 1);
    b.tap(XK_Escape);
    ASSERT_TRUE(b.waitForExit(kEditorPatience).has_value());
    ASSERT_EQ(copyFiles().size(), 2u) << saidBy("b");
    EXPECT_EQ(readBytes(copyOf(crashed)), mapWithChain(1));
    EXPECT_EQ(readBytes(copyOf(b.pid())), mapWithChain(3));
    EXPECT_NE(saidBy("b").find("未保存的修改已存入 " + copyOf(b.pid()).string()), std::string::npos)
        << saidBy("b");
}

TEST_F(ManyEditors, ThreeEditorsEndingEachTheirWayLeaveThreeCopiesOfferedToTheNext) {
    EditorSession a;
    EditorSession b;
    EditorSession c;
    start(a, "a");
    addChildren(a, 1);
    start(b, "b");
    addChildren(b, 2);
    start(c, "c");
    addChildren(c, 3);
    ASSERT_TRUE(waitForCopy(b.pid(), mapWithChain(2)));
    const pid_t pids[] = {a.pid(), b.pid(), c.pid()};
    kill(a.pid(), SIGTERM);
    kill(b.pid(), SIGKILL);
    c.tap(XK_Escape);
    a.waitForExit(kEditorPatience);
    b.waitForExit(kEditorPatience);
    ASSERT_TRUE(c.waitForExit(kEditorPatience).has_value());
    ASSERT_EQ(copyFiles().size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(readBytes(copyOf(pids[i])), mapWithChain(i + 1)) << i;

    // The next editor is told of each and takes one up (Enter opens the newest): it is that
    // editor's own copy now, so an editor started beside it is offered only the other two.
    EditorSession d;
    start(d, "d");
    for (const pid_t pid : pids)
        EXPECT_NE(saidBy("d").find("发现未保存的导图: " + copyOf(pid).string()), std::string::npos)
            << saidBy("d");
    ASSERT_TRUE(d.waitForColour(kPanelWidth + 205, 155, kBoxFill, kEditorPatience)) << "the offer";
    d.tap(XK_Return);
    ASSERT_TRUE(d.waitForOtherColour(kPanelWidth + 205, 155, kBoxFill, kEditorPatience));
    ASSERT_TRUE(d.settle(kEditorPatience));
    ASSERT_EQ(copyFiles().size(), 3u) << stateFiles();
    const fs::path taken = copyOf(d.pid());
    ASSERT_TRUE(fs::exists(taken)) << stateFiles();
    EditorSession e;
    start(e, "e");
    EXPECT_EQ(saidBy("e").find(taken.string()), std::string::npos) << saidBy("e");
    int offered = 0;
    for (const fs::path& copy : copyFiles()) offered += saidBy("e").find(copy.string()) != std::string::npos;
    EXPECT_EQ(offered, 2) << saidBy("e");
    kill(d.pid(), SIGKILL);
    kill(e.pid(), SIGKILL);
}

// The offer over the canvas at start: a copy of an ended editor and a backup of an interrupted
// save, each a row; Escape keeps them for later without ending the program, "删除" moves one to
// discarded/, "打开" opens one as unsaved work that a save then ends.
class OfferE2E : public RecoveryE2E {
  protected:
    static constexpr std::uint32_t kBox = kBoxFill;
    bool offerShown() { return session.waitForColour(kPanelWidth + 205, 155, kBox, kEditorPatience); }
    bool offerGone() { return session.waitForOtherColour(kPanelWidth + 205, 155, kBox, kEditorPatience); }
    void press(const SceneRect& r) { session.click((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    static std::string chain(int children) {
        MindMap map;
        for (int i = 0; i < children; ++i) map.addChildNode();
        return map.saveToBytes();
    }
};

TEST_F(OfferE2E, EscapeIgnoresDeleteDiscardsOpenTakesUp) {
    fs::create_directories(stateFolder());
    const fs::path copy = stateFolder() / "recovery-100-999999.mind";
    const fs::path backup = stateFolder() / "plan.mind.999998-1.backup";
    std::ofstream(copy, std::ios::binary) << chain(1);
    std::ofstream(backup, std::ios::binary) << chain(2);
    fs::last_write_time(backup, fs::file_time_type::clock::now() - std::chrono::hours(1));

    launch();
    ASSERT_TRUE(offerShown());
    const RecoveryOfferLayout two = recoveryOfferLayout(kPanelWidth, 2);
    const SceneRect firstRow = offerRow(two, 0);
    const SceneRect secondRow = offerRow(two, 1);
    EXPECT_TRUE(session.waitForColour(firstRow.left + 2, firstRow.bottom - 3, kSelected, kEditorPatience))
        << "the newest is selected";
    session.tap(XK_Escape);
    ASSERT_TRUE(offerGone());
    EXPECT_FALSE(session.waitForExit(Milliseconds(300)).has_value()) << "Escape on the offer ends nothing";
    quitWithEscape();
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_TRUE(fs::exists(backup));

    launch();
    ASSERT_TRUE(offerShown());
    session.tap(XK_Down);
    ASSERT_TRUE(session.waitForColour(secondRow.left + 2, secondRow.bottom - 3, kSelected, kEditorPatience));
    press(two.discard);
    ASSERT_TRUE(session.settle(kEditorPatience));
    EXPECT_FALSE(fs::exists(backup));
    EXPECT_EQ(readBytes(stateFolder() / "discarded" / backup.filename()), chain(2));
    const RecoveryOfferLayout one = recoveryOfferLayout(kPanelWidth, 1);
    ASSERT_TRUE(offerShown()) << "the copy is still offered";
    press(one.open);
    ASSERT_TRUE(offerGone());
    ASSERT_TRUE(nodeShows(kChildX, kChildY, kDefaultFill)) << "the copy's child";
    ASSERT_TRUE(session.settle(kEditorPatience));
    EXPECT_FALSE(fs::exists(copy)) << "taken up as this editor's own copy";
    ASSERT_EQ(copyFiles().size(), 1u);
    EXPECT_EQ(readBytes(copyFiles()[0]), chain(1));
    saveWithShortcut("kept.mind");
    ASSERT_TRUE(session.settle(kEditorPatience));
    EXPECT_TRUE(copyFiles().empty()) << "saved: no copy is needed";
    quitWithEscape();
    EXPECT_EQ(readBytes(dir / "kept.mind"), chain(1));
}

}  // namespace
}  // namespace e2e
