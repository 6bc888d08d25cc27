#include "platform/linux/statusnotifieritem_linux.h"
#include "platform/linux/dbusmenu_linux.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QTimer>
#include <QtEndian>

#include <algorithm>

namespace {
const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString ItemPath = QStringLiteral("/StatusNotifierItem");
const QString MenuPath = QStringLiteral("/MenuBar");
const QString ConnectionName = QStringLiteral("quillmoor-tray");
// Between tries to reach a session bus that went away.
constexpr int ReconnectDelay = 1000;
// Before giving a dropped item again, so that a watcher that keeps dropping it is not flooded.
constexpr int ReofferDelay = 500;
// A watcher that does not say within this whether it has a host counts as one without.
constexpr int HostQuestionTimeout = 2000;

bool saysHostRegistered(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != u"v")
        return false;
    const QVariant value = reply.arguments().constFirst().value<QDBusVariant>().variant();
    return value.metaType() == QMetaType::fromType<bool>() && value.toBool();
}

// A watcher that took too long (a panel still loading) has not said there is no host.
bool unanswered(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ErrorMessage
        && QDBusError(reply).type() == QDBusError::NoReply;
}
} // namespace

std::unique_ptr<StatusNotifier> createStatusNotifier()
{
    // A connection of its own, which can be made again after the session bus restarts.
    return std::make_unique<StatusNotifierItemLinux>(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, ConnectionName));
}

StatusNotifierItemLinux::StatusNotifierItemLinux(const QDBusConnection &bus,
                                                 std::chrono::milliseconds noticeWait)
    : m_bus(bus)
    , m_notices(m_bus, noticeWait)
    // The name hosts know items by; Qt's own tray counts from 1.
    , m_service(
          QStringLiteral("org.kde.StatusNotifierItem-%1-0").arg(QCoreApplication::applicationPid()))
{
    qRegisterMetaType<SniPixmapList>("SniPixmapList");
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmapList>();
    qDBusRegisterMetaType<SniToolTip>();
    qDBusRegisterMetaType<NoticeImage>();
    DBusMenuExporter::registerTypes();
    m_adaptor = new StatusNotifierItemAdaptor(*this);
    m_reconnect.setInterval(ReconnectDelay);
    connect(&m_reconnect, &QTimer::timeout, this, &StatusNotifierItemLinux::reconnect);
    connect(&m_notices, &DesktopNotices::answered, this, &StatusNotifier::answered);
    attach();
}

StatusNotifierItemLinux::~StatusNotifierItemLinux()
{
    withdraw();
    if (m_bus.isConnected()) {
        m_bus.unregisterObject(ItemPath);
        m_bus.unregisterObject(MenuPath);
    }
}

void StatusNotifierItemLinux::attach()
{
    if (!m_bus.isConnected())
        return;
    m_watcher = std::make_unique<QDBusServiceWatcher>(WatcherService, m_bus,
                                                      QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            &StatusNotifierItemLinux::ownerChanged);
    m_bus.registerObject(ItemPath, this, QDBusConnection::ExportAdaptors);
    if (m_menu)
        m_bus.registerObject(MenuPath, m_menu, QDBusConnection::ExportAdaptors);
    m_bus.connect(WatcherService, WatcherPath, WatcherService,
                  QStringLiteral("StatusNotifierItemUnregistered"), this,
                  SLOT(itemUnregistered(QString)));
    for (const QString &hostNews : {QStringLiteral("StatusNotifierHostRegistered"),
                                    QStringLiteral("StatusNotifierHostUnregistered")}) {
        m_bus.connect(WatcherService, WatcherPath, WatcherService, hostNews, this,
                      SLOT(hostsChanged()));
    }
    m_bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                  QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"),
                  this, SLOT(busLost()));
    // Waited for, so that the icon does not dock in an XEmbed tray first where a host runs.
    ++m_hostQuestion;
    const QDBusConnectionInterface *names = m_bus.interface();
    const QDBusMessage reply = names && names->isServiceRegistered(WatcherService)
        ? m_bus.call(hostQuestion(), QDBus::Block, HostQuestionTimeout)
        : QDBusMessage();
    setHostPresent(saysHostRegistered(reply));
    // Its host may have registered before the program listened: asked until it answers.
    if (unanswered(reply))
        askHost();
}

QDBusMessage StatusNotifierItemLinux::hostQuestion() const
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    call << WatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    call.setAutoStartService(false);
    return call;
}

void StatusNotifierItemLinux::askHost()
{
    const quint64 question = ++m_hostQuestion;
    auto *watch
        = new QDBusPendingCallWatcher(m_bus.asyncCall(hostQuestion(), HostQuestionTimeout), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this, [this, watch, question] {
        watch->deleteLater();
        if (question != m_hostQuestion)
            return;
        setHostPresent(saysHostRegistered(watch->reply()));
        if (unanswered(watch->reply()))
            askHost();
    });
}

void StatusNotifierItemLinux::hostsChanged()
{
    // One host going may leave others: the watcher says whether any is left.
    askHost();
}

void StatusNotifierItemLinux::busLost()
{
    m_offered = false;
    ++m_hostQuestion;
    setHostPresent(false);
    // Only a connection of the program's own can be made again.
    if (m_bus.name() == ConnectionName)
        m_reconnect.start();
}

void StatusNotifierItemLinux::reconnect()
{
    QDBusConnection::disconnectFromBus(ConnectionName);
    m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, ConnectionName);
    if (!m_bus.isConnected())
        return;
    m_reconnect.stop();
    attach();
}

