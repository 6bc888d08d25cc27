#pragma once

#include "platform/linux/linkevents_linux.h"

#include <functional>
#include <memory>

class QSocketNotifier;

// Passes the system's link and address events on as change news. Without such events it
// watches nothing, and the monitoring timer alone keeps watching.
class LinkWatcher final
{
public:
    explicit LinkWatcher(std::function<void()> changed,
                         std::unique_ptr<LinkEvents> events = createLinkEvents());
    ~LinkWatcher();
    LinkWatcher(const LinkWatcher &) = delete;
    LinkWatcher &operator=(const LinkWatcher &) = delete;

    bool isWatching() const;

private:
    void readEvents();

    std::function<void()> m_changed;
    std::unique_ptr<LinkEvents> m_events;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
