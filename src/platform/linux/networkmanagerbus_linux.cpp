#include "platform/linux/networkmanagerbus_linux.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSet>

using namespace Qt::StringLiterals;

namespace NetworkManagerBus {
namespace {

// NMActiveConnectionState: activating is 1, deactivating 3, deactivated 4.
constexpr uint Activated = 2;

// Kinds that always dial: a modem, a DSL line, a phone over Bluetooth.
const QSet<QString> DialUpTypes = {QStringLiteral("gsm"), QStringLiteral("cdma"),
                                   QStringLiteral("pppoe"), QStringLiteral("adsl")};
// VPN plugins that run pppd, as Windows lists its VPN connections among the dial-up ones.
const QSet<QString> PppVpnPlugins = {QStringLiteral("pptp"), QStringLiteral("l2tp"),
                                     QStringLiteral("sstp"), QStringLiteral("fortisslvpn")};

} // namespace

Trouble troubleOf(const QDBusMessage &reply)
{
    if (reply.type() == QDBusMessage::ReplyMessage)
        return Trouble::None;
    const QString name = reply.errorName();
    if (name == u"org.freedesktop.DBus.Error.ServiceUnknown"
        || name == u"org.freedesktop.DBus.Error.NameHasNoOwner")
        return Trouble::NoOwner;
    if (name == u"org.freedesktop.DBus.Error.UnknownObject"
        || name == u"org.freedesktop.DBus.Error.UnknownMethod"
        || name == u"org.freedesktop.DBus.Error.UnknownInterface")
        return Trouble::Unknown;
    if (name == u"org.freedesktop.DBus.Error.AccessDenied" || name.endsWith(u".PermissionDenied"))
        return Trouble::Denied;
    return Trouble::Other;
}

bool isOfType(const QDBusMessage &reply, QStringView signature)
{
    return reply.signature() == signature;
}

bool pathsOf(const QVariant &value, QStringList &paths)
{
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return false;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != u"ao")
        return false;
    for (const QDBusObjectPath &path : qdbus_cast<QList<QDBusObjectPath>>(argument))
        paths.append(path.path());
    return true;
}

bool isActivated(uint state)
{
    return state == Activated;
}

bool isDialUpType(const QString &type)
{
    return DialUpTypes.contains(type);
}

bool dialsBySettings(const QDBusMessage &reply, bool vpn)
{
    const auto groups = qdbus_cast<QMap<QString, QVariantMap>>(reply.arguments().value(0));
    if (vpn) {
        const QString service = groups.value(u"vpn"_s).value(u"service-type"_s).toString();
        return PppVpnPlugins.contains(service.section(u'.', -1));
    }
    return groups.value(u"bluetooth"_s).value(u"type"_s).toString() == u"dun";
}

} // namespace NetworkManagerBus
