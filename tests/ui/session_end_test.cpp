// Log-off and shutdown reach a Windows program with windows as WM_QUERYENDSESSION and
// WM_ENDSESSION, not through the console's handler: sent to the running editor's window, they
// must end it the way its close button does, with the unsaved work kept in the recovery copy.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path ownFolder() {
    wchar_t name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, name, MAX_PATH);
    return fs::path(std::wstring(name, length)).parent_path();
}

struct FoundWindow {
    DWORD process;
    HWND window;
};

BOOL CALLBACK findEditorWindow(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<FoundWindow*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (process == found->process && std::wstring(className) == L"GfxWnd" && IsWindowVisible(window)) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow(DWORD process) {
    for (int i = 0; i < 600; ++i) {
        FoundWindow found{process, nullptr};
        EnumWindows(findEditorWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window != nullptr) return found.window;
        Sleep(100);
    }
    return nullptr;
}

// The editor's own recovery copy, recovery-<start>-<pid>.mind; empty while there is none.
fs::path recoveryCopyOf(const fs::path& folder, DWORD process) {
    std::string end = "-";
    end += std::to_string(process);
    end += ".mind";
    std::error_code error;
    for (fs::directory_iterator it(folder, error), last; !error && it != last; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("recovery-", 0) == 0 && name.ends_with(end)) return it->path();
    }
    return {};
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SessionEnd, LogOffSentToTheEditorWindowKeepsTheUnsavedWork) {
    const fs::path editor = ownFolder().parent_path().parent_path() / "app" / "ui" / "mindmap.exe";
    ASSERT_TRUE(fs::is_regular_file(editor)) << editor.string();
    const fs::path state =
        fs::temp_directory_path() / ("mindmap-session-end-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(state);
    ASSERT_TRUE(SetEnvironmentVariableW(L"LOCALAPPDATA", state.wstring().c_str()));
    const fs::path folder = state / "mindmap";

    std::wstring commandLine = L"\"" + editor.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &child));
    const HWND window = waitForWindow(child.dwProcessId);
    ASSERT_NE(window, nullptr) << "the editor's window never showed";

    // A right-click adds a child to the selected root: work no save holds, which the editor's
    // own timer would keep only after five still seconds.
    const ULONGLONG clicked = GetTickCount64();
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(600, 600));
    PostMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(600, 600));
    Sleep(500);
    EXPECT_TRUE(recoveryCopyOf(folder, child.dwProcessId).empty()) << "written before the session ended";

    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 20000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "the editor must not hold the session up";
    const fs::path copy = recoveryCopyOf(folder, child.dwProcessId);
    const bool keptInTime = !copy.empty() && GetTickCount64() - clicked < 4000;
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 20000, &answer);

    const bool ended = WaitForSingleObject(child.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(child.hProcess, 1);
    EXPECT_TRUE(ended) << "the session's end did not end the editor";
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);

    ASSERT_TRUE(keptInTime) << "the unsaved work was not kept when the session asked to end";
    const std::string bytes = readAll(copy);
    EXPECT_NE(bytes.find("\n  node: "), std::string::npos) << "the copy lacks the added child: " << bytes;
    std::error_code ignored;
    fs::remove_all(state, ignored);
}

}  // namespace
