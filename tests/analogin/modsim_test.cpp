// The analog input modules of the simulator, seen from the line: each
// command of their own answered in its reply layout, what they refuse, and
// the settings they keep.
#include "modsim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace {

class AnalogModules : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.AddModule(0x0B, "6017", 0));
        ASSERT_EQ(1, bus.AddModule(0x0D, "7015", 0));
        ASSERT_EQ(1, bus.AddModule(0x0F, "7019", 0));
        ASSERT_EQ(1, bus.AddModule(0x10, "7005", 0));
        fd = open(bus.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
    }
    void TearDown() override {
        if (fd >= 0) close(fd);
        bus.Close();
    }
    // The reply to a command, without its carriage return.
    std::string Transact(const std::string& command) {
        std::string line = modsim::FrameLine(command, false);
        if (write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return "";
        bus.Pump(3000);
        std::string got;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end && (got.empty() || got.back() != '\r')) {
            pollfd p = {fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char c;
            if (read(fd, &c, 1) == 1) got += c;
        }
        if (!got.empty() && got.back() == '\r') got.pop_back();
        return got;
    }

    modsim::Bus bus;
    int fd = -1;
};

TEST_F(AnalogModules, EachCommandIsAnsweredInItsLayout) {
    struct Case {
        const char* command;
        const char* reply;
    } cases[] = {
        // channel enables of the voltage module: "!AAMM"
        {"$0B6", "!0BFF"},
        {"$0B57F", "!0B"},
        {"$0B6", "!0B7F"},
        {"$0B5", "?0B"},
        // a channel's type: "!AACnRtt"; the codes and channels the model has
        {"$0D8C2", "!0DC2R20"},
        {"$0D7C2R2B", "!0D"},
        {"$0D8C2", "!0DC2R2B"},
        {"$0D7C6R20", "?0D"},
        {"$0D7C2R2E", "?0D"},
        {"$0D8C6", "?0D"},
        {"$0F7C0R18", "!0F"},
        {"$0F7C0R19", "?0F"},
        {"$0F8C0", "!0FC0R18"},
        {"$107C0R6D", "?10"},
        {"$107C0R70", "!10"},
        // the thermistor module's scale, alarms and output states
        {"~10DF", "!10"},
        {"@10HI+035.50C2LO1", "!10"},
        {"@10LO-010.25C2MO5", "!10"},
        {"@10HI+35.5C2LO1", "?10"},
        {"@10HI+035,50C2LO1", "?10"},
        {"@10HI+035.50C2LO6", "?10"},
        {"@10HI+035.50C2XO1", "?10"},
        {"@10DLC3", "!10"},
        {"@10DI", "!1000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.reply, Transact(c.command)) << c.command;
    modsim::Module m;
    ASSERT_EQ(1, bus.GetModule(0x10, &m));
    EXPECT_EQ(1, m.fahrenheit);
    EXPECT_EQ(0x70, m.channelTypes[0]);
    EXPECT_EQ(0x60, m.channelTypes[1]);
    EXPECT_EQ(1, m.highAlarms[2].on);
    EXPECT_EQ(35.5, m.highAlarms[2].limit);
    EXPECT_EQ(1, m.highAlarms[2].latched);
    EXPECT_EQ(1, m.highAlarms[2].output);
    EXPECT_EQ(0, m.lowAlarms[2].latched);
    EXPECT_EQ(5, m.lowAlarms[2].output);
    EXPECT_EQ(0, m.lowAlarms[3].on);
    ASSERT_EQ(1, bus.GetModule(0x0B, &m));
    EXPECT_EQ(0x7Fu, m.channelEnable);
}

} // namespace
