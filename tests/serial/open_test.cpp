// Opening and closing COM ports: the port table row decides the line
// settings; a port without a row or without a device is shown to the user.
#include "serial_fixture.h"

#include <vector>

namespace {

using serialtest::RawPort;
using serialtest::Row;
using serialtest::SerialTest;

class Open : public SerialTest {};

TEST_F(Open, APortWithoutARowIsNotConfigured) {
    EXPECT_EQ(0, OpenCom(7, "Block 1"));
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Block 1", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Port COM7 is not configured.", hostsim::Warnings()[0].text);
}

TEST_F(Open, APortWithoutADeviceCannotBeConfigured) {
    ComSettings r = Row(9);
    ASSERT_EQ(1, PortTableMerge(&r));
    EXPECT_EQ(0, OpenCom(9, "Block 2"));
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Block 2", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Error while configuration the serial port 'COM9'", hostsim::Warnings()[0].text);
    char reply[COM_REPLY_SIZE];
    EXPECT_EQ(COM_FAILED, ReadCom(9, reply, COM_REPLY_SIZE, 0));
    EXPECT_EQ(0, WriteCom(9, "#01", 0));
}

TEST_F(Open, TheRowGivesTheLineSettings) {
    struct {
        ComSettings row;
        DWORD baud;
        BYTE bits, stop, parity;
    } cases[] = {
        {Row(3, 5, 7, 2, 2), CBR_38400, 7, TWOSTOPBITS, EVENPARITY},
        {Row(3, 0, 8, 1, 1), CBR_1200, 8, ONESTOPBIT, ODDPARITY},
        {Row(3, 3, 8, 1, 0), CBR_9600, 8, ONESTOPBIT, NOPARITY},
        {Row(3, 4, 8, 1, 0), CBR_19200, 8, ONESTOPBIT, NOPARITY},
    };
    for (const auto& c : cases) {
        DCB dcb;
        memset(&dcb, 0, sizeof dcb);
        ApplyComSettings(&dcb, &c.row);
        EXPECT_EQ(c.baud, dcb.BaudRate);
        EXPECT_EQ(c.bits, dcb.ByteSize);
        EXPECT_EQ(c.stop, dcb.StopBits);
        EXPECT_EQ(c.parity, dcb.Parity);
    }
    EXPECT_TRUE(hostsim::InternalErrors().empty());
}

TEST_F(Open, ValuesOutsideTheTablesKeepThePortsSettings) {
    DCB dcb;
    memset(&dcb, 0, sizeof dcb);
    dcb.BaudRate = 4711;
    dcb.StopBits = ONE5STOPBITS;
    dcb.Parity = MARKPARITY;
    ComSettings odd = Row(3, 6, 8, 3, 3);
    ApplyComSettings(&dcb, &odd);
    EXPECT_EQ(4711u, dcb.BaudRate);
    EXPECT_EQ(ONE5STOPBITS, dcb.StopBits);
    EXPECT_EQ(MARKPARITY, dcb.Parity);
    const std::vector<std::string>& errors = hostsim::InternalErrors();
    ASSERT_EQ(3u, errors.size());
    EXPECT_EQ(0u, errors[0].find("Unexpected Baud Rate (sercomm:"));
    EXPECT_EQ(0u, errors[1].find("Unexpected Stop Bit Param (sercomm:"));
    EXPECT_EQ(0u, errors[2].find("Unexpected Parity Param (sercomm:"));
}

TEST_F(Open, FlowControlModes) {
    struct {
        int mode;
        int cts, dsr, xon;
        int dtr, rts;
        WORD xonLim, xoffLim;
    } cases[] = {
        {FLOW_NONE, 0, 0, 0, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, 10, 10},
        {FLOW_HANDSHAKE, 1, 1, 0, DTR_CONTROL_HANDSHAKE, RTS_CONTROL_HANDSHAKE, 10, 10},
        {FLOW_XONXOFF, 0, 0, 1, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, 3 * 4096 - 500, 200},
        {FLOW_DTR, 0, 0, 0, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE, 10, 10},
        {FLOW_RTS, 0, 0, 0, DTR_CONTROL_DISABLE, RTS_CONTROL_ENABLE, 10, 10},
        {FLOW_DTR_RTS, 0, 0, 0, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE, 10, 10},
    };
    ComSettings row = Row(1, 3, 8, 1, 0, 3);
    for (const auto& c : cases) {
        FlowControl = c.mode;
        DCB dcb;
        memset(&dcb, 0xFF, sizeof dcb);
        ApplyComSettings(&dcb, &row);
        EXPECT_EQ(c.cts, static_cast<int>(dcb.fOutxCtsFlow)) << c.mode;
        EXPECT_EQ(c.dsr, static_cast<int>(dcb.fOutxDsrFlow)) << c.mode;
        EXPECT_EQ(c.xon, static_cast<int>(dcb.fOutX)) << c.mode;
        EXPECT_EQ(c.xon, static_cast<int>(dcb.fInX)) << c.mode;
        EXPECT_EQ(c.dtr, static_cast<int>(dcb.fDtrControl)) << c.mode;
        EXPECT_EQ(c.rts, static_cast<int>(dcb.fRtsControl)) << c.mode;
        EXPECT_EQ(c.xonLim, dcb.XonLim) << c.mode;
        EXPECT_EQ(c.xoffLim, dcb.XoffLim) << c.mode;
        if (c.xon) {
            EXPECT_EQ(0x11, dcb.XonChar);
            EXPECT_EQ(0x13, dcb.XoffChar);
        }
    }
}

TEST_F(Open, TheOpenPortTakesTheBaudRate) {
    RawPort raw;
    ASSERT_TRUE(raw.Open(ComLink(3)));
    ComSettings row = Row(3, 5);
    ASSERT_EQ(1, PortTableMerge(&row));
    ASSERT_EQ(1, OpenCom(3, "Test"));
    termios t = raw.Settings();
    EXPECT_EQ(B38400, cfgetospeed(&t));
    EXPECT_TRUE(hostsim::Warnings().empty());
}

TEST_F(Open, AnOpenPortIsLeftAsItIs) {
    RawPort raw;
    OpenRawPort(&raw, 4);
    // New settings in the table are not applied to the open port.
    ComSettings faster = Row(4, 5);
    ASSERT_EQ(1, PortTableMerge(&faster));
    EXPECT_EQ(1, OpenCom(4, "Test"));
    termios t = raw.Settings();
    EXPECT_EQ(B9600, cfgetospeed(&t));
    EXPECT_EQ(1, CloseCom(4));
    EXPECT_EQ(1, CloseCom(4));
    EXPECT_EQ(0, WriteCom(4, "#01", 0));
    // Closed, it opens again with the table's settings.
    EXPECT_EQ(1, OpenCom(4, "Test"));
    t = raw.Settings();
    EXPECT_EQ(B38400, cfgetospeed(&t));
}

TEST_F(Open, ClosingAPortThatIsNotOpen) {
    EXPECT_EQ(1, CloseCom(5));
    EXPECT_EQ(1, CloseCom(0));
    EXPECT_EQ(1, CloseCom(99));
}

} // namespace
