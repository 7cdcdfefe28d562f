#pragma once
// Forms, on the application layer: skinned forms and the controls' base, with the window,
// the modal loop and what a form asks of its buttons and menu bar.
// - Events.h: the event interface controls and forms share
// - Control.h: the base of every control
// - FormBase.h: a skin form as a surface of controls; Form.h: a top-level form and its modal
//   loop; FormImpl.h: its window
// - FormButton.h, SoftButton.h, MenuManager.h: the form's view of its buttons, of what its
//   menu bar shows, and of the bar itself (the layers above provide them)
// - AutoControl.h: the skin's automatic controls (made by the controls layer)
// - WindowHook.h: the message hook of a native window
#include "ui/forms/AutoControl.h"
#include "ui/forms/Control.h"
#include "ui/forms/Events.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormBase.h"
#include "ui/forms/FormButton.h"
#include "ui/forms/FormImpl.h"
#include "ui/forms/MenuManager.h"
#include "ui/forms/SoftButton.h"
#include "ui/forms/WindowHook.h"
