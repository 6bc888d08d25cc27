#pragma once

#include <QTimer>

#include <functional>

// Runs the monitoring tick as soon as the connections may have changed, besides the timer's
// steady ticks. Every source of change news calls changed(); any number of calls before the tick
// runs give one tick. The monitoring timer running is what being activated means, so while it
// is stopped nothing ticks and news is dropped.
class MonitorTrigger final
{
public:
    MonitorTrigger(const QTimer &monitor, std::function<void()> tick);
    MonitorTrigger(const MonitorTrigger &) = delete;
    MonitorTrigger &operator=(const MonitorTrigger &) = delete;

    // Something changed: tick soon.
    void changed();
    bool isPending() const { return m_soon.isActive(); }

private:
    const QTimer &m_monitor;
    std::function<void()> m_tick;
    // No delay beyond the events already waiting: a drop must get its own tick before the link
    // can come back, or the tick would never see the connection down.
    QTimer m_soon;
};
