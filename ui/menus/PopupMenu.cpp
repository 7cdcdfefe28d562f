#include "ui/menus/PopupMenu.h"

#include <algorithm>

#include "platform/menu/Menu.h"
#include "ui/forms/Form.h"
#include "ui/menus/MenuItem.h"

namespace skinner {

namespace {

constexpr UINT horizontal_flags[] = {TPM_LEFTALIGN, TPM_CENTERALIGN, TPM_RIGHTALIGN};
constexpr UINT vertical_flags[] = {TPM_TOPALIGN, TPM_VCENTERALIGN, TPM_BOTTOMALIGN};

UINT alignment(const UINT (&flags)[3], int index) { return flags[std::clamp(index, 0, 2)]; }

std::u16string entry_text(const MenuItem& record) {
    return record.shortcut_text.empty() ? record.text : record.text + u"\t" + record.shortcut_text;
}

}  // namespace

void fill_popup_menu(HMENU menu, const VBCollection& records, std::vector<std::u16string>& commands,
                     std::vector<Control*>* targets) {
    for (int i = 0; i < records.size(); ++i) {
        const MenuItem& record = records[i];
        UINT flags = record.enabled ? MF_ENABLED : MF_GRAYED;
        if (record.checked) flags |= MF_CHECKED;
        const std::u16string text = entry_text(record);
        if (record.empty()) {
            AppendMenuW(menu, flags, commands.size(), text.c_str());
            commands.push_back(record.command);
            if (targets) targets->push_back(record.target);
        } else {
            HMENU submenu = CreatePopupMenu();
            fill_popup_menu(submenu, record.children, commands, targets);
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<uintptr_t>(submenu), text.c_str());
        }
        if (record.separator_after && i + 1 < records.size()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
}

std::pair<std::u16string, Control*> track_popup_menu(Form* form, const MenuItem& record, Point point, int horizontal,
                                                     int vertical) {
    // Index 0 stands for "nothing chosen".
    std::vector<std::u16string> commands(1);
    std::vector<Control*> targets(1, nullptr);
    HMENU menu = CreatePopupMenu();
    fill_popup_menu(menu, record.children, commands, &targets);
    POINT screen{point.x, point.y};
    ClientToScreen(form->get_hwnd(), &screen);
    const UINT flags = alignment(horizontal_flags, horizontal) | alignment(vertical_flags, vertical) | TPM_RETURNCMD;
    const size_t chosen = static_cast<size_t>(TrackPopupMenuEx(menu, flags, screen.x, screen.y, form->get_hwnd(), nullptr));
    DestroyMenu(menu);
    if (chosen >= commands.size()) return {u"", nullptr};
    return {commands[chosen], targets[chosen]};
}

}  // namespace skinner
