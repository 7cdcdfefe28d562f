#pragma once
// The framework's first layer: what it asks of the device it runs on, on top of base/ and the
// platform.
// - DeviceCapability.h: Smartphone or Pocket PC (static_capability_is_smartphone), soft keys
// - Stopwatch.h: elapsed seconds for the log's stage lines
// - WaitCursor.h: the wait cursor for a scope
// - LibraryHandle.h: a shared library kept loaded for a scope
#include "ui/device/DeviceCapability.h"
#include "ui/device/LibraryHandle.h"
#include "ui/device/Stopwatch.h"
#include "ui/device/WaitCursor.h"
