#pragma once

#include "platform/linkevents.h"

#include <memory>

class MonitorTrigger;
class QSocketNotifier;

// Passes the system's link and address events on to the monitoring tick. Without such events
// it watches nothing, and the timer alone keeps monitoring.
class LinkWatcher final
{
public:
    explicit LinkWatcher(MonitorTrigger &trigger,
                         std::unique_ptr<LinkEvents> events = createLinkEvents());
    ~LinkWatcher();
    LinkWatcher(const LinkWatcher &) = delete;
    LinkWatcher &operator=(const LinkWatcher &) = delete;

    bool isWatching() const;

private:
    void readEvents();

    MonitorTrigger &m_trigger;
    std::unique_ptr<LinkEvents> m_events;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
