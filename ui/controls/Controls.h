#pragma once
// The controls, on forms: what a skin form is made of.
// - ItemStyle.h: one look (picture, font, colour) and a button's six state looks
// - ControlButton.h, ControlCheckBox.h: buttons and check boxes
// - ControlLabel.h, ControlPicture.h: labels and pictures
// - ControlTrackBar.h, ControlProgressBar.h: track and progress bars
// - ControlContainer.h: a skin form embedded as a panel
// AutoControl.cpp makes the skin's automatic controls (declared in ui/forms/AutoControl.h).
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlCheckBox.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ControlLabel.h"
#include "ui/controls/ControlPicture.h"
#include "ui/controls/ControlProgressBar.h"
#include "ui/controls/ControlTrackBar.h"
#include "ui/controls/ItemStyle.h"
