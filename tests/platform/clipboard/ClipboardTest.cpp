#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/clipboard/Clipboard.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/kernel/Core.h"

namespace {

namespace h = platform::headless;

HLOCAL block(const void* bytes, UINT size) {
    HLOCAL memory = LocalAlloc(LMEM_MOVEABLE, size);
    std::memcpy(LocalLock(memory), bytes, size);
    LocalUnlock(memory);
    return memory;
}

void put(HLOCAL memory) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_EQ(SetClipboardData(CF_UNICODETEXT, memory), memory);
    ASSERT_TRUE(CloseClipboard());
}

std::u16string held_text() {
    EXPECT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::u16string text = data ? platform::local_text(data) : u"<none>";
    CloseClipboard();
    return text;
}

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ensure_display();  // this thread is the display's: the desktop is reachable
        h::use_desktop_clipboard(false);
    }
    void TearDown() override {
        h::use_desktop_clipboard(false);
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
};

TEST(LocalMemory, HandsOutCheckedBlocksOfTheSizeAskedFor) {
    HLOCAL zeroed = LocalAlloc(LPTR, 6);
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(LocalSize(zeroed), 6u);
    EXPECT_EQ(LocalLock(zeroed), zeroed);  // a handle is its memory
    const auto* bytes = static_cast<const unsigned char*>(LocalLock(zeroed));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(bytes[i], 0);
    }
    EXPECT_FALSE(LocalUnlock(zeroed));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(LocalFree(zeroed), nullptr);
    EXPECT_EQ(LocalFree(zeroed), zeroed);  // freed twice: refused, not a crash
    EXPECT_EQ(LocalSize(zeroed), 0u);
    EXPECT_EQ(LocalLock(zeroed), nullptr);

    HLOCAL empty = LocalAlloc(LMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(LocalSize(empty), 0u);
    EXPECT_EQ(platform::local_text(empty), u"");
    LocalFree(empty);

    EXPECT_EQ(LocalAlloc(0x1000, 4), nullptr);  // a flag we do not have
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, 0xFFFFFFF0u), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    int not_ours = 0;
    EXPECT_EQ(LocalSize(&not_ours), 0u);
    EXPECT_EQ(LocalFree(&not_ours), &not_ours);
}

TEST(LocalMemory, TextStopsAtItsZeroAndNeverReadsHalfACharacter) {
    struct Case {
        const char* name;
        std::u16string bytes_as_text;  // the block's contents
        UINT size;                     // bytes of it in the block
        std::u16string text;
    };
    const Case cases[] = {
        {"terminated", std::u16string(u"ab\0", 3), 6, u"ab"},
        {"room after the zero is not text", std::u16string(u"ab\0cd", 5), 10, u"ab"},
        {"no zero: up to the block's end", u"abc", 6, u"abc"},
        {"an odd last byte is no character", u"abc", 5, u"ab"},
        {"a single byte", u"a", 1, u""},
    };
    for (const Case& c : cases) {
        HLOCAL memory = block(c.bytes_as_text.data(), c.size);
        EXPECT_EQ(platform::local_text(memory), c.text) << c.name;
        LocalFree(memory);
    }
    HLOCAL made = platform::local_text_block(u"xy");
    EXPECT_EQ(LocalSize(made), 6u);
    EXPECT_EQ(platform::local_text(made), u"xy");
    LocalFree(made);
}

TEST_F(Clipboard, IsUsedOnlyWhileOpenAndByOneThreadAtATime) {
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    HLOCAL memory = platform::local_text_block(u"x");
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    EXPECT_EQ(LocalFree(memory), nullptr);  // refused, so still the caller's

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(OpenClipboard(nullptr));  // again from the same thread
    bool other_opened = true;
    std::thread([&] { other_opened = OpenClipboard(nullptr) != 0; }).join();
    EXPECT_FALSE(other_opened);
    EXPECT_TRUE(CloseClipboard());
    std::thread([&] {
        other_opened = OpenClipboard(nullptr) != 0;
        CloseClipboard();
    }).join();
    EXPECT_TRUE(other_opened);
}

TEST_F(Clipboard, OwnsTheTextItIsGivenUntilItIsReplacedOrEmptied) {
    HLOCAL first = platform::local_text_block(u"first");
    put(first);
    EXPECT_EQ(LocalFree(first), first);  // the clipboard's now
    EXPECT_EQ(held_text(), u"first");

    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    EXPECT_EQ(data, first);
    EXPECT_EQ(LocalSize(data), 12u);
    HLOCAL second = platform::local_text_block(u"second");
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, second), second);  // without emptying: replaces
    EXPECT_EQ(LocalSize(first), 0u);                              // the old text is gone
    HLOCAL narrow = platform::local_text_block(u"narrow");
    EXPECT_EQ(SetClipboardData(1, narrow), nullptr);  // only text
    LocalFree(narrow);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, nullptr), nullptr);
    int not_ours = 0;
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, &not_ours), nullptr);
    EXPECT_EQ(GetClipboardData(1), nullptr);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(held_text(), u"second");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(LocalSize(second), 0u);
}

TEST_F(Clipboard, IsJoinedToTheDesktopsClipboard) {
    h::use_desktop_clipboard(true);
    const char16_t with_more[] = u"ours\0not this";
    put(block(with_more, sizeof with_more));
    EXPECT_EQ(h::desktop_clipboard(), u"ours");  // the text, not what lies after its zero

    h::desktop_copy(u"from another program");
    EXPECT_EQ(held_text(), u"from another program");
    EXPECT_EQ(held_text(), u"from another program");

    h::desktop_copy(u"");  // another program copied something that is not text
    EXPECT_EQ(held_text(), u"<none>");

    put(platform::local_text_block(u"again"));
    EXPECT_EQ(h::desktop_clipboard(), u"again");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(h::desktop_clipboard(), u"");

    // Another thread cannot reach the desktop's clipboard: it sees the program's own.
    put(platform::local_text_block(u"kept"));
    h::desktop_copy(u"desktop");
    std::u16string seen;
    std::thread([&] { seen = held_text(); }).join();
    EXPECT_EQ(seen, u"kept");
    EXPECT_EQ(held_text(), u"desktop");
}

TEST_F(Clipboard, WithoutADesktopTheTextStaysWithinTheProgram) {
    put(platform::local_text_block(u"inside"));
    EXPECT_EQ(h::desktop_clipboard(), u"");
    h::desktop_copy(u"ignored");
    EXPECT_EQ(held_text(), u"inside");
}

}  // namespace
