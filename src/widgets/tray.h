#pragma once

#include "logic/notice.h"
#include "platform/statusnotifier.h"
#include "platform/trayicon.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>

class QMenu;

// The tray icon component: tooltip and icon are set first, then an action applies them.
// Action 0 puts the icon into the tray, 1 shows a changed tooltip or icon, 2 takes it out.
//
// A tray host that draws items itself (StatusNotifierItem) gets the program's own item with
// the menu exported; any other tray gets the icon as a window of the program's. Never both, and
// the two hand over whenever a host comes or goes. The program alone makes that choice: neither
// icon follows what Qt guesses from the session bus.
class Tray final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tray)

public:
    enum Action { Add = 0, Modify = 1, Delete = 2 };

    // How long after start the program waits for a tray of either kind before saying so.
    static constexpr std::chrono::milliseconds NoTrayDelay {30000};

    explicit Tray(const QIcon &builtIn, QObject *parent = nullptr);
    ~Tray() override;
    // For tests: the host's item, the other trays' icon, and the wait before the no-tray notice.
    Tray(const QIcon &builtIn, std::unique_ptr<StatusNotifier> notifier,
         std::unique_ptr<TrayIcon> trayIcon, std::chrono::milliseconds noTrayDelay,
         QObject *parent = nullptr);

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
    // notification, else a balloon beside an icon in a tray, where the tray has them, else a
    // window of its own. A notice with lines has its summary for the notification's; a notice
    // of one line is its text under the program's name.
    void showMessage(const Notice &notice);
    // The last notice shown, for tests.
    QString lastMessage() const { return m_lastMessage; }

    bool isInTray() const { return m_inTray; }
    // What the tray shows now, for tests.
    QIcon shownIcon() const { return m_shownIcon; }
    QString shownToolTip() const { return m_shownToolTip; }
    bool shownAsWindow() const { return m_trayIcon->isVisible(); }
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
    void answered(quint64 notice, bool shown);
    void showFallback(const QString &text);
    void requested(StatusNotifier::Request request);
    void noTrayCheck();

    std::unique_ptr<StatusNotifier> m_notifier;
    std::unique_ptr<TrayIcon> m_trayIcon;
    QIcon m_builtIn;
    QIcon m_icon;
    QString m_toolTip;
    QIcon m_shownIcon;
    QString m_shownToolTip;
    QList<QPointer<QWidget>> m_noticeBoxes;
    bool m_inTray = false;
    bool m_hostSeen = false;
    QTimer m_noTray;
    QString m_lastMessage;
    // The texts of the notices the notifier has not answered yet, by their numbers.
    std::map<quint64, QString> m_unanswered;
    quint64 m_lastNotice = 0;
};
