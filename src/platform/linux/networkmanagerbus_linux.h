#pragma once

#include <QString>
#include <QStringList>

class QDBusMessage;
class QVariant;

// NetworkManager's names on the system bus and what its answers mean, for the mirror.
namespace NetworkManagerBus {

inline const QString Service = QStringLiteral("org.freedesktop.NetworkManager");
inline const QString ManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
inline const QString ManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
inline const QString ActiveInterface
    = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
inline const QString SettingsInterface
    = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
inline const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
inline const QString ActiveConnections = QStringLiteral("ActiveConnections");

enum class Trouble {
    None,
    NoOwner, // the name has gone: the owner watcher is about to say so
    Unknown, // no such object or interface (yet, or any more)
    Denied, // not this user's to read
    Other,
};

Trouble troubleOf(const QDBusMessage &reply);
// Reading a value as a type it does not hold loops or crashes in QtDBus, so each answer's type
// is checked before it is read.
bool isOfType(const QDBusMessage &reply, QStringView signature);
// The object paths of a listing; false when it holds anything else.
bool pathsOf(const QVariant &value, QStringList &paths);
// Whether an active connection's state (NMActiveConnectionState) is set up from end to end.
bool isActivated(uint state);
// A connection of this type always dials.
bool isDialUpType(const QString &type);
// Whether a VPN's or a Bluetooth connection's settings (a reply of type a{sa{sv}}) say it dials.
bool dialsBySettings(const QDBusMessage &reply, bool vpn);

} // namespace NetworkManagerBus
