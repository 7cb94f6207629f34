// The simulated bus seen from the driver's side: plain POSIX calls on the pseudo-terminal slave.
#include "modsim.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using modsim::Fault;
using modsim::FaultKind;

const int kReplyWaitMs = 3000; // generous: the tests may run under an emulator

int OpenSlave(const std::string& path) {
    return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

void Send(int fd, const std::string& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// Reads until `want` bytes have come or the time is up.
std::string ReadBytes(int fd, size_t want, int timeoutMs) {
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < want) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        end - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) break;
        pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buf[512];
        ssize_t r = read(fd, buf, std::min(sizeof buf, want - got.size()));
        if (r <= 0) break;
        got.append(buf, static_cast<size_t>(r));
    }
    return got;
}

// Reads up to and including a carriage return.
std::string ReadLine(int fd, int timeoutMs = kReplyWaitMs) {
    std::string got;
    while (got.empty() || got.back() != '\r') {
        std::string one = ReadBytes(fd, 1, timeoutMs);
        if (one.empty()) break;
        got += one;
    }
    return got;
}

std::string Hex2(int value) {
    char text[4];
    snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// Whatever arrives within a short quiet time; empty when the line stays silent.
std::string Leftover(int fd) {
    return ReadBytes(fd, 4096, 100);
}

class BusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/modsim_testXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        std::string error;
        ASSERT_EQ(bus_.Open(&error), 1) << error;
        ASSERT_EQ(bus_.AddModule(1, "6018", 0), 1);
        ASSERT_EQ(bus_.AddModule(2, "6018", 1), 1);
        fd_ = OpenSlave(bus_.SlavePath());
        ASSERT_GE(fd_, 0) << bus_.SlavePath() << ": " << strerror(errno);
    }
    void TearDown() override {
        if (fd_ >= 0) close(fd_);
        bus_.Close();
        std::string link = dir_ + "/COM1";
        unlink(link.c_str());
        rmdir(dir_.c_str());
    }

    // Sends a command as the driver frames it for the module and returns the bytes that came
    // back up to the carriage return.
    std::string Transact(const std::string& command, bool checksum) {
        Send(fd_, modsim::FrameLine(command, checksum));
        EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1) << command;
        return ReadLine(fd_);
    }

    modsim::Bus bus_;
    int fd_ = -1;
    std::string dir_;
};

struct CommandCase {
    int address;
    const char* command;
    const char* reply; // text without checksum; framed as the module frames it
};

TEST_F(BusTest, ModulesAnswerFromTheirProfile) {
    bus_.SetChannel(1, 3, 25.3);
    bus_.SetChannel(2, 0, -1.5);
    const CommandCase cases[] = {
        {1, "$01M", "!016018"},
        {1, "$012", "!010E0600"},
        {1, "$01F", "!01A1.0"},
        {1, "#013", ">+025.30"},
        {1, "#01", ">+000.00+000.00+000.00+025.30+000.00+000.00+000.00+000.00"},
        {1, "$01X", "?01"},  // unknown command
        {1, "$01MX", "?01"}, // known start, extra characters
        {1, "#018", "?01"},  // no such channel
        {2, "$02M", "!026018"},
        {2, "$022", "!020E0640"}, // data format carries the checksum bit
        {2, "#020", ">-001.50"},
    };
    for (const CommandCase& c : cases) {
        bool checksum = c.address == 2;
        EXPECT_EQ(Transact(c.command, checksum), modsim::FrameLine(c.reply, checksum)) << c.command;
    }
    std::vector<modsim::LogEntry> log = bus_.Log();
    ASSERT_EQ(log.size(), sizeof cases / sizeof cases[0]);
    EXPECT_EQ(log[0].line, "$01M");
    EXPECT_EQ(log[0].address, 1);
    EXPECT_EQ(log[0].reply, "!016018\r");
    EXPECT_EQ(log[8].line, "$02MD3");
    EXPECT_LE(log[0].timeS, log[1].timeS);
}

