#pragma once

#include "platform/linux/desktopnotices_linux.h"
#include "platform/linux/statusnotifieradaptor_linux.h"
#include "platform/statusnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QIcon>
#include <QString>
#include <QTimer>

#include <memory>

class DBusMenuExporter;

// The item on the session bus. It follows whether org.kde.StatusNotifierWatcher has a host: a
// watcher alone (a desktop service left over outside its desktop) shows nothing, so only a host
// registered with it counts. A watcher that appears, also after a panel crash, is given the item
// again; one that goes, or loses its last host, leaves it waiting.
// The item is registered by the connection's unique name, which a host can look up at once,
// and given again when a watcher drops it or the bus comes back after a restart.
class StatusNotifierItemLinux final : public StatusNotifier
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusNotifierItemLinux)

public:
    // A bus with a name of its own (QDBusConnection::connectToBus) is made again when it is
    // lost; the shared session bus is not.
    // noticeWait: how long a notice waits for the notification service, for tests.
    explicit StatusNotifierItemLinux(const QDBusConnection &bus,
                                     std::chrono::milliseconds noticeWait = DesktopNotices::Wait);
    ~StatusNotifierItemLinux() override;

    bool hostPresent() const override { return m_hostPresent; }
    void setMenu(QMenu &menu) override;
    void setToolTip(const QString &text) override;
    void setIcon(const QIcon &icon) override;
    void setShown(bool shown) override;
    void setOpensOwnMenu(bool opens) override { m_opensOwnMenu = opens; }
    void notify(quint64 notice, const QString &title, const QString &text) override;

    // Read by the adaptor.
    const SniPixmapList &pixmaps() const { return m_pixmaps; }
    QString toolTipText() const { return m_toolTip; }
    bool hasMenu() const { return m_menu != nullptr; }
    QDBusObjectPath menuPath() const;
    bool isShown() const { return m_shown; }
    bool opensOwnMenu() const { return m_opensOwnMenu; }
    const QDBusConnection &bus() const { return m_bus; }
    void request(Request request);

    static SniPixmapList pixmapsOf(const QIcon &icon);

private Q_SLOTS:
    // QtDBus delivers bus signals only to slots named in strings.
    void itemUnregistered(const QString &service);
    void hostsChanged();
    void busLost();

private:
    void attach();
    void reconnect();
    void ownerChanged(const QString &service, const QString &oldOwner, const QString &newOwner);
    void setHostPresent(bool present);
    QDBusMessage hostQuestion() const;
    void askHost();
    void offer();
    void withdraw();

    QDBusConnection m_bus;
    DesktopNotices m_notices;
    QString m_service;
    // Made anew with each connection: a watcher does not move to a connection of the same name.
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    QTimer m_reconnect;
    StatusNotifierItemAdaptor *m_adaptor = nullptr;
    DBusMenuExporter *m_menu = nullptr;
    SniPixmapList m_pixmaps;
    NoticeImage m_noticeImage;
    qint64 m_iconKey = 0;
    QString m_toolTip;
    bool m_hostPresent = false;
    // Only the answer to the latest question about the watcher's hosts counts.
    quint64 m_hostQuestion = 0;
    bool m_shown = false;
    bool m_offered = false;
    bool m_opensOwnMenu = true;
};
