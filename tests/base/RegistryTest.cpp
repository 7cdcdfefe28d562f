#include "base/Registry.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/Core.h"
#include "platform/registry/Registry.h"
#include "tests/fixtures/DeviceRoot.h"

namespace skinner {
namespace {

const std::u16string zeph = u"HKEY_CURRENT_USER\\Software\\ZEPH";

// Stores raw bytes under a value, as another program might have.
void store_raw(const std::u16string& sub_key, const char16_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, sub_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(Registry, SplitsThePathAtItsRoot) {
    struct Case {
        std::u16string path;
        HKEY root;
        std::u16string sub_key;
    };
    HKEY unset = reinterpret_cast<HKEY>(uintptr_t(1));
    const Case cases[] = {
        {u"HKEY_CURRENT_USER\\Software\\ZEPH", HKEY_CURRENT_USER, u"Software\\ZEPH"},
        {u"HKEY_LOCAL_MACHINE\\System\\State\\Phone", HKEY_LOCAL_MACHINE, u"System\\State\\Phone"},
        {u"HKEY_CLASSES_ROOT\\x", HKEY_CLASSES_ROOT, u"x"},
        {u"HKEY_USERS/y", HKEY_USERS, u"y"},  // the separator is not tested
        {u"HKEY_USERS", HKEY_USERS, u""},
        {u"HKEY_USERS\\", HKEY_USERS, u""},
        {u"hkey_current_user\\Software", unset, u""},  // root names are case-sensitive
        {u"Software\\ZEPH", unset, u""},
        {u"", unset, u""},
    };
    for (const Case& c : cases) {
        HKEY root = unset;
        EXPECT_EQ(split_registry_path(c.path, root), c.sub_key);
        EXPECT_EQ(root, c.root);
    }
}

TEST(Registry, ReadingAMissingValueCreatesTheEmptyKey) {
    fixtures::DeviceRoot root;
    DWORD value = 77;
    EXPECT_FALSE(registry_read_dword(zeph, u"Log", value));
    EXPECT_EQ(value, 77u);
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\ZEPH", 0, nullptr, 0, KEY_READ, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
}

TEST(Registry, RoundTripsStringsAndDwords) {
    fixtures::DeviceRoot root;
    EXPECT_TRUE(registry_write_string(zeph + u"\\ZEPH Vantrel", u"Language", u"Fran\u00E7ais"));
    EXPECT_TRUE(registry_write_dword(zeph, u"Log", 1));
    std::u16string text;
    EXPECT_TRUE(registry_read_string(zeph + u"\\ZEPH Vantrel", u"Language", text));
    EXPECT_EQ(text, u"Fran\u00E7ais");
    DWORD value = 0;
    EXPECT_TRUE(registry_read_dword(zeph, u"Log", value));
    EXPECT_EQ(value, 1u);
    // "abc" is stored as three characters and the terminator.
    EXPECT_TRUE(registry_write_string(zeph, u"Short", u"abc"));
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\ZEPH", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Short", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    RegCloseKey(key);
}

TEST(Registry, ReadsCheckTypeAndSize) {
    fixtures::DeviceRoot root;
    const char16_t empty[] = u"";
    const char16_t unterminated[] = {u'h', u'i'};
    const char16_t with_zero[] = {u'a', u'\0', u'b', u'\0'};
    const DWORD one = 1;
    store_raw(u"Software\\ZEPH", u"Empty", REG_SZ, empty, 2);
    store_raw(u"Software\\ZEPH", u"Unterminated", REG_SZ, unterminated, 4);
    store_raw(u"Software\\ZEPH", u"WithZero", REG_SZ, with_zero, 8);
    store_raw(u"Software\\ZEPH", u"Nothing", REG_SZ, nullptr, 0);
    store_raw(u"Software\\ZEPH", u"Number", REG_DWORD, &one, 4);
    store_raw(u"Software\\ZEPH", u"TwoBytes", REG_SZ, u"\u0001", 2);  // a DWORD read must not take 2 bytes

    struct StringCase {
        const char16_t* name;
        bool ok;
        std::u16string text;
    };
    const StringCase strings[] = {
        {u"Empty", true, u""},       {u"Unterminated", true, u"hi"}, {u"WithZero", true, u"a"},
        {u"Nothing", true, u""},     {u"Number", false, u"keep"},   {u"Missing", false, u"keep"},
    };
    for (const StringCase& c : strings) {
        std::u16string out = u"keep";
        EXPECT_EQ(registry_read_string(zeph, c.name, out), c.ok) << std::string(c.name, c.name + 3);
        EXPECT_EQ(out, c.text);
    }
    for (const char16_t* name : {u"Empty", u"TwoBytes", u"Unterminated", u"Missing"}) {
        DWORD out = 55;
        EXPECT_FALSE(registry_read_dword(zeph, name, out));
        EXPECT_EQ(out, 55u);
    }
}

TEST(Registry, UnknownRootFailsWithoutTouchingTheStore) {
    fixtures::DeviceRoot root;
    std::u16string text = u"keep";
    DWORD value = 3;
    EXPECT_FALSE(registry_read_string(u"HKEY_NOWHERE\\x", u"a", text));
    EXPECT_FALSE(registry_read_dword(u"Software\\ZEPH", u"Log", value));
    EXPECT_FALSE(registry_write_string(u"hkey_current_user\\x", u"a", u"b"));
    EXPECT_FALSE(registry_write_dword(u"", u"a", 1));
    EXPECT_EQ(text, u"keep");
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(fixtures::read_file(root.host("Windows/registry")), "");
}

TEST(Registry, CallIsActiveOnlyForANonZeroCount) {
    fixtures::DeviceRoot root;
    const std::u16string phone = u"HKEY_LOCAL_MACHINE\\System\\State\\Phone";
    EXPECT_FALSE(is_call_active());  // key and value missing
    ASSERT_TRUE(registry_write_dword(phone, u"Active Call Count", 0));
    EXPECT_FALSE(is_call_active());
    ASSERT_TRUE(registry_write_dword(phone, u"Active Call Count", 2));
    EXPECT_TRUE(is_call_active());
    ASSERT_TRUE(registry_write_string(phone, u"Active Call Count", u"1"));
    EXPECT_FALSE(is_call_active());
}

}  // namespace
}  // namespace skinner
