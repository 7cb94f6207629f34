// COM ports: the mapping folder, raw non-blocking I/O on a pseudo-terminal,
// queue counts, purging, exclusive open, line settings, and the documented
// layouts and values of the records and constants.
#include <windows.h>

#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "temp_dir.h"

namespace {

// A pseudo-terminal whose slave is COM3 of a mapping folder of the test's own;
// the test plays the device on the master side.
class ComPort : public ::testing::Test {
  protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(0, grantpt(master_));
        ASSERT_EQ(0, unlockpt(master_));
        char name[128];
        ASSERT_EQ(0, ptsname_r(master_, name, sizeof(name)));
        slave_ = name;
        struct termios t;
        ASSERT_EQ(0, tcgetattr(master_, &t));
        cfmakeraw(&t);
        ASSERT_EQ(0, tcsetattr(master_, TCSANOW, &t));
        ASSERT_EQ(0, symlink(slave_.c_str(), dir_.file("com3").c_str()));
        setenv("TELVIO_COM_DIR", dir_.path().c_str(), 1);
    }
    void TearDown() override {
        if (master_ >= 0) close(master_);
        unsetenv("TELVIO_COM_DIR");
    }

    static HANDLE openPort(const char* name) {
        return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    }

    void deviceSends(const std::string& bytes) {
        ASSERT_EQ(static_cast<ssize_t>(bytes.size()), write(master_, bytes.data(), bytes.size()));
    }

    // What the device received, waiting until n bytes have come (or a bound).
    std::string deviceReceives(size_t n) {
        std::string got;
        for (int i = 0; i < 500 && got.size() < n; ++i) {
            struct pollfd p = {master_, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0) continue;
            char buf[256];
            ssize_t r = read(master_, buf, sizeof(buf));
            if (r > 0) got.append(buf, static_cast<size_t>(r));
        }
        return got;
    }

    // The pseudo-terminal hands bytes over asynchronously: wait until the
    // port counts n queued bytes (or a bound) and return the count.
    static DWORD waitQueued(HANDLE h, DWORD n) {
        COMSTAT st;
        DWORD errors = 0;
        for (int i = 0; i < 5000; ++i) {
            memset(&st, 0, sizeof(st));
            if (!ClearCommError(h, &errors, &st)) return 0;
            if (st.cbInQue >= n) break;
            usleep(1000);
        }
        return st.cbInQue;
    }

    TempDir dir_;
    int master_ = -1;
    std::string slave_;
};

TEST_F(ComPort, MissingPortIsFileNotFound) {
    const char* names[] = {"COM4", "\\\\.\\COM16", "COM1"};
    for (const char* n : names) {
        SetLastError(0);
        EXPECT_EQ(INVALID_HANDLE_VALUE, openPort(n)) << n;
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError()) << n;
    }
    // A link whose device has gone.
    ASSERT_EQ(0, symlink("/dev/pts/no-such-terminal", dir_.file("com5").c_str()));
    EXPECT_EQ(INVALID_HANDLE_VALUE, openPort("\\\\.\\COM5"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    // No mapping folder at all.
    unsetenv("TELVIO_COM_DIR");
    EXPECT_EQ(INVALID_HANDLE_VALUE, openPort("\\\\.\\COM3"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(ComPort, PortNamesWithAndWithoutTheDevicePrefixOpenTheSamePort) {
    const char* names[] = {"\\\\.\\COM3", "COM3", "com3", "COM3:"};
    for (const char* n : names) {
        HANDLE h = openPort(n);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << n;
        EXPECT_TRUE(CloseHandle(h)) << n;
    }
}

TEST_F(ComPort, SecondOpenIsAccessDeniedWhileTheFirstIsOpen) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, openPort("COM3"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    ASSERT_TRUE(CloseHandle(h));
    h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ComPort, ReadWithNothingQueuedReturnsTrueWithZeroBytes) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    char buf[16];
    DWORD got = 99;
    EXPECT_TRUE(ReadFile(h, buf, sizeof(buf), &got, NULL));
    EXPECT_EQ(0u, got);
    DWORD errors = 99;
    COMSTAT st;
    ASSERT_TRUE(ClearCommError(h, &errors, &st));
    EXPECT_EQ(0u, errors);
    EXPECT_EQ(0u, st.cbInQue);
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ComPort, QueuedBytesAreCountedAndReadUnchanged) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    // CR stays CR, LF stays LF, and control and 8-bit bytes pass: no
    // translation, no signals, no flow control, no stripping.
    const std::string reply("!01\r\n\x03\x11\x13\x7f\xff\x00"
                            "A",
                            12);
    deviceSends(reply);
    ASSERT_EQ(reply.size(), waitQueued(h, static_cast<DWORD>(reply.size())));

    char buf[64];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(h, buf, 5, &got, NULL)); // no more than asked
    ASSERT_EQ(5u, got);
    ASSERT_TRUE(ReadFile(h, buf + 5, sizeof(buf) - 5, &got, NULL));
    ASSERT_EQ(reply.size() - 5, got);
    EXPECT_EQ(reply, std::string(buf, reply.size()));
    EXPECT_EQ(0u, waitQueued(h, 0));
    // Nothing was echoed back to the device.
    struct pollfd p = {master_, POLLIN, 0};
    EXPECT_EQ(0, poll(&p, 1, 0));
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ComPort, WrittenBytesReachTheDeviceUnchanged) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    const std::string line("#012B6\r\n\xff\x00", 10);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, NULL));
    EXPECT_EQ(line.size(), written);
    EXPECT_EQ(line, deviceReceives(line.size()));
    EXPECT_TRUE(CloseHandle(h));
}

