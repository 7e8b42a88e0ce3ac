// Helpers shared by the DC functions and the window seam.
#pragma once

#include <memory>

#include "platform/gdi32/gdi_objects.h"

namespace platform::gdi32 {

// A DC with Windows' defaults: black pen, white brush, system font, default palette.
std::unique_ptr<DeviceContext> newDeviceContext();
// Drops the DC's hold on its selected objects so they can be deleted.
void releaseSelections(DeviceContext& dc);

}  // namespace platform::gdi32
