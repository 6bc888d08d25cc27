#pragma once

#include <memory>

// Tells that network links or their addresses changed (the routing socket's news), so that the
// PPP interfaces' source can tell of a change at once. It says only that something changed; the
// probe decides what that means.
class LinkEvents
{
public:
    enum class Drained {
        Nothing, // nothing of interest was waiting
        Changed, // a link or an address changed
        Lost, // the system dropped events: anything may have changed
        Broken, // the source fails and will not recover; stop watching it
    };

    LinkEvents() = default;
    virtual ~LinkEvents() = default;
    LinkEvents(const LinkEvents &) = delete;
    LinkEvents &operator=(const LinkEvents &) = delete;

    // A descriptor that becomes readable when events wait, or -1 when there is none (the system
    // offers no such events, or they could not be subscribed to): polling alone then.
    virtual int descriptor() const = 0;

    // Reads every event waiting, without blocking, and sums them up.
    virtual Drained drain() = 0;
};

// The kernel's routing socket, subscribed to link and address events.
std::unique_ptr<LinkEvents> createLinkEvents();
