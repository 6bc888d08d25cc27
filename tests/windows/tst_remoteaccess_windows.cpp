// The remote access probe against the stand-in service (suite RasStandIn, run with the
// stand-in in the system folder and WINEDLLOVERRIDES="rasapi32=n,b"), against Wine's own
// service (RasBuiltin, "rasapi32=b") and without one (RasMissing, "rasapi32=d").
#include "platform/windows/remoteaccess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

namespace {

using Answer = RemoteAccess::Answer;

void useScenario(const char *name)
{
    SetEnvironmentVariableA("QUILLMOOR_RAS_SCENARIO", name);
}

struct Scenario
{
    const char *name;
    Answer answer;
};

std::ostream &operator<<(std::ostream &out, const Scenario &scenario)
{
    return out << scenario.name;
}

class RasStandIn : public testing::TestWithParam<Scenario>
{
protected:
    void TearDown() override { useScenario("none"); }
};

TEST_P(RasStandIn, AnswersAsTheServiceDoes)
{
    const Scenario expected = GetParam();
    useScenario(expected.name);
    EXPECT_EQ(createRemoteAccess()->firstConnection(), expected.answer);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RasStandIn,
                         testing::Values(Scenario {"none", Answer {}},
                                         Scenario {"connected", Answer::first(true)},
                                         // Only the first listed counts, and it is still dialling.
                                         Scenario {"dialling-then-connected", Answer::first(false)},
                                         // As many as the buffer holds.
                                         Scenario {"full", Answer::first(true)},
                                         Scenario {"error603", Answer::failed(603)},
                                         Scenario {"error632", Answer::failed(632)}),
                         [](const testing::TestParamInfo<Scenario> &info) {
                             std::string name = info.param.name;
                             for (char &c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

TEST_F(RasStandIn, ConnectionThatHasGoneReadsAsNotConnected)
{
    const auto access = createRemoteAccess();
    useScenario("connected");
    ASSERT_EQ(access->firstConnection(), Answer::first(true));

    // The service now fails the state query and leaves the record as it was: the state read
    // before must not come back.
    useScenario("gone");
    EXPECT_EQ(access->firstConnection(), Answer::first(false));
    useScenario("error632");
    EXPECT_EQ(access->firstConnection(), Answer::failed(632));
}

TEST(RasBuiltin, WinesServiceListsNoConnection)
{
    EXPECT_EQ(createRemoteAccess()->firstConnection(), Answer {});
}

TEST(RasMissing, NoServiceIsAFailedListingWithItsCode)
{
    const auto access = createRemoteAccess();
    EXPECT_EQ(access->firstConnection(), Answer::failed(ERROR_MOD_NOT_FOUND));
    // Asked again each time, with the same answer.
    EXPECT_EQ(access->firstConnection(), Answer::failed(ERROR_MOD_NOT_FOUND));
}

} // namespace
