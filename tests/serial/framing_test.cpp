// Command framing, the reply line reader and the pause between writes, on a
// raw pseudo-terminal: the exact bytes on the wire and the reply fed whole
// and one byte at a time.
#include "serial_fixture.h"

#include <vector>

namespace {

using serialtest::RawPort;
using serialtest::SerialTest;

TEST(Checksum, KnownVectors) {
    struct {
        const char* text;
        unsigned sum;
    } cases[] = {{"#012", 0xB6}, {"$01M", 0xD2}, {">+025.30", 0x91}, {"", 0x00}};
    for (const auto& c : cases)
        EXPECT_EQ(c.sum, LineChecksum(c.text, static_cast<int>(strlen(c.text)))) << c.text;
}

// A reply is the expected one only when it came whole and clean and starts
// with the expected character; a line still coming is not wrong yet.
TEST(ReplyMatches, ByResultAndFirstCharacter) {
    struct {
        const char* reply;
        int result;
        char expected;
        int matches;
    } cases[] = {
        {">+025.30", COM_OK, '>', 1}, {"!016018", COM_OK, '!', 1}, {"?01", COM_OK, '!', 0},
        {"", COM_OK, '>', 0},         {nullptr, COM_OK, '>', 0},   {">", COM_INCOMPLETE, '>', 1},
        {"", COM_INCOMPLETE, '!', 1}, {">", COM_TIMEOUT, '>', 0},  {">", COM_CHECKSUM, '>', 0},
        {">", COM_FAILED, '>', 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, ReplyMatches(c.reply, c.result, c.expected))
            << (c.reply ? c.reply : "(null)") << " " << c.result;
}

class Framing : public SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        OpenRawPort(&raw, 1);
    }
    RawPort raw;
};

