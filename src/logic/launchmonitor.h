#pragma once

#include "logic/launchsequencer.h"
#include "logic/notice.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class ConnectionSource;
class MonitorTrigger;
class ProgramStarter;

// The monitoring spine: the launch list, the one-second timer, the connection latch and the
// probe, the immediate tick on the connections' change news, and the sequencer that starts the
// list. The main window owns one, forwards its designed names (Timer1, Check1, List1) to it and
// tells the user what its signals report.
class LaunchMonitor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LaunchMonitor)

public:
    // `timing` is the sequencer's.
    LaunchMonitor(ConnectionSource &connections, ProgramStarter &starter,
                  LaunchSequencer::Timing timing = &Interval::seconds, QObject *parent = nullptr);
    ~LaunchMonitor() override;

    QStringList &list() { return m_list; }
    QTimer &timer() { return m_timer; }
    bool latch() const { return m_latch; }
    void setLatch(bool value) { m_latch = value; }
    LaunchSequencer &sequencer() { return *m_sequencer; }
    MonitorTrigger &trigger() { return *m_trigger; }

    // The timer running is what being activated means.
    void activate();
    void deactivate();
    bool isActive() const { return m_timer.isActive(); }

    // The probe: true when the first dial-up connection listed is connected. A failed listing
    // is reported once per spell of failures, by connectionFailed(), and answers false unless
    // another source lists a connection.
    bool IsConnected();
    // The monitoring tick: one pass per connection.
    // Returns while the pass runs; the latch is set when it ends. Ticks in between leave the
    // connection alone: the latch is not set yet, so they would start the list again.
    void tick();
    bool isPassing() const { return m_passing; }
    // "Launch Now": one pass, whatever the connection.
    void launchNow();

Q_SIGNALS:
    // Failed starts, and a damaged or unreadable settings file, as the store reports it.
    void notice(const Notice &notice);
    // The connections could not be listed; `code` is the system's.
    void connectionFailed(quint32 code);

private:
    void latchAfterPass();
    // The tick's second probe: a connection found down lets the next one have its pass.
    void probeAgain();
    // The store's news of a settings file that held unreadable text.
    void tellOfDamagedSettings(const QString &sentence);

    ConnectionSource &m_connections;
    QStringList m_list;
    // Starts true on purpose: a connection already up at start gets no pass.
    bool m_latch = true;
    // From the tick that begins a pass until that pass ends.
    bool m_passing = false;
    quint64 m_tickPass = 0;
    bool m_failureShown = false;
    QTimer m_timer;
    std::unique_ptr<LaunchSequencer> m_sequencer;
    std::unique_ptr<MonitorTrigger> m_trigger;
};
