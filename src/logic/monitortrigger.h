#pragma once

#include <QObject>
#include <QTimer>

// Runs the monitoring tick as soon as the connections may have changed, besides the timer's
// steady ticks. Change news from every source comes to changed(); any number of calls before the
// tick runs give one tick. The monitoring timer running is what being activated means, so while it
// is stopped nothing ticks and news is dropped.
class MonitorTrigger final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MonitorTrigger)

public:
    explicit MonitorTrigger(const QTimer &monitor, QObject *parent = nullptr);

    // Something changed: tick soon.
    void changed();
    bool isPending() const { return m_soon.isActive(); }

Q_SIGNALS:
    // The immediate tick is due.
    void tick();

private:
    const QTimer &m_monitor;
    // No delay beyond the events already waiting: a drop must get its own tick before the link
    // can come back, or the tick would never see the connection down.
    QTimer m_soon;
};
