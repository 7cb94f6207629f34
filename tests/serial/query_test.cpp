// The blocking query against simulated modules on a pseudo-terminal: a good
// reply, a silent module, a reply cut short or never ended, a bad checksum,
// a reply longer than the buffer, and what the buffer holds on each path.
#include "../common/driver_clock.h"
#include "modsim.h"
#include "serial_fixture.h"

namespace {

using modsim::Fault;
using modsim::FaultKind;
using serialtest::RawPort;
using serialtest::SerialTest;

class Query : public SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        telviotest::SimulateOnDriverClock();
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(ComLink(1)));
        ASSERT_EQ(1, bus.AddModule(1, "6017", 1));
        ASSERT_EQ(1, bus.AddModule(2, "6050", 0));
        ASSERT_EQ(1, bus.Start());
        ComSettings r = serialtest::Row(1);
        ASSERT_EQ(1, PortTableMerge(&r));
        ASSERT_EQ(1, OpenCom(1, "Test"));
    }
    void TearDown() override {
        CloseCom(1);
        bus.Close();
        SerialTest::TearDown();
    }
    int Ask(const char* command, int checksum, int maxlen = 20) {
        snprintf(buffer, sizeof buffer, "%s", command);
        return QueryCom(1, buffer, maxlen, checksum, 0);
    }
    modsim::Bus bus;
    char buffer[400];
};

TEST_F(Query, AGoodReply) {
    EXPECT_EQ(COM_OK, Ask("$01M", 1));
    EXPECT_STREQ("!016017", buffer);
    EXPECT_EQ(COM_OK, Ask("$02M", 0));
    EXPECT_STREQ("!026050", buffer);
    ASSERT_EQ(2u, bus.LogCount());
    EXPECT_EQ("$01MD2", bus.Log()[0].line);
}

TEST_F(Query, ASilentModuleTimesOutAfter2000Ms) {
    WinapiUseManualClock(100000);
    EXPECT_EQ(COM_TIMEOUT, Ask("$05M", 1));
    DWORD waited = GetTickCount() - 100000;
    EXPECT_GE(waited, 2000u);
    EXPECT_LT(waited, 2010u);
    // The buffer never passes the command off as a reply.
    EXPECT_STREQ("", buffer);
}

TEST_F(Query, TheTimeOutEndsAcrossATickWrap) {
    WinapiUseManualClock(0xFFFFFFFFu - 700u);
    EXPECT_EQ(COM_TIMEOUT, Ask("$05M", 1));
    DWORD waited = GetTickCount() - (0xFFFFFFFFu - 700u);
    EXPECT_GE(waited, 2000u);
    EXPECT_LT(waited, 2010u);
}

TEST_F(Query, ABadChecksum) {
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::BadChecksum)));
    EXPECT_EQ(COM_CHECKSUM, Ask("$01M", 1));
}

TEST_F(Query, AReplyCutShort) {
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::CutShort)));
    EXPECT_EQ(COM_CHECKSUM, Ask("$01M", 1));
    ASSERT_EQ(1, bus.InjectFault(2, Fault(FaultKind::CutShort)));
    EXPECT_EQ(COM_OK, Ask("$02M", 0));
    EXPECT_STREQ("!02", buffer);
}

TEST_F(Query, AWrongFirstCharacterIsTheCallersToJudge) {
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::WrongFirstChar)));
    EXPECT_EQ(COM_OK, Ask("$01M", 1));
    EXPECT_EQ('>', buffer[0]);
}

// A NUL byte inside, after or before the module's number: the reply is
// empty, so no caller takes the text before the NUL for the module's answer.
TEST_F(Query, AReplyWithANulIsNoReply) {
    const int positions[] = {5, 7, 3};
    for (int at : positions) {
        Fault f(FaultKind::Inserted);
        f.length = at;
        for (int checksum : {1, 0}) {
            int address = checksum ? 1 : 2;
            ASSERT_EQ(1, bus.InjectFault(address, f));
            EXPECT_EQ(COM_OK, Ask(checksum ? "$01M" : "$02M", checksum)) << at;
            EXPECT_STREQ("", buffer) << at;
        }
    }
}

TEST_F(Query, ReplyLengthAgainstTheBuffer) {
    // "!026050" is 7 characters: it fits 8 bytes, not 7.
    EXPECT_EQ(COM_OK, Ask("$02M", 0, 8));
    EXPECT_STREQ("!026050", buffer);
    // Too long: what came stays, cut to the buffer.
    EXPECT_EQ(COM_FAILED, Ask("$02M", 0, 7));
    EXPECT_STREQ("!02605", buffer);
}

TEST_F(Query, AnOverlongReplyFails) {
    Fault f(FaultKind::Overlong);
    f.length = 60;
    ASSERT_EQ(1, bus.InjectFault(2, f));
    EXPECT_EQ(COM_FAILED, Ask("$02M", 0, 20));
    EXPECT_STREQ("!026050000000000000", buffer);
}

TEST_F(Query, AnUnconfiguredOrClosedPortSendsNothing) {
    snprintf(buffer, sizeof buffer, "$01M");
    EXPECT_EQ(COM_FAILED, QueryCom(3, buffer, 20, 1, 0));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(0u, bus.LogCount());
}

TEST_F(Query, AReplyNeverEndedTimesOutAndStaysInTheBuffer) {
    ASSERT_EQ(1, bus.InjectFault(2, Fault(FaultKind::NeverEnded)));
    EXPECT_EQ(COM_TIMEOUT, Ask("$02M", 0));
    EXPECT_STREQ("!026050", buffer);
}

TEST_F(Query, TheProgrammingWaitCountsOnlyInTheFamilyXX01) {
    struct {
        int* flag;
        DWORD waited;
    } cases[] = {{&FAMILY_TELV, 0}, {&FAMILY_XX01, 300}, {&FAMILY_ND, 0}};
    for (const auto& c : cases) {
        serialtest::SelectFamily(c.flag);
        WinapiDialogsReset();
        DWORD start = GetTickCount();
        snprintf(buffer, sizeof buffer, "$02M");
        EXPECT_EQ(COM_OK, QueryCom(1, buffer, 20, 0, 300));
        DWORD waited = GetTickCount() - start;
        if (c.waited) {
            EXPECT_GE(waited, c.waited);
        } else {
            EXPECT_LT(waited, 300u);
        }
        // "Module" / "Programming Module..." shows for the wait, and is gone.
        EXPECT_EQ(c.waited != 0, WinapiDialogFound("DLG_PROGRAMMING") == 1);
    }
}

// On a raw port the test sends the module's bytes itself.
class QueryRaw : public SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        OpenRawPort(&raw, 2);
    }
    RawPort raw;
    char buffer[40];
};

// A line queued before the query came for an earlier command: it is dropped
// with the query's write, never returned as its reply.
TEST_F(QueryRaw, ALineQueuedBeforeTheQueryIsNotItsReply) {
    ASSERT_TRUE(raw.Send("!01\r!02\r>+1.0\rXY"));
    WinapiUseManualClock(1000);
    snprintf(buffer, sizeof buffer, "$01M");
    EXPECT_EQ(COM_TIMEOUT, QueryCom(2, buffer, 20, 0, 0));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ("$01M\r", raw.Received(5));
    char reply[COM_REPLY_SIZE];
    EXPECT_EQ(COM_INCOMPLETE, ReadCom(2, reply, COM_REPLY_SIZE, 0));
}

} // namespace
