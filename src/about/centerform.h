#pragma once

class QWidget;

namespace Corvath {

// Centres a top-level window on the primary screen's work area. Its size is left alone.
void CenterForm(QWidget &form);

} // namespace Corvath
