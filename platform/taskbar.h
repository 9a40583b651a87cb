#pragma once

class QWidget;

namespace vodavav {

// Keeps a window off the taskbar and the pager. Call it before every show: window managers read
// the state when the window is mapped. Where the window system has no such state (Wayland,
// offscreen) it does nothing.
void hideFromTaskbar(QWidget& window);

} // namespace vodavav
