#include "logic/launchmonitor.h"
#include "logic/launchsequencer.h"
#include "logic/monitortrigger.h"
#include "logic/program.h"
#include "platform/connectionsource.h"
#include "settings/settingsstore.h"

LaunchMonitor::LaunchMonitor(ConnectionSource &connections, ProgramStarter &starter,
                             LaunchSequencer::Timing timing, QObject *parent)
    : QObject(parent)
    , m_connections(connections)
    , m_sequencer(std::make_unique<LaunchSequencer>(m_list, starter, std::move(timing)))
    , m_trigger(std::make_unique<MonitorTrigger>(m_timer))
{
    connect(&m_timer, &QTimer::timeout, this, &LaunchMonitor::tick);
    connect(m_trigger.get(), &MonitorTrigger::tick, this, &LaunchMonitor::tick);
    connect(&m_connections, &ConnectionSource::changed, m_trigger.get(), &MonitorTrigger::changed);
    connect(m_sequencer.get(), &LaunchSequencer::notice, this, &LaunchMonitor::notice);
    connect(m_sequencer.get(), &LaunchSequencer::passEnded, this, [this](quint64 pass) {
        if (m_passing && pass == m_tickPass)
            latchAfterPass();
    });
    // Queued: a read may meet the damage while the window loads, before the tray is there.
    connect(&SettingsStore::news(), &SettingsStore::News::damaged, this,
            &LaunchMonitor::tellOfDamagedSettings, Qt::QueuedConnection);
}

LaunchMonitor::~LaunchMonitor() = default;

void LaunchMonitor::activate()
{
    m_timer.start(1000);
}

void LaunchMonitor::deactivate()
{
    m_timer.stop();
    m_timer.setInterval(0);
}

bool LaunchMonitor::IsConnected()
{
    const ConnectionSource::Answer answer = m_connections.firstConnection();
    // A failure may come with a connection that another source listed, which still counts.
    if (answer.listing == ConnectionSource::Listing::Failed || answer.error != 0) {
        // A lasting failure would otherwise stack two boxes every second.
        if (!m_failureShown) {
            m_failureShown = true;
            Q_EMIT connectionFailed(answer.error);
        }
    } else {
        m_failureShown = false;
    }
    return answer.listing == ConnectionSource::Listing::Listed && answer.connected;
}

void LaunchMonitor::tick()
{
    if (m_passing)
        return;
    if (!IsConnected()) {
        probeAgain();
        return;
    }
    if (m_latch)
        return;
    m_passing = true;
    m_tickPass = m_sequencer->runPass();
    if (!m_sequencer->isRunning(m_tickPass))
        latchAfterPass(); // it had nothing to wait for
}

void LaunchMonitor::latchAfterPass()
{
    m_passing = false;
    m_tickPass = 0;
    m_latch = true;
    probeAgain();
}

void LaunchMonitor::probeAgain()
{
    if (!IsConnected())
        m_latch = false;
}

void LaunchMonitor::launchNow()
{
    m_sequencer->runPass();
}

void LaunchMonitor::tellOfDamagedSettings(const QString &sentence)
{
    Q_EMIT notice({sentence, {}});
}
