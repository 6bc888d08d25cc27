#pragma once

#include <QObject>

#include <memory>

class QIcon;

// The program's icon in a tray that shows a window of the program's: the XEmbed system tray on
// X11, the taskbar's notification area on Windows. Unlike a StatusNotifier, such a tray draws
// nothing itself. It never goes to a StatusNotifierItem host, whatever runs on the session bus.
class TrayIcon : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayIcon)

public:
    explicit TrayIcon(QObject *parent = nullptr)
        : QObject(parent)
    { }
    ~TrayIcon() override = default;

    virtual void setIcon(const QIcon &icon) = 0;
    virtual void setToolTip(const QString &text) = 0;
    // A shown icon docks in the tray that runs now and in every one that comes later.
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // True while a tray is there to take the icon.
    virtual bool trayPresent() const = 0;
    // A balloon beside the shown icon; false where there is none to show it by.
    virtual bool showMessage(const QString &title, const QString &text) = 0;

Q_SIGNALS:
    void clicked(Qt::MouseButton button);
};

// The implementation for the OS the program was built for.
std::unique_ptr<TrayIcon> createTrayIcon();
