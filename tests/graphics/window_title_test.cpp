// The window is titled after the executable: its file name without the extension.
#include <gtest/gtest.h>

#include "graphics/graph_wnd.h"

namespace Gfx {
namespace {

TEST(WindowTitle, IsTheFileNameWithoutItsExtension) {
    EXPECT_EQ(windowTitleFromPath(u"C:\\Programs\\mapper.exe"), u"mapper");
    EXPECT_EQ(windowTitleFromPath(u"C:\\Programs\\a.b.exe"), u"a.b");
    EXPECT_EQ(windowTitleFromPath(u"/usr/local/bin/mindmap"), u"mindmap");
    EXPECT_EQ(windowTitleFromPath(u"mindmap.exe"), u"mindmap");
    // A full stop in a folder name is not the extension.
    EXPECT_EQ(windowTitleFromPath(u"C:\\My.Tools\\mapper"), u"mapper");
    EXPECT_EQ(windowTitleFromPath(u"/home/a.b/mindmap"), u"mindmap");
}

}  // namespace
}  // namespace Gfx
