// Partial frames against whole ones: random sessions run through two loops on the same input,
// one drawing only each pass's damage, the other a whole frame every pass; after every pass the
// two pictures must be the same pixels. A failure writes both pictures, named by seed and pass.
// Then the damage itself: what each kind of change damages, and what falls back to the whole.
#include "app/render/frame_damage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/model/map_view.h"
#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/render/scene.h"
#include "app/ui/damage_check.h"
#include "app/ui/event_loop.h"
#include "app/ui/text_style.h"
#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "graphics/library_state.h"
#include "tests/ui/input_helpers.h"

using namespace test_input;

namespace {

constexpr std::uint8_t kLeftHeld = 4;
constexpr std::uint8_t kMiddleHeld = 8;

struct Editor {
    explicit Editor(bool partial) : image(std::make_unique<Gfx::IMAGE>(kWindowWidth, kWindowHeight)) {
        Gfx::setWorkingImage(image.get());
        applyEditorTextStyle();
        map = std::make_unique<MindMap>();
        loop = std::make_unique<EventLoop>(*map, fakeControl);
        loop->setFrameSkipping(partial);
        loop->setPartialFrames(partial);
    }
    ~Editor() {
        loop.reset();
        map.reset();
        Gfx::setWorkingImage(nullptr);
    }
    void pass(const std::vector<Gfx::InputMessage>& input) {
        Gfx::setWorkingImage(image.get());
        for (const auto& message : input) Gfx::library.graphWindow->queue.deliver(message);
        loop->runPass();
    }
    std::vector<std::uint32_t> pixels() const {
        const DWORD* buffer = Gfx::getImageBuffer(image.get());
        return {buffer, buffer + kWindowWidth * kWindowHeight};
    }
    void write(const std::string& path) const {
        Gfx::setWorkingImage(image.get());
        writeFramePicture(path);
    }

    std::unique_ptr<Gfx::IMAGE> image;
    std::unique_ptr<MindMap> map;
    std::unique_ptr<EventLoop> loop;
};

// A map with nodes beyond every edge of the window, some of them very far.
std::string farMapBytes() {
    MindMap m;
    const std::int32_t places[][2] = {{-4000, 300},       {5000, 300},        {700, -3000}, {700, 4000},
                                      {1 << 30, 1 << 29}, {-(1 << 30), 600},  {300, 700},   {1300, 20},
                                      {2147483000, 100},  {100, -2147483000}, {600, 500},   {900, 200}};
    Node* parent = m.root;
    int i = 0;
    for (const auto& place : places) {
        m.selectedNode = (i++ % 3 == 0) ? m.root : parent;
        m.addChildNode();
        Node* child = m.selectedNode;
        child->x = place[0];
        child->y = place[1];
        parent = child;
    }
    return m.saveToBytes();
}

// Where to point at one of the shown nodes (its box's middle), or somewhere on the canvas.
POINT somewhereOnNode(const MindMap& m, std::mt19937& random) {
    std::vector<const Node*> shown;
    std::vector<const Node*> pending{m.root};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        shown.push_back(n);
        if (!n->collapsed)
            for (const Node* c : n->children) pending.push_back(c);
    }
    const Node* n = shown[random() % shown.size()];
    const WideRect box = nodeWindowBox(*n, m.view);
    const std::int64_t x = (box.left + box.right) / 2;
    const std::int64_t y = (box.top + box.bottom) / 2;
    if (x < 0 || x >= kWindowWidth || y < 0 || y >= kWindowHeight)
        return {static_cast<LONG>(kPanelWidth + random() % (kWindowWidth - kPanelWidth)),
                static_cast<LONG>(random() % kWindowHeight)};
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
}

// One random step of a session: the input of one pass (a drag spans several passes, given as
// one step each), with Control held or not.
struct Step {
    std::vector<Gfx::InputMessage> input;
    bool control = false;
    bool open = false;  // both editors open the far map before the pass
};