TEST_F(BusTest, NoModuleAtTheAddressMeansSilence) {
    Send(fd_, "$05M\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(Leftover(fd_), "");
    std::vector<modsim::LogEntry> log = bus_.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].address, 5);
    EXPECT_EQ(log[0].reply, "");
}

TEST_F(BusTest, ChecksumModeDecidesWhatALineMeans) {
    // A checksum module ignores a plain line; a plain module reads the digits as part of the
    // command and does not know it.
    Send(fd_, "$02M\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(Leftover(fd_), "");
    EXPECT_EQ(Transact("$01M", true), "?01\r");
    // A module may be set to answer a wrong checksum with "?AA".
    bus_.EditModule(2, [](modsim::Module& m) { m.answerBadChecksum = 1; });
    EXPECT_EQ(Transact("$02M", false), modsim::FrameLine("?02", true));
}

TEST_F(BusTest, SetConfigurationIsReadBack) {
    EXPECT_EQ(Transact("%01010F0600", false), "!01\r");
    EXPECT_EQ(Transact("$012", false), "!010F0600\r");
    EXPECT_EQ(Transact("%01020F0600", false), "?01\r"); // the module keeps its address
    modsim::Module m;
    ASSERT_EQ(bus_.GetModule(1, &m), 1);
    ASSERT_EQ(m.writes.size(), 1u);
    EXPECT_EQ(m.writes[0], "%01010F0600");
}

TEST_F(BusTest, KeepAliveReachesEveryModuleWithoutReply) {
    Send(fd_, "~**\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(Leftover(fd_), "");
    modsim::Module m1, m2;
    ASSERT_EQ(bus_.GetModule(1, &m1), 1);
    ASSERT_EQ(bus_.GetModule(2, &m2), 1);
    EXPECT_EQ(m1.watchdog.hostOkCount, 1u);
    EXPECT_EQ(m2.watchdog.hostOkCount, 1u);
}

TEST_F(BusTest, PartialLineStaysPendingUntilItsCarriageReturn) {
    for (const char* piece : {"$", "0", "1", "M"}) {
        Send(fd_, piece);
        EXPECT_EQ(bus_.Pump(20), 0) << piece;
        EXPECT_EQ(bus_.LogCount(), 0u) << piece;
    }
    EXPECT_EQ(Leftover(fd_), "");
    Send(fd_, "\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
}

TEST_F(BusTest, BytesAfterTheCarriageReturnStartTheNextLine) {
    Send(fd_, "$01M\r$01");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
    Send(fd_, "2\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(ReadLine(fd_), "!010E0600\r");
}

TEST_F(BusTest, OverlongLineIsDroppedAndTheNextOneAnswered) {
    Send(fd_, std::string(modsim::kMaxInputLine + 40, 'x') + "\r$01M\r");
    int handled = 0;
    for (int i = 0; i < 10 && handled < 2; ++i)
        handled += bus_.Pump(kReplyWaitMs);
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
    std::vector<modsim::LogEntry> log = bus_.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].overlong, 1);
    EXPECT_EQ(log[0].reply, "");
}

struct FaultCase {
    FaultKind kind;
    int length;
    const char* bytes;
    std::string expected; // all bytes of the faulty reply to "$02M" (checksum module)
};

TEST_F(BusTest, EachFaultShapesOneReplyThenTheModuleIsWellAgain) {
    const std::string good = modsim::FrameLine("!026018", true); // "!026018" + digits + CR
    std::string text = good.substr(0, good.size() - 1);
    const FaultCase cases[] = {
        {FaultKind::Silence, 0, "", ""},
        {FaultKind::WrongFirstChar, 0, "", modsim::FrameLine(">026018", true)},
        {FaultKind::BadChecksum, 0, "", "!026018" + Hex2(modsim::Checksum("!026018") + 1) + "\r"},
        {FaultKind::MissingChecksum, 0, "", "!026018\r"},
        {FaultKind::CutShort, 4, "", "!026\r"},
        {FaultKind::NeverEnded, 0, "", text},
        {FaultKind::TrailingBytes, 0, "ZZ", good + "ZZ"},
        {FaultKind::Overlong, 150, "", modsim::FrameLine("!026018" + std::string(143, '0'), true)},
        {FaultKind::Garbage, 0, "", modsim::FrameLine("!12abc", true)},
        {FaultKind::Garbage, 0, "020E0600", modsim::FrameLine("!020E0600", true)},
        {FaultKind::Double, 0, "", good + good},
        {FaultKind::Inserted, 3, "", modsim::FrameLine(std::string("!02") + '\0' + "6018", true)},
        {FaultKind::Inserted, 99, "XY", modsim::FrameLine("!026018XY", true)},
        {FaultKind::OtherAddress, 0, "", modsim::FrameLine("!036018", true)},
        {FaultKind::Stray, 0, "!99", modsim::FrameLine("!99", true) + good},
        {FaultKind::Stray, 0, "", good + good},
    };
    for (const FaultCase& c : cases) {
        Fault f(c.kind);
        f.length = c.length;
        f.bytes = c.bytes;
        ASSERT_EQ(bus_.InjectFault(2, f), 1);
        Send(fd_, modsim::FrameLine("$02M", true));
        EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
        std::string got = ReadBytes(fd_, c.expected.size(), kReplyWaitMs);
        got += Leftover(fd_);
        EXPECT_EQ(got, c.expected) << modsim::FaultName(c.kind);
        EXPECT_EQ(bus_.Log().back().fault, modsim::FaultName(c.kind));
        EXPECT_EQ(bus_.PendingFaults(2), 0u);
        EXPECT_EQ(Transact("$02M", true), good) << "after " << modsim::FaultName(c.kind);
    }
}

TEST_F(BusTest, FaultCountsAndMatch) {
    Fault twice(FaultKind::Silence, 2);
    bus_.InjectFault(1, twice);
    for (int i = 0; i < 2; ++i) {
        Send(fd_, "$01M\r");
        EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    }
    EXPECT_EQ(Leftover(fd_), "");
    EXPECT_EQ(Transact("$01M", false), "!016018\r");

    // Only reads of channel 3 fail, always; other commands pass.
    Fault reads(FaultKind::WrongFirstChar, modsim::kAlways);
    reads.match = "#013";
    bus_.InjectFault(1, reads);
    EXPECT_EQ(Transact("$01M", false), "!016018\r");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Transact("#013", false), "!+000.00\r");
    EXPECT_EQ(bus_.PendingFaults(1), 1u);
    bus_.ClearFaults(1);
    EXPECT_EQ(Transact("#013", false), ">+000.00\r");

    // Every third matching reply, twice: the third and the sixth read; the
    // "$01M" between them ("!016018") is not counted.
    Fault third(FaultKind::WrongFirstChar, 2);
    third.match = "#01";
    third.every = 3;
    bus_.InjectFault(1, third);
    std::string firsts;
    for (int i = 0; i < 8; ++i)
        firsts += Transact(i == 4 ? "$01M" : "#010", false).substr(0, 1);
    EXPECT_EQ(firsts, ">>!>!>!>");
    EXPECT_EQ(bus_.PendingFaults(1), 0u);
}

// A read of one channel answered with every channel, as "#AA" is; another
// address named where the reply names one, and only there.
TEST_F(BusTest, AllChannelsAndAnotherAddress) {
    bus_.SetChannel(1, 0, 11.0);
    bus_.SetChannel(1, 3, 11.3);
    bus_.InjectFault(1, Fault(FaultKind::AllChannels));
    std::string all = Transact("#013", false);
    EXPECT_EQ(all.substr(0, 17), ">+011.00+000.00+0");
    EXPECT_EQ(all.size(), 1u + 8 * 7 + 1);
    EXPECT_EQ(Transact("#013", false), ">+011.30\r");

    Fault other(FaultKind::OtherAddress, 2);
    other.address = 0x2A;
    bus_.InjectFault(1, other);
    EXPECT_EQ(Transact("$01M", false), "!2A6018\r");
    EXPECT_EQ(Transact("#013", false), ">+011.30\r") << "a reply without address is left";
    EXPECT_EQ(Transact("$01M", false), "!016018\r");
}

// Readings in engineering units: seven characters, fewer decimals where the
// value needs the room.
TEST(EngineeringValue, SevenCharactersWhateverTheValue) {
    EXPECT_EQ(modsim::EngineeringValue("%+07.2f", 25.3), "+025.30");
    EXPECT_EQ(modsim::EngineeringValue("%+07.3f", -1.5), "-01.500");
    EXPECT_EQ(modsim::EngineeringValue("%+07.2f", 1234.567), "+1234.6");
    EXPECT_EQ(modsim::EngineeringValue("%+07.3f", 12345.6), "+012346");
    EXPECT_EQ(modsim::EngineeringValue("%+07.2f", -123456.0), "-123456");
    EXPECT_EQ(modsim::EngineeringValue("%+07.2f", 1e9), "+999999");
}

// A fault with a time applies to the commands that come within it, and is
// gone after it.
TEST_F(BusTest, AFaultLastsFromItsStartUntilItsEnd) {
    double now = bus_.Now();
    Fault quiet(FaultKind::Silence, modsim::kAlways);
    quiet.fromS = now + 0.3;
    quiet.untilS = now + 0.6;
    bus_.InjectFault(1, quiet);
    EXPECT_EQ(Transact("$01M", false), "!016018\r") << "before";
    while (bus_.Now() < now + 0.35)
        usleep(10000);
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(Leftover(fd_), "") << "within";
    while (bus_.Now() < now + 0.65)
        usleep(10000);
    EXPECT_EQ(Transact("$01M", false), "!016018\r") << "after";
    EXPECT_EQ(bus_.PendingFaults(1), 0u);
}

TEST_F(BusTest, DoubleReplySendsTheCopyAfterItsDelay) {
    Fault twice(FaultKind::Double);
    twice.delayMs = 120;
    bus_.InjectFault(1, twice);
    auto first = std::chrono::steady_clock::now();
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
    EXPECT_GE(std::chrono::steady_clock::now() - first, std::chrono::milliseconds(100));
}

// The command line's form of a fault.
TEST(FaultText, ParsesKindAndSettings) {
    Fault f;
    std::string error;
    ASSERT_EQ(1,
              modsim::ParseFault("late:delay=250:times=3:match=#01:from=2:until=12.5", &f, &error))
        << error;
    EXPECT_EQ(FaultKind::Late, f.kind);
    EXPECT_EQ(250, f.delayMs);
    EXPECT_EQ(3, f.times);
    EXPECT_EQ("#01", f.match);
    EXPECT_EQ(2.0, f.fromS);
    EXPECT_EQ(12.5, f.untilS);
    ASSERT_EQ(1, modsim::ParseFault("never-ended", &f, &error)) << error;
    EXPECT_EQ(FaultKind::NeverEnded, f.kind);
    EXPECT_EQ(modsim::kAlways, f.times);
    ASSERT_EQ(1, modsim::ParseFault("other-address:address=0x2A:every=3", &f, &error)) << error;
    EXPECT_EQ(FaultKind::OtherAddress, f.kind);
    EXPECT_EQ(0x2A, f.address);
    EXPECT_EQ(3, f.every);
    ASSERT_EQ(1, modsim::ParseFault("stray:delay=2:bytes=>+099.99", &f, &error)) << error;
    EXPECT_EQ(FaultKind::Stray, f.kind);
    EXPECT_EQ(">+099.99", f.bytes);
    const char* bad[] = {"",
                         "lost",
                         "late:delay",
                         "late:delay=x",
                         "silence:from=5:until=2",
                         "silence:times=0",
                         "garbage:size=3",
                         "late:every=0",
                         "other-address:address=256"};
    for (const char* text : bad)
        EXPECT_EQ(0, modsim::ParseFault(text, &f, &error)) << text;
}

TEST_F(BusTest, LateReplyComesAfterItsDelay) {
    Fault late(FaultKind::Late);
    late.delayMs = 150;
    bus_.InjectFault(1, late);
    auto start = std::chrono::steady_clock::now();
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(20), 1); // handled, but the reply is held back
    EXPECT_EQ(bus_.LogCount(), 1u);
    EXPECT_EQ(Leftover(fd_), "");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 0);
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
}