// The carriage returns a port took are counted for it, also over closing
// and opening it.
TEST_F(ComPort, TheLinesWrittenAreCountedByPort) {
    const unsigned long before = WinapiCommLinesWritten(3);
    const unsigned long other = WinapiCommLinesWritten(1);
    HANDLE h = openPort("COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    const std::string lines("$012\r#01\r~**", 13);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, lines.data(), static_cast<DWORD>(lines.size()), &written, NULL));
    EXPECT_EQ(lines, deviceReceives(lines.size()));
    EXPECT_EQ(before + 2, WinapiCommLinesWritten(3));
    EXPECT_TRUE(CloseHandle(h));
    h = openPort("COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    ASSERT_TRUE(WriteFile(h, "\r", 1, &written, NULL));
    EXPECT_EQ("\r", deviceReceives(1));
    EXPECT_EQ(before + 3, WinapiCommLinesWritten(3));
    EXPECT_EQ(other, WinapiCommLinesWritten(1));
    EXPECT_EQ(0u, WinapiCommLinesWritten(0));
    EXPECT_EQ(0u, WinapiCommLinesWritten(17));
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ComPort, PurgeCommEmptiesTheReceiveQueue) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    deviceSends("stale reply\r");
    ASSERT_EQ(12u, waitQueued(h, 12));
    ASSERT_TRUE(PurgeComm(h, PURGE_RXCLEAR | PURGE_RXABORT));
    COMSTAT st;
    DWORD errors = 0;
    ASSERT_TRUE(ClearCommError(h, &errors, &st));
    EXPECT_EQ(0u, st.cbInQue);
    char buf[16];
    DWORD got = 99;
    EXPECT_TRUE(ReadFile(h, buf, sizeof(buf), &got, NULL));
    EXPECT_EQ(0u, got);
    EXPECT_TRUE(PurgeComm(h, PURGE_TXCLEAR | PURGE_TXABORT));
    EXPECT_FALSE(PurgeComm(h, 0x10));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_TRUE(CloseHandle(h));
}

struct LineSetting {
    DWORD baud;
    speed_t speed;
    BYTE byteSize;
    BYTE parity;
    BYTE stopBits;
};

const LineSetting kLineSettings[] = {
    {CBR_1200, B1200, 8, NOPARITY, ONESTOPBIT},     {CBR_2400, B2400, 7, EVENPARITY, ONESTOPBIT},
    {CBR_4800, B4800, 7, ODDPARITY, TWOSTOPBITS},   {CBR_9600, B9600, 8, NOPARITY, TWOSTOPBITS},
    {CBR_19200, B19200, 8, EVENPARITY, ONESTOPBIT}, {CBR_38400, B38400, 8, ODDPARITY, ONESTOPBIT},
    {CBR_57600, B57600, 8, NOPARITY, ONESTOPBIT},   {CBR_115200, B115200, 8, NOPARITY, ONESTOPBIT},
};

TEST_F(ComPort, SetCommStateReachesTheLineAndGetCommStateReportsIt) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    int probe = open(slave_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    for (const LineSetting& s : kLineSettings) {
        DCB dcb;
        memset(&dcb, 0, sizeof(dcb));
        ASSERT_TRUE(GetCommState(h, &dcb));
        dcb.BaudRate = s.baud;
        dcb.ByteSize = s.byteSize;
        dcb.Parity = s.parity;
        dcb.StopBits = s.stopBits;
        ASSERT_TRUE(SetCommState(h, &dcb)) << s.baud;
        DCB back;
        memset(&back, 0xAA, sizeof(back));
        ASSERT_TRUE(GetCommState(h, &back));
        EXPECT_EQ(s.baud, back.BaudRate);
        EXPECT_EQ(s.byteSize, back.ByteSize);
        EXPECT_EQ(s.parity, back.Parity);
        EXPECT_EQ(s.stopBits, back.StopBits);
        if (probe < 0) continue; // another user may not look at an exclusive line
        struct termios t;
        ASSERT_EQ(0, tcgetattr(probe, &t));
        EXPECT_EQ(s.speed, cfgetospeed(&t)) << s.baud;
        // A pseudo-terminal always keeps 8 data bits without parity; the
        // port still reports what was set.
        EXPECT_EQ(s.stopBits == TWOSTOPBITS, (t.c_cflag & CSTOPB) != 0) << s.baud;
        EXPECT_EQ(0u, t.c_lflag & (ICANON | ECHO | ISIG));
        EXPECT_EQ(0u, t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
        EXPECT_EQ(0u, t.c_oflag & OPOST);
        EXPECT_EQ(0, t.c_cc[VMIN]);
        EXPECT_EQ(0, t.c_cc[VTIME]);
    }
    if (probe >= 0) close(probe);
    EXPECT_TRUE(CloseHandle(h));
}

// The flow-control settings a driver asks for: a pseudo-terminal has no
// modem lines, and the settings are still accepted and reported back.
TEST_F(ComPort, FlowControlSettingsAreAcceptedOnAPseudoTerminal) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DCB dcb;
    ASSERT_TRUE(GetCommState(h, &dcb));
    dcb.fOutxCtsFlow = 1;
    dcb.fOutxDsrFlow = 1;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.XonLim = 10;
    dcb.XoffLim = 10;
    ASSERT_TRUE(SetCommState(h, &dcb));
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 12 * 4096 - 500;
    dcb.XoffLim = 200;
    ASSERT_TRUE(SetCommState(h, &dcb));
    DCB back;
    ASSERT_TRUE(GetCommState(h, &back));
    EXPECT_EQ(1u, back.fOutX);
    EXPECT_EQ(1u, back.fInX);
    EXPECT_EQ(static_cast<DWORD>(DTR_CONTROL_DISABLE), back.fDtrControl);
    EXPECT_EQ(12 * 4096 - 500, back.XonLim);
    EXPECT_EQ(200, back.XoffLim);
    EXPECT_EQ(0x11, back.XonChar);
    EXPECT_EQ(0x13, back.XoffChar);
    const DWORD escapes[] = {SETDTR, CLRDTR, SETRTS, CLRRTS, SETXON, SETBREAK, CLRBREAK};
    for (DWORD e : escapes)
        EXPECT_TRUE(EscapeCommFunction(h, e)) << e;
    EXPECT_TRUE(SetupComm(h, 12 * 4096, 512));
    COMMTIMEOUTS to = {0xFFFFFFFFul, 0, 0, 0, 0};
    EXPECT_TRUE(SetCommTimeouts(h, &to));
    COMMTIMEOUTS toBack;
    memset(&toBack, 0, sizeof(toBack));
    EXPECT_TRUE(GetCommTimeouts(h, &toBack));
    EXPECT_EQ(0, memcmp(&to, &toBack, sizeof(to)));
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ComPort, SetCommStateRefusesWhatNoLineCanDo) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DCB good;
    ASSERT_TRUE(GetCommState(h, &good));
    good.BaudRate = CBR_9600;
    ASSERT_TRUE(SetCommState(h, &good));
    struct Bad {
        const char* what;
        DCB dcb;
    };
    std::vector<Bad> bad(5, Bad{"", good});
    bad[0].what = "baud";
    bad[0].dcb.BaudRate = 12345;
    bad[1].what = "9 bits";
    bad[1].dcb.ByteSize = 9;
    bad[2].what = "parity 5";
    bad[2].dcb.Parity = 5;
    bad[3].what = "stop bits 3";
    bad[3].dcb.StopBits = 3;
    bad[4].what = "XON equals XOFF";
    bad[4].dcb.fOutX = 1;
    bad[4].dcb.XonChar = bad[4].dcb.XoffChar = 0x11;
    for (Bad& b : bad) {
        SetLastError(0);
        EXPECT_FALSE(SetCommState(h, &b.dcb)) << b.what;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError()) << b.what;
    }
    DCB back;
    ASSERT_TRUE(GetCommState(h, &back));
    EXPECT_EQ(static_cast<DWORD>(CBR_9600), back.BaudRate); // the last good setting stays
    EXPECT_TRUE(CloseHandle(h));
}