std::vector<Step> randomSteps(const MindMap& m, std::mt19937& random) {
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const POINT at = somewhereOnNode(m, random);
    if (m.showFileDialog) {
        switch (pick(4)) {
            case 0:
                return {{{key(VK_ESCAPE)}}};
            case 1:
                return {{{key(VK_BACK)}}};
            default:
                return {{{character(static_cast<char16_t>(u'a' + pick(26)))}}, {}, {}};
        }
    }
    if (m.isEditing) {
        switch (pick(6)) {
            case 0:
                return {{{key(VK_RETURN)}}};
            case 1:
                return {{{key(VK_ESCAPE)}}};
            case 2:
                return {{{key(VK_BACK)}}};
            default:
                return {{{character(static_cast<char16_t>(u'a' + pick(26)))}}, {}};
        }
    }
    switch (pick(22)) {
        case 0:
        case 1: {  // a drag of a node (or of nothing) over several passes
            std::vector<Step> drag{{{mouse(WM_LBUTTONDOWN, at.x, at.y)}}};
            int x = at.x, y = at.y;
            for (int i = pick(6); i >= 0; --i) {
                x += pick(61) - 30;
                y += pick(61) - 30;
                std::vector<Gfx::InputMessage> moves;
                for (int j = pick(3); j >= 0; --j)
                    moves.push_back(mouse(WM_MOUSEMOVE, x + j, y - j, kLeftHeld));
                drag.push_back({moves});
            }
            drag.push_back({{mouse(WM_LBUTTONUP, x, y)}});
            return drag;
        }
        case 2:
            return {{{mouse(WM_LBUTTONDOWN, at.x, at.y), mouse(WM_LBUTTONUP, at.x, at.y)}}};
        case 3:
            return {{{mouse(WM_RBUTTONDOWN, at.x, at.y)}}};
        case 4: {  // over the panel: hover changes, sometimes a press
            const int y = pick(kWindowHeight);
            if (pick(4) == 0) return {{{mouse(WM_LBUTTONDOWN, 100, y), mouse(WM_LBUTTONUP, 100, y)}}};
            return {{{mouse(WM_MOUSEMOVE, pick(kPanelWidth), y)}}};
        }
        case 5:
            return {{{mouse(WM_MOUSEMOVE, at.x, at.y)}}};
        case 6:
            return {{{key(static_cast<std::uint8_t>('1' + pick(5)))}}};
        case 7:
            return {{{key(VK_SPACE)}}};
        case 8:
            return {{{key(VK_DELETE)}}};
        case 9:
            return {{{key('F')}}};
        case 10:
            return {{{key(VK_F2)}}, {}, {}};
        case 11:
            return {{{key('Z')}, true}};
        case 12:
            return {{{key('Y')}, true}};
        case 13:
            return {{{key('H')}}, {}};
        case 14:
            return {{{key(pick(2) == 0 ? 'S' : 'O')}, true}};
        case 15: {  // the view: zoom, pan by the middle button, back to the original
            switch (pick(4)) {
                case 0: {
                    Gfx::InputMessage wheel = mouse(WM_MOUSEWHEEL, at.x, at.y, 1);
                    wheel.mouse.wheel = static_cast<std::int16_t>(pick(2) == 0 ? 120 : -120);
                    return {{{wheel}, true}};
                }
                case 1:
                    return {
                        {{mouse(WM_MBUTTONDOWN, at.x, at.y)}},
                        {{mouse(WM_MOUSEMOVE, at.x + pick(200) - 100, at.y + pick(200) - 100, kMiddleHeld)}},
                        {{mouse(WM_MBUTTONUP, at.x, at.y)}}};
                case 2:
                    return {{{key('0')}, true}};
                default:
                    return {{{key(VK_HOME)}}};
            }
        }
        case 16:
            return {{{key(static_cast<std::uint8_t>(VK_LEFT + pick(4)))}}};
        case 17:
            return {{{}, false, true}};
        default:
            return {{{}}, {{}}};  // quiet passes: carets blink
    }
}

class PartialFrameSameness : public ::testing::TestWithParam<unsigned> {
  protected:
    void SetUp() override { controlDown = false; }
    void TearDown() override { controlDown = false; }
};

