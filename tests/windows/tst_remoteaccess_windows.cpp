// The remote access probe against the stand-in service (suite RasStandIn, run with the
// stand-in in the system folder and WINEDLLOVERRIDES="rasapi32=n,b"), against Wine's own
// service (RasBuiltin, "rasapi32=b") and without one (RasMissing, "rasapi32=d").
#include "platform/remoteaccess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

namespace {

constexpr RemoteAccess::State RASCS_ConnectDevice = 2;

void useScenario(const char *name)
{
    SetEnvironmentVariableA("QUILLMOOR_RAS_SCENARIO", name);
}

struct Answer
{
    const char *scenario;
    std::uint32_t status;
    bool listed;
    RemoteAccess::State state;
};

std::ostream &operator<<(std::ostream &out, const Answer &answer)
{
    return out << answer.scenario;
}

class RasStandIn : public testing::TestWithParam<Answer>
{
protected:
    void TearDown() override { useScenario("none"); }
};

TEST_P(RasStandIn, AnswersAsTheServiceDoes)
{
    const Answer expected = GetParam();
    useScenario(expected.scenario);
    const auto access = createRemoteAccess();
    RemoteAccess::Handle first = 0xdead;
    EXPECT_EQ(access->enumConnections(first), expected.status);
    EXPECT_EQ(first != 0, expected.listed);
    EXPECT_EQ(access->connectState(first), expected.state);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, RasStandIn,
    testing::Values(Answer {"none", 0, false, RemoteAccess::RASCS_OpenPort},
                    Answer {"connected", 0, true, RemoteAccess::RASCS_Connected},
                    // Only the first listed counts, and it is still dialling.
                    Answer {"dialling-then-connected", 0, true, RASCS_ConnectDevice},
                    // As many as the buffer holds.
                    Answer {"full", 0, true, RemoteAccess::RASCS_Connected},
                    Answer {"error603", 603, false, RemoteAccess::RASCS_OpenPort},
                    Answer {"error632", 632, false, RemoteAccess::RASCS_OpenPort}),
    [](const testing::TestParamInfo<Answer> &info) {
        std::string name = info.param.scenario;
        for (char &c : name)
            if (c == '-')
                c = '_';
        return name;
    });

TEST_F(RasStandIn, ConnectionThatHasGoneReadsAsNotConnected)
{
    const auto access = createRemoteAccess();
    useScenario("connected");
    RemoteAccess::Handle first = 0;
    ASSERT_EQ(access->enumConnections(first), 0u);
    ASSERT_EQ(access->connectState(first), RemoteAccess::RASCS_Connected);

    // The service now fails the query and leaves the record as it was: the state read
    // before must not come back.
    useScenario("none");
    EXPECT_EQ(access->connectState(first), RemoteAccess::RASCS_OpenPort);
    EXPECT_EQ(access->connectState(0), RemoteAccess::RASCS_OpenPort);

    // A failed listing leaves no handle from the listing before.
    useScenario("connected");
    ASSERT_EQ(access->enumConnections(first), 0u);
    useScenario("error632");
    EXPECT_EQ(access->enumConnections(first), 632u);
    EXPECT_EQ(first, 0u);
}

TEST(RasBuiltin, WinesServiceListsNoConnection)
{
    const auto access = createRemoteAccess();
    RemoteAccess::Handle first = 0xdead;
    EXPECT_EQ(access->enumConnections(first), 0u);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(access->connectState(first), RemoteAccess::RASCS_OpenPort);
}

TEST(RasMissing, NoServiceIsAFailedListingWithItsCode)
{
    const auto access = createRemoteAccess();
    RemoteAccess::Handle first = 0xdead;
    EXPECT_EQ(access->enumConnections(first), std::uint32_t(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(access->connectState(0x5100), RemoteAccess::RASCS_OpenPort);
    // Asked again each time, with the same answer.
    EXPECT_EQ(access->enumConnections(first), std::uint32_t(ERROR_MOD_NOT_FOUND));
}

} // namespace