void StatusNotifierItemLinux::setMenu(QMenu &menu)
{
    if (m_menu)
        return;
    m_menu = new DBusMenuExporter(menu, this);
    new DBusMenuAdaptor(*m_menu);
    if (m_bus.isConnected())
        m_bus.registerObject(MenuPath, m_menu, QDBusConnection::ExportAdaptors);
}

QDBusObjectPath StatusNotifierItemLinux::menuPath() const
{
    return QDBusObjectPath(m_menu ? MenuPath : QStringLiteral("/NO_DBUSMENU"));
}

void StatusNotifierItemLinux::setToolTip(const QString &text)
{
    if (text == m_toolTip)
        return;
    m_toolTip = text;
    Q_EMIT m_adaptor->NewToolTip();
}

void StatusNotifierItemLinux::setIcon(const QIcon &icon)
{
    // Every change of the tooltip sets the icon too; hosts reload it only when it changed.
    if (!m_pixmaps.isEmpty() && icon.cacheKey() == m_iconKey)
        return;
    m_iconKey = icon.cacheKey();
    m_pixmaps = pixmapsOf(icon);
    // The notice shows the tray's own picture: a themed name exists only once installed.
    const QImage image = icon.pixmap(48).toImage().convertToFormat(QImage::Format_RGBA8888);
    m_noticeImage = {image.width(),
                     image.height(),
                     int(image.bytesPerLine()),
                     true,
                     8,
                     4,
                     QByteArray(reinterpret_cast<const char *>(image.constBits()),
                                image.sizeInBytes())};
    Q_EMIT m_adaptor->NewIcon();
}

void StatusNotifierItemLinux::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (shown)
        offer();
    else
        withdraw();
}

void StatusNotifierItemLinux::ownerChanged(const QString &service, const QString &oldOwner,
                                           const QString &newOwner)
{
    Q_UNUSED(service)
    Q_UNUSED(oldOwner)
    // A new watcher may come with its host (a panel that is both) or be told of one later.
    if (!newOwner.isEmpty()) {
        askHost();
        return;
    }
    ++m_hostQuestion;
    setHostPresent(false);
}

void StatusNotifierItemLinux::setHostPresent(bool present)
{
    const bool changed = present != m_hostPresent;
    m_hostPresent = present;
    // A new watcher knows nothing of items offered to the old one.
    if (present && m_shown)
        offer();
    if (changed)
        Q_EMIT hostChanged(present);
}

void StatusNotifierItemLinux::itemUnregistered(const QString &service)
{
    // Watchers name an item by the name it registered with, some with its object path after it
    // ("/" or, in GNOME's extension, "@").
    const QString name = service.section(u'/', 0, 0).section(u'@', 0, 0);
    if (m_shown && m_hostPresent && (name == m_bus.baseService() || name == m_service))
        QTimer::singleShot(ReofferDelay, this, [this] {
            if (m_shown && m_hostPresent)
                offer();
        });
}

void StatusNotifierItemLinux::offer()
{
    if (!m_bus.isConnected())
        return;
    if (!m_offered) {
        m_offered = m_bus.registerService(m_service);
        Q_EMIT m_adaptor->NewStatus(m_adaptor->status());
    }
    if (!m_hostPresent)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, WatcherService, QStringLiteral("RegisterStatusNotifierItem"));
    // The unique name: hosts that look the well-known name up may lose the race with its owner
    // (GNOME's AppIndicator extension drops the item then).
    call << m_bus.baseService();
    m_bus.send(call);
}

void StatusNotifierItemLinux::withdraw()
{
    // Hosts keep an item registered by the unique name until the program ends; a passive one
    // they hide.
    if (m_offered && m_bus.isConnected()) {
        m_bus.unregisterService(m_service);
        Q_EMIT m_adaptor->NewStatus(m_adaptor->status());
    }
    m_offered = false;
}

void StatusNotifierItemLinux::notify(quint64 notice, const QString &title, const QString &text)
{
    QVariantMap hints {{QStringLiteral("desktop-entry"), QStringLiteral("quillmoor")}};
    if (!m_noticeImage.bytes.isEmpty())
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(m_noticeImage));
    m_notices.notify(notice, title, text, hints);
}

void StatusNotifierItemLinux::request(Request request)
{
    // After the reply has gone, as for the menu's items.
    QTimer::singleShot(0, this, [this, request] { Q_EMIT requested(request); });
}

namespace {

// Few colours and hard edges: drawn pixel by pixel, so it is enlarged by repeating pixels.
bool isPixelArt(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            colours.insert(line[x]);
            if ((alpha != 0 && alpha != 255) || colours.size() > 256)
                return false;
        }
    }
    return true;
}

} // namespace

SniPixmapList StatusNotifierItemLinux::pixmapsOf(const QIcon &icon)
{
    SniPixmapList list;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        // Real pixels, whatever the program's own scale: hosts on dense panels ask for 48 and up.
        QImage image
            = icon.pixmap(QSize(side, side), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        if (!image.isNull() && image.width() < side && image.height() < side) {
            image = image.scaled(side, side, Qt::KeepAspectRatio,
                                 isPixelArt(image) ? Qt::FastTransformation
                                                   : Qt::SmoothTransformation);
        }
        if (image.isNull() || std::any_of(list.cbegin(), list.cend(), [&image](const SniPixmap &p) {
                return p.width == image.width();
            })) {
            continue;
        }
        SniPixmap pixmap {image.width(), image.height(), {}};
        pixmap.bytes.resize(qsizetype(image.width()) * image.height() * 4);
        auto *out = reinterpret_cast<uchar *>(pixmap.bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x, out += 4)
                qToBigEndian(line[x], out);
        }
        list.append(pixmap);
    }
    return list;
}
