#pragma once

namespace cosmophase {

// Whether a windowing system can be reached: DISPLAY or WAYLAND_DISPLAY is
// set, or QT_QPA_PLATFORM names a platform explicitly (offscreen, xcb...).
// Checked before the QApplication exists, which would otherwise abort.
bool displayAvailable();

// Whether an OpenGL context with the default surface format can be created
// and made current. Needs the QApplication.
bool openGlAvailable();

} // namespace cosmophase
