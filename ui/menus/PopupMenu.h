#pragma once
// Popup menus made from menu records: the filling that the menu bars share, and a popup shown
// at a point of a form that reports what was chosen.
#include <string>
#include <utility>
#include <vector>

#include "platform/window/Window.h"
#include "ui/graphics/Point.h"

namespace skinner {

class Control;
class Form;
class VBCollection;

// Appends the records to the menu, submenus included; each entry's identifier is the number
// of commands so far, and its command (and its target, when targets are kept) is appended.
void fill_popup_menu(HMENU menu, const VBCollection& records, std::vector<std::u16string>& commands,
                     std::vector<Control*>* targets);

class MenuItem;

// Shows the record's children at the point (the form's client coordinates) with the
// alignments (0 left/top, 1 centre, 2 right/bottom); the chosen entry's command and target, or
// an empty command and no target.
std::pair<std::u16string, Control*> track_popup_menu(Form* form, const MenuItem& record, Point point, int horizontal,
                                                     int vertical);

}  // namespace skinner
