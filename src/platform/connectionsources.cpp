#include "platform/connectionsources.h"

#include <algorithm>

ConnectionSources::ConnectionSources(std::vector<std::unique_ptr<RemoteAccess>> sources)
    : m_sources(std::move(sources))
{
    std::erase(m_sources, nullptr);
}

std::uint32_t ConnectionSources::enumConnections(Handle &first)
{
    first = 0;
    m_answered = nullptr;
    for (const auto &source : m_sources) {
        m_answered = source.get();
        const std::uint32_t status = source->enumConnections(first);
        if (status != 0 || first != 0)
            return status;
    }
    return 0;
}

RemoteAccess::State ConnectionSources::connectState(Handle connection)
{
    if (connection == 0)
        return RASCS_OpenPort;
    if (m_answered) {
        if (const State state = m_answered->connectState(connection); state != RASCS_OpenPort)
            return state;
    }
    // A handle from an earlier listing: only its own source knows it.
    for (const auto &source : m_sources) {
        if (source.get() == m_answered)
            continue;
        if (const State state = source->connectState(connection); state != RASCS_OpenPort)
            return state;
    }
    return RASCS_OpenPort;
}

void ConnectionSources::setChangedHandler(std::function<void()> changed)
{
    for (const auto &source : m_sources)
        source->setChangedHandler(changed);
}
