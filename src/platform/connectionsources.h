#pragma once

#include "platform/connectionsource.h"

#include <memory>
#include <vector>

// The machine's sources of dial-up connections asked as one, in the order of the list: the
// first source that lists a connection answers, one that lists none passes on to the next. A
// source that fails passes on too, its failure carried by the answer, so that a broken source
// is still told but cannot hide a connection another one lists. Any source's change news is
// the list's.
class ConnectionSources final : public ConnectionSource
{
public:
    // Empty entries (a source the machine lacks) are left out.
    explicit ConnectionSources(std::vector<std::unique_ptr<ConnectionSource>> sources);

    Answer firstConnection() override;

private:
    std::vector<std::unique_ptr<ConnectionSource>> m_sources;
};