TEST_P(PartialFrameSameness, EveryPassMatchesTheWholeFrame) {
    const unsigned seed = GetParam();
    std::mt19937 random(seed);
    const std::string farMap = farMapBytes();
    Editor whole(false);
    Editor partial(true);
    int pass = 0;
    while (pass < 400) {
        for (const Step& step : randomSteps(*partial.map, random)) {
            if (step.open) {
                ASSERT_TRUE(whole.map->loadFromBytes(farMap));
                ASSERT_TRUE(partial.map->loadFromBytes(farMap));
            }
            controlDown = step.control;
            whole.pass(step.input);
            partial.pass(step.input);
            controlDown = false;
            ++pass;
            ASSERT_EQ(partial.map->editCaretCounter, whole.map->editCaretCounter) << "pass " << pass;
            ASSERT_EQ(partial.map->pathCaretCounter, whole.map->pathCaretCounter) << "pass " << pass;
            if (partial.pixels() != whole.pixels()) {
                const std::string name =
                    "damage-seed" + std::to_string(seed) + "-pass" + std::to_string(pass);
                partial.write(name + "-part.ppm");
                whole.write(name + "-whole.ppm");
                FAIL() << "the pictures differ after pass " << pass << ": see " << name << "-*.ppm";
            }
        }
    }
    // The sessions are mostly small changes: most frames drawn are partial.
    EXPECT_GT(partial.loop->partialFramesDrawn(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Seeds, PartialFrameSameness, ::testing::Range(1u, 13u),
                         [](const ::testing::TestParamInfo<unsigned>& info) {
                             return "Seed" + std::to_string(info.param);
                         });

// Nodes under the path dialog and under the panel: the caret's blinks are drawn over the first
// as partial frames that skip them, a hover change over the second draws them; every pass
// matches the whole frame.
TEST(PartialFrameUnderDialog, BlinksAndHoversMatchTheWholeFrame) {
    Editor partial(true);
    Editor whole(false);
    for (Editor* editor : {&partial, &whole}) {
        MindMap& m = *editor->map;
        for (int i = 0; i < 40; ++i) {
            m.selectedNode = m.root;
            m.addChildNode();
            m.selectedNode->x = i == 0 ? 60 : 400 + (i * 37) % 420;
            m.selectedNode->y = i == 0 ? m.buttons[3].rect.top : 130 + (i * 23) % 220;
        }
        m.showSaveDialog();
        m.filePath = u"plan.mind";
    }
    const SceneRect button = whole.map->buttons[3].rect;
    for (int pass = 0; pass < 70; ++pass) {
        std::vector<Gfx::InputMessage> input;
        if (pass % 10 == 5) input.push_back(mouse(WM_MOUSEMOVE, button.left + 5, button.top + 5));
        if (pass % 10 == 8) input.push_back(mouse(WM_MOUSEMOVE, 1000, 700));
        partial.pass(input);
        whole.pass(input);
        ASSERT_EQ(partial.pixels(), whole.pixels()) << "pass " << pass;
    }
    EXPECT_GT(partial.loop->partialFramesDrawn(), 6u);
}

}  // namespace

namespace {

// The damage between what the map showed and what it shows after a change, on an off-screen
// target (the carets' columns are measured there).
class DamageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image = std::make_unique<Gfx::IMAGE>(kWindowWidth, kWindowHeight);
        Gfx::setWorkingImage(image.get());
        applyEditorTextStyle();
        map = std::make_unique<MindMap>();
        for (int i = 0; i < 3; ++i) {
            map->selectedNode = map->root;
            map->addChildNode();
        }
        child = map->root->children[1];
        summarizeFrame(*map, before);
    }
    void TearDown() override {
        map.reset();
        Gfx::setWorkingImage(nullptr);
        image.reset();
    }
    Damage damage() {
        summarizeFrame(*map, after);
        return frameDamage(before, after);
    }
    static bool holds(const RECT& r, const WideRect& box) {
        return r.left <= box.left && r.top <= box.top && r.right > box.right && r.bottom > box.bottom;
    }
    static std::int64_t area(const RECT& r) { return std::int64_t{r.right - r.left} * (r.bottom - r.top); }
    std::vector<std::uint32_t> pixels() const {
        const DWORD* buffer = Gfx::getImageBuffer(image.get());
        return {buffer, buffer + kWindowWidth * kWindowHeight};
    }
    static constexpr std::int64_t kWindowArea = std::int64_t{kWindowWidth} * kWindowHeight;

    std::unique_ptr<Gfx::IMAGE> image;
    std::unique_ptr<MindMap> map;
    Node* child = nullptr;
    FrameSummary before, after;
};

