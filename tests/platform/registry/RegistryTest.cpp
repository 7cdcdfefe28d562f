#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/kernel/Core.h"
#include "tests/fixtures/DeviceRoot.h"

namespace {

HKEY open_key(HKEY root, const char16_t* sub_key, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, sub_key, 0, nullptr, 0, access, nullptr, &key, disposition), ERROR_SUCCESS);
    return key;
}

LONG set_dword(HKEY key, const char16_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
}

LONG set_string(HKEY key, const char16_t* name, const std::u16string& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size() * 2));
}

std::string tool(const fixtures::DeviceRoot& root, const std::string& arguments) {
    return "env " + root.environment() + " " + fixtures::helper_program("registry_tool") + " " + arguments;
}

TEST(PlatformRegistry, StoreLivesUnderTheDeviceRootOrTheConfigFolder) {
    {
        fixtures::DeviceRoot root;
        EXPECT_EQ(platform::registry_file_path(), root.path() + "/Windows/registry");
    }
    fixtures::TempDir config;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old != nullptr ? old : "";
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    EXPECT_EQ(platform::registry_file_path(), config.path() + "/vantrel/registry");
    if (old != nullptr) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

TEST(PlatformRegistry, KeysAreCreatedOnceAndMatchWithoutCase) {
    fixtures::DeviceRoot root;
    DWORD disposition = 0;
    HKEY first = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY second = open_key(HKEY_CURRENT_USER, u"software\\zeph\\", KEY_READ, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_NE(first, second);
    EXPECT_EQ(set_dword(first, u"Log", 1), ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(second, u"LOG", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    // A sub-key opened from an open key, and the parent created on the way.
    HKEY child = open_key(first, u"ZEPH Vantrel", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY same = open_key(HKEY_CURRENT_USER, u"SOFTWARE\\ZEPH\\zeph vantrel", KEY_READ, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    open_key(HKEY_LOCAL_MACHINE, u"System\\State\\Phone", KEY_READ, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY parent = open_key(HKEY_LOCAL_MACHINE, u"System\\State", KEY_READ, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    for (HKEY key : {first, second, child, same, parent}) {
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    EXPECT_EQ(RegCloseKey(first), ERROR_INVALID_HANDLE);
}

TEST(PlatformRegistry, QueryReportsSizeAndTypeWhenTheBufferIsShort) {
    fixtures::DeviceRoot root;
    HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH");
    ASSERT_EQ(set_dword(key, u"Log", 0x01020304), ERROR_SUCCESS);
    ASSERT_EQ(set_string(key, u"Language", std::u16string(u"English", 8)), ERROR_SUCCESS);
    struct Case {
        const char16_t* name;
        bool with_buffer;
        DWORD buffer_size;
        LONG answer;
        DWORD type;
        DWORD size;
    };
    const Case cases[] = {
        {u"Log", false, 0, ERROR_SUCCESS, REG_DWORD, 4},
        {u"Log", true, 1, ERROR_MORE_DATA, REG_DWORD, 4},
        {u"Log", true, 4, ERROR_SUCCESS, REG_DWORD, 4},
        {u"Log", true, 64, ERROR_SUCCESS, REG_DWORD, 4},
        {u"Language", true, 1, ERROR_MORE_DATA, REG_SZ, 16},
        {u"Language", true, 15, ERROR_MORE_DATA, REG_SZ, 16},
        {u"Language", true, 16, ERROR_SUCCESS, REG_SZ, 16},
        {u"Missing", true, 64, ERROR_FILE_NOT_FOUND, 99, 64},
    };
    for (const Case& c : cases) {
        BYTE buffer[64] = {};
        DWORD type = 99;
        DWORD size = c.buffer_size;
        LONG answer = RegQueryValueExW(key, c.name, nullptr, &type, c.with_buffer ? buffer : nullptr, &size);
        EXPECT_EQ(answer, c.answer) << c.buffer_size;
        EXPECT_EQ(type, c.type) << c.buffer_size;
        EXPECT_EQ(size, c.size) << c.buffer_size;
        if (answer == ERROR_MORE_DATA) {
            EXPECT_EQ(buffer[0], 0) << "a short buffer is not written";
        }
    }
    DWORD value = 0;
    DWORD size = 4;
    RegQueryValueExW(key, u"Log", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    EXPECT_EQ(value, 0x01020304u);
    RegCloseKey(key);
}

TEST(PlatformRegistry, SetRejectsWhatTheStoreCannotHold) {
    fixtures::DeviceRoot root;
    HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH");
    const BYTE bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(RegSetValueExW(key, u"a", 0, REG_DWORD, bytes, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, u"a", 0, REG_DWORD, bytes, 8), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, u"a", 0, REG_SZ, bytes, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, u"a", 0, 3 /* binary */, bytes, 8), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"a", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    HKEY read_only = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH", KEY_READ);
    EXPECT_EQ(set_dword(read_only, u"a", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(read_only, u"a"), ERROR_ACCESS_DENIED);
    RegCloseKey(read_only);
    RegCloseKey(key);
}

TEST(PlatformRegistry, BadHandlesAndPathsFailCleanly) {
    fixtures::DeviceRoot root;
    HKEY key = nullptr;
    HKEY unknown_root = reinterpret_cast<HKEY>(uintptr_t(0x80000009));
    EXPECT_EQ(RegCreateKeyExW(unknown_root, u"x", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyExW(nullptr, u"x", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr), ERROR_INVALID_HANDLE);
    for (const char16_t* path : {u"\\Software", u"Software\\\\ZEPH"}) {
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
                  ERROR_BAD_PATHNAME);
    }
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"x", 0, nullptr, 1, KEY_READ, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(unknown_root, u"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(set_dword(HKEY_CURRENT_USER, u"x", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(unknown_root), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(std::filesystem::exists(root.host("Windows/registry"))) << "nothing was written";
}

TEST(PlatformRegistry, DeleteValueAndDefaultValue) {
    fixtures::DeviceRoot root;
    HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH");
    ASSERT_EQ(set_dword(key, nullptr, 7), ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(RegDeleteValueW(key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST(PlatformRegistry, AnyTextSurvivesTheFile) {
    fixtures::DeviceRoot root;
    const std::u16string name = u"n\u00E4me \"q\" %u0041 [x]";
    const std::u16string text(u"a\0b\u00E9\u4E2D\xD800%\"]\\\n", 12);
    HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\k\u00F6y [1] %\"");
    ASSERT_EQ(set_string(key, name.c_str(), text), ERROR_SUCCESS);
    RegCloseKey(key);
    // Damage nothing, but make the store reread the file by rewriting it byte for byte.
    std::string file = fixtures::read_file(root.host("Windows/registry"));
    fixtures::write_file(root.host("Windows/registry"), file + "\n");
    key = open_key(HKEY_CURRENT_USER, u"SOFTWARE\\K\u00D6Y [1] %\"");
    char16_t buffer[32] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::u16string(buffer, size / 2), text);
    EXPECT_EQ(platform::registry_load_problems(), 0);
    RegCloseKey(key);
}

TEST(PlatformRegistry, BadContentReadsAsEmptyKeysAndIsKeptByTheNextWrite) {
    fixtures::DeviceRoot root;
    const std::string store = root.host("Windows/registry");
    // The ZEPH key's section, and the rest of the file after it.
    const std::string zeph = "[HKEY_CURRENT_USER\\Software\\ZEPH]\n"
                             "\"Log\"=dword:00000001\n"
                             "\"Flicker\"=dword:xyz\n"
                             "\"Language\"=sz:\"unterminated\n"
                             "garbage line\n";
    const std::string rest = "[HKEY_NOWHERE\\x]\n"
                             "\"Lost\"=dword:00000002\n"
                             "[HKEY_CURRENT_USER\\Bad%u00\n"
                             "\"Name\"=blob:00\n"
                             "[HKEY_LOCAL_MACHINE\\System]\n"
                             "\"Kept\"=sz:\"ok%u0000\"\n"
                             "\"Odd\"=sz:\"bad %q\"\n" +
                             std::string("\0\xFF\xFE binary\n", 11);
    fixtures::write_file(store, zeph + rest);
    HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH");
    DWORD value = 0;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"Log", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(RegQueryValueExW(key, u"Flicker", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, u"Language", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_GE(platform::registry_load_problems(), 8);
    HKEY system = open_key(HKEY_LOCAL_MACHINE, u"System");
    EXPECT_EQ(RegQueryValueExW(system, u"Kept", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(set_dword(key, u"Flicker", 0), ERROR_SUCCESS);
    EXPECT_EQ(set_string(system, u"Added", u"new"), ERROR_SUCCESS);
    // What it could not read stays where it was, byte for byte; the new values join their keys.
    EXPECT_EQ(fixtures::read_file(store), zeph + "\"Flicker\"=dword:00000000\n" + rest + "\"Added\"=sz:\"new\"\n" +
                                              "[HKEY_CURRENT_USER]\n"
                                              "[HKEY_CURRENT_USER\\Software]\n"
                                              "[HKEY_LOCAL_MACHINE]\n");
    EXPECT_GE(platform::registry_load_problems(), 8);
    RegCloseKey(system);
    RegCloseKey(key);
}

// The values under a key line the store cannot read are another program's: a change elsewhere
// keeps them, the line and its neighbours byte for byte in their places.
TEST(PlatformRegistry, ValuesUnderAKeyLineItCannotReadAreKeptInPlace) {
    fixtures::DeviceRoot root;
    const std::string store = root.host("Windows/registry");
    const std::string before = "; kept comment\r\n"
                               "[HKEY_CURRENT_USER\\ControlPanel\\Sounds\\RingTone0]\n"
                               "\"Sound\"=sz:\"\\%u005CWindows\\%u005CRings\\%u005Cold.mp3\"\n"
                               "[HKEY_CURRENT_USER\\Software\\Other] \n"
                               "\"Keep1\"=dword:00000005\n"
                               "\"Keep2\"=sz:\"precious\"\n"
                               "\n"
                               "[HKEY_CURRENT_USER\\Software\\ZEPH]\n"
                               "\"Log\"=dword:00000000";
    fixtures::write_file(store, before);
    HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH");
    ASSERT_EQ(set_dword(key, u"Log", 1), ERROR_SUCCESS);
    RegCloseKey(key);
    std::string expected = before;
    expected.replace(expected.rfind("00000000"), 8, "00000001");
    EXPECT_EQ(fixtures::read_file(store).substr(0, expected.size()), expected);
    EXPECT_EQ(fixtures::read_file(store).find("[HKEY_CURRENT_USER\\Software\\Other]\n"), std::string::npos)
        << "the refused line is not made into another";
}

// A store that is a link (kept on another disk, shared with another program) stays a link:
// the new content goes to the file it names.
TEST(PlatformRegistry, AStoreThatIsALinkIsWrittenThroughToItsTarget) {
    fixtures::DeviceRoot root;
    std::filesystem::create_directories(root.host("Windows"));
    std::filesystem::create_directories(root.host("Elsewhere"));
    struct Case {
        const char* what;
        std::string link_to;
        std::string target;
    };
    const Case cases[] = {
        {"absolute", root.host("Elsewhere/registry"), root.host("Elsewhere/registry")},
        {"relative", "../Elsewhere/relative", root.host("Elsewhere/relative")},
        {"not made yet", root.host("Elsewhere/new"), root.host("Elsewhere/new")},
    };
    DWORD n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(root.host("Windows/registry"));
        std::filesystem::create_symlink(c.link_to, root.host("Windows/registry"));
        if (c.what != std::string("not made yet")) {
            fixtures::write_file(c.target, "[HKEY_CURRENT_USER\\Other]\n\"Kept\"=dword:00000007\n");
        }
        HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH");
        ASSERT_EQ(set_dword(key, u"Log", ++n), ERROR_SUCCESS);
        RegCloseKey(key);
        EXPECT_TRUE(std::filesystem::is_symlink(root.host("Windows/registry")));
        const std::string text = fixtures::read_file(c.target);
        EXPECT_NE(text.find("\"Log\"=dword:0000000" + std::to_string(n)), std::string::npos) << text;
        const bool kept = text.find("\"Kept\"=dword:00000007") != std::string::npos;
        EXPECT_EQ(kept, c.what != std::string("not made yet")) << text;
    }
}

// A store it cannot read is never written over: the change fails (said once), the file keeps
// every value, and the process goes on.
TEST(PlatformRegistry, AStoreItCannotReadIsNeverWrittenOver) {
    fixtures::DeviceRoot root;
    const std::string store = root.host("Windows/registry");
    const std::string content = "[HKEY_CURRENT_USER\\ControlPanel\\Sounds\\RingTone0]\n"
                                "\"Sound\"=sz:\"old.mp3\"\n"
                                "[HKEY_CURRENT_USER\\Software\\Other]\n"
                                "\"Theirs\"=dword:00000005\n";
    fixtures::write_file(store, content);
    // The session may run as root, whom no permission stops: the helper then runs as nobody.
    std::string as_other;
    if (geteuid() == 0) {
        ASSERT_EQ(chmod(root.path().c_str(), 0755), 0);
        ASSERT_EQ(chmod(root.host("Windows").c_str(), 0777), 0);
        as_other = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    ASSERT_EQ(chmod(store.c_str(), 0), 0);
    const std::string err = root.host("err.txt");
    const int status = fixtures::run_command(as_other + tool(root, "set-string 'HKEY_CURRENT_USER\\Software\\ZEPH' Language German") +
                                             " 2>" + err);
    EXPECT_EQ(status, 1) << fixtures::read_file(err);
    ASSERT_EQ(chmod(store.c_str(), 0600), 0);
    EXPECT_EQ(fixtures::read_file(store), content);
    const std::string said = fixtures::read_file(err);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("cannot read"), std::string::npos) << said;
}

TEST(PlatformRegistry, ValuesPersistAcrossProcesses) {
    fixtures::DeviceRoot root;
    HKEY key = open_key(HKEY_CURRENT_USER, u"Software\\ZEPH");
    ASSERT_EQ(set_dword(key, u"Log", 5), ERROR_SUCCESS);
    std::string out = root.host("out.txt");
    ASSERT_EQ(fixtures::run_command(tool(root, "get-dword 'HKEY_CURRENT_USER\\Software\\ZEPH' Log > " + out)), 0);
    EXPECT_EQ(fixtures::read_file(out), "5\n");
    // Another process changes it: this one sees the new value on its next read.
    ASSERT_EQ(fixtures::run_command(tool(root, "set-dword 'HKEY_CURRENT_USER\\Software\\ZEPH' Log 9")), 0);
    DWORD value = 0;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"Log", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 9u);
    // And its own next write keeps what the other process wrote.
    ASSERT_EQ(fixtures::run_command(tool(root, "set-string 'HKEY_CURRENT_USER\\Software\\ZEPH' Language German")), 0);
    ASSERT_EQ(set_dword(key, u"Flicker", 1), ERROR_SUCCESS);
    ASSERT_EQ(fixtures::run_command(tool(root, "get-string 'HKEY_CURRENT_USER\\Software\\ZEPH' Language > " + out)), 0);
    EXPECT_EQ(fixtures::read_file(out), "German\n");
    RegCloseKey(key);
}

TEST(PlatformRegistry, WritersInTwoProcessesLoseNothing) {
    fixtures::DeviceRoot root;
    std::string command = tool(root, "fill 'HKEY_CURRENT_USER\\Race' a 150") + " & " +
                          tool(root, "fill 'HKEY_CURRENT_USER\\Race' b 150") + " & wait";
    ASSERT_EQ(fixtures::run_command(command), 0);
    HKEY key = open_key(HKEY_CURRENT_USER, u"Race", KEY_READ);
    for (char16_t prefix : {u'a', u'b'}) {
        for (int i = 0; i < 150; ++i) {
            std::u16string name(1, prefix);
            for (char c : std::to_string(i)) {
                name.push_back(static_cast<char16_t>(c));
            }
            DWORD value = 0;
            DWORD size = 4;
            ASSERT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
                      ERROR_SUCCESS)
                << static_cast<char>(prefix) << i;
            EXPECT_EQ(value, static_cast<DWORD>(i));
        }
    }
    RegCloseKey(key);
}

TEST(PlatformRegistry, AWriterKilledMidRunLeavesAValidStore) {
    fixtures::DeviceRoot root;
    HKEY key = open_key(HKEY_CURRENT_USER, u"Churn", KEY_READ);
    DWORD last = 0;
    for (const char* seconds : {"0.3", "0.45", "0.6", "0.75", "0.9"}) {
        // timeout exits 137 after its SIGKILL.
        int status = fixtures::run_command("timeout -s KILL " + std::string(seconds) + " " +
                                           tool(root, "churn 'HKEY_CURRENT_USER\\Churn'") + " 2>/dev/null");
        EXPECT_EQ(status, 137);
        DWORD counter = 0;
        DWORD size = 4;
        ASSERT_EQ(RegQueryValueExW(key, u"Counter", nullptr, nullptr, reinterpret_cast<BYTE*>(&counter), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(platform::registry_load_problems(), 0);
        EXPECT_GT(counter, last) << "each run continues from the last value it completed";
        std::u16string text(8192, u'\0');
        size = static_cast<DWORD>(text.size() * 2);
        ASSERT_EQ(RegQueryValueExW(key, u"Text", nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size),
                  ERROR_SUCCESS);
        text.resize(size / 2);
        std::string number(text.begin() + 6, text.begin() + static_cast<std::ptrdiff_t>(text.find(u' ', 6)));
        // Text is written before Counter: it holds the counter or the one after it.
        DWORD text_number = static_cast<DWORD>(std::stoul(number));
        EXPECT_TRUE(text_number == counter || text_number == counter + 1) << text_number << " " << counter;
        last = counter;
    }
    RegCloseKey(key);
}

}  // namespace
