#pragma once

#include <cstdint>

// What a source of dial-up connections answers the probe. Standard types only: the Windows
// service is asked from plain Win32 code.
enum class ConnectionListing {
    Failed, // the connections could not be listed; `error` says why
    None, // none listed
    Listed, // `connected` tells the state of the first one listed
};

struct ConnectionAnswer
{
    ConnectionListing listing = ConnectionListing::None;
    // The system's error code when the listing failed (errno on Linux), else 0. A listing
    // from one source can carry the failure of another asked before it.
    std::uint32_t error = 0;
    bool connected = false;

    static constexpr ConnectionAnswer failed(std::uint32_t error)
    {
        return {ConnectionListing::Failed, error};
    }
    static constexpr ConnectionAnswer first(bool connected)
    {
        return {ConnectionListing::Listed, 0, connected};
    }
    bool operator==(const ConnectionAnswer &) const = default;
};
