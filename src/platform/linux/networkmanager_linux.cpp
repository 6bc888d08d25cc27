#include "platform/linux/networkmanager_linux.h"
#include "platform/linux/networkmanagerbus_linux.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

using namespace NetworkManagerBus;

namespace {

// NetworkManager answers in microseconds; a question unanswered this long has failed, and is
// asked again later.
constexpr int CallTimeout = 2000;
constexpr int FirstRetryDelay = 250;
constexpr int LastRetryDelay = 8000;

} // namespace

NetworkManagerMirror::NetworkManagerMirror(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_retryDelay(FirstRetryDelay)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &NetworkManagerMirror::load);
    if (!m_bus.isConnected())
        return;
    // Signals first, so that nothing said during the load is missed.
    subscribe();
    m_present = true;
    load();
}

void NetworkManagerMirror::subscribe()
{
    auto *watcher
        = new QDBusServiceWatcher(Service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &NetworkManagerMirror::ownerChanged);

    // Only the two interfaces of interest: NetworkManager also reports every access point's
    // signal strength this way.
    const char *properties
        = SLOT(propertiesChanged(QString, QVariantMap, QStringList, QDBusMessage));
    m_bus.connect(Service, ManagerPath, PropertiesInterface, u"PropertiesChanged"_s,
                  {ManagerInterface}, QString(), this, properties);
    m_bus.connect(Service, QString(), PropertiesInterface, u"PropertiesChanged"_s,
                  {ActiveInterface}, QString(), this, properties);
    // Older releases send these instead of the standard signal above.
    const char *legacy = SLOT(legacyPropertiesChanged(QVariantMap, QDBusMessage));
    m_bus.connect(Service, ManagerPath, ManagerInterface, u"PropertiesChanged"_s, this, legacy);
    m_bus.connect(Service, QString(), ActiveInterface, u"PropertiesChanged"_s, this, legacy);
    m_bus.connect(Service, QString(), ActiveInterface, u"StateChanged"_s, this,
                  SLOT(activeStateChanged(uint, uint, QDBusMessage)));
}

NetworkManagerMirror::Status NetworkManagerMirror::status() const
{
    if (!m_present || !m_bus.isConnected())
        return Status::Absent;
    if (m_failed)
        return Status::Failed;
    return m_listed ? Status::Listed : Status::Absent;
}

ConnectionSource::Answer NetworkManagerMirror::firstConnection() const
{
    switch (status()) {
    case Status::Absent:
        return {};
    case Status::Failed:
        return ConnectionSource::Answer::failed(BusError);
    case Status::Listed:
        break;
    }
    for (const QString &path : m_order) {
        const auto found = m_connections.constFind(path);
        if (found != m_connections.cend() && found->dialUp)
            return ConnectionSource::Answer::first(isActivated(found->state));
    }
    return {};
}

void NetworkManagerMirror::ownerChanged(const QString &, const QString &, const QString &newOwner)
{
    const Reading before = reading();
    // A new owner is a new NetworkManager: nothing known of the old one holds.
    clear();
    m_present = !newOwner.isEmpty();
    if (m_present)
        load();
    report(before);
}

void NetworkManagerMirror::load()
{
    if (m_present)
        ask(ManagerPath, PropertiesInterface, u"Get"_s, {ManagerInterface, ActiveConnections},
            [this](const QDBusMessage &reply) { listed(reply); });
}

void NetworkManagerMirror::listed(const QDBusMessage &reply)
{
    switch (troubleOf(reply)) {
    case Trouble::None:
        if (QStringList order; isOfType(reply, u"v")
            && pathsOf(reply.arguments().value(0).value<QDBusVariant>().variant(), order))
            follow(order);
        else
            settle(LoadEnd::Failed);
        break;
    case Trouble::NoOwner:
        settle(LoadEnd::Absent);
        break;
    // The name is taken before the objects are there.
    case Trouble::Unknown:
        settle(LoadEnd::NotReady);
        break;
    case Trouble::Denied:
    case Trouble::Other:
        settle(LoadEnd::Failed);
        break;
    }
}

void NetworkManagerMirror::follow(const QStringList &order)
{
    // The question out still counts when the list is the same: a stream of signals that repeat
    // the list must not keep a connection from being learnt.
    const bool asking = !m_toLearn.isEmpty() && order == m_order;
    if (!asking)
        ++m_generation;
    m_order = order;
    QSet<QString> unseen(order.cbegin(), order.cend());
    for (auto it = m_connections.begin(); it != m_connections.end();)
        it = unseen.contains(it.key()) ? std::next(it) : m_connections.erase(it);
    m_doubtful.intersect(unseen);
    QStringList toLearn;
    for (const QString &path : std::as_const(order)) {
        if ((!m_connections.contains(path) || m_doubtful.contains(path)) && unseen.remove(path))
            toLearn.append(path);
    }
    if (asking) {
        toLearn.removeOne(m_toLearn.constFirst());
        toLearn.prepend(m_toLearn.constFirst());
        m_toLearn = toLearn;
        return;
    }
    m_toLearn = toLearn;
    learnNext();
}

void NetworkManagerMirror::learnNext()
{
    if (m_toLearn.isEmpty()) {
        settle(LoadEnd::Done);
        return;
    }
    const QString path = m_toLearn.first();
    ask(path, PropertiesInterface, u"GetAll"_s, {ActiveInterface},
        [this, path](const QDBusMessage &reply) { learnt(path, reply); });
}

