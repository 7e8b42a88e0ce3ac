// kernel32: threads, events, waits, critical sections, time, the module, process exit.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace {

DWORD WINAPI returnParameter(LPVOID parameter) {
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parameter));
}

struct Gate {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> passed{0};
    ~Gate() { CloseHandle(release); }
};

// A wait in a test ends in a failure, never a hang: five seconds at most.
constexpr DWORD kPatience = 5000;

template <typename Condition>
bool eventually(Condition condition, DWORD patience = kPatience) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > patience) return false;
        Sleep(1);
    }
    return true;
}

// A thread never let through ends on its own after the patience, without passing.
DWORD WINAPI waitAtGate(LPVOID parameter) {
    auto* gate = static_cast<Gate*>(parameter);
    if (WaitForSingleObject(gate->release, kPatience) != WAIT_OBJECT_0) return 0;
    gate->passed.fetch_add(1);
    return 7;
}

TEST(Threads, HandleIsSignalledWhenTheRoutineReturnsAndKeepsItsExitCode) {
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, returnParameter, reinterpret_cast<LPVOID>(42), 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    ASSERT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Threads, RunningThreadReportsStillActiveAndTimesOut) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, waitAtGate, &gate, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, STILL_ACTIVE);
    SetEvent(gate.release);
    EXPECT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
}

TEST(Threads, ClosingTheHandleLeavesTheThreadRunning) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, waitAtGate, &gate, 0, nullptr);
    ASSERT_TRUE(CloseHandle(thread));
    SetEvent(gate.release);
    ASSERT_TRUE(eventually([&] { return gate.passed.load() != 0; })) << "no thread passed the gate in 5 s";
    EXPECT_EQ(gate.passed.load(), 1);
}

TEST(Threads, SuspendedThreadStartsOnResume) {
    std::atomic<bool> ran{false};
    auto routine = [](LPVOID p) -> DWORD {
        static_cast<std::atomic<bool>*>(p)->store(true);
        return 0;
    };
    HANDLE thread = CreateThread(nullptr, 0, routine, &ran, CREATE_SUSPENDED, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30), WAIT_TIMEOUT);
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, kPatience), WAIT_OBJECT_0);
    EXPECT_TRUE(ran.load());
    CloseHandle(thread);
}

TEST(Events, AutoResetReleasesOneWaiterAndConsumesTheSignal) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);

    // Two waiters, one signal: exactly one passes.
    Gate gate;
    CloseHandle(gate.release);
    gate.release = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE a = CreateThread(nullptr, 0, waitAtGate, &gate, 0, nullptr);
    HANDLE b = CreateThread(nullptr, 0, waitAtGate, &gate, 0, nullptr);
    SetEvent(gate.release);
    ASSERT_TRUE(eventually([&] { return gate.passed.load() != 0; })) << "no thread passed the gate in 5 s";
    // The signal is spent on one waiter: the other is still at the gate a while later.
    EXPECT_FALSE(eventually([&] { return gate.passed.load() > 1; }, 30)) << "both threads passed one signal";
    EXPECT_EQ(gate.passed.load(), 1);
    SetEvent(gate.release);
    EXPECT_EQ(WaitForSingleObject(a, kPatience), WAIT_OBJECT_0) << "the thread did not end in 5 s";
    EXPECT_EQ(WaitForSingleObject(b, kPatience), WAIT_OBJECT_0) << "the thread did not end in 5 s";
    EXPECT_EQ(gate.passed.load(), 2);
    CloseHandle(a);
    CloseHandle(b);
    CloseHandle(event);
}

TEST(Events, ManualResetStaysSignalledUntilReset) {
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 10), WAIT_TIMEOUT);

    Gate gate;
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i) threads.push_back(CreateThread(nullptr, 0, waitAtGate, &gate, 0, nullptr));
    SetEvent(gate.release);
    for (HANDLE t : threads) {
        EXPECT_EQ(WaitForSingleObject(t, kPatience), WAIT_OBJECT_0);
        CloseHandle(t);
    }
    EXPECT_EQ(gate.passed.load(), 4);
    CloseHandle(event);
}

