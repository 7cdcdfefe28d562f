#pragma once
// The soft keys composed from a form's soft buttons. On a bar of two soft keys the left key
// gathers the buttons placed at "#smartphone_ok#", the right key everything else.
#include "ui/forms/SoftButton.h"

namespace skinner {

class Form;
class MenuItem;

// Registers the button in the root form's list or takes it out, keeping `registered` in step with
// the list, so that a second show or hide never registers twice; nothing without a root form.
void set_soft_button_registered(Form* root, SoftButton* button, bool& registered, bool wanted);


// The contents of the left and the right soft key, from the form's soft buttons. A key with
// one entry becomes that entry; a key with none keeps the record as it was given.
void compose_left_soft_key(Form* form, MenuItem& record);
void compose_right_soft_key(Form* form, MenuItem& record);
// Tool-bar bars: every soft button whose record has the record's command is asked to fill its
// menu (the target's create_menu); the entries then get that target.
void fill_toolbar_popup(Form* form, MenuItem& record);

}  // namespace skinner
