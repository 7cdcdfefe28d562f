#pragma once
// Drawing, on the device layer: what every skinned item is painted with.
// - Point.h, Color.h, Alignment.h: the skin's points and sizes, colours and alignments
// - Picture.h: pictures and the process-wide picture cache, nine-slice borders
// - Painter.h: the painter with its clip stack, bitmaps and blits, HDCSelector, ScreenDC
// - Raster.h: the RGB565 span operations and the nine-slice stretch
// - Font.h: font specifications, fonts and the font cache, text measured and drawn
#include "ui/graphics/Alignment.h"
#include "ui/graphics/Color.h"
#include "ui/graphics/Font.h"
#include "ui/graphics/Painter.h"
#include "ui/graphics/Picture.h"
#include "ui/graphics/Point.h"
#include "ui/graphics/Raster.h"
