#include "platform/connectionsources.h"

#include <algorithm>

ConnectionSources::ConnectionSources(std::vector<std::unique_ptr<ConnectionSource>> sources)
    : m_sources(std::move(sources))
{
    std::erase(m_sources, nullptr);
    for (const auto &source : m_sources)
        connect(source.get(), &ConnectionSource::changed, this, &ConnectionSource::changed);
}

ConnectionSource::Answer ConnectionSources::firstConnection()
{
    Answer failure;
    for (const auto &source : m_sources) {
        Answer answer = source->firstConnection();
        if (answer.listing == Listing::Failed && failure.listing != Listing::Failed)
            failure = answer;
        if (answer.listing == Listing::Listed) {
            answer.error = failure.error;
            return answer;
        }
    }
    return failure;
}