// Writing to a device that takes nothing more returns within about a second:
// with the count the device took, or failing when it took none.
TEST_F(ComPort, WriteToAStalledDeviceGivesUpWithTheCountTaken) {
    HANDLE h = openPort("\\\\.\\COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    std::vector<char> big(1 << 20, 'x');
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, big.data(), static_cast<DWORD>(big.size()), &written, NULL));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
    SetLastError(0);
    EXPECT_FALSE(WriteFile(h, big.data(), static_cast<DWORD>(big.size()), &written, NULL));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), GetLastError());
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(ComPort, CommFunctionsRefuseHandlesThatAreNoPort) {
    HANDLE file = CreateFileA(dir_.file("f.txt").c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    HANDLE bad[] = {file, INVALID_HANDLE_VALUE, NULL};
    for (HANDLE b : bad) {
        DCB dcb;
        COMSTAT st;
        DWORD errors;
        SetLastError(0);
        EXPECT_FALSE(GetCommState(b, &dcb));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
        EXPECT_FALSE(ClearCommError(b, &errors, &st));
        EXPECT_FALSE(PurgeComm(b, PURGE_RXCLEAR));
        EXPECT_FALSE(SetupComm(b, 4096, 512));
    }
    EXPECT_TRUE(CloseHandle(file));
    // COM ports open existing devices only.
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("\\\\.\\COM3", GENERIC_READ | GENERIC_WRITE, 0,
                                                NULL, CREATE_ALWAYS, 0, NULL));
}

