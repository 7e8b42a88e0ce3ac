// A long session of small changes in the real editor, each redrawing only its damage, must
// leave the window exactly as a fresh editor draws the saved map: a part the damage missed, or
// a copy that left stale pixels behind, shows up as a difference. Whatever damages the whole
// window (a collapse, an added node, the edit box, the path dialog) would wipe such stale pixels
// away, so the session ends with a long run of changes that damage parts only, and its picture
// is taken before the save's dialog. On a difference both pictures are written as PPM files
// into the kept scratch folder.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/editor_fixture.h"

namespace {

using namespace e2e;

// The random steps are drawn from this seed; a failure names it and the step.
constexpr unsigned kSeed = 20261208;
constexpr int kMixedSteps = 30;
constexpr int kPartialSteps = 50;

constexpr int kWindowWidth = 1380;
constexpr int kWindowHeight = 750;
constexpr int kCanvasLeft = 220;
constexpr int kCanvasBottom = 730;  // the status bar below
// Empty canvas, where settle leaves the pointer.
constexpr int kNeutralX = 1300;
constexpr int kNeutralY = 700;

struct Node {
    int x, y;
    std::string caption;
    int depth;
    bool branch;  // has children
};

// The root; six branches of five leaves; four nodes beyond the window's edges (behind the
// panel, above the top, under the status bar, far right). Pre-order, as the file has them.
std::vector<Node> sessionMap() {
    std::vector<Node> nodes = {{560, 5, "Root", 0, true}};
    for (int b = 0; b < 6; ++b) {
        const int bx = 240 + b * 210;
        const std::string letter(1, static_cast<char>('A' + b));
        nodes.push_back({bx, 80, "Branch " + letter, 1, true});
        for (int k = 0; k < 5; ++k) {
            nodes.push_back({bx + 20, 160 + k * 105, "Leaf " + letter + std::to_string(k + 1), 2, false});
        }
        if (b == 0) nodes.push_back({-100, 600, "Far West", 2, false});
        if (b == 1) nodes.push_back({300, -30, "Above", 2, false});
        if (b == 3) nodes.push_back({880, 700, "Below", 2, false});
        if (b == 5) nodes.push_back({1600, 300, "Far East", 2, false});
    }
    return nodes;
}

void writeMap(const fs::path& path, const std::vector<Node>& nodes) {
    std::ofstream file(path, std::ios::binary);
    file << "\xEF\xBB\xBF";
    for (const Node& node : nodes) {
        file << std::string(2 * node.depth, ' ') << "node: " << node.x << ' ' << node.y
             << " 140 45 220 220 220 0 0 0 0 \"" << node.caption << "\"\n";
    }
}

// Where a click selects the node without touching its collapse marker.
int grabX(const Node& node) {
    return node.x + 10;
}
int grabY(const Node& node) {
    return node.y + 10;
}
bool clickable(const Node& node) {
    return grabX(node) >= kCanvasLeft && grabX(node) < kWindowWidth && grabY(node) >= 0 &&
           node.y + 45 < kCanvasBottom;
}

// The editor's 0x00BBGGRR pixels as a binary PPM.
void writePpm(const fs::path& path, const std::vector<std::uint32_t>& pixels) {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << kWindowWidth << ' ' << kWindowHeight << "\n255\n";
    for (const std::uint32_t colour : pixels) {
        const char rgb[3] = {static_cast<char>(colour & 0xFF), static_cast<char>((colour >> 8) & 0xFF),
                             static_cast<char>((colour >> 16) & 0xFF)};
        file.write(rgb, 3);
    }
}

class DamageSessionE2E : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        nodes = sessionMap();
        nodes0 = nodes;
        writeMap(dir / "map.mind", nodes);
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (clickable(nodes[i]) && i != 0) grabbable.push_back(static_cast<int>(i));
            if (nodes[i].branch && i != 0) branches.push_back(static_cast<int>(i));
        }
    }

    bool settled() { return session.settle(kEditorPatience); }

    void select(int index) {
        session.click(grabX(nodes[index]), grabY(nodes[index]));
        ASSERT_TRUE(settled());
    }

    // Presses on the node and moves it by (dx, dy) in a few small steps.
    void dragInSteps(int index, int dx, int dy, int steps) {
        Node& node = nodes[index];
        int px = grabX(node);
        int py = grabY(node);
        session.press(px, py);
        for (int s = 1; s <= steps; ++s) {
            session.moveTo(grabX(node) + dx * s / steps, grabY(node) + dy * s / steps);
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
        px = grabX(node) + dx;
        py = grabY(node) + dy;
        session.release(px, py);
        node.x += dx;
        node.y += dy;
        // A dragged node is selected where it was put; looked at near its right end, clear of
        // the connectors that pass its left one.
        if (probeY(node.y) < kCanvasBottom && node.x + 110 < kWindowWidth) {
            ASSERT_TRUE(session.waitForColour(node.x + 110, probeY(node.y), kSelected, kEditorPatience))
                << node.caption << " after a drag by " << dx << ", " << dy;
        }
        ASSERT_TRUE(settled());
    }

    void hoverPanelButtons(std::mt19937& random) {
        const int count = 2 + static_cast<int>(random() % 4);
        for (int i = 0; i < count; ++i) {
            const int button = static_cast<int>(random() % 10);
            session.moveTo(60 + static_cast<int>(random() % 100),
                           80 + button * 45 + 5 + static_cast<int>(random() % 25));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        ASSERT_TRUE(settled());
    }

    void collapseAndExpand(int branch) {
        select(branch);
        session.tap(XK_f);
        ASSERT_TRUE(settled());
        session.tap(XK_f);
        ASSERT_TRUE(settled());
    }

    // A recolour or an added child, taken back, done again and taken back again.
    void undoRedo(std::mt19937& random, bool recolourOnly) {
        if (recolourOnly || random() % 2 == 0) {
            session.tap(XK_2 + static_cast<unsigned long>(random() % 2));
        } else {
            session.click(kNeutralX, kNeutralY - 40, 3);
        }
        ASSERT_TRUE(settled());
        session.tap(XK_z, {XK_Control_L});
        ASSERT_TRUE(settled());
        session.tap(XK_y, {XK_Control_L});
        ASSERT_TRUE(settled());
        session.tap(XK_z, {XK_Control_L});
        ASSERT_TRUE(settled());
    }

    // Any step, or (partOnly) one whose frames damage parts only: a selection, a recolour, a
    // hover, a drag, a recolour undone and redone.
    void randomStep(std::mt19937& random, bool partOnly) {
        const int pick = grabbable[random() % grabbable.size()];
        const unsigned kind = static_cast<unsigned>(random() % 6);
        if (partOnly && kind == 4) {
            hoverPanelButtons(random);
            return;
        }
        if (partOnly && kind == 5) {
            select(pick);
            undoRedo(random, true);
            return;
        }
        switch (kind) {
            case 0:
                select(pick);
                break;
            case 1: {
                select(pick);
                static constexpr unsigned long kRecolours[] = {XK_1, XK_2, XK_3, XK_4, XK_5};
                session.tap(kRecolours[random() % 5]);
                ASSERT_TRUE(settled());
                break;
            }
            case 2:
                hoverPanelButtons(random);
                break;
            case 3: {
                // To a place at most 30 pixels across and 15 up or down from where the node
                // began, so that no two nodes ever overlap; a step may be longer than the ink
                // margin around a box, or shorter.
                const int toX = nodes0[pick].x + static_cast<int>(random() % 61) - 30;
                const int toY = nodes0[pick].y + static_cast<int>(random() % 31) - 15;
                const int dx =
                    toX == nodes[pick].x ? 20 * (toX > nodes0[pick].x ? -1 : 1) : toX - nodes[pick].x;
                dragInSteps(pick, dx, toY - nodes[pick].y, 1 + static_cast<int>(random() % 4));
                break;
            }
            case 4:
                collapseAndExpand(branches[random() % branches.size()]);
                break;
            default:
                undoRedo(random, false);
                break;
        }
    }

    std::vector<Node> nodes;
    std::vector<Node> nodes0;    // as the map file had them
    std::vector<int> grabbable;  // not the root: it stays where the end of each run clicks it
    std::vector<int> branches;
};

TEST_F(DamageSessionE2E, ALongSessionOfSmallChangesLeavesTheWindowAsAFreshStartDrawsTheSavedMap) {
    const std::string original = readBytes(dir / "map.mind");
    launch({}, {"map.mind"});
    ASSERT_TRUE(nodeShows(560, 5, kSelected));
    std::printf("seed %u\n", kSeed);
    std::mt19937 random(kSeed);

    for (int step = 0; step < kMixedSteps; ++step) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", step " + std::to_string(step));
        randomStep(random, false);
        if (HasFatalFailure()) return;
    }

    // A rename with the caret blinking a few times before Enter.
    const int leaf = 6;  // Leaf A5
    select(leaf);
    session.tap(XK_F2);
    ASSERT_TRUE(editBoxOpen());
    for (int i = 0; i < 8; ++i) session.tap(XK_BackSpace);
    session.type("Renamed");
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    session.type(" leaf");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    session.tap(XK_Return);
    ASSERT_TRUE(editBoxClosed());
    ASSERT_TRUE(settled());

    // The path dialog opened and cancelled, by Escape and by its cancel button.
    session.tap(XK_o, {XK_Control_L});
    ASSERT_TRUE(dialogOpen());
    session.tap(XK_Escape);
    ASSERT_TRUE(dialogClosed());
    session.tap(XK_s, {XK_Control_L});
    ASSERT_TRUE(dialogOpen());
    session.click(720, 290);
    ASSERT_TRUE(dialogClosed());
    ASSERT_TRUE(settled());

    // One branch stays collapsed, so that the file carries a collapse too.
    const int collapsed = branches[4];
    select(collapsed);
    session.tap(XK_f);
    ASSERT_TRUE(settled());
    std::erase_if(grabbable, [&](int index) { return index > collapsed && index <= collapsed + 5; });

    for (int step = kMixedSteps; step < kMixedSteps + kPartialSteps; ++step) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", step " + std::to_string(step));
        randomStep(random, true);
        if (HasFatalFailure()) return;
    }
    session.click(570, 20);  // the root, selected as an open selects it
    ASSERT_TRUE(nodeShows(560, 5, kSelected));
    ASSERT_TRUE(settled());
    const std::vector<std::uint32_t> afterSession = session.colours(0, 0, kWindowWidth, kWindowHeight);
    ASSERT_EQ(afterSession.size(), static_cast<std::size_t>(kWindowWidth * kWindowHeight));

    saveWithShortcut("map.mind");
    ASSERT_NE(readBytes(dir / "map.mind"), original) << "the session changed nothing in the map";
    quitWithEscape();

    EditorSession fresh;
    ASSERT_TRUE(fresh.start(MM_EDITOR_PATH, dir.string(),
                            {"XDG_STATE_HOME=" + (dir / "fresh-state").string()}, {"map.mind"}));
    ASSERT_TRUE(fresh.waitForWindow(kEditorPatience));
    ASSERT_TRUE(fresh.waitForFirstFrame(kEditorPatience));
    fresh.click(570, 20);
    ASSERT_TRUE(fresh.waitForColour(probeX(560), probeY(5), kSelected, kEditorPatience));
    ASSERT_TRUE(fresh.settle(kEditorPatience));
    const std::vector<std::uint32_t> freshStart = fresh.colours(0, 0, kWindowWidth, kWindowHeight);
    ASSERT_EQ(freshStart.size(), afterSession.size());

    int differing = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < freshStart.size(); ++i) {
        if (freshStart[i] != afterSession[i] && differing++ == 0) first = i;
    }
    if (differing != 0) {
        writePpm(dir / "after-session.ppm", afterSession);
        writePpm(dir / "fresh-start.ppm", freshStart);
        scratch.keep();
        ADD_FAILURE() << differing << " pixels differ (seed " << kSeed << "); the first at ("
                      << first % kWindowWidth << ", " << first / kWindowWidth << "): after the session 0x"
                      << std::hex << afterSession[first] << ", fresh 0x" << freshStart[first]
                      << " (0x00BBGGRR); both "
                      << "pictures are in " << dir.string();
    }
    fresh.tap(XK_Escape);
    EXPECT_TRUE(fresh.waitForExit(kEditorPatience).has_value());
}

}  // namespace
