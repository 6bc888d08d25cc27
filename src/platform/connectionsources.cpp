#include "platform/connectionsources.h"

#include <algorithm>

ConnectionSources::ConnectionSources(std::vector<std::unique_ptr<ConnectionSource>> sources)
    : m_sources(std::move(sources))
{
    std::erase(m_sources, nullptr);
}

ConnectionSource::Answer ConnectionSources::firstConnection()
{
    for (const auto &source : m_sources) {
        if (const Answer answer = source->firstConnection(); answer.listing != Listing::None)
            return answer;
    }
    return {};
}

void ConnectionSources::setChangedHandler(std::function<void()> changed)
{
    for (const auto &source : m_sources)
        source->setChangedHandler(changed);
}