TEST_F(Framing, CommandsGoOutWithChecksumAndCarriageReturn) {
    struct {
        const char* text;
        int checksum;
        const char* wire;
    } cases[] = {
        {"#012", 1, "#012B6\r"},
        {"#012", 0, "#012\r"},
        {"$01M", 1, "$01MD2\r"},
        {"", 0, "\r"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(1, WriteCom(1, c.text, c.checksum)) << c.text;
        EXPECT_EQ(c.wire, raw.Received(strlen(c.wire))) << c.text;
    }
}

TEST_F(Framing, ACommandThatDoesNotFitIsRefusedNotSent) {
    struct {
        std::string text;
        int checksum;
        int sent;
    } cases[] = {
        {std::string(20, 'A'), 1, 1},
        {std::string(21, 'A'), 1, 0},
        {std::string(22, 'A'), 0, 1},
        {std::string(23, 'A'), 0, 0},
    };
    for (const auto& c : cases) {
        size_t errors = hostsim::InternalErrors().size();
        EXPECT_EQ(c.sent, WriteCom(1, c.text.c_str(), c.checksum)) << c.text.size();
        size_t expected = c.sent ? c.text.size() + (c.checksum ? 3 : 1) : 0;
        EXPECT_EQ(expected, raw.Received(expected).size()) << c.text.size();
        EXPECT_EQ("", raw.Drain());
        EXPECT_EQ(errors + (c.sent ? 0 : 1), hostsim::InternalErrors().size());
    }
}

struct LineCase {
    const char* name;
    std::string wire;
    int checksum;
    int result;
    const char* reply;
};

const LineCase kLines[] = {
    {"GoodChecksum", ">+025.3091\r", 1, COM_OK, ">+025.30"},
    {"WrongChecksum", ">+025.3092\r", 1, COM_CHECKSUM, ""},
    {"LowerCaseDigits", "#012b6\r", 1, COM_CHECKSUM, ""},
    {"NoChecksum", ">+025.30\r", 0, COM_OK, ">+025.30"},
    {"ControlCharactersStay", "!0\t1\r", 0, COM_OK, "!0\t1"},
    {"ShortChecksummedLine", "A\r", 1, COM_CHECKSUM, ""},
    {"EmptyChecksummedLine", "\r", 1, COM_CHECKSUM, ""},
    {"EmptyLine", "\r", 0, COM_OK, ""},
    // The text is the whole line: one that holds a NUL byte is no reply, and
    // it comes back empty, never as the shorter text before the NUL.
    {"NulInsideANumber", std::string(">+09") + '\0' + "9.99\r", 0, COM_OK, ""},
    {"NulAfterANumber", std::string(">+099.99") + '\0' + "JUNK\r", 0, COM_OK, ""},
    {"NulBeforeANumber", std::string(">") + '\0' + "+099.99\r", 0, COM_OK, ""},
    {"NulWithAFittingChecksum", std::string(">+09") + '\0' + "9.99AB\r", 1, COM_OK, ""},
    {"NulWithAWrongChecksum", std::string(">+09") + '\0' + "9.99AC\r", 1, COM_CHECKSUM, ""},
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadLine : public Framing, public ::testing::WithParamInterface<LineCase> {
  protected:
    int Read(char* reply) { return ReadCom(1, reply, COM_REPLY_SIZE, GetParam().checksum); }
};

TEST_P(ReadLine, Whole) {
    const LineCase& c = GetParam();
    ASSERT_TRUE(raw.Send(c.wire));
    char reply[COM_REPLY_SIZE];
    EXPECT_EQ(c.result, Read(reply));
    if (c.result == COM_OK) {
        EXPECT_STREQ(c.reply, reply);
    }
}

TEST_P(ReadLine, OneByteAtATime) {
    const LineCase& c = GetParam();
    char reply[COM_REPLY_SIZE];
    for (size_t i = 0; i + 1 < c.wire.size(); i++) {
        ASSERT_TRUE(raw.Send(c.wire.substr(i, 1)));
        ASSERT_EQ(COM_INCOMPLETE, Read(reply)) << "after byte " << i;
    }
    ASSERT_TRUE(raw.Send("\r"));
    EXPECT_EQ(c.result, Read(reply));
    if (c.result == COM_OK) {
        EXPECT_STREQ(c.reply, reply);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ReadLine, ::testing::ValuesIn(kLines),
                         [](const ::testing::TestParamInfo<LineCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Framing, NothingQueuedIsIncomplete) {
    char reply[COM_REPLY_SIZE];
    EXPECT_EQ(COM_INCOMPLETE, ReadCom(1, reply, COM_REPLY_SIZE, 1));
}

TEST_F(Framing, AReplyInThreePieces) {
    char reply[COM_REPLY_SIZE];
    ASSERT_TRUE(raw.Send(">+02"));
    EXPECT_EQ(COM_INCOMPLETE, ReadCom(1, reply, COM_REPLY_SIZE, 1));
    ASSERT_TRUE(raw.Send("5.30"));
    EXPECT_EQ(COM_INCOMPLETE, ReadCom(1, reply, COM_REPLY_SIZE, 1));
    ASSERT_TRUE(raw.Send("91\r"));
    EXPECT_EQ(COM_OK, ReadCom(1, reply, COM_REPLY_SIZE, 1));
    EXPECT_STREQ(">+025.30", reply);
}

// Bytes behind a line's carriage return are held for the port, so the
// request engine sees a second line coming; the next request drops them.
TEST_F(Framing, BytesAfterTheCarriageReturnAreHeldUntilDiscarded) {
    char reply[COM_REPLY_SIZE];
    ASSERT_TRUE(raw.Send(">01\rXY"));
    EXPECT_EQ(COM_OK, ReadCom(1, reply, COM_REPLY_SIZE, 0));
    EXPECT_STREQ(">01", reply);
    EXPECT_EQ(2, ComPendingBytes(1));
    ComDiscardReply(1);
    EXPECT_EQ(0, ComPendingBytes(1));
    ASSERT_TRUE(raw.Send("Z\r"));
    EXPECT_EQ(COM_OK, ReadCom(1, reply, COM_REPLY_SIZE, 0));
    EXPECT_STREQ("Z", reply);
}

TEST_F(Framing, DiscardingForgetsPartAndQueuedReplies) {
    char reply[COM_REPLY_SIZE];
    ASSERT_TRUE(raw.Send(">old"));
    EXPECT_EQ(COM_INCOMPLETE, ReadCom(1, reply, COM_REPLY_SIZE, 0));
    ASSERT_TRUE(raw.Send("er\r>late\r"));
    ComDiscardReply(1);
    EXPECT_EQ(COM_INCOMPLETE, ReadCom(1, reply, COM_REPLY_SIZE, 0));
    ASSERT_TRUE(raw.Send(">new\r"));
    EXPECT_EQ(COM_OK, ReadCom(1, reply, COM_REPLY_SIZE, 0));
    EXPECT_STREQ(">new", reply);
}

TEST_F(Framing, AnOverlongReplyFailsAndIsReported) {
    char reply[COM_REPLY_SIZE];
    ASSERT_TRUE(raw.Send(std::string(100, 'A')));
    EXPECT_EQ(COM_INCOMPLETE, ReadCom(1, reply, COM_REPLY_SIZE, 0));
    ASSERT_TRUE(raw.Send(std::string(30, 'B')));
    EXPECT_EQ(COM_FAILED, ReadCom(1, reply, COM_REPLY_SIZE, 0));
    ASSERT_FALSE(hostsim::InternalErrors().empty());
    const std::string& error = hostsim::InternalErrors().back();
    EXPECT_EQ(0u, error.find("ReadCom: > maxlen (sercomm:")) << error;
}

// The pause between writes, on the manual clock: the time that passes
// between two writes is exactly the family's pause.
struct PaceCase {
    const char* family;
    int* flag;
    DWORD pause;
    const char* note;
};

void PrintTo(const PaceCase& c, std::ostream* os) {
    *os << c.family;
}

class Pacing : public Framing, public ::testing::WithParamInterface<PaceCase> {};

TEST_P(Pacing, WritesKeepTheFamilysPause) {
    const PaceCase& c = GetParam();
    serialtest::SelectFamily(c.flag);
    RawPort second;
    OpenRawPort(&second, 2);
    MonitorStart();
    WinapiUseManualClock(5000);
    ASSERT_EQ(1, WriteCom(1, "#01", 0));
    DWORD before = GetTickCount();
    ASSERT_EQ(1, WriteCom(1, "#01", 0));
    EXPECT_EQ(c.pause, GetTickCount() - before) << "same port";
    before = GetTickCount();
    ASSERT_EQ(1, WriteCom(2, "#02", 0));
    EXPECT_EQ(c.pause, GetTickCount() - before) << "another port";
    // Writes that come late enough do not wait.
    WinapiAdvanceClock(60);
    before = GetTickCount();
    ASSERT_EQ(1, WriteCom(1, "#01", 0));
    EXPECT_EQ(0u, GetTickCount() - before);

    int delayed = 0;
    char line[96];
    for (int i = 0; MonitorFormatEntry(i, 1, line, sizeof line); i++)
        delayed += c.note && strstr(line, c.note) != nullptr;
    EXPECT_EQ(c.note ? 2 : 0, delayed);
}

TEST_P(Pacing, ThePauseEndsAcrossATickWrap) {
    const PaceCase& c = GetParam();
    serialtest::SelectFamily(c.flag);
    WinapiUseManualClock(0xFFFFFFFFu - 3u);
    ASSERT_EQ(1, WriteCom(1, "#01", 0));
    ASSERT_EQ(1, WriteCom(1, "#01", 0));
    EXPECT_EQ(c.pause, GetTickCount() - (0xFFFFFFFFu - 3u));
}

const PaceCase kPaces[] = {
    {"TELV", &FAMILY_TELV, 10, "Delayed [XX03]"}, {"XX03", &FAMILY_XX03, 10, "Delayed [XX03]"},
    {"XX01", &FAMILY_XX01, 50, "Delayed [XX01]"}, {"ND", &FAMILY_ND, 0, nullptr},
    {"XX04", &FAMILY_XX04, 0, nullptr},           {"XX05", &FAMILY_XX05, 0, nullptr},
    {"XX06", &FAMILY_XX06, 0, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Families, Pacing, ::testing::ValuesIn(kPaces),
                         [](const ::testing::TestParamInfo<PaceCase>& info) {
                             return std::string(info.param.family);
                         });

} // namespace