void NetworkManagerMirror::learnt(const QString &path, const QDBusMessage &reply)
{
    switch (troubleOf(reply)) {
    case Trouble::None:
        break;
    // Gone between the listing and the question; the next listing drops it.
    case Trouble::Unknown:
        keep(path, {});
        return;
    case Trouble::NoOwner:
        settle(LoadEnd::Absent);
        return;
    case Trouble::Denied:
    case Trouble::Other:
        settle(LoadEnd::Failed);
        return;
    }
    if (!isOfType(reply, u"a{sv}")) {
        settle(LoadEnd::Failed);
        return;
    }
    const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    Connection known;
    known.state = properties.value(u"State"_s).toUInt();
    const QString type = properties.value(u"Type"_s).toString();
    known.dialUp = isDialUpType(type);
    const bool vpn = type == u"vpn" || properties.value(u"Vpn"_s).toBool();
    if (!vpn && type != u"bluetooth") {
        keep(path, known);
        return;
    }
    // Which plugin, or which Bluetooth profile, only the connection's settings tell.
    const QString settings = properties.value(u"Connection"_s).value<QDBusObjectPath>().path();
    ask(settings, SettingsInterface, u"GetSettings"_s, {},
        [this, path, known, vpn](const QDBusMessage &answer) {
            classified(path, known, vpn, answer);
        });
}

void NetworkManagerMirror::classified(const QString &path, Connection known, bool vpn,
                                      const QDBusMessage &reply)
{
    switch (troubleOf(reply)) {
    case Trouble::None: {
        if (!isOfType(reply, u"a{sa{sv}}")) {
            settle(LoadEnd::Failed);
            return;
        }
        known.dialUp = dialsBySettings(reply, vpn);
        break;
    }
    // Another user's private connection, or one just deleted: not ours to count.
    case Trouble::Denied:
    case Trouble::Unknown:
        break;
    case Trouble::NoOwner:
        settle(LoadEnd::Absent);
        return;
    case Trouble::Other:
        settle(LoadEnd::Failed);
        return;
    }
    keep(path, known);
}

void NetworkManagerMirror::keep(const QString &path, const Connection &known)
{
    m_connections.insert(path, known);
    m_doubtful.remove(path);
    m_toLearn.removeOne(path);
    learnNext();
}

void NetworkManagerMirror::settle(LoadEnd end)
{
    if (end != LoadEnd::Done) {
        // What is still asked about the listing no longer counts.
        ++m_generation;
        m_toLearn.clear();
    }
    m_listed = end == LoadEnd::Done;
    m_failed = end == LoadEnd::Failed;
    if (end == LoadEnd::Absent) {
        m_present = false;
        clear();
        return;
    }
    if (m_listed) {
        m_retry.stop();
        m_retryDelay = FirstRetryDelay;
        return;
    }
    // Asked again later, more slowly each time, so that a stuck daemon costs little.
    if (!m_retry.isActive()) {
        m_retry.start(m_retryDelay);
        m_retryDelay = std::min(m_retryDelay * 2, LastRetryDelay);
    }
}

void NetworkManagerMirror::clear()
{
    m_retry.stop();
    m_retryDelay = FirstRetryDelay;
    m_listed = false;
    m_failed = false;
    m_order.clear();
    m_connections.clear();
    m_doubtful.clear();
    m_toLearn.clear();
    ++m_generation;
}

void NetworkManagerMirror::propertiesChanged(const QString &interface, const QVariantMap &changed,
                                             const QStringList &invalidated,
                                             const QDBusMessage &message)
{
    if (!m_present)
        return;
    if (interface == ManagerInterface && message.path() == ManagerPath) {
        QStringList order;
        if (changed.contains(ActiveConnections)
            && pathsOf(changed.value(ActiveConnections), order)) {
            const Reading before = reading();
            follow(order);
            report(before);
        } else if (changed.contains(ActiveConnections) || invalidated.contains(ActiveConnections)) {
            // A list of the wrong type says only that the list changed: ask for it.
            load();
        }
    } else if (interface == ActiveInterface) {
        changeState(message.path(), changed.value(u"State"_s));
    }
}

void NetworkManagerMirror::legacyPropertiesChanged(const QVariantMap &changed,
                                                   const QDBusMessage &message)
{
    propertiesChanged(message.interface(), changed, {}, message);
}

void NetworkManagerMirror::activeStateChanged(uint state, uint, const QDBusMessage &message)
{
    if (m_present)
        changeState(message.path(), state);
}

void NetworkManagerMirror::changeState(const QString &path, const QVariant &state)
{
    const auto found = m_connections.find(path);
    if (!state.isValid() || found == m_connections.end())
        return;
    if (state.metaType() != QMetaType::fromType<uint>()) {
        // What was known stands until the connection has been asked again.
        m_doubtful.insert(path);
        load();
        return;
    }
    const Reading before = reading();
    found->state = state.toUInt();
    report(before);
}

void NetworkManagerMirror::ask(const QString &path, const QString &interface, const QString &method,
                               const QVariantList &arguments, Then then)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, path, interface, method);
    call.setArguments(arguments);
    // A system without NetworkManager must not have it started for us.
    call.setAutoStartService(false);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeout), this);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this,
        [this, generation = m_generation, then = std::move(then)](QDBusPendingCallWatcher *done) {
            done->deleteLater();
            if (generation != m_generation)
                return;
            const Reading before = reading();
            then(done->reply());
            report(before);
        });
}

NetworkManagerMirror::Reading NetworkManagerMirror::reading() const
{
    return {status(), firstConnection()};
}

void NetworkManagerMirror::report(const Reading &before)
{
    if (reading() != before)
        Q_EMIT changed();
}
