#include "platform/kernel/DevicePath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/Module.h"
#include "platform/kernel/Unicode.h"
#include "tests/fixtures/DeviceRoot.h"

namespace {

using fixtures::DeviceRoot;

std::string real_executable() {
    return std::filesystem::canonical("/proc/self/exe").string();
}

std::string title_of_executable() {
    return std::filesystem::path(real_executable()).stem().string();
}

TEST(DevicePath, SandboxMapsBothWays) {
    DeviceRoot box;
    fixtures::write_file(box.host("My Documents/a.wav"), "");
    std::string host;
    ASSERT_TRUE(platform::host_path_of(u"\\my documents\\A.WAV", host));
    EXPECT_EQ(host, box.host("My Documents/a.wav"));
    ASSERT_TRUE(platform::host_path_of(u"\\", host));
    EXPECT_EQ(std::filesystem::path(host), std::filesystem::path(box.host("")).parent_path());

    std::u16string device;
    ASSERT_TRUE(platform::device_path_of(box.host("My Documents/a.wav"), device));
    EXPECT_EQ(device, u"\\My Documents\\a.wav");
    ASSERT_TRUE(platform::device_path_of(box.host("x/../"), device));
    EXPECT_EQ(device, u"\\");
    EXPECT_FALSE(platform::device_path_of("/etc/passwd", device));
    EXPECT_FALSE(platform::host_path_of(u"\\a*b", host));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
}

TEST(DevicePath, ModuleFileNameIsTheRealExecutableInsideTheSandbox) {
    DeviceRoot box;
    WCHAR buffer[1024];
    DWORD n = GetModuleFileNameW(nullptr, buffer, 1024);
    ASSERT_GT(n, 0u);
    std::u16string device(buffer, n);
    std::string title = title_of_executable();
    EXPECT_EQ(platform::utf8_from_utf16(device), "\\Program Files\\" + title + "\\" + title);
    std::string host;
    ASSERT_TRUE(platform::host_path_of(device, host));
    EXPECT_EQ(host, real_executable());
    // Files beside the program are reachable through its folder, in any case.
    std::string folder;
    ASSERT_TRUE(platform::host_path_of(u"\\PROGRAM FILES\\" + platform::utf16_from_utf8(title), folder));
    EXPECT_EQ(folder, std::filesystem::path(real_executable()).parent_path().string());

    WCHAR small[8];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(small), device.substr(0, 7));
}

TEST(DevicePath, WithoutSandboxTheHostFoldersShowThrough) {
    unsetenv("VANTREL_ROOT");
    platform::reload_device_profile();
    WCHAR buffer[1024];
    DWORD n = GetModuleFileNameW(nullptr, buffer, 1024);
    // The host's path, unless the program lies in the temporary folder (a checkout there),
    // which the device sees as \Temp.
    std::string expected = real_executable();
    std::string temp_folder = std::filesystem::path(platform::host_temp_folder() + "/").lexically_normal().string();
    if (expected.rfind(temp_folder, 0) == 0) {
        expected = "/Temp/" + expected.substr(temp_folder.size());
    }
    for (char& c : expected) {
        c = c == '/' ? '\\' : c;
    }
    EXPECT_EQ(platform::utf8_from_utf16(std::u16string(buffer, n)), expected);
    std::string host;
    ASSERT_TRUE(platform::host_path_of(std::u16string(buffer, n), host));
    EXPECT_EQ(host, real_executable());

    fixtures::TempDir temp;
    std::string saved = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", temp.path().c_str(), 1);
    EXPECT_TRUE(platform::host_path_of(u"\\temp\\Vantrel.txt1", host));
    EXPECT_EQ(host, temp.path() + "/Vantrel.txt1");
    std::u16string device;
    EXPECT_TRUE(platform::device_path_of(temp.path() + "/x.txt", device));
    EXPECT_EQ(device, u"\\Temp\\x.txt");
    EXPECT_TRUE(platform::host_path_of(u"/usr/bin", host));
    EXPECT_EQ(host, "/usr/bin");
    saved.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", saved.c_str(), 1);
}

TEST(Unicode, RoundTripsAndReplacesBrokenText) {
    std::u16string text = u"a\u00e9\u4e2d\U0001F600";
    EXPECT_EQ(platform::utf8_from_utf16(text), "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80");
    EXPECT_EQ(platform::utf16_from_utf8(platform::utf8_from_utf16(text)), text);
    EXPECT_EQ(platform::utf16_from_utf8("a\xff" "b\xc3"), u"a\ufffdb\ufffd");
    EXPECT_EQ(platform::utf8_from_utf16(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
    EXPECT_TRUE(platform::equal_ignoring_case(u"\u00c4PFEL \u0416", u"\u00e4pfel \u0436"));
    EXPECT_FALSE(platform::equal_ignoring_case(u"a", u"b"));
}

}  // namespace
