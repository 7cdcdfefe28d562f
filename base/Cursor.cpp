#include "base/Cursor.h"

#include "platform/window/Window.h"

namespace skinner {

namespace {

struct NamedCursor {
    const char16_t* name;
    LPCWSTR system_cursor;
};

const NamedCursor named_cursors[] = {
    {u"ARROW", IDC_ARROW},       {u"HAND", IDC_HAND},     {u"IBEAM", IDC_IBEAM},
    {u"SIZENESW", IDC_SIZENESW}, {u"SIZENS", IDC_SIZENS}, {u"SIZENWSE", IDC_SIZENWSE},
    {u"SIZEWE", IDC_SIZEWE},     {u"WAIT", IDC_WAIT},     {u"SIZEALL", IDC_SIZEALL},
    {u"NO", IDC_NO},             {u"HELP", IDC_HELP},     {u"APPSTARTING", IDC_APPSTARTING},
};

}  // namespace

Cursor Cursor::from_name(const std::u16string& name) {
    for (const NamedCursor& cursor : named_cursors) {
        if (name == cursor.name) {
            return Cursor(LoadCursorW(nullptr, cursor.system_cursor));
        }
    }
    return Cursor();
}

void Cursor::apply() const {
    if (handle_) {
        SetCursor(handle_);
        return;
    }
    static const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
}

const char16_t* parse_value(Cursor& out, const char16_t* begin, const char16_t* end) {
    out = Cursor::from_name(std::u16string(begin, end));
    return out.is_empty() ? nullptr : end;
}

}  // namespace skinner
