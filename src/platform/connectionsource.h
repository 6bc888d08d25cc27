#pragma once

#include "platform/connectionanswer.h"

#include <QObject>

#include <memory>

// Where the machine's dial-up connections are listed, asked the probe's one question: is the
// first connection listed set up from end to end? Each OS answers from its own service.
class ConnectionSource : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConnectionSource)

public:
    using Listing = ConnectionListing;
    using Answer = ConnectionAnswer;

    explicit ConnectionSource(QObject *parent = nullptr)
        : QObject(parent)
    { }

    // Lists the connections now and reads the state of the first. A connection that has gone
    // or whose state cannot be read counts as not connected, not as a failure.
    virtual Answer firstConnection() = 0;

Q_SIGNALS:
    // The connections may have changed, so that a listener can probe at once instead of at its
    // next tick. Sources that hear of no changes never emit it.
    void changed();
};

// The implementation for the OS the program was built for.
std::unique_ptr<ConnectionSource> createConnectionSource();
