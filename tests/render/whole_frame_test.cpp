// Whole frames pinned by a hash of every pixel: a change anywhere in what these frames show (a
// colour, a rectangle, a text, a flag, the order of drawing, the state one frame leaves to the
// next) fails here. The targeted checks in frame_test.cpp and overlays_test.cpp say what is
// wrong; these say that anything is.
//
// The hashes hold for the fonts scripts/deps.sh installs (fonts-noto-cjk and the others), as on
// this project's machines and CI. To regenerate them after a deliberate change of the drawing:
//   MM_FRAME_DUMP_DIR=/tmp/frames build/tests/render/render_tests --gtest_filter='WholeFrame*'
// Each failure prints the frame's new hash and writes the frame to /tmp/frames/<name>.ppm; look
// at every one, and copy the printed hashes here only when the frames are right.
#include <gtest/gtest.h>

#include "tests/render/frame_fixture.h"

namespace {

class WholeFrame : public FrameTest {
  protected:
    void SetUp() override {
#ifdef _WIN32
        // Windows' GDI rasterises text and shape edges its own way; the hashes are the stand-in's.
        GTEST_SKIP() << "whole-frame hashes hold for the Linux stand-in's pixels only";
#endif
        FrameTest::SetUp();
    }
};

TEST_F(WholeFrame, FreshMap) {
    draw();
    expectFrameHash("fresh_map", 0x0D2B0CAE3D19447Aull);
}

// Two children under the root, the second collapsed over a hidden grandchild, recoloured and
// renamed; the first selected; the edit box, the help screen and the path dialog all open.
TEST_F(WholeFrame, TreeUnderEveryOverlay) {
    Node* root = map->root;
    map->addChildNode();  // (800, 475)
    Node* first = map->selectedNode;
    map->selectedNode = root;
    map->addChildNode();  // (880, 475)
    Node* second = map->selectedNode;
    map->addChildNode();  // (880, 575), hidden below
    map->selectedNode = second;
    map->toggleCollapse();
    second->text = u"b";
    second->fillColor = 0xB4DCB4;
    second->textColor = 0xFFFFFF;
    map->selectedNode = first;
    map->startEditing();
    map->editText = u"ab";
    map->toggleHelp();
    map->showOpenDialog();
    map->filePath = u"m.mind";
    draw();
    expectFrameHash("tree_open_dialog", 0x6AF21738C2F8B5BCull);

    // The save dialog differs in its title; the second frame also starts from the drawing state
    // the first one left (a wide pen, the last line colour).
    map->isSaveDialog = true;
    draw();
    expectFrameHash("tree_save_dialog_second_frame", 0x8286C9CC956B825Cull);
}

TEST_F(WholeFrame, BoxesAndConnectorsPastTheEdgesOfTheIntegerRange) {
    Node* root = map->root;
    map->addChildNode();
    Node* child = map->selectedNode;
    root->x = 2147483647 - 100;
    root->width = 301;  // the right edge passes the largest int
    child->x = -2147483647 - 1;
    child->y = 10;
    map->selectedNode = nullptr;
    draw();
    expectFrameHash("integer_range_edges", 0x7E9DF3E4E84CA060ull);
}

}  // namespace
