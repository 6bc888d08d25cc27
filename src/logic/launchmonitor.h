#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class LaunchSequencer;
class MonitorTrigger;
class ProgramStarter;

// The monitoring spine: the launch list, the one-second timer, the connection latch, the
// immediate tick on every source's change news, and the sequencer that starts the list. The
// main window owns one and forwards its designed names (Timer1, Check1, List1) to it.
class LaunchMonitor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LaunchMonitor)

public:
    using Notifier = std::function<void(const QString &text)>;

    explicit LaunchMonitor(ProgramStarter &starter, QObject *parent = nullptr);
    ~LaunchMonitor() override;

    QStringList &list() { return m_list; }
    QTimer &timer() { return m_timer; }
    bool latch() const { return m_latch; }
    void setLatch(bool value) { m_latch = value; }
    LaunchSequencer &sequencer() { return *m_sequencer; }

    // Where failed starts and a damaged settings file are told (the tray).
    void setNotifier(Notifier notifier) { m_notify = std::move(notifier); }

    // The timer running is what being activated means.
    void activate();
    void deactivate();
    bool isActive() const { return m_timer.isActive(); }

    // The monitoring tick: one pass per connection, then any news of a damaged settings file.
    void tick();
    // The connections may have changed: tick soon, if activated.
    void changed();
    // "Launch Now": one pass, whatever the connection.
    void launchNow();
    // A settings file that held unreadable text: told once.
    void tellOfDamagedSettings();

private:
    QStringList m_list;
    // Starts true on purpose: a connection already up at start gets no pass.
    bool m_latch = true;
    QTimer m_timer;
    Notifier m_notify;
    std::unique_ptr<LaunchSequencer> m_sequencer;
    std::unique_ptr<MonitorTrigger> m_trigger;
};
