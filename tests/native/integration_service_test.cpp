#include "integration/integration.h"
#include "tests/native/integration_fixture.h"
#include "tests/support/logcheck.h"

namespace {

namespace d = integration_doubles;
using calls = std::vector<std::string>;

class ServiceRemoval : public IntegrationTest {};

TEST_F(ServiceRemoval, MissingServiceReturns1060WithoutOpenServiceOk)
{
    d::scm.openservice = 1060;
    EXPECT_EQ(INS_removeservice(ctx), 1060);
    EXPECT_EQ(d::scmcalls, (calls{"open", "openservice Halvern Fax Server", "close"}));
    EXPECT_TRUE(logcheck::contains(log(), "Openning service:-Halvern Fax Server"));
    EXPECT_FALSE(logcheck::contains(log(), "OpenService OK"));
    EXPECT_TRUE(logcheck::contains(log(), "Error in INS_removeservice = 1060"));
}

TEST_F(ServiceRemoval, StoppedServiceIsDeletedWithoutStopOrWait)
{
    d::scm.state = 1;
    EXPECT_EQ(INS_removeservice(ctx), ST_OK);
    EXPECT_EQ(d::scmcalls, (calls{"open", "openservice Halvern Fax Server", "query", "delete", "close", "close"}));
    EXPECT_EQ(doubles::clock_ms, 0u);
    EXPECT_TRUE(logcheck::contains(log(), "before DeleteService OK"));
}

TEST_F(ServiceRemoval, RunningServiceGetsOneStopAndIsDeleted500msLater)
{
    d::scm.state = 4;
    EXPECT_EQ(INS_removeservice(ctx), ST_OK);
    EXPECT_EQ(d::scmcalls,
              (calls{"open", "openservice Halvern Fax Server", "query", "stop", "delete", "close", "close"}));
    EXPECT_EQ(doubles::clock_ms, 500u);
}

TEST_F(ServiceRemoval, RefusedStopEndsTheAttemptWithItsError)
{
    d::scm.state = 4;
    d::scm.stop = 1052;
    EXPECT_EQ(INS_removeservice(ctx), 1052);
    EXPECT_EQ(d::scmcalls, (calls{"open", "openservice Halvern Fax Server", "query", "stop", "close", "close"}));
}

TEST_F(ServiceRemoval, NoAccessToTheManagerClosesNothing)
{
    d::scm.open = 5;
    EXPECT_EQ(INS_removeservice(ctx), 5);
    EXPECT_EQ(d::scmcalls, (calls{"open"}));
}

TEST_F(ServiceRemoval, ErrorNumbersAreCutToTheirLow16Bits)
{
    d::scm.remove = 0x00120430;
    EXPECT_EQ(INS_removeservice(ctx), 0x0430);
}

}  // namespace
