#include "platform/linux/desktopnotices_linux.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

#include <climits>
#include <utility>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
// A call is never given up on: the id of a notice shown late is what withdraws it. The wait
// decides when the caller shows the notice itself.
constexpr int NoTimeout = INT_MAX;

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(Service, Path, Service, method);
}

} // namespace

DesktopNotices::DesktopNotices(const QDBusConnection &bus, std::chrono::milliseconds wait,
                               QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    m_wait.setSingleShot(true);
    m_wait.setInterval(wait);
    connect(&m_wait, &QTimer::timeout, this, &DesktopNotices::late);
}

void DesktopNotices::notify(quint64 notice, const QString &title, const QString &text,
                            const QVariantMap &hints)
{
    // A service that owes an answer would only queue a new call behind the late one.
    if (!m_bus.isConnected() || m_late) {
        Q_EMIT answered(notice, false);
        return;
    }
    if (m_inFlight) {
        m_waiting.push_back({notice, title, text, hints});
        return;
    }
    send({notice, title, text, hints});
}

void DesktopNotices::send(const Notice &notice)
{
    m_inFlight = true;
    m_owed = notice.number;
    m_wait.start();
    // A server that renders markup would take "<" and "&" in an entry or address as tags.
    auto *asked = new QDBusPendingCallWatcher(
        m_bus.asyncCall(call(QStringLiteral("GetCapabilities")), NoTimeout), this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this, asked, notice] {
        asked->deleteLater();
        // Shown by the caller meanwhile: not sent at all.
        if (m_late) {
            done();
            return;
        }
        const QDBusMessage capabilities = asked->reply();
        sendNotify(notice,
                   capabilities.type() == QDBusMessage::ReplyMessage
                       && capabilities.arguments().value(0).toStringList().contains(
                           QStringLiteral("body-markup")));
    });
}

void DesktopNotices::sendNotify(const Notice &notice, bool markup)
{
    QDBusMessage notify = call(QStringLiteral("Notify"));
    notify << QStringLiteral("Quillmoor") << uint(0) << QString() << notice.title
           << (markup ? notice.text.toHtmlEscaped() : notice.text) << QStringList() << notice.hints
           << int(-1);
    // Shown only when the service answers with the notice's id: a name that can merely be
    // started may start nothing. Not waited for: a daemon that hangs must not stop the program.
    auto *watch = new QDBusPendingCallWatcher(m_bus.asyncCall(notify, NoTimeout), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this, [this, watch] {
        watch->deleteLater();
        const QDBusMessage reply = watch->reply();
        const uint id = reply.type() == QDBusMessage::ReplyMessage && reply.signature() == u"u"
            ? reply.arguments().constFirst().toUInt()
            : 0;
        if (m_late && id != 0) {
            QDBusMessage close = call(QStringLiteral("CloseNotification"));
            close << id;
            m_bus.send(close);
        }
        answer(id != 0);
        done();
    });
}

void DesktopNotices::answer(bool shown)
{
    if (const auto notice = std::exchange(m_owed, std::nullopt))
        Q_EMIT answered(*notice, shown);
}

void DesktopNotices::late()
{
    m_late = true;
    answer(false);
    const auto waiting = std::exchange(m_waiting, {});
    for (const Notice &notice : waiting)
        Q_EMIT answered(notice.number, false);
}

void DesktopNotices::done()
{
    m_inFlight = false;
    m_late = false;
    m_wait.stop();
    if (m_waiting.empty())
        return;
    const Notice next = std::move(m_waiting.front());
    m_waiting.pop_front();
    send(next);
}