TEST_F(DamageTest, NothingShownChangedDamagesNothing) {
    EXPECT_EQ(damage().kind, Damage::Kind::None);
    map->changeCount += 5;  // not shown
    EXPECT_EQ(damage().kind, Damage::Kind::None);
}

TEST_F(DamageTest, ARecolouredNodeDamagesItsBoxAlone) {
    // Far from its parent: a long connector, which the recolour leaves where it is.
    child->x = map->root->x - 500;
    child->y = map->root->y + 250;
    map->selectedNode = child;
    summarizeFrame(*map, before);
    map->setNodeFillColor(0xB4DCB4);  // under the selection's fill: nothing shown changes
    EXPECT_EQ(damage().kind, Damage::Kind::None);
    map->setNodeTextColor(0xFFFFFF);
    const Damage d = damage();
    ASSERT_EQ(d.kind, Damage::Kind::Part);
    EXPECT_TRUE(holds(d.rect, nodeWindowBox(*child, map->view)));
    EXPECT_LT(area(d.rect) * 4, kWindowArea);
    EXPECT_LT(d.rect.bottom, kWindowHeight - 20) << "the status line did not change";
    const WideRect box = nodeWindowBox(*child, map->view);
    EXPECT_LT(d.rect.right, box.right + 60) << "the connector's middle is not damaged";
    EXPECT_GT(d.rect.top, box.top - 60);
    // Moved, the connector is damaged along its length.
    summarizeFrame(*map, before);
    child->x += 2;
    EXPECT_GT(damage().rect.right, box.right + 200);
}

TEST_F(DamageTest, AMovedNodeDamagesItsOldAndNewPlaceAndItsChildrensConnectors) {
    map->selectedNode = child;
    map->addChildNode();
    Node* grandchild = child->children[0];
    summarizeFrame(*map, before);
    const WideRect was = nodeWindowBox(*child, map->view);
    child->x += 120;
    child->y += 40;
    const Damage d = damage();
    ASSERT_EQ(d.kind, Damage::Kind::Part);
    EXPECT_TRUE(holds(d.rect, was));
    EXPECT_TRUE(holds(d.rect, nodeWindowBox(*child, map->view)));
    EXPECT_TRUE(holds(d.rect, nodeWindowBox(*grandchild, map->view))) << "its connector moved";
}

TEST_F(DamageTest, AHoverChangeDamagesTheButtonsInThePanel) {
    map->updateButtonHover(100, map->buttons[4].rect.top + 5);
    const Damage d = damage();
    ASSERT_EQ(d.kind, Damage::Kind::Part);
    EXPECT_LE(d.rect.right, kPanelWidth + 30);
    EXPECT_LE(d.rect.top, map->buttons[4].rect.top);
    EXPECT_GE(d.rect.bottom, map->buttons[4].rect.bottom);
}