TEST_F(BusTest, WireTimeHoldsTheReplyBackByItsLength) {
    bus_.SetBaud(1200);
    auto start = std::chrono::steady_clock::now();
    // The request's 5 bytes and the reply's 8, of 10 bits at 1200 baud:
    // 108 ms; the reply's first byte after one character.
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(ReadBytes(fd_, 1, kReplyWaitMs), "!");
    auto first = std::chrono::steady_clock::now() - start;
    EXPECT_GE(first, std::chrono::microseconds(50000));
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 0);
    EXPECT_EQ(ReadLine(fd_), "016018\r");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(108333));
}

// A reply held back does not hold the line before it goes: another one due
// earlier goes first, and none runs into another.
TEST_F(BusTest, AHeldBackReplyLeavesTheLineToOthersUntilItGoes) {
    bus_.SetBaud(38400);
    Fault late(FaultKind::Late);
    late.delayMs = 300;
    bus_.InjectFault(1, late);
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(50), 1);
    EXPECT_EQ(Transact("$02M", true), modsim::FrameLine("!026018", true));
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 0);
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
}

long long stepClock = 0;
long long StepClock() {
    return stepClock;
}

// On a clock of the caller's, a reply waits for that clock to pass its time
// on the line, however long that takes in real time.
TEST_F(BusTest, RepliesTakeTheirTimeOnTheClockTheyAreGiven) {
    bus_.SetBaud(9600);
    bus_.SetClock(StepClock);
    stepClock = 1000000;
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(100), 1);
    EXPECT_EQ(bus_.RepliesOnTheWay(), 1u);
    EXPECT_EQ(Leftover(fd_), "") << "the clock has not moved";
    // 13 characters at 9600 baud: 13.5 ms.
    stepClock += 13000;
    bus_.Pump(20);
    EXPECT_EQ(Leftover(fd_), "!") << "only the first character is through";
    stepClock += 1000;
    bus_.Pump(20);
    EXPECT_EQ(ReadLine(fd_), "016018\r");
    EXPECT_EQ(bus_.RepliesOnTheWay(), 0u);
    bus_.SetClock(nullptr);
}

