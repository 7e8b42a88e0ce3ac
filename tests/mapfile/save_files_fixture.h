// Saving real files with the backups of in-place rewrites kept in a private state folder, and
// the failure seam of the file layer disarmed after every test.
#pragma once

#include <cstdlib>
#include <string>

#include "app/files/file_io.h"
#include "app/files/file_io_faults.h"
#include "tests/mapfile/map_files_fixture.h"

class SaveFiles : public MapFiles {
  protected:
    void SetUp() override {
        MapFiles::SetUp();
        state = dir.string() + "-state";
        ASSERT_TRUE(fs::create_directory(state));
        setStateHome(state);
    }
    void TearDown() override {
        failFileStep(FileStep::write, 0);
        std::error_code ignored;
        fs::remove_all(state, ignored);
        MapFiles::TearDown();
    }
    static void setStateHome(const fs::path& folder) {
#ifdef _WIN32
        _putenv_s("LOCALAPPDATA", folder.string().c_str());
#else
        ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
#endif
    }
    // Backups the in-place rewrites left in the state folder.
    std::size_t backups() const {
        const fs::path folder = state / "mindmap";
        if (!fs::exists(folder)) return 0;
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    // A map file of many kilobytes, so that writing it takes several system calls.
    static std::string bigMap(int nodes) {
        MindMap map;
        growMap(map, nodes);
        return map.saveToBytes();
    }

    fs::path state;
};