TEST(Events, NamedEventIsSharedWithinTheProcess) {
    HANDLE first = CreateEventW(nullptr, TRUE, FALSE, u"mm-test-named-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = CreateEventW(nullptr, TRUE, FALSE, u"mm-test-named-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    SetEvent(first);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    CloseHandle(first);
    CloseHandle(second);
}

TEST(Handles, BadHandlesAreRefusedNotFollowed) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_FALSE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
    int notAHandle = 0;
    EXPECT_FALSE(SetEvent(&notAHandle));
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(CriticalSections, AreReentrantAndExcludeOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);  // the owner may enter again
    EXPECT_TRUE(TryEnterCriticalSection(&section));
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);

    struct Shared {
        CRITICAL_SECTION* section;
        long counter = 0;
        std::atomic<bool> triedWhileHeld{false};
        std::atomic<bool> gotIt{true};
    } shared{&section};
    HANDLE probe = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* s = static_cast<Shared*>(p);
            s->gotIt = TryEnterCriticalSection(s->section) != FALSE;
            if (s->gotIt) LeaveCriticalSection(s->section);
            s->triedWhileHeld = true;
            return 0;
        },
        &shared, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(probe, kPatience), WAIT_OBJECT_0) << "the thread did not end in 5 s";
    CloseHandle(probe);
    EXPECT_TRUE(shared.triedWhileHeld.load());
    EXPECT_FALSE(shared.gotIt.load());  // still held once by this thread
    LeaveCriticalSection(&section);

    auto add = [](LPVOID p) -> DWORD {
        auto* s = static_cast<Shared*>(p);
        for (int i = 0; i < 20000; ++i) {
            EnterCriticalSection(s->section);
            EnterCriticalSection(s->section);
            ++s->counter;
            LeaveCriticalSection(s->section);
            LeaveCriticalSection(s->section);
        }
        return 0;
    };
    HANDLE a = CreateThread(nullptr, 0, add, &shared, 0, nullptr);
    HANDLE b = CreateThread(nullptr, 0, add, &shared, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(a, kPatience), WAIT_OBJECT_0) << "the thread did not end in 5 s";
    EXPECT_EQ(WaitForSingleObject(b, kPatience), WAIT_OBJECT_0) << "the thread did not end in 5 s";
    CloseHandle(a);
    CloseHandle(b);
    EXPECT_EQ(shared.counter, 40000);
    DeleteCriticalSection(&section);
}

TEST(Time, TickCountAdvancesAcrossASleep) {
    const DWORD before = GetTickCount();
    const ULONGLONG before64 = GetTickCount64();
    Sleep(25);
    EXPECT_GE(GetTickCount() - before, 24u);
    EXPECT_GE(GetTickCount64() - before64, 24u);
}

TEST(Module, FileNameIsTheExecutablesPath) {
    WCHAR path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    const std::u16string text(path, length);
    EXPECT_EQ(text.front(), u'/');
    EXPECT_NE(text.find(u"test_platform_kernel32"), std::u16string::npos);
    EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), path, MAX_PATH), length);

    // Too small a buffer: truncated, terminated, the size returned, and the error set.
    WCHAR small[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(small, 4), text.substr(0, 4));
    EXPECT_EQ(small[4], 0);
}

TEST(Module, HandleOfTheExecutableByNullAndByName) {
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_NE(self, nullptr);
    EXPECT_EQ(GetModuleHandleW(u"test_platform_kernel32"), self);
    EXPECT_EQ(GetModuleHandleW(u"TEST_PLATFORM_KERNEL32.EXE"), self);
    EXPECT_EQ(GetModuleHandleW(u"no-such-module.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Process, ExitProcessEndsWithTheCodeAndFlushesOutput) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        std::printf("buffered");
        ExitProcess(7);
    }
    close(pipeFds[1]);
    int status = 0;
    const bool ended = eventually([&] { return waitpid(child, &status, WNOHANG) == child; });
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    // The pipe holds what the child wrote; it reads to the end now that the child is gone.
    char buffer[32] = {};
    const ssize_t got = read(pipeFds[0], buffer, sizeof buffer - 1);
    close(pipeFds[0]);
    ASSERT_TRUE(ended) << "the child did not end in 5 s";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), "buffered");
}

TEST(Console, NoConsoleWindowAndHarmlessCalls) {
    EXPECT_EQ(GetConsoleWindow(), nullptr);
    EXPECT_TRUE(AllocConsole());
    EXPECT_EQ(GetConsoleWindow(), nullptr);
    EXPECT_TRUE(SetConsoleCtrlHandler(nullptr, TRUE));
    EXPECT_TRUE(SetConsoleCtrlHandler(nullptr, FALSE));
    EXPECT_TRUE(FreeConsole());
    EXPECT_EQ(ExtractIconW(nullptr, u"/proc/self/exe", 0), nullptr);
    EXPECT_FALSE(DestroyIcon(nullptr));
    EXPECT_TRUE(DestroyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
}

TEST(Strings, CopyIsBoundedAndTerminated) {
    WCHAR face[8];
    lstrcpynW(face, u"微软雅黑 and more", 8);
    EXPECT_EQ(std::u16string(face), u"微软雅黑 an");
    EXPECT_EQ(lstrlenW(face), 7);
    EXPECT_EQ(lstrlenW(nullptr), 0);
}

}  // namespace