TEST(CommRecords, DcbBitFieldsAndComstatFollowTheDocumentedLayout) {
    struct Bit {
        void (*set)(DCB*);
        DWORD word;
    };
    const Bit bits[] = {
        {[](DCB* d) { d->fBinary = 1; }, 0x00000001},
        {[](DCB* d) { d->fParity = 1; }, 0x00000002},
        {[](DCB* d) { d->fOutxCtsFlow = 1; }, 0x00000004},
        {[](DCB* d) { d->fOutxDsrFlow = 1; }, 0x00000008},
        {[](DCB* d) { d->fDtrControl = DTR_CONTROL_HANDSHAKE; }, 0x00000020},
        {[](DCB* d) { d->fDsrSensitivity = 1; }, 0x00000040},
        {[](DCB* d) { d->fTXContinueOnXoff = 1; }, 0x00000080},
        {[](DCB* d) { d->fOutX = 1; }, 0x00000100},
        {[](DCB* d) { d->fInX = 1; }, 0x00000200},
        {[](DCB* d) { d->fErrorChar = 1; }, 0x00000400},
        {[](DCB* d) { d->fNull = 1; }, 0x00000800},
        {[](DCB* d) { d->fRtsControl = RTS_CONTROL_TOGGLE; }, 0x00003000},
        {[](DCB* d) { d->fAbortOnError = 1; }, 0x00004000},
    };
    for (const Bit& b : bits) {
        DCB d;
        memset(&d, 0, sizeof(d));
        b.set(&d);
        DWORD word;
        memcpy(&word, reinterpret_cast<const char*>(&d) + 8, sizeof(word));
        EXPECT_EQ(b.word, word);
    }
    COMSTAT st;
    memset(&st, 0, sizeof(st));
    st.fTxim = 1;
    DWORD word;
    memcpy(&word, &st, sizeof(word));
    EXPECT_EQ(0x40u, word);
}

TEST(CommRecords, ConstantsHaveTheirDocumentedValues) {
    struct Value {
        const char* name;
        unsigned long value, documented;
    };
    const Value values[] = {
        {"GENERIC_READ", GENERIC_READ, 0x80000000ul},
        {"GENERIC_WRITE", GENERIC_WRITE, 0x40000000ul},
        {"OPEN_EXISTING", OPEN_EXISTING, 3},
        {"CREATE_ALWAYS", CREATE_ALWAYS, 2},
        {"FILE_ATTRIBUTE_NORMAL", FILE_ATTRIBUTE_NORMAL, 0x80},
        {"CBR_9600", CBR_9600, 9600},
        {"CBR_115200", CBR_115200, 115200},
        {"EVENPARITY", EVENPARITY, 2},
        {"ODDPARITY", ODDPARITY, 1},
        {"TWOSTOPBITS", TWOSTOPBITS, 2},
        {"DTR_CONTROL_HANDSHAKE", DTR_CONTROL_HANDSHAKE, 2},
        {"RTS_CONTROL_HANDSHAKE", RTS_CONTROL_HANDSHAKE, 2},
        {"PURGE_TXCLEAR", PURGE_TXCLEAR, 4},
        {"PURGE_RXCLEAR", PURGE_RXCLEAR, 8},
        {"CE_RXOVER", CE_RXOVER, 1},
        {"CE_OVERRUN", CE_OVERRUN, 2},
        {"CE_RXPARITY", CE_RXPARITY, 4},
        {"CE_FRAME", CE_FRAME, 8},
        {"CE_BREAK", CE_BREAK, 0x10},
        {"SETDTR", SETDTR, 5},
        {"CLRDTR", CLRDTR, 6},
    };
    for (const Value& v : values)
        EXPECT_EQ(v.documented, v.value) << v.name;
}

} // namespace
