#pragma once

#include "platform/statusnotifier.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <chrono>
#include <memory>

class QMenu;

// The tray icon component: tooltip and icon are set first, then an action applies them.
// Action 0 puts the icon into the tray, 1 shows a changed tooltip or icon, 2 takes it out.
//
// A tray host that draws items itself (StatusNotifierItem) gets the program's own item with
// the menu exported; any other tray gets Qt's icon. Never both, and the two hand over whenever
// a host comes or goes.
class Tray final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tray)

public:
    enum Action { Add = 0, Modify = 1, Delete = 2 };

    // How long after start the program waits for a tray of either kind before saying so.
    static constexpr std::chrono::milliseconds NoTrayDelay {30000};
    // How long a balloon stays up after its last notice.
    static constexpr std::chrono::milliseconds BalloonTime {10000};

    explicit Tray(const QIcon &builtIn, QObject *parent = nullptr);
    ~Tray() override;
    // For tests: the host's item, and the wait before the no-tray notice.
    Tray(const QIcon &builtIn, std::unique_ptr<StatusNotifier> notifier,
         std::chrono::milliseconds noTrayDelay, QObject *parent = nullptr);

    // The menu a host shows itself, where it does.
    void setMenu(QMenu &menu);

    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &text) { m_toolTip = text; }

    // The icon in its three forms: the built-in icon's handle, an icon file's path, a picture.
    // A file that is missing or no picture shows the built-in icon: the slot is never empty.
    void setIcon(double handle);
    void setIcon(const QString &path);
    void setIcon(const QIcon &picture);
    double builtInHandle() const;

    void setAction(int action);

    // A passing notice, for what must not stop the program with a modal box: the desktop's
    // notification, else Qt's balloon beside an icon in a tray, else a window of its own. A
    // first line ending in a colon is the notification's summary.
    void showMessage(const QString &text);
    // The last notice shown, for tests.
    QString lastMessage() const { return m_lastMessage; }

    bool isInTray() const { return m_inTray; }
    // What the tray shows now, for tests.
    QIcon shownIcon() const { return m_shownIcon; }
    QString shownToolTip() const { return m_shownToolTip; }
    bool shownByQt() const { return m_trayIcon && m_trayIcon->isVisible(); }
    bool shownByHost() const { return m_inTray && m_notifier->hostPresent(); }

    static QString noTrayText();

    // Reads an image file as a picture, with every size an icon file holds; null when it is
    // missing, no regular file or no image.
    static QIcon loadPicture(const QString &path);

Q_SIGNALS:
    void MouseUp(Qt::MouseButton button);
    void IconDeleted();

private:
    void apply();
    void place();
    void makeQtIcon();
    void showFallback(const QString &text);
    void requested(StatusNotifier::Request request);
    void noTrayCheck();

    std::unique_ptr<StatusNotifier> m_notifier;
    // Made only while no host runs: Qt decides once, at its first icon, whether its icons go
    // over D-Bus, and such an icon has no tray to go to once the host is gone.
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    QIcon m_builtIn;
    QIcon m_icon;
    QString m_toolTip;
    QIcon m_shownIcon;
    QString m_shownToolTip;
    QList<QPointer<QWidget>> m_noticeBoxes;
    // Qt's balloon on X11 shows one text at a time: what comes while one is up joins it.
    QString m_balloonText;
    QTimer m_balloon;
    bool m_inTray = false;
    bool m_hostSeen = false;
    QTimer m_noTray;
    QString m_lastMessage;
};
