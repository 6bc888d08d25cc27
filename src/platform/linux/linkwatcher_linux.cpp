#include "platform/linux/linkwatcher_linux.h"

#include <QSocketNotifier>

LinkWatcher::LinkWatcher(std::unique_ptr<LinkEvents> events, QObject *parent)
    : QObject(parent)
    , m_events(std::move(events))
{
    if (!m_events || m_events->descriptor() < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_events->descriptor(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &LinkWatcher::readEvents);
}

LinkWatcher::~LinkWatcher() = default;

bool LinkWatcher::isWatching() const
{
    return m_notifier && m_notifier->isEnabled();
}

void LinkWatcher::readEvents()
{
    switch (m_events->drain()) {
    case LinkEvents::Drained::Nothing:
        return;
    case LinkEvents::Drained::Changed:
    // Events were lost: only a fresh look tells where things stand.
    case LinkEvents::Drained::Lost:
        Q_EMIT changed();
        return;
    case LinkEvents::Drained::Broken:
        // A failing source would wake us without end; the timer goes on alone.
        m_notifier->setEnabled(false);
        Q_EMIT changed();
        return;
    }
}
