#include "platform/linux/statusnotifieradaptor_linux.h"
#include "platform/linux/statusnotifieritem_linux.h"

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

QDBusArgument &operator<<(QDBusArgument &argument, const NoticeImage &image)
{
    argument.beginStructure();
    argument << image.width << image.height << image.rowStride << image.hasAlpha
             << image.bitsPerSample << image.channels << image.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, NoticeImage &image)
{
    argument.beginStructure();
    argument >> image.width >> image.height >> image.rowStride >> image.hasAlpha
        >> image.bitsPerSample >> image.channels >> image.bytes;
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

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItemLinux &item)
    : QDBusAbstractAdaptor(&item)
    , m_item(item)
{ }

SniPixmapList StatusNotifierItemAdaptor::iconPixmap() const
{
    return m_item.pixmaps();
}

SniToolTip StatusNotifierItemAdaptor::toolTip() const
{
    return {QString(), {}, m_item.toolTipText(), QString()};
}

bool StatusNotifierItemAdaptor::itemIsMenu() const
{
    return m_item.hasMenu();
}

QDBusObjectPath StatusNotifierItemAdaptor::menu() const
{
    return m_item.menuPath();
}

QString StatusNotifierItemAdaptor::status() const
{
    return m_item.isShown() ? QStringLiteral("Active") : QStringLiteral("Passive");
}

void StatusNotifierItemAdaptor::Activate(int x, int y, const QDBusMessage &message)
{
    Q_UNUSED(x) // the program places its menu at the pointer itself
    Q_UNUSED(y)
    if (!m_item.opensOwnMenu()) {
        message.setDelayedReply(true);
        m_item.bus().send(message.createErrorReply(
            QDBusError::NotSupported, QStringLiteral("The host opens the item's menu here.")));
        return;
    }
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
