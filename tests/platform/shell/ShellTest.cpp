#include "platform/shell/Shell.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/DevicePath.h"
#include "platform/kernel/Unicode.h"
#include "tests/fixtures/TempDir.h"

namespace {

// A sandbox root plus a recording xdg-open first on PATH.
class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VANTREL_ROOT", root.path().c_str(), 1);
        platform::reload_device_profile();
        saved_path = std::getenv("PATH") ? std::getenv("PATH") : "";
        std::string opener = bin.file("xdg-open");
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << bin.file("calls") << "'\n";
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        setenv("PATH", (bin.path() + ":" + saved_path).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", saved_path.c_str(), 1);
        unsetenv("VANTREL_ROOT");
        platform::reload_device_profile();
    }
    std::string calls() {
        std::ifstream in(bin.file("calls"));
        std::stringstream out;
        out << in.rdbuf();
        return out.str();
    }
    BOOL execute(const char16_t* file, const char16_t* parameters, HANDLE* process) {
        SHELLEXECUTEINFO info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpVerb = u"open";
        info.lpFile = file;
        info.lpParameters = parameters;
        info.nShow = SW_SHOWNORMAL;
        BOOL ok = ShellExecuteEx(&info);
        *process = info.hProcess;
        return ok;
    }
    fixtures::TempDir root;
    fixtures::TempDir bin;
    std::string saved_path;
};

TEST_F(ShellFixture, SpecialFoldersOfTheSandbox) {
    struct Case {
        int csidl;
        const char16_t* path;
    } cases[] = {
        {CSIDL_PERSONAL, u"\\My Documents"},
        {CSIDL_WINDOWS, u"\\Windows"},
        {CSIDL_STARTUP, u"\\Windows\\StartUp"},
        {CSIDL_PROGRAMS, u"\\Windows\\Start Menu\\Programs"},
        {CSIDL_STARTMENU, u"\\Windows\\Start Menu"},
        {CSIDL_PROGRAM_FILES, u"\\Program Files"},
    };
    for (const Case& c : cases) {
        WCHAR buffer[MAX_PATH] = {};
        ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, buffer, c.csidl, FALSE)) << c.csidl;
        EXPECT_EQ(std::u16string(buffer), c.path) << c.csidl;
    }
    WCHAR buffer[MAX_PATH] = {};
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, buffer, 99, FALSE));
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(ShellFixture, SpecialFoldersOfTheHost) {
    unsetenv("VANTREL_ROOT");
    platform::reload_device_profile();
    fixtures::TempDir data;
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", root.path().c_str(), 1);
    // The answers are device paths that lead back to the host folders.
    struct Case {
        int csidl;
        std::string host;
    } cases[] = {
        {CSIDL_WINDOWS, data.path() + "/vantrel/Windows"},
        {CSIDL_PROGRAM_FILES, data.path() + "/vantrel/Program Files"},
        {CSIDL_PERSONAL, root.path()},
    };
    for (const Case& c : cases) {
        WCHAR buffer[MAX_PATH] = {};
        ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, buffer, c.csidl, FALSE));
        EXPECT_EQ(buffer[0], u'\\');
        std::string host;
        ASSERT_TRUE(platform::host_path_of(buffer, host));
        EXPECT_EQ(host, c.host);
    }
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
}

TEST_F(ShellFixture, OpensFilesAndAddressesAndReapsTheOpener) {
    std::filesystem::create_directories(root.file("Docs"));
    std::ofstream(root.file("Docs/Help.htm")) << "<p>";
    HANDLE process = nullptr;
    ASSERT_TRUE(execute(u"\\docs\\HELP.HTM", nullptr, &process));
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(process));
    ASSERT_TRUE(execute(u"iexplore.exe", u"http://example.invalid/a?b=c", &process));
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
    EXPECT_EQ(calls(), root.file("Docs/Help.htm") + "\nhttp://example.invalid/a?b=c\n");
    // No child is left behind, reaped or zombie.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST_F(ShellFixture, RefusesMissingFilesAndUnknownVerbs) {
    HANDLE process = nullptr;
    EXPECT_FALSE(execute(u"\\missing.htm", nullptr, &process));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(process, nullptr);
    SHELLEXECUTEINFO info;
    info.lpVerb = u"print";
    info.lpFile = u"iexplore.exe";
    info.lpParameters = u"http://x";
    EXPECT_FALSE(ShellExecuteEx(&info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(calls(), "");
}

TEST_F(ShellFixture, WithoutAnOpenerOnThePathNothingIsAssociated) {
    std::ofstream(root.file("Help.htm")) << "<p>";
    fixtures::TempDir empty;
    setenv("PATH", empty.path().c_str(), 1);
    HANDLE process = nullptr;
    EXPECT_FALSE(execute(u"\\Help.htm", nullptr, &process));
    EXPECT_EQ(GetLastError(), ERROR_NO_ASSOCIATION);
    EXPECT_EQ(process, nullptr);
    EXPECT_FALSE(execute(u"iexplore.exe", u"http://example.invalid/", &process));
    EXPECT_EQ(GetLastError(), ERROR_NO_ASSOCIATION);
    EXPECT_EQ(process, nullptr);
}

}  // namespace
