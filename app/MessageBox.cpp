#include "app/MessageBox.h"

namespace app {

namespace {

MessageBoxFunction replacement = nullptr;

}  // namespace

int message_box(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
    if (replacement) return replacement(owner, text, caption, type);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void set_message_box_function(MessageBoxFunction function) { replacement = function; }

}  // namespace app
