// Binding the drawing library by name: every entry is found, and a missing library or
// function ends the program with a message naming it.
#include <gtest/gtest.h>

#include "graphics/gdi_binding.h"
#include "graphics/image.h"

namespace Gfx {
namespace {

TEST(Binding, EveryDrawingEntryIsBound) {
    IMAGE image;  // starts the layer, which binds the tables
    const auto* entries = reinterpret_cast<const AnyProc*>(&gdi);
    const std::size_t count = sizeof(GdiFunctions) / sizeof(AnyProc);
    EXPECT_EQ(count, 48u);
    for (std::size_t i = 0; i < count; ++i) EXPECT_NE(entries[i], nullptr) << "entry " << i;
    EXPECT_NE(ole32.CoInitialize, nullptr);
    EXPECT_NE(gdiplus.GdiplusStartup, nullptr);
}

TEST(BindingDeathTest, MissingLibraryIsNamedAndEndsTheProgram) {
    EXPECT_EXIT(loadLibraryOrExit(TEXT("nosuchlib.dll"), "nosuchlib.dll"),
                ::testing::ExitedWithCode(kMissingLibraryExitCode), "nosuchlib\\.dll");
}

TEST(BindingDeathTest, MissingFunctionIsNamedAndEndsTheProgram) {
    EXPECT_EXIT(
        {
            HMODULE library = loadLibraryOrExit(TEXT("gdi32.dll"), "gdi32.dll");
            findProcOrExit(library, "gdi32.dll", "NoSuchDrawingFunction");
        },
        ::testing::ExitedWithCode(kMissingLibraryExitCode), "gdi32\\.dll.*NoSuchDrawingFunction");
}

}  // namespace
}  // namespace Gfx