TEST_F(BusTest, DriverMayCloseAndReopenThePort) {
    ASSERT_EQ(bus_.SetLink(dir_ + "/COM1"), 1);
    EXPECT_EQ(Transact("$01M", false), "!016018\r");
    for (int i = 0; i < 2; ++i) {
        close(fd_);
        fd_ = OpenSlave(dir_ + "/COM1");
        ASSERT_GE(fd_, 0) << strerror(errno);
        EXPECT_EQ(Transact("$01M", false), "!016018\r");
    }
}

TEST_F(BusTest, UnpluggedPortGoesAwayUntilReplugged) {
    ASSERT_EQ(bus_.SetLink(dir_ + "/COM1"), 1);
    Fault pull(FaultKind::Unplug);
    pull.delayMs = -1;
    bus_.InjectFault(1, pull);
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(bus_.Plugged(), 0);
    EXPECT_EQ(bus_.SlavePath(), "");
    // The driver's descriptor is hung up and the device cannot be opened.
    pollfd p = {fd_, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, kReplyWaitMs), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    int again = OpenSlave(dir_ + "/COM1");
    EXPECT_LT(again, 0);
    if (again >= 0) close(again);
    close(fd_);

    ASSERT_EQ(bus_.Replug(), 1);
    fd_ = OpenSlave(dir_ + "/COM1");
    ASSERT_GE(fd_, 0) << strerror(errno);
    EXPECT_EQ(Transact("$01M", false), "!016018\r");
}

