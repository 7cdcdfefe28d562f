// The edit control and the clipboard: what a paste takes from blocks of every shape, what a
// copy leaves there, a clipboard held by another thread, and the context menu's entries as the
// selection and the clipboard enable them.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/clipboard/Clipboard.h"
#include "platform/window/Keys.h"
#include "tests/ui/edit/support/EditTesting.h"
#include "ui/edit/Clipboard.h"

namespace edit_test {
namespace {

using skinner::ClipboardFormat;
using skinner::ClipboardReader;
using skinner::ClipboardWriter;
using skinner::ControlEditImpl;
using skinner::Key;

class EditClipboard : public ::testing::Test {
protected:
    void SetUp() override { pump(); }
    void TearDown() override { pump(); }

    void paste_into_empty() {
        form.name.set_text(u"");
        form.take_events();
        HeldKeys ctrl({VK_CONTROL});
        EXPECT_TRUE(form.name.on_keydown(Key::V));
    }

    TestClock clock;
    EditForm form;
};

TEST_F(EditClipboard, PasteTakesWholeCharactersUpToTheFirstZeroWithoutControlCharacters) {
    struct Case {
        const char* what;
        std::u16string bytes;  // the block's code units
        unsigned extra_byte;   // 1: one odd byte more
        std::u16string pasted;
    };
    const Case cases[] = {
        {"a text with its zero", std::u16string(u"Tune 1\0", 7), 0, u"Tune 1"},
        {"a line break and a tab", std::u16string(u"Tu\r\nne\t1\0", 10), 0, u"Tune1"},
        {"a block larger than its text", std::u16string(u"ab\0cd\0\0\0", 8), 0, u"ab"},
        {"a block without its zero", u"abc", 0, u"abc"},
        {"an odd byte count", std::u16string(u"abc\0", 4), 1, u""},
        {"one byte", u"", 1, u""},
        {"only control characters", std::u16string(u"\r\n\0", 3), 0, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string block(reinterpret_cast<const char*>(c.bytes.data()), c.bytes.size() * 2);
        block.append(c.extra_byte, 'x');
        put_clipboard_bytes(block.data(), static_cast<unsigned>(block.size()));
        paste_into_empty();
        EXPECT_EQ(form.name.get_text(), c.pasted);
        EXPECT_EQ(form.take_events().size(), c.pasted.empty() ? 0u : 1u);
    }
    // Nothing to paste leaves the selection alone.
    put_clipboard_text(u"\t");
    form.name.set_text(u"keep");
    form.name.set_selection(0, 4);
    HeldKeys ctrl({VK_CONTROL});
    form.name.on_keydown(Key::V);
    EXPECT_EQ(form.name.get_text(), u"keep");
}

TEST_F(EditClipboard, CopyPutsTheSelectionWithItsZeroAndNothingWhenNothingIsSelected) {
    form.name.set_text(u"abcdef");
    form.name.set_selection(4, 1);
    {
        HeldKeys ctrl({VK_CONTROL});
        form.name.on_keydown(Key::C);
    }
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(LocalSize(data), 8u);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(LocalLock(data)), 4), std::u16string(u"bcd\0", 4));
    CloseClipboard();

    form.name.set_selection(2, 2);
    HeldKeys ctrl({VK_CONTROL});
    form.name.on_keydown(Key::C);
    EXPECT_EQ(clipboard_text(), u"bcd");
}

TEST_F(EditClipboard, AClipboardHeldElsewhereChangesNothing) {
    std::mutex lock;
    std::condition_variable changed;
    bool opened = false;
    bool done = false;
    put_clipboard_text(u"XY");
    std::thread holder([&] {
        std::unique_lock guard(lock);
        opened = OpenClipboard(nullptr) != FALSE;
        changed.notify_all();
        changed.wait(guard, [&] { return done; });
        if (opened) CloseClipboard();
    });
    {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return opened; });
    }
    form.name.set_text(u"abcd");
    form.name.set_selection(1, 3);
    {
        HeldKeys ctrl({VK_CONTROL});
        for (Key key : {Key::X, Key::V, Key::C}) form.name.on_keydown(key);
    }
    // The cut's copy could not be made: the text keeps what it would have lost.
    EXPECT_EQ(form.name.get_text(), u"abcd");
    EXPECT_FALSE(form.name.make_context_menu().children[2].enabled) << "Paste";
    {
        std::lock_guard guard(lock);
        done = true;
    }
    changed.notify_all();
    holder.join();
    EXPECT_EQ(clipboard_text(), u"XY");
}

