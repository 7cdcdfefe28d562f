#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/window/Window.h"

namespace {

// Sets VANTREL_* variables for one test and restores the profile afterwards.
class DeviceEnvironment {
public:
    DeviceEnvironment(const char* device, const char* screen, const char* dpi, const char* os) {
        set("VANTREL_DEVICE", device);
        set("VANTREL_SCREEN", screen);
        set("VANTREL_DPI", dpi);
        set("VANTREL_OS_MAJOR", os);
        platform::reload_device_profile();
    }
    ~DeviceEnvironment() {
        for (const char* name : {"VANTREL_DEVICE", "VANTREL_SCREEN", "VANTREL_DPI", "VANTREL_OS_MAJOR"}) {
            unsetenv(name);
        }
        platform::reload_device_profile();
    }

private:
    static void set(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
};

struct AreaCase {
    const char* device;
    const char* screen;
    const char* dpi;
    RECT work;
};

TEST(SystemInfo, WorkAreaIsTheScreenLessBothBars) {
    const AreaCase cases[] = {
        {"smartphone", "240x320", nullptr, {0, 27, 240, 293}},
        {"smartphone", "176x220", nullptr, {0, 20, 176, 200}},
        {"smartphone", "352x416", nullptr, {0, 40, 352, 376}},
        {"smartphone", "300x400", nullptr, {0, 0, 300, 400}},
        {"pocketpc", "240x320", "96", {0, 26, 240, 294}},
        {"pocketpc", "480x640", "131", {0, 35, 480, 605}},
        {"pocketpc", "480x640", "192", {0, 52, 480, 588}},
    };
    for (const AreaCase& c : cases) {
        DeviceEnvironment env(c.device, c.screen, c.dpi, nullptr);
        RECT r;
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0));
        EXPECT_EQ(r.left, c.work.left) << c.device << " " << c.screen;
        EXPECT_EQ(r.top, c.work.top) << c.device << " " << c.screen;
        EXPECT_EQ(r.right, c.work.right) << c.device << " " << c.screen;
        EXPECT_EQ(r.bottom, c.work.bottom) << c.device << " " << c.screen;
    }
}

TEST(SystemInfo, PlatformTypeAndVersionFollowTheProfile) {
    {
        DeviceEnvironment env("smartphone", nullptr, nullptr, "4");
        WCHAR text[100];
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof text, text, 0));
        EXPECT_EQ(std::u16string(text), u"SmartPhone");
        OSVERSIONINFOW v;
        v.dwOSVersionInfoSize = sizeof v;
        ASSERT_TRUE(GetVersionExW(&v));
        EXPECT_EQ(v.dwMajorVersion, 4u);
        EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_WIN32_CE);
    }
    WCHAR text[100];
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof text, text, 0));
    EXPECT_EQ(std::u16string(text), u"PocketPC");
    WCHAR tiny[3];
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof tiny, tiny, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    OSVERSIONINFOW bad;
    bad.dwOSVersionInfoSize = 12;
    EXPECT_FALSE(GetVersionExW(&bad));
    EXPECT_FALSE(SystemParametersInfoW(9999, 0, nullptr, 0));
}

TEST(Modules, ThePlatformsLibrariesLoadAndOfferWhatTheyHave) {
    HMODULE shell = LoadLibraryW(u"AygShell.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(LoadLibraryW(u"\\Windows\\aygshell.dll"), shell);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddressW(shell, u"SHRecognizeGesture")),
              reinterpret_cast<void*>(&SHRecognizeGesture));
    EXPECT_EQ(GetProcAddressW(shell, u"SndSetSound"), nullptr);  // no ringtone call here
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddressW(shell, reinterpret_cast<LPCWSTR>(uintptr_t(69))), nullptr);
    HMODULE core = LoadLibraryW(u"coredll.dll");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(GetProcAddressW(core, u"ChangeDisplaySettingsEx"), nullptr);
    EXPECT_EQ(LoadLibraryW(u"nosuch.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(shell));
    EXPECT_TRUE(FreeLibrary(shell));
    EXPECT_TRUE(FreeLibrary(core));
    EXPECT_EQ(GetProcAddressW(shell, u"SHRecognizeGesture"), nullptr);  // unloaded
    EXPECT_FALSE(FreeLibrary(shell));
}

TEST(Cursors, SystemCursorsLoadAndSetCursorReturnsThePreviousOne) {
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(arrow, nullptr);
    EXPECT_NE(wait, arrow);
    EXPECT_EQ(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(uintptr_t(31000))), nullptr);
    HCURSOR before = SetCursor(wait);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(before), wait);
    EXPECT_EQ(GetCursor(), before);
}

}  // namespace
