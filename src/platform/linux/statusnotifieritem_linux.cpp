#include "platform/linux/statusnotifieritem_linux.h"
#include "platform/linux/dbusmenu_linux.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QTimer>
#include <QtEndian>

#include <algorithm>

namespace {
const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString ItemPath = QStringLiteral("/StatusNotifierItem");
const QString MenuPath = QStringLiteral("/MenuBar");
const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const SniPixmap &pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, SniPixmap &pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.bytes;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const SniToolTip &toolTip)
{
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.description;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, SniToolTip &toolTip)
{
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.description;
    argument.endStructure();
    return argument;
}

std::unique_ptr<StatusNotifier> createStatusNotifier()
{
    return std::make_unique<StatusNotifierItemLinux>(QDBusConnection::sessionBus());
}

StatusNotifierItemLinux::StatusNotifierItemLinux(const QDBusConnection &bus)
    : m_bus(bus)
    // The name hosts know items by; Qt's own tray counts from 1.
    , m_service(
          QStringLiteral("org.kde.StatusNotifierItem-%1-0").arg(QCoreApplication::applicationPid()))
    , m_watcher(WatcherService, m_bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    qRegisterMetaType<SniPixmapList>("SniPixmapList");
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmapList>();
    qDBusRegisterMetaType<SniToolTip>();
    DBusMenuExporter::registerTypes();
    m_adaptor = new StatusNotifierItemAdaptor(*this);
    if (!m_bus.isConnected())
        return;
    m_bus.registerObject(ItemPath, this, QDBusConnection::ExportAdaptors);
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &StatusNotifierItemLinux::ownerChanged);
    if (const QDBusConnectionInterface *names = m_bus.interface())
        m_hostPresent = names->isServiceRegistered(WatcherService);
}

StatusNotifierItemLinux::~StatusNotifierItemLinux()
{
    withdraw();
    if (m_bus.isConnected()) {
        m_bus.unregisterObject(ItemPath);
        m_bus.unregisterObject(MenuPath);
    }
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
    const bool present = !newOwner.isEmpty();
    const bool changed = present != m_hostPresent;
    m_hostPresent = present;
    // A new watcher knows nothing of items offered to the old one.
    if (present && m_shown)
        offer();
    if (changed)
        Q_EMIT hostChanged(present);
}

void StatusNotifierItemLinux::offer()
{
    if (!m_bus.isConnected())
        return;
    if (!m_offered)
        m_offered = m_bus.registerService(m_service);
    if (!m_offered || !m_hostPresent)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        WatcherService, QStringLiteral("/StatusNotifierWatcher"), WatcherService,
        QStringLiteral("RegisterStatusNotifierItem"));
    call << m_service;
    m_bus.send(call);
}

void StatusNotifierItemLinux::withdraw()
{
    // Hosts drop an item whose name leaves the bus.
    if (m_offered && m_bus.isConnected())
        m_bus.unregisterService(m_service);
    m_offered = false;
}

bool StatusNotifierItemLinux::notify(const QString &title, const QString &text)
{
    const QDBusConnectionInterface *names = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (!names
        || (!names->isServiceRegistered(NotificationsService)
            && !names->activatableServiceNames().value().contains(NotificationsService))) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        NotificationsService, QStringLiteral("/org/freedesktop/Notifications"),
        NotificationsService, QStringLiteral("Notify"));
    call << QStringLiteral("Quillmoor") << uint(0) << QStringLiteral("quillmoor") << title << text
         << QStringList() << QVariantMap() << int(-1);
    // No waiting for the answer: a daemon that hangs must not stop the program.
    return m_bus.send(call);
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

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItemLinux &item)
    : QDBusAbstractAdaptor(&item)
    , m_item(item)
{ }

SniToolTip StatusNotifierItemAdaptor::toolTip() const
{
    return {QString(), {}, m_item.toolTipText(), QString()};
}

QDBusObjectPath StatusNotifierItemAdaptor::menu() const
{
    return QDBusObjectPath(m_item.hasMenu() ? MenuPath : QStringLiteral("/NO_DBUSMENU"));
}

void StatusNotifierItemAdaptor::Activate(int x, int y)
{
    Q_UNUSED(x) // the program places its menu at the pointer itself
    Q_UNUSED(y)
    m_item.request(StatusNotifier::Request::Activate);
}

void StatusNotifierItemAdaptor::SecondaryActivate(int x, int y)
{
    Q_UNUSED(x)
    Q_UNUSED(y)
    m_item.request(StatusNotifier::Request::SecondaryActivate);
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y)
{
    Q_UNUSED(x)
    Q_UNUSED(y)
    m_item.request(StatusNotifier::Request::ContextMenu);
}

void StatusNotifierItemAdaptor::Scroll(int delta, const QString &orientation)
{
    Q_UNUSED(delta) // the wheel does nothing here
    Q_UNUSED(orientation)
}
