#pragma once

#include "platform/linux/linkevents_linux.h"

#include <QObject>

#include <memory>

class QSocketNotifier;

// Passes the system's link and address events on as change news. Without such events it
// watches nothing, and the monitoring timer alone keeps watching.
class LinkWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkWatcher)

public:
    explicit LinkWatcher(std::unique_ptr<LinkEvents> events = createLinkEvents(),
                         QObject *parent = nullptr);
    ~LinkWatcher() override;

    bool isWatching() const;

Q_SIGNALS:
    void changed();

private:
    void readEvents();

    std::unique_ptr<LinkEvents> m_events;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
