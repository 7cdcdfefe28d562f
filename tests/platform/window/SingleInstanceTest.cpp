#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/Core.h"
#include "platform/window/Mutex.h"
#include "platform/window/Remote.h"
#include "platform/window/Window.h"
#include "tests/fixtures/TempDir.h"

extern char** environ;

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool wait_for_file(const std::string& path, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (access(path.c_str(), F_OK) == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The instances of one test see only each other: a runtime folder of their own.
class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        saved = old ? old : "";
        had = old != nullptr;
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    }
    void TearDown() override {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (had) {
            setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
    }

    // Starts the other instance; it holds the mutex for hold_ms after its window stands.
    void start_instance(int hold_ms) {
        std::string program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/window_instance";
        std::string hold = std::to_string(hold_ms);
        std::vector<char*> args{program.data(), const_cast<char*>(work.path().c_str()), hold.data(), nullptr};
        ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr, args.data(), environ), 0);
        ASSERT_TRUE(wait_for_file(work.file("ready"), 10000));
    }

    int wait_instance() {
        int status = 0;
        for (int waited = 0; waited < 10000; waited += 10) {
            if (waitpid(child, &status, WNOHANG) == child) {
                child = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    static BOOL find_instance(HWND window, LPARAM param) {
        WCHAR name[39];
        int n = GetClassNameW(window, name, 39);
        if (GetParent(window) == nullptr && std::u16string(name, static_cast<size_t>(n)) == u"InstanceTest") {
            WCHAR title[64];
            GetWindowTextW(window, title, 64);
            if (std::u16string(title) == u"Instance") {
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            }
        }
        return TRUE;
    }

    static LRESULT send_copy(HWND window, uintptr_t data_word, const void* bytes, DWORD count) {
        COPYDATASTRUCT data;
        data.dwData = data_word;
        data.cbData = count;
        data.lpData = const_cast<void*>(bytes);
        return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }

    fixtures::TempDir runtime;
    fixtures::TempDir work;
    std::string saved;
    bool had = false;
    pid_t child = -1;
};

TEST_F(SingleInstance, SecondInstanceWaitsForTheMutexThenHandsOverAndRaisesTheFirst) {
    start_instance(1500);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, u"VantrelInstanceTest");
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);  // the first is still starting
    ASSERT_EQ(WaitForSingleObject(mutex, 10000), WAIT_OBJECT_0);

    HWND found = nullptr;
    EnumWindows(find_instance, reinterpret_cast<LPARAM>(&found));
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(platform::is_remote_window(found));
    EXPECT_TRUE(IsWindow(found));
    const std::u16string line = u"\\My Documents\\song.mp3";
    EXPECT_EQ(send_copy(found, 0, line.data(), static_cast<DWORD>(line.size() * 2)), 1);
    EXPECT_TRUE(SetForegroundWindow(found));
    EXPECT_EQ(send_copy(found, 0, u"quit", 8), 1);
    EXPECT_EQ(wait_instance(), 0);
    EXPECT_EQ(read_file(work.file("received")), "0 44 \\My Documents\\song.mp3\nactivated\n0 8 quit\n");
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    EXPECT_FALSE(IsWindow(found));
}

TEST_F(SingleInstance, CopyDataFromAnotherProcessIsCheckedBeforeTheWindowSeesIt) {
    start_instance(0);
    HWND found = nullptr;
    for (int i = 0; i < 100 && !found; ++i) {
        EnumWindows(find_instance, reinterpret_cast<LPARAM>(&found));
    }
    ASSERT_NE(found, nullptr);
    const char16_t text[] = u"abc";
    EXPECT_EQ(send_copy(found, 7, text, 6), 0);  // not a command line: refused
    EXPECT_EQ(send_copy(found, 0, text, 5), 1);  // the odd byte is no character
    std::vector<char> huge(1 << 20, 'x');
    EXPECT_EQ(send_copy(found, 0, huge.data(), static_cast<DWORD>(huge.size())), 0);
    EXPECT_EQ(send_copy(found, 0, nullptr, 0), 1);
    EXPECT_EQ(SendMessageW(found, WM_USER, 0, 0), 0);  // only WM_COPYDATA crosses
    EXPECT_EQ(send_copy(found, 0, u"quit", 8), 1);
    EXPECT_EQ(wait_instance(), 0);
    EXPECT_EQ(read_file(work.file("received")), "0 4 ab\n0 0 \n0 8 quit\n");
}

TEST_F(SingleInstance, MutexOfAnInstanceThatDiedIsFree) {
    start_instance(60000);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, u"VantrelInstanceTest");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(mutex, 100), WAIT_TIMEOUT);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    child = -1;
    EXPECT_EQ(WaitForSingleObject(mutex, 5000), WAIT_OBJECT_0);
    HWND found = nullptr;
    EnumWindows(find_instance, reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(found, nullptr);  // its published windows went with it
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

TEST(Mutex, IsRecursiveForItsOwnerAndOnlyTheOwnerReleasesIt) {
    HANDLE m = CreateMutexW(nullptr, TRUE, nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    std::thread other([m] {
        EXPECT_EQ(WaitForSingleObject(m, 20), WAIT_TIMEOUT);
        SetLastError(0);
        EXPECT_FALSE(ReleaseMutex(m));
        EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    });
    other.join();
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_FALSE(ReleaseMutex(m));
    std::thread taker([m] {
        EXPECT_EQ(WaitForSingleObject(m, 1000), WAIT_OBJECT_0);
        ReleaseMutex(m);
    });
    taker.join();
    CloseHandle(m);
}

TEST(Mutex, SameNameInOneProcessIsOneMutex) {
    HANDLE a = CreateMutexW(nullptr, TRUE, u"VantrelMutexTestSame");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE b = CreateMutexW(nullptr, FALSE, u"VantrelMutexTestSame");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    std::thread other([b] { EXPECT_EQ(WaitForSingleObject(b, 20), WAIT_TIMEOUT); });
    other.join();
    EXPECT_TRUE(ReleaseMutex(b));  // same object, same owner
    CloseHandle(a);
    CloseHandle(b);
}

}  // namespace
