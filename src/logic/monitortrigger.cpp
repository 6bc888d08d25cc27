#include "logic/monitortrigger.h"

MonitorTrigger::MonitorTrigger(const QTimer &monitor, QObject *parent)
    : QObject(parent)
    , m_monitor(monitor)
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, [this] {
        // Deactivated while the tick waited.
        if (m_monitor.isActive())
            Q_EMIT tick();
    });
}

void MonitorTrigger::changed()
{
    if (m_monitor.isActive() && !m_soon.isActive())
        m_soon.start();
}
