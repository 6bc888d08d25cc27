#pragma once

#include "platform/connectionsource.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QDBusMessage;

// NetworkManager's dial-up connections, mirrored from its signals on the system bus so that a
// probe reads memory only. The bus is asked only when NetworkManager appears, when it lists a
// connection not seen before, and to retry after a failure; never waiting for the answer, so
// that a slow or stuck daemon cannot hold the windows. An answer of the wrong type counts as a
// failure; a change signal of the wrong type only has the bus asked again.
class NetworkManagerMirror final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NetworkManagerMirror)

public:
    // The listing status while NetworkManager is on the bus but a question to it failed or went
    // unanswered; the user reads it as "Error 20045 Has Occured!". 0x4E4D, "NM".
    static constexpr std::uint32_t BusError = 20045;

    enum class Status {
        Absent, // not on the bus, or not answering yet: the PPP interfaces alone count
        Failed, // on the bus, but the mirror could not be brought up to date
        Listed, // the mirror holds every active connection
    };

    explicit NetworkManagerMirror(const QDBusConnection &bus, QObject *parent = nullptr);

    Status status() const;
    // The first dial-up connection in NetworkManager's order; a failure (BusError) while the
    // mirror cannot be brought up to date, and none while it is absent, so that the next
    // source answers.
    ConnectionSource::Answer firstConnection() const;

Q_SIGNALS:
    // After each change that may alter what the two above answer.
    void changed();

private Q_SLOTS:
    // QtDBus delivers bus signals only to slots named in strings.
    void propertiesChanged(const QString &interface, const QVariantMap &changed,
                           const QStringList &invalidated, const QDBusMessage &message);
    void legacyPropertiesChanged(const QVariantMap &changed, const QDBusMessage &message);
    void activeStateChanged(uint state, uint reason, const QDBusMessage &message);

private:
    struct Connection
    {
        uint state = 0;
        bool dialUp = false;
    };
    // What status() and firstConnection() answer, to tell whether a change altered it.
    struct Reading
    {
        Status status;
        ConnectionSource::Answer first;
        bool operator==(const Reading &) const = default;
    };
    // How bringing the mirror up to date ended.
    enum class LoadEnd { Done, Absent, NotReady, Failed };
    using Then = std::function<void(const QDBusMessage &reply)>;

    void subscribe();
    void ownerChanged(const QString &service, const QString &oldOwner, const QString &newOwner);
    void load();
    void listed(const QDBusMessage &reply);
    void follow(const QStringList &order);
    void learnNext();
    void learnt(const QString &path, const QDBusMessage &reply);
    void classified(const QString &path, Connection known, bool vpn, const QDBusMessage &reply);
    void keep(const QString &path, const Connection &known);
    void settle(LoadEnd end);
    void changeState(const QString &path, const QVariant &state);
    void clear();

    // Asks without waiting; `then` runs with the reply unless what was asked for is no longer
    // wanted by then, and reports any change it made.
    void ask(const QString &path, const QString &interface, const QString &method,
             const QVariantList &arguments, Then then);
    Reading reading() const;
    void report(const Reading &before);

    QDBusConnection m_bus;
    bool m_present = false;
    bool m_listed = false;
    bool m_failed = false;
    QStringList m_order;
    QHash<QString, Connection> m_connections;
    // Known connections whose state a malformed signal left in doubt: asked about again.
    QSet<QString> m_doubtful;
    // The listed connections still to be asked about, one at a time.
    QStringList m_toLearn;
    // Grows whenever the answers to the questions out stop counting.
    quint64 m_generation = 0;
    QTimer m_retry;
    int m_retryDelay;
};

// NetworkManager's dial-up connections as a source, while it runs. Nothing without a
// QCoreApplication or a system bus.
std::unique_ptr<ConnectionSource> createNetworkManagerConnections();