TEST_F(EditClipboard, ReaderAndWriterOpenAndCloseWithTheirScope) {
    {
        ClipboardWriter writer(ClipboardFormat::UNICODETEXT, 6, true);
        ASSERT_TRUE(writer.has_memory());
        std::memcpy(writer.data(), u"hi", 6);
    }
    {
        ClipboardReader reader(ClipboardFormat::UNICODETEXT);
        ASSERT_TRUE(reader.has_data());
        EXPECT_EQ(reader.size(), 6u);
        EXPECT_EQ(std::u16string(static_cast<const char16_t*>(reader.data())), u"hi");
        EXPECT_EQ(reader.text(), u"hi");
    }
    {
        // No bytes: the clipboard is only emptied.
        ClipboardWriter writer(ClipboardFormat::UNICODETEXT, 0, true);
        EXPECT_FALSE(writer.has_memory());
    }
    EXPECT_FALSE(clipboard_has_data());
    {
        // A format the platform does not carry: the memory is given back, not lost.
        ClipboardWriter writer(ClipboardFormat::DIB, 16, true);
        EXPECT_TRUE(writer.has_memory());
    }
    EXPECT_FALSE(clipboard_has_data());
    ClipboardReader closed_after(ClipboardFormat::UNICODETEXT);
    EXPECT_FALSE(closed_after.has_data());
    EXPECT_EQ(closed_after.size(), 0u);
    EXPECT_EQ(closed_after.data(), nullptr);
}

// The entries Cut, Copy, Paste, Delete and Select All as 1 (enabled) or 0.
std::string enabled_entries(const ControlEditImpl& edit) {
    std::string flags;
    for (const skinner::MenuItem& item : edit.make_context_menu().children) flags += item.enabled ? '1' : '0';
    return flags;
}

TEST_F(EditClipboard, ContextMenuEnablesWhatTheSelectionAndTheClipboardAllow) {
    const skinner::MenuItem menu = form.name.make_context_menu();
    ASSERT_EQ(menu.children.size(), 5);
    const char16_t* commands[] = {u"menuCut", u"menuCopy", u"menuPaste", u"menuDelete", u"menuSelectAll"};
    const char16_t* texts[] = {u"Cut", u"Copy", u"Paste", u"Delete", u"Select All"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(menu.children[i].command, commands[i]);
        EXPECT_EQ(menu.children[i].text, texts[i]);
        EXPECT_EQ(menu.children[i].separator_after, i == 3);
    }

    enum Field { NAME, READONLY, PASSWORD };
    struct Case {
        Field field;
        std::u16string text;
        int anchor, caret;
        const char16_t* clipboard;  // null: empty
        const char* enabled;
    };
    const Case cases[] = {
        {NAME, u"abc", 0, 0, u"XY", "00101"},
        {NAME, u"abc", 0, 3, u"XY", "11110"},
        {NAME, u"abc", 3, 0, u"XY", "11110"},
        {NAME, u"abc", 1, 2, nullptr, "11011"},
        {NAME, u"abc", 1, 2, u"\r\n", "11011"},  // nothing a paste would insert
        {NAME, u"", 0, 0, nullptr, "00000"},
        {NAME, u"", 0, 0, u"XY", "00100"},
        {READONLY, u"fixed text", 0, 5, u"XY", "01001"},
        {READONLY, u"fixed text", 0, 0, u"XY", "00001"},
        {PASSWORD, u"abc", 0, 2, u"XY", "00111"},
    };
    form.other.set_password_char(u'\u2022');
    for (const Case& c : cases) {
        ControlEditImpl& edit = c.field == NAME ? form.name : c.field == READONLY ? form.readonly : form.other;
        SCOPED_TRACE(narrow(edit.get_name()) + " " + narrow(c.text) + " [" + std::to_string(c.anchor) + "," +
                     std::to_string(c.caret) + "]");
        if (c.clipboard) {
            put_clipboard_text(c.clipboard);
        } else {
            clear_clipboard();
        }
        edit.set_text(c.text);
        edit.set_selection(c.anchor, c.caret);
        EXPECT_EQ(enabled_entries(edit), c.enabled);
    }
}

TEST_F(EditClipboard, ContextMenuCommandsEditTheField) {
    put_clipboard_text(u"XY");
    form.name.set_text(u"abcd");
    form.name.set_selection(1, 1);
    form.take_events();
    form.name.run_menu_command(u"menuSelectAll");
    EXPECT_EQ(form.name.get_anchor(), 0);
    EXPECT_EQ(form.name.get_caret(), 4);
    form.name.set_selection(1, 3);
    form.name.run_menu_command(u"menuCut");
    EXPECT_EQ(form.name.get_text(), u"ad");
    EXPECT_EQ(clipboard_text(), u"bc");
    form.name.run_menu_command(u"menuPaste");
    EXPECT_EQ(form.name.get_text(), u"abcd");
    EXPECT_EQ(form.name.get_caret(), 3);
    form.name.set_selection(0, 1);
    form.name.run_menu_command(u"menuCopy");
    EXPECT_EQ(clipboard_text(), u"a");
    form.name.run_menu_command(u"menuDelete");
    EXPECT_EQ(form.name.get_text(), u"bcd");
    form.name.run_menu_command(u"");  // the menu closed without a choice
    EXPECT_EQ(form.name.get_text(), u"bcd");
    EXPECT_EQ(form.take_events(), (std::vector<std::string>{"text edtName", "text edtName", "text edtName"}));
}

}  // namespace
}  // namespace edit_test
