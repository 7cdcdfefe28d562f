#pragma once
// Lists, on controls: the grid and what it is made of.
// - GridModel.h: what a grid asks of its data; ListSelection.h: highlight and selection
// - ControlScrollBar.h, ControlScrollContainer.h: scroll bars and the container beside them
// - ControlGrid.h: the scrollable table
#include "ui/lists/ControlGrid.h"
#include "ui/lists/ControlScrollBar.h"
#include "ui/lists/ControlScrollContainer.h"
#include "ui/lists/GridModel.h"
#include "ui/lists/ListSelection.h"
