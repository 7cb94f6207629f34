// What the serial tests share: a temporary folder that is the host's folder
// and the COM-port folder, the serial code bound to the stand-in host, and a
// raw pseudo-terminal whose far end the test writes and reads itself.
#ifndef TESTS_SERIAL_FIXTURE_H
#define TESTS_SERIAL_FIXTURE_H

#include "../common/remove_tree.h"
#include "host/driver.h"
#include "host/host.h"
#include "hostsim/hostsim.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/sercomm.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace serialtest {

inline std::string MakeTempDir() {
    char tmpl[] = "/tmp/telvio-serial-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "";
}

inline void CopyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// One family flag set, as start-up leaves them.
inline void SelectFamily(int* flag) {
    FAMILY_ND = FAMILY_XX01 = FAMILY_XX03 = FAMILY_XX04 = FAMILY_XX05 = FAMILY_XX06 = FAMILY_TELV =
        0;
    *flag = 1;
}

inline ComSettings Row(int port, int baud = 3, int data = 8, int stop = 1, int parity = 0,
                       int buffer = 1) {
    ComSettings r;
    memset(&r, 0, sizeof r);
    r.Port_Number = port;
    r.Baud_Rate = baud;
    r.Data_Bits = data;
    r.Stop_Bits = stop;
    r.Parity = parity;
    r.RS232_Buffer = buffer;
    return r;
}

// A pseudo-terminal in raw mode whose slave is linked as COMn: the test sends
// exactly the bytes a module would and reads exactly what the driver wrote.
class RawPort {
  public:
    ~RawPort() { Close(); }
    int Open(const std::string& link) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return 0;
        const char* name = ptsname(master_);
        if (name == nullptr) return 0;
        // A descriptor of our own on the slave keeps it raw before the driver
        // opens it and lets the test see its input queue.
        slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (slave_ < 0) return 0;
        termios t;
        if (tcgetattr(slave_, &t) != 0) return 0;
        cfmakeraw(&t);
        if (tcsetattr(slave_, TCSANOW, &t) != 0) return 0;
        unlink(link.c_str());
        if (symlink(name, link.c_str()) != 0) return 0;
        link_ = link;
        return 1;
    }
    void Close() {
        if (!link_.empty()) unlink(link_.c_str());
        link_.clear();
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
        slave_ = master_ = -1;
    }
    // Bytes as the module sends them; returns once they are queued for the
    // driver.
    int Send(const std::string& bytes) {
        if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            return 0;
        return WaitQueued(static_cast<int>(bytes.size()));
    }
    // Waits until the slave's input queue holds at least `count` bytes.
    int WaitQueued(int count) {
        for (int i = 0; i < 3000; i++) {
            int queued = 0;
            if (ioctl(slave_, FIONREAD, &queued) == 0 && queued >= count) return 1;
            usleep(1000);
        }
        return 0;
    }
    // What the driver wrote: waits for `want` bytes (3 s at most).
    std::string Received(size_t want) {
        std::string got;
        for (int i = 0; i < 300 && got.size() < want; i++) {
            pollfd p = {master_, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0) continue;
            char buf[256];
            ssize_t n = read(master_, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }
    // The line settings the driver gave the port.
    termios Settings() const {
        termios t;
        memset(&t, 0, sizeof t);
        tcgetattr(slave_, &t);
        return t;
    }
    // Everything the driver wrote so far, without waiting.
    std::string Drain() {
        std::string got;
        for (;;) {
            pollfd p = {master_, POLLIN, 0};
            if (poll(&p, 1, 0) <= 0) break;
            char buf[256];
            ssize_t n = read(master_, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string link_;
};

// The serial code bound to the stand-in host. A copy of the plug-in in the
// test folder supplies the resources (strings, dialog templates) and stands
// for the host's module, so the driver INI file lands in the test folder.
class SerialTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiUseRealClock();
        dir = MakeTempDir();
        ASSERT_FALSE(dir.empty());
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetExeFileDir((dir + "/").c_str());
        std::string copy = dir + "/Telvio.so";
        CopyFile(TELVIO_PLUGIN, copy);
        module = LoadLibraryA(copy.c_str());
        ASSERT_NE(nullptr, module);
        hostsim::SetVariableValue("hInstVarnix",
                                  static_cast<DWORD>(reinterpret_cast<uintptr_t>(module)));
        ASSERT_EQ(1, ResolveHostInterface(hostsim::MainWindow()));
        hInstDriver = module;
        hwndHost = hostsim::MainWindow();
        SelectFamily(&FAMILY_TELV);
        setenv("TELVIO_COM_DIR", dir.c_str(), 1);
        NumComPorts = 0;
        FlowControl = 0;
    }
    void TearDown() override {
        WinapiUseRealClock();
        for (int port = 1; port <= MAX_COM_PORTS; port++)
            CloseCom(port);
        MonitorStop();
        if (module) FreeLibrary(module);
        RemoveTree(dir);
    }
    std::string ComLink(int port) const { return dir + "/com" + std::to_string(port); }
    std::string IniPath() const { return dir + "/XX02.ini"; }
    // A raw port configured in the table and opened by the driver.
    void OpenRawPort(RawPort* raw, int port) {
        ASSERT_TRUE(raw->Open(ComLink(port)));
        ComSettings r = Row(port);
        ASSERT_EQ(1, PortTableMerge(&r));
        ASSERT_EQ(1, OpenCom(port, "Test"));
    }

    std::string dir;
    HMODULE module = nullptr;
};

} // namespace serialtest

#endif
