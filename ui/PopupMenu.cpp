#include "ui/PopupMenu.h"

#include "ui/MenuItem.h"

namespace skinner {

void fill_popup_menu(HMENU, const VBCollection&, std::vector<std::u16string>&, std::vector<Control*>*) {}

std::pair<std::u16string, Control*> track_popup_menu(Form*, const MenuItem&, Point, int, int) { return {u"", nullptr}; }

}  // namespace skinner
