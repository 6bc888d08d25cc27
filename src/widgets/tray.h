#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

// The tray icon component: tooltip and icon are set first, then an action applies them.
// Action 0 puts the icon into the tray, 1 shows a changed tooltip or icon, 2 takes it out.
class Tray final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tray)

public:
    enum Action { Add = 0, Modify = 1, Delete = 2 };

    explicit Tray(const QIcon &builtIn, QObject *parent = nullptr);

    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &text) { m_toolTip = text; }

    // The icon in its three forms: the built-in icon's handle, an icon file's path, a picture.
    // A file that is missing or no picture shows the built-in icon: the slot is never empty.
    void setIcon(double handle);
    void setIcon(const QString &path);
    void setIcon(const QIcon &picture);
    double builtInHandle() const;

    void setAction(int action);

    // A passing notice beside the icon, for what must not stop the program with a modal box.
    void showMessage(const QString &text);
    // The last notice shown, for tests.
    QString lastMessage() const { return m_lastMessage; }

    bool isInTray() const { return m_inTray; }
    // What the tray shows now, for tests.
    QIcon shownIcon() const { return m_trayIcon.icon(); }
    QString shownToolTip() const { return m_trayIcon.toolTip(); }

    // Reads an image file as a picture; null when it is missing, no regular file or no image.
    static QIcon loadPicture(const QString &path);

Q_SIGNALS:
    void MouseUp(Qt::MouseButton button);
    void IconDeleted();

private:
    void apply();

    QSystemTrayIcon m_trayIcon;
    QIcon m_builtIn;
    QIcon m_icon;
    QString m_toolTip;
    bool m_inTray = false;
    QString m_lastMessage;
};
