#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Where the machine's dial-up connections are listed, asked the probe's one question: is the
// first connection listed set up from end to end? Each OS answers from its own service.
// Standard types only: the Windows implementation is plain Win32.
class ConnectionSource
{
public:
    enum class Listing {
        Failed, // the connections could not be listed; `error` says why
        None, // none listed
        Listed, // `connected` tells the state of the first one listed
    };

    struct Answer
    {
        Listing listing = Listing::None;
        // The system's error code when the listing failed (errno on Linux), else 0. A listing
        // from one source can carry the failure of another asked before it.
        std::uint32_t error = 0;
        bool connected = false;

        static constexpr Answer failed(std::uint32_t error) { return {Listing::Failed, error}; }
        static constexpr Answer first(bool connected) { return {Listing::Listed, 0, connected}; }
        bool operator==(const Answer &) const = default;
    };

    ConnectionSource() = default;
    virtual ~ConnectionSource() = default;
    ConnectionSource(const ConnectionSource &) = delete;
    ConnectionSource &operator=(const ConnectionSource &) = delete;

    // Lists the connections now and reads the state of the first. A connection that has gone
    // or whose state cannot be read counts as not connected, not as a failure.
    virtual Answer firstConnection() = 0;

    // Has `changed` called, on the thread that made this object, whenever the connections may
    // have changed, so that the caller can probe at once instead of at its next tick. Sources
    // that hear of no changes never call it.
    virtual void setChangedHandler(std::function<void()> changed) { (void)changed; }
};

// The implementation for the OS the program was built for.
std::unique_ptr<ConnectionSource> createConnectionSource();
