#pragma once
// Menus and soft keys, on controls: the menu records, each device's menu bar, popup menus, and
// the buttons and controls that live in the bar.
// - MenuItem.h: the menu record and its children
// - ShellMenuBarManager.h, MenuManagerImplPocket.h, MenuManagerSmartphone.h: the menu bars
//   (MenuManagers.cpp picks the device's)
// - SoftKeys.h: the soft keys composed from a form's soft buttons
// - PopupMenu.h: popup menus from menu records
// - ControlButtonImpl.h: the platform roles of buttons (soft keys, OK, close, caption);
//   ControlButtonFactory.cpp picks a button's role
// - ControlMenuItem.h: menu items, menu buttons and the main menu as controls
// - LanguageMenu.h: the Language submenu
#include "ui/menus/ControlButtonImpl.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/menus/LanguageMenu.h"
#include "ui/menus/MenuItem.h"
#include "ui/menus/MenuManagerImplPocket.h"
#include "ui/menus/MenuManagerSmartphone.h"
#include "ui/menus/PopupMenu.h"
#include "ui/menus/ShellMenuBarManager.h"
#include "ui/menus/SoftKeys.h"
