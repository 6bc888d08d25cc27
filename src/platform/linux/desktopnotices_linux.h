#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <chrono>
#include <deque>
#include <optional>

// Notices through the desktop's notification service, one call at a time. A service that has
// not answered a notice within the wait counts as absent for it and for those behind it: the
// caller shows them itself, nothing more is sent until the service answers, and a notice it
// shows late is withdrawn at once. So each notice reaches the user once.
class DesktopNotices final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotices)

public:
    static constexpr std::chrono::milliseconds Wait {10000};

    // The bus is read at each call: its owner may connect it anew.
    DesktopNotices(const QDBusConnection &bus, std::chrono::milliseconds wait,
                   QObject *parent = nullptr);

    // As StatusNotifier::notify; hints go with the notice as they are.
    void notify(quint64 notice, const QString &title, const QString &text,
                const QVariantMap &hints);

Q_SIGNALS:
    // As StatusNotifier::answered.
    void answered(quint64 notice, bool shown);

private:
    struct Notice
    {
        quint64 number;
        QString title;
        QString text;
        QVariantMap hints;
    };

    void send(const Notice &notice);
    void sendNotify(const Notice &notice, bool markup);
    void answer(bool shown);
    void late();
    void done();

    const QDBusConnection &m_bus;
    QTimer m_wait;
    // Behind the notice in flight.
    std::deque<Notice> m_waiting;
    // The notice in flight, until its answer is given.
    std::optional<quint64> m_owed;
    bool m_inFlight = false;
    // The notice in flight was shown by the caller; the service has not answered since.
    bool m_late = false;
};
