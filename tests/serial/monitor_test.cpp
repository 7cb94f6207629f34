// The RS-232 monitor: the ring of 256 entries, what a line and a note keep,
// the numbering and seconds of the listing, and the file format.
#include "serial_fixture.h"

#include <vector>

namespace {

using serialtest::RawPort;
using serialtest::SerialTest;

std::vector<std::string> Listed(int forFile = 0) {
    std::vector<std::string> lines;
    char line[96];
    for (int i = 0; MonitorFormatEntry(i, forFile, line, sizeof line); i++)
        lines.push_back(line);
    return lines;
}

class Monitor : public SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        WinapiUseManualClock(10000);
        MonitorStart();
        ASSERT_EQ(1, MonitorIsOn());
    }
    // Saves the ring through a file handle as the dialog does.
    std::string Saved() {
        std::string path = dir + "/Logfile0.txt";
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, h);
        if (h == INVALID_HANDLE_VALUE) return "";
        EXPECT_EQ(1, MonitorSaveFile(h));
        CloseHandle(h);
        return serialtest::ReadFileText(path);
    }
};

TEST_F(Monitor, TheRingKeepsTheLast256) {
    for (int i = 0; i < 300; i++) {
        char note[16];
        snprintf(note, sizeof note, "n%d", i);
        MonitorNote(note);
    }
    std::vector<std::string> lines = Listed();
    ASSERT_EQ(256u, lines.size());
    EXPECT_EQ("-255:\t-- ! --\t0.00 sec\t \tn44", lines.front());
    EXPECT_EQ("0:\t-- ! --\t0.00 sec\t \tn299", lines.back());
}

TEST_F(Monitor, WhatALineAndANoteKeep) {
    MonitorLogLine(3, 1, "#012B6\r");
    MonitorLogLine(3, 0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    MonitorNote("exactly 24 characters ok");
    MonitorNote("a note of thirty characters ..");
    std::vector<std::string> lines = Listed();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("-3:\tCOM3 \t0.00 sec\t+\t#012B6", lines[0]);
    EXPECT_EQ("-2:\tCOM3 \t0.00 sec\t-\tABCDEFGHIJKLMNOPQRSTUVW", lines[1]);
    EXPECT_EQ("-1:\t-- ! --\t0.00 sec\t \texactly 24 characters ok", lines[2]);
    EXPECT_EQ("0:\t-- ! --\t0.00 sec\t \ta note of thirty charac", lines[3]);
}

TEST_F(Monitor, TrafficIsLoggedAsSentAndReceived) {
    RawPort raw;
    OpenRawPort(&raw, 2);
    ASSERT_EQ(1, WriteCom(2, "#012", 1));
    ASSERT_TRUE(raw.Send(">+025.3091\r"));
    char reply[COM_REPLY_SIZE];
    ASSERT_EQ(COM_OK, ReadCom(2, reply, COM_REPLY_SIZE, 1));
    std::vector<std::string> lines = Listed();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("-1:\tCOM2 \t0.00 sec\t+\t#012B6", lines[0]);
    EXPECT_EQ("0:\tCOM2 \t0.00 sec\t-\t>+025.3091", lines[1]);
}

TEST_F(Monitor, TheFileFormat) {
    WinapiAdvanceClock(1500);
    MonitorLogLine(1, 1, "#012B6\r");
    WinapiAdvanceClock(250);
    MonitorNote("Repeat");
    WinapiAdvanceClock(12340);
    MonitorLogLine(12, 0, ">+025.3091");
    EXPECT_EQ("-2:\tCOM1 \t1.50 sec\t+ #012B6\r\n"
              "-1:\t--!--\t1.75 sec\t  Repeat\r\n"
              "0:\tCOM12 \t14.09 sec\t- >+025.3091\r\n",
              Saved());
}

TEST_F(Monitor, ExperimentNotesComeOncePerExperiment) {
    WinapiAdvanceClock(500);
    MonitorNote("before");
    WinapiAdvanceClock(1000);
    MonitorExperimentStarted();
    MonitorExperimentStarted();
    WinapiAdvanceClock(2000);
    MonitorExperimentStopped();
    MonitorExperimentStopped();
    std::vector<std::string> lines = Listed();
    ASSERT_EQ(3u, lines.size());
    // The time base moved to the start: the earlier note counts backwards.
    EXPECT_EQ("-2:\t-- ! --\t-1.00 sec\t \tbefore", lines[0]);
    EXPECT_EQ("-1:\t-- ! --\t0.00 sec\t \tExperiment started", lines[1]);
    EXPECT_EQ("0:\t-- ! --\t2.00 sec\t \tExperiment stopped", lines[2]);
}

TEST_F(Monitor, ClearDropsEverythingBefore) {
    MonitorNote("old");
    WinapiAdvanceClock(700);
    MonitorClear();
    WinapiAdvanceClock(300);
    MonitorNote("new");
    EXPECT_EQ("0:\t--!--\t0.30 sec\t  new\r\n", Saved());
}

TEST_F(Monitor, OffLogsNothing) {
    MonitorStop();
    EXPECT_EQ(0, MonitorIsOn());
    MonitorNote("lost");
    MonitorLogLine(1, 1, "#01\r");
    MonitorExperimentStarted();
    EXPECT_TRUE(Listed().empty());
    // Switched on again it starts empty.
    MonitorStart();
    EXPECT_TRUE(Listed().empty());
}

TEST_F(Monitor, NoMemoryLeavesItOff) {
    MonitorStop();
    hostsim::FailAllocations(1);
    MonitorStart();
    EXPECT_EQ(0, MonitorIsOn());
    MonitorNote("lost");
    EXPECT_TRUE(Listed().empty());
}

TEST_F(Monitor, TheRingComesFromTheHostAndGoesBack) {
    int live = hostsim::LiveAllocations();
    MonitorStop();
    EXPECT_EQ(live - 1, hostsim::LiveAllocations());
}

} // namespace
