#include "widgets/centerform.h"
#include "logic/centerposition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace Corvath {

bool CanPlaceWindows()
{
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

void CenterForm(QWidget &form)
{
    if (!CanPlaceWindows())
        return;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The work area rather than the whole screen: a window centred there keeps its title bar
    // clear of panels and of the tray itself.
    const QRect area = screen->availableGeometry();
    // Before the window manager has framed the window its frame is its own size.
    const QSize outer = form.frameGeometry().size();
    const CenterPosition at
        = centerPosition(area.width(), area.height(), outer.width(), outer.height());
    form.move(area.x() + at.left, area.y() + at.top);
}

} // namespace Corvath
