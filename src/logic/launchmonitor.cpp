#include "logic/launchmonitor.h"
#include "logic/connectionprobe.h"
#include "logic/launchsequencer.h"
#include "logic/monitortrigger.h"
#include "settings/settingsstore.h"

#include <QPointer>

LaunchMonitor::LaunchMonitor(ProgramStarter &starter, QObject *parent)
    : QObject(parent)
    , m_sequencer(std::make_unique<LaunchSequencer>(m_list, starter))
    , m_trigger(std::make_unique<MonitorTrigger>(m_timer, [this] { tick(); }))
{
    connect(&m_timer, &QTimer::timeout, this, &LaunchMonitor::tick);
    m_sequencer->setNotifier([this](const QString &text) {
        if (m_notify)
            m_notify(text);
    });
    // Every connection source's news of a change ticks at once.
    Corvath::whenConnectionsChange([monitor = QPointer(this)] {
        if (monitor)
            monitor->changed();
    });
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

void LaunchMonitor::tick()
{
    m_sequencer->tick(m_latch);
    tellOfDamagedSettings();
}

void LaunchMonitor::changed()
{
    m_trigger->changed();
}

void LaunchMonitor::launchNow()
{
    m_sequencer->runPass();
}

void LaunchMonitor::tellOfDamagedSettings()
{
    // Once: a damaged file is copied aside and read again only when it changes.
    if (const QString notice = SettingsStore::takeDamageNotice(); !notice.isEmpty() && m_notify)
        m_notify(notice);
}
