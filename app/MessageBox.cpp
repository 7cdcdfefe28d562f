#include "app/MessageBox.h"

#include "platform/kernel/Core.h"
#include "ui/skin/Properties.h"

namespace app {

namespace {

MessageBoxFunction replacement = nullptr;

}  // namespace

int message_box(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
    if (replacement) return replacement(owner, text, caption, type);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void set_message_box_function(MessageBoxFunction function) { replacement = function; }

void tell_when_no_opener(DWORD error, HWND owner, skinner::Properties& properties) {
    if (error != ERROR_NO_ASSOCIATION) return;
    message_box(owner, properties.get_string(u"No_opener"), properties.get_string(u"skin_ProgramName", u"Vantrel"),
                MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace app
