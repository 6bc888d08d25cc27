#include "logic/monitortrigger.h"

#include <utility>

MonitorTrigger::MonitorTrigger(const QTimer &monitor, std::function<void()> tick)
    : m_monitor(monitor)
    , m_tick(std::move(tick))
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    QObject::connect(&m_soon, &QTimer::timeout, &m_soon, [this] {
        // Deactivated while the tick waited.
        if (m_monitor.isActive())
            m_tick();
    });
}

void MonitorTrigger::changed()
{
    if (m_monitor.isActive() && !m_soon.isActive())
        m_soon.start();
}