// A blink damages a strip across the box where the caret stands; typing, the whole box.
TEST_F(DamageTest, ABlinkingCaretDamagesItsStripAndTypingItsBox) {
    map->showSaveDialog();
    map->filePath = u"maps/plan.mind";
    summarizeFrame(*map, before);
    map->pathCaretCounter = 14;  // the next frame hides the caret
    summarizeFrame(*map, before);
    map->pathCaretCounter = 13;
    Damage d = damage();
    ASSERT_EQ(d.kind, Damage::Kind::Part);
    const SceneRect box = pathDialogLayout(map->panelWidth).pathBox;
    const int caret = pathCaretColumn(*map);
    EXPECT_TRUE(holds(d.rect, WideRect{caret - 2, box.top, caret + 2, box.bottom}));
    EXPECT_LT(d.rect.right - d.rect.left, 60);
    // Typing moves the caret and changes the text: the box, the caret's old and new place.
    map->pathCaretCounter = 14;
    summarizeFrame(*map, before);
    map->filePath += u"xyz";
    d = damage();
    ASSERT_EQ(d.kind, Damage::Kind::Part);
    EXPECT_TRUE(holds(d.rect, WideRect{box.left, box.top, box.right, box.bottom}));
    EXPECT_LT(area(d.rect) * 20, kWindowArea);

    // The caption's edit box alike.
    map->closeFileDialog();
    map->selectedNode = child;
    map->startEditing();
    map->editCaretCounter = 14;
    summarizeFrame(*map, before);
    map->editCaretCounter = 13;
    d = damage();
    ASSERT_EQ(d.kind, Damage::Kind::Part);
    const SceneRect edit = editTextBox(map->panelWidth);
    const int editCaret = editCaretColumn(*map);
    EXPECT_TRUE(holds(d.rect, WideRect{editCaret - 2, edit.top, editCaret + 2, edit.bottom}));
    EXPECT_LT(d.rect.right - d.rect.left, 60);
}

TEST_F(DamageTest, ASelectionDamagesBothNodesAndTheStatusBar) {
    const WideRect was = nodeWindowBox(*map->selectedNode, map->view);
    map->selectedNode = map->root;
    const Damage d = damage();
    ASSERT_EQ(d.kind, Damage::Kind::Part);
    EXPECT_TRUE(holds(d.rect, was));
    EXPECT_TRUE(holds(d.rect, nodeWindowBox(*map->root, map->view)));
    EXPECT_EQ(d.rect.bottom, kWindowHeight);
}

TEST_F(DamageTest, ChangesThatReachEverywhereDamageTheWholeWindow) {
    const auto wholeAfter = [this](auto change) {
        summarizeFrame(*map, before);
        change();
        return damage().kind == Damage::Kind::Whole;
    };
    EXPECT_TRUE(wholeAfter([&] { map->view.panBy(10, 0); }));
    EXPECT_TRUE(wholeAfter([&] { map->toggleHelp(); }));
    EXPECT_TRUE(wholeAfter([&] { map->toggleHelp(); }));
    EXPECT_TRUE(wholeAfter([&] { map->addChildNode(); }));  // the shown tree's shape
    EXPECT_TRUE(wholeAfter([&] {
        map->selectedNode = map->root;
        map->toggleCollapse();  // likewise
    }));
    EXPECT_TRUE(wholeAfter([&] { map->startEditing(); }));                        // a mode comes
    EXPECT_TRUE(wholeAfter([&] { map->cancelEditing(); }));                       // and goes
    EXPECT_TRUE(wholeAfter([&] { map->find.open = true; }));                      // the find box
    EXPECT_TRUE(wholeAfter([&] { child->x = 1 << 30; }));                         // too far to trust
    EXPECT_TRUE(frameDamage(FrameSummary{}, after).kind == Damage::Kind::Whole);  // the first frame
}

}  // namespace

namespace {

TEST_F(DamageTest, AFrameInSeveralPartsAdvancesTheCaretsOnceAndStartsEachPartAlike) {
    map->showSaveDialog();
    map->pathCaretCounter = 12;
    map->drawFrame();
    map->drawFrame();  // the caret shows at 14 and hides at 15
    const std::int32_t counter = map->pathCaretCounter;
    const std::vector<std::uint32_t> before = pixels();
    const SceneRect box = pathDialogLayout(map->panelWidth).pathBox;
    drawFramePart(*map, {RECT{0, 0, kWindowWidth, 120},
                         RECT{box.left - 30, box.top - 30, box.right + 30, box.bottom + 30},
                         RECT{0, kWindowHeight - 40, kWindowWidth, kWindowHeight}});
    EXPECT_EQ(map->pathCaretCounter, counter + 1);
    const std::vector<std::uint32_t> part = pixels();
    map->pathCaretCounter = counter;
    map->drawFrame();
    EXPECT_TRUE(part == pixels()) << "the parts differ from the whole frame";
    EXPECT_FALSE(before == pixels()) << "the caret's blink should show";
}

}  // namespace
