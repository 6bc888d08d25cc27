#pragma once

#include "platform/connectionsource.h"

#include <QList>
#include <QTest>

// Connections as the test sets them, in listing order, each connected or not; counts how often
// they were listed, and tells of changes when the test says.
class FakeConnectionSource final : public ConnectionSource
{
public:
    // One connection, connected, or none at all.
    void setConnected(bool up) { connections = up ? QList<bool> {true} : QList<bool> {}; }
    // News of a change, as a real source's watcher gives it.
    void tellChanged() { Q_EMIT changed(); }

    QList<bool> connections;
    std::uint32_t failure = 0;
    int listings = 0;

    Answer firstConnection() override
    {
        ++listings;
        if (failure != 0)
            return Answer::failed(failure);
        return connections.isEmpty() ? Answer {} : Answer::first(connections.constFirst());
    }
};

// An answer as the tests read it: "none", "up", "down" (the first listed is not set up yet) or
// "failed N"; a listing after another source failed is followed by ", failed N".
inline QString describe(const ConnectionSource::Answer &answer)
{
    using namespace Qt::StringLiterals;
    switch (answer.listing) {
    case ConnectionSource::Listing::Failed:
        return u"failed "_s + QString::number(answer.error);
    case ConnectionSource::Listing::None:
        return u"none"_s;
    case ConnectionSource::Listing::Listed:
        break;
    }
    const QString state = answer.connected ? u"up"_s : u"down"_s;
    return answer.error == 0 ? state : state + u", failed "_s + QString::number(answer.error);
}

// How QCOMPARE shows an answer.
inline char *toString(const ConnectionSource::Answer &answer)
{
    return QTest::toString(describe(answer));
}
