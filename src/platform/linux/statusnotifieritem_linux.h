#pragma once

#include "platform/linux/desktopnotices_linux.h"
#include "platform/statusnotifier.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QIcon>
#include <QList>
#include <QString>
#include <QTimer>

#include <memory>

class DBusMenuExporter;
class StatusNotifierItemAdaptor;

// The org.kde.StatusNotifierItem wire types: an image as width, height and ARGB32 bytes in
// network byte order, and the tooltip as icon name, images, title and text.
struct SniPixmap
{
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniPixmapList = QList<SniPixmap>;

struct SniToolTip
{
    QString iconName;
    SniPixmapList pixmaps;
    QString title;
    QString description;
};

// A notification's image-data hint: width, height, row stride, alpha, bits per sample,
// channels and the RGBA bytes.
struct NoticeImage
{
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool hasAlpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray bytes;
};

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)
Q_DECLARE_METATYPE(NoticeImage)

QDBusArgument &operator<<(QDBusArgument &argument, const SniPixmap &pixmap);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniPixmap &pixmap);
QDBusArgument &operator<<(QDBusArgument &argument, const SniToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniToolTip &toolTip);
QDBusArgument &operator<<(QDBusArgument &argument, const NoticeImage &image);
const QDBusArgument &operator>>(const QDBusArgument &argument, NoticeImage &image);

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
    void notify(const QString &title, const QString &text, Answered answered) override;

    // Read by the adaptor.
    const SniPixmapList &pixmaps() const { return m_pixmaps; }
    QString toolTipText() const { return m_toolTip; }
    bool hasMenu() const { return m_menu != nullptr; }
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

// org.kde.StatusNotifierItem on the item's object.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusNotifierItemAdaptor)
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ empty)
    Q_PROPERTY(QString IconName READ empty)
    Q_PROPERTY(SniPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ empty)
    Q_PROPERTY(SniPixmapList OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ empty)
    Q_PROPERTY(SniPixmapList AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ empty)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItemLinux &item);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("quillmoor"); }
    QString title() const { return QStringLiteral("Quillmoor"); }
    // Hosts hide a passive item; it stays registered by the connection's name until the end.
    QString status() const;
    int windowId() const { return 0; }
    QString empty() const { return {}; }
    SniPixmapList iconPixmap() const { return m_item.pixmaps(); }
    SniPixmapList noPixmap() const { return {}; }
    SniToolTip toolTip() const;
    // Hosts that honour it show the menu for the left button as well.
    bool itemIsMenu() const { return m_item.hasMenu(); }
    QDBusObjectPath menu() const;

public Q_SLOTS:
    // Answers an error where the program does not open its own menu, so that hosts which send
    // the left button here (Plasma) open the exported menu instead.
    void Activate(int x, int y, const QDBusMessage &message);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString &orientation);

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);

private:
    StatusNotifierItemLinux &m_item;
};
