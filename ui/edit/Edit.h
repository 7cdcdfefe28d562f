#pragma once
// Text entry, on menus (its context menu): the one-line edit control, drawn by the framework or
// left to the device's native edit window, and the clipboard.
#include "ui/edit/Clipboard.h"
#include "ui/edit/ControlEdit.h"
#include "ui/edit/ControlEditNative.h"