TEST_F(BusTest, PortPulledForAMomentComesBackUnderTheLink) {
    ASSERT_EQ(bus_.SetLink(dir_ + "/COM1"), 1);
    Fault pull(FaultKind::Unplug);
    pull.delayMs = 0;
    bus_.InjectFault(1, pull);
    Send(fd_, "$01M\r");
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    bus_.Pump(0); // the new port is made on the next turn
    EXPECT_EQ(bus_.Plugged(), 1);
    pollfd p = {fd_, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, kReplyWaitMs), 1); // the old descriptor stays dead
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    close(fd_);
    fd_ = OpenSlave(dir_ + "/COM1");
    ASSERT_GE(fd_, 0) << strerror(errno);
    EXPECT_EQ(Transact("$01M", false), "!016018\r");
}

// The lines heard are counted from the bus's start on, also those a cleared
// log forgot and those that went unanswered.
TEST_F(BusTest, EveryLineHeardIsCountedClearLogNotwithstanding) {
    EXPECT_EQ(bus_.Heard(), 0u);
    EXPECT_EQ(Transact("$01M", false), "!016018\r");
    bus_.ClearLog();
    Send(fd_, "$09M\r"); // nobody at 9
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1);
    EXPECT_EQ(bus_.Heard(), 2u);
    EXPECT_EQ(bus_.LogCount(), 1u);
    EXPECT_EQ(bus_.WaitForHeard(2, 0), 1);
    EXPECT_EQ(bus_.WaitForHeard(3, 50), 0);
    ASSERT_EQ(bus_.Start(), 1);
    Send(fd_, "$01F\r");
    EXPECT_EQ(bus_.WaitForHeard(3, kReplyWaitMs), 1);
    EXPECT_EQ(ReadLine(fd_), "!01A1.0\r");
}

