// The least Qt tray program: an icon with a popup menu, nothing more. The reference for the
// program's idle cost, memory and start-up.
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QPixmap picture(32, 32);
    picture.fill(Qt::darkCyan);
    QMenu menu;
    menu.addAction(QStringLiteral("Exit"), &app, &QApplication::quit);
    QSystemTrayIcon tray {QIcon(picture)};
    tray.setContextMenu(&menu);
    tray.show();
    return app.exec();
}
