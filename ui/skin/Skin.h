#pragma once
// The skin, on graphics: what forms and controls read their looks and texts from.
// - SkinFile.h: the binary skin file, checked once and read in place
// - SkinImage.h: the loaded skin's fit to the device, its variants and typed reads
// - SkinImageLoader.h: how a skin's bytes and pictures are reached (files, or an archive)
// - Properties.h: the handle every form and control reads through, with the language strings
// - KeyValueText.h, PropertyMap.h: key=value files (languages, settings)
// - LanguageChoice.h: the start-up language and the "Language#" command
// - FrameworkVariant.h: the few framework texts that differ between the program's builds
#include "ui/skin/FrameworkVariant.h"
#include "ui/skin/KeyValueText.h"
#include "ui/skin/LanguageChoice.h"
#include "ui/skin/Properties.h"
#include "ui/skin/PropertyMap.h"
#include "ui/skin/SkinFile.h"
#include "ui/skin/SkinImage.h"
#include "ui/skin/SkinImageLoader.h"