TEST_F(BusTest, BackgroundThreadServesAndStops) {
    ASSERT_EQ(bus_.Start(), 1);
    EXPECT_EQ(bus_.Pump(10), -1); // one server at a time
    Send(fd_, "$01M\r");
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
    bus_.SetChannel(1, 0, 12.5); // while it serves
    Send(fd_, "#010\r");
    EXPECT_EQ(ReadLine(fd_), ">+012.50\r");
    EXPECT_EQ(bus_.WaitForLog(2, kReplyWaitMs), 1);

    // Pulling and replugging from this thread is carried out by the serving thread.
    ASSERT_EQ(bus_.Unplug(), 1);
    EXPECT_EQ(bus_.Plugged(), 0);
    ASSERT_EQ(bus_.Replug(), 1);
    close(fd_);
    fd_ = OpenSlave(bus_.SlavePath());
    ASSERT_GE(fd_, 0);
    Send(fd_, "$01M\r");
    EXPECT_EQ(ReadLine(fd_), "!016018\r");

    bus_.Stop();
    EXPECT_EQ(bus_.Running(), 0);
    Send(fd_, "$01M\r");
    EXPECT_EQ(Leftover(fd_), "");          // nobody serves now
    EXPECT_EQ(bus_.Pump(kReplyWaitMs), 1); // the line waited in the port
    EXPECT_EQ(ReadLine(fd_), "!016018\r");
}

} // namespace
