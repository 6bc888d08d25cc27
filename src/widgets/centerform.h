#pragma once

class QWidget;

namespace Corvath {

// Centres a top-level window on the primary screen's work area. Its size is left alone.
// Where the compositor places windows, it does nothing.
void CenterForm(QWidget &form);

// False where windows have no global position the program could set or read (Wayland).
bool CanPlaceWindows();

} // namespace Corvath
