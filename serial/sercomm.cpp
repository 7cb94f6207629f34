// COM ports, framing, pacing and the two ways of reading a reply line.
#include "serial/sercomm.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "host/ticks.h"
#include "serial/monitor.h"
#include "serial/ports.h"

#include "resource.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kSource[] = "sercomm";

// Driver-wide port state; slot 0 stays empty.
int portOpen[MAX_COM_PORTS + 1];
HANDLE portHandle[MAX_COM_PORTS + 1];
int firstOpen = 1;

// Communication errors collected by ComHandleRead, one word for all ports.
DWORD savedErrors;

// Pacing: one for all ports, on the fine clock.
FineTime lastWrite;
int firstWrite = 1;
int delayNoted;

// Bytes of a reply line received so far by ReadCom, per port: a line cut
// short on one port is never joined to a reply on another.
char accumulators[MAX_COM_PORTS + 1][COM_REPLY_SIZE];
int accumulatedBytes[MAX_COM_PORTS + 1];

int ValidPort(int port) {
    return port >= 1 && port <= MAX_COM_PORTS;
}

int IsOpen(int port) {
    return ValidPort(port) && portOpen[port];
}

void ShowPortWarning(const char* caption, UINT id, const char* argument, int number) {
    char format[128];
    if (LoadStringA(hInstDriver, id, format, sizeof format) <= 0) format[0] = 0;
    char text[192];
    if (argument) {
        snprintf(text, sizeof text, format, argument);
    } else {
        snprintf(text, sizeof text, format, number);
    }
    ShowWarning(caption ? caption : "", text);
}

// Pause kept between two writes, by family, and its monitor note.
FineTime WritePause(const char** note) {
    if (FAMILY_XX03 || FAMILY_TELV) {
        *note = "Delayed [XX03]";
        return 10 * FINE_PER_MS;
    }
    if (FAMILY_XX01) {
        *note = "Delayed [XX01]";
        return 50 * FINE_PER_MS;
    }
    *note = nullptr;
    return 0;
}

// The blocking form of the pause, for the queries of a start and the module
// test: waits in steps of a millisecond.
void KeepPace() {
    while (!ComPaceReady())
        Sleep(1);
}

INT_PTR CALLBACK ProgrammingDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: CenterDialog(dialog, nullptr); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// The programming wait of the family "XX01": the module stores a new
// configuration before it answers.
void ProgrammingWait(int waitMs) {
    char note[32];
    snprintf(note, sizeof note, "Waiting %d msec", waitMs);
    MonitorNote(note);
    HWND dialog =
        CreateDialogParamA(hInstDriver, "DLG_PROGRAMMING", nullptr, ProgrammingDlgProc, 0);
    WaitMilliseconds(static_cast<DWORD>(waitMs));
    if (dialog && IsWindow(dialog)) DestroyWindow(dialog);
}

} // namespace

void ApplyComSettings(DCB* dcb, const ComSettings* row) {
    static const DWORD bauds[] = {CBR_1200, CBR_2400, CBR_4800, CBR_9600, CBR_19200, CBR_38400};
    if (row->Baud_Rate >= 0 && row->Baud_Rate <= 5) {
        dcb->BaudRate = bauds[row->Baud_Rate];
    } else {
        ShowInternalError("Unexpected Baud Rate", kSource, __LINE__);
    }
    dcb->ByteSize = static_cast<BYTE>(row->Data_Bits);
    if (row->Stop_Bits == 1) {
        dcb->StopBits = ONESTOPBIT;
    } else if (row->Stop_Bits == 2) {
        dcb->StopBits = TWOSTOPBITS;
    } else {
        ShowInternalError("Unexpected Stop Bit Param", kSource, __LINE__);
    }
    if (row->Parity == 0) {
        dcb->Parity = NOPARITY;
    } else if (row->Parity == 1) {
        dcb->Parity = ODDPARITY;
    } else if (row->Parity == 2) {
        dcb->Parity = EVENPARITY;
    } else {
        ShowInternalError("Unexpected Parity Param", kSource, __LINE__);
    }

    int flow = FlowControl;
    dcb->fOutxCtsFlow = flow == FLOW_HANDSHAKE;
    dcb->fOutxDsrFlow = flow == FLOW_HANDSHAKE;
    dcb->fOutX = flow == FLOW_XONXOFF;
    dcb->fInX = flow == FLOW_XONXOFF;
    if (flow == FLOW_HANDSHAKE) {
        dcb->fDtrControl = DTR_CONTROL_HANDSHAKE;
    } else if (flow == FLOW_DTR || flow == FLOW_DTR_RTS) {
        dcb->fDtrControl = DTR_CONTROL_ENABLE;
    } else {
        dcb->fDtrControl = DTR_CONTROL_DISABLE;
    }
    if (flow == FLOW_HANDSHAKE) {
        dcb->fRtsControl = RTS_CONTROL_HANDSHAKE;
    } else if (flow == FLOW_RTS || flow == FLOW_DTR_RTS) {
        dcb->fRtsControl = RTS_CONTROL_ENABLE;
    } else {
        dcb->fRtsControl = RTS_CONTROL_DISABLE;
    }
    if (flow == FLOW_XONXOFF) {
        dcb->XonChar = 0x11;
        dcb->XoffChar = 0x13;
        // Unsigned: a buffer a worksheet brought may be any number.
        dcb->XonLim = static_cast<WORD>(static_cast<DWORD>(row->RS232_Buffer) * 4096u - 500u);
        dcb->XoffLim = 200;
    } else {
        dcb->XonLim = 10;
        dcb->XoffLim = 10;
    }
}

HANDLE ComHandleOpen(const char* portName, DWORD inQueue, DWORD outQueue) {
    char device[32];
    int n = snprintf(device, sizeof device, "\\\\.\\%s", portName);
    if (n < 0 || n >= static_cast<int>(sizeof device)) return INVALID_HANDLE_VALUE;
    char* colon = strrchr(device, ':');
    if (colon) *colon = 0;
    HANDLE h =
        CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return h;
    SetupComm(h, inQueue, outQueue);
    return h;
}

void ComHandleClose(HANDLE handle) {
    CloseHandle(handle);
}

int ComHandleRead(HANDLE handle, char* buffer, int wanted) {
    if (savedErrors != 0 || wanted <= 0) return 0;
    COMSTAT status;
    memset(&status, 0, sizeof status);
    ClearCommError(handle, &savedErrors, &status);
    if (savedErrors != 0 || status.cbInQue == 0) return 0;
    DWORD want = static_cast<DWORD>(wanted);
    if (status.cbInQue < want) want = status.cbInQue;
    DWORD got = 0;
    if (!ReadFile(handle, buffer, want, &got, nullptr)) return 0;
    return static_cast<int>(got);
}

int ComHandleWrite(HANDLE handle, const char* bytes, int count) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes, static_cast<DWORD>(count), &written, nullptr)) return 0;
    return static_cast<int>(written);
}

void ComHandlePurge(HANDLE handle, int receive) {
    PurgeComm(handle, receive ? PURGE_RXCLEAR : PURGE_TXCLEAR);
}

DWORD ComHandleErrors(HANDLE handle, COMSTAT* status) {
    DWORD errors = 0;
    memset(status, 0, sizeof *status);
    ClearCommError(handle, &errors, status);
    errors |= savedErrors;
    savedErrors = 0;
    return errors;
}

unsigned LineChecksum(const char* text, int length) {
    unsigned sum = 0;
    for (int i = 0; i < length; i++)
        sum += static_cast<unsigned char>(text[i]);
    return sum & 0xFF;
}

int FrameLine(char* line, const char* text, int checksum) {
    int length = static_cast<int>(strlen(text));
    int n;
    if (checksum) {
        n = snprintf(line, COM_LINE_SIZE, "%s%02X\r", text, LineChecksum(text, length));
    } else {
        n = snprintf(line, COM_LINE_SIZE, "%s\r", text);
    }
    if (n < 0 || n >= COM_LINE_SIZE) {
        line[0] = 0;
        return 0;
    }
    return n;
}

int CheckLineChecksum(char* line, int length, int checksum) {
    if (checksum) {
        // A line too short to hold the two digits has no checksum to match.
        if (length < 2) return COM_CHECKSUM;
        int received = ParseHexByte(line + length - 2);
        length -= 2;
        line[length] = 0;
        if (static_cast<unsigned>(received) != LineChecksum(line, length)) return COM_CHECKSUM;
    }
    // The text ends at its length, not at a NUL inside it: a reply cut there
    // would be read as a shorter, well-formed one.
    if (memchr(line, 0, static_cast<size_t>(length)) != nullptr) line[0] = 0;
    return COM_OK;
}

int ReplyMatches(const char* reply, int result, char expected) {
    if (result == COM_INCOMPLETE) return 1;
    if (result != COM_OK || reply == nullptr) return 0;
    return reply[0] == expected;
}

namespace {

// Opens the port with the settings of its table row; with `quiet` a failure
// is only answered, not shown.
int OpenPort(int port, const char* caption, int quiet) {
    const ComSettings* row = PortTableFind(port);
    if (row == nullptr) {
        if (!quiet) ShowPortWarning(caption, IDS_PORT_NOT_CONFIGURED, nullptr, port);
        return 0;
    }
    if (firstOpen) {
        firstOpen = 0;
        for (int i = 0; i <= MAX_COM_PORTS; i++)
            portOpen[i] = 0;
    }
    if (portOpen[port]) return 1;

    char name[8];
    snprintf(name, sizeof name, "COM%i", port);
    HANDLE h = ComHandleOpen(name, static_cast<DWORD>(row->RS232_Buffer) * 4096, 512);
    portHandle[port] = h;
    if (h == INVALID_HANDLE_VALUE) {
        if (!quiet) ShowPortWarning(caption, IDS_PORT_CONFIG_ERROR, name, 0);
        return 0;
    }
    DCB dcb;
    memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    int ok = GetCommState(h, &dcb) != 0;
    if (ok) {
        ApplyComSettings(&dcb, row);
        ok = SetCommState(h, &dcb) != 0;
    }
    if (!ok) {
        ComHandlePurge(h, 0);
        ComHandlePurge(h, 1);
        ComHandleClose(h);
        if (!quiet) ShowPortWarning(caption, IDS_PORT_CONFIG_ERROR, name, 0);
        return 0;
    }
    portOpen[port] = 1;
    return 1;
}

} // namespace

int OpenCom(int port, const char* caption) {
    return OpenPort(port, caption, 0);
}

int ReopenCom(int port) {
    if (!ValidPort(port)) return 0;
    CloseCom(port);
    accumulatedBytes[port] = 0;
    return OpenPort(port, nullptr, 1);
}

int CloseCom(int port) {
    if (IsOpen(port)) {
        portOpen[port] = 0;
        ComHandleClose(portHandle[port]);
    }
    return 1;
}

namespace {

// Frames the text, keeps the pause and writes the line; with `discard`, what
// the port holds is dropped after the pause, right before the write, so
// nothing that came before the command is read as its reply.
int WriteLine(int port, const char* text, int checksum, int discard) {
    if (!IsOpen(port) || text == nullptr) return 0;
    char line[COM_LINE_SIZE];
    int length = FrameLine(line, text, checksum);
    if (length == 0) {
        // A command that does not fit its line is refused, never sent cut.
        ShowInternalError("WriteCom: command too long", kSource, __LINE__);
        return 0;
    }
    KeepPace();
    if (discard) ComDiscardReply(port);
    ComPaceWritten();
    if (MonitorIsOn()) {
        MonitorLogLine(port, 1, line);
        OutputDebugStringA(line);
        OutputDebugStringA("\n");
    }
    return ComHandleWrite(portHandle[port], line, length) == length;
}

} // namespace

int WriteCom(int port, const char* text, int checksum) {
    return WriteLine(port, text, checksum, 0);
}

FineTime ComPaceLeft() {
    const char* note;
    FineTime pause = WritePause(&note);
    if (firstWrite || pause == 0) return 0;
    return FineLeft(&lastWrite, pause);
}

int ComPaceReady() {
    if (ComPaceLeft() == 0) return 1;
    const char* note;
    WritePause(&note);
    if (!delayNoted && note && MonitorIsOn()) MonitorNote(note);
    delayNoted = 1;
    return 0;
}

void ComPaceWritten() {
    firstWrite = 0;
    delayNoted = 0;
    lastWrite = FineNow();
}

int ReadCom(int port, char* reply, int maxlen, int checksum) {
    if (!IsOpen(port) || reply == nullptr || maxlen <= 0) return COM_FAILED;
    if (maxlen > COM_REPLY_SIZE) maxlen = COM_REPLY_SIZE;
    HANDLE h = portHandle[port];
    char* accumulator = accumulators[port];
    int& accumulated = accumulatedBytes[port];
    COMSTAT status;
    ComHandleErrors(h, &status);
    if (status.cbInQue > 0) {
        if (static_cast<DWORD>(accumulated) + status.cbInQue > static_cast<DWORD>(maxlen)) {
            ShowInternalError("ReadCom: > maxlen", kSource, __LINE__);
            accumulated = 0;
            return COM_FAILED;
        }
        accumulated +=
            ComHandleRead(h, accumulator + accumulated, static_cast<int>(status.cbInQue));
    }
    // A line may also be whole among the bytes held behind the one before.
    char* cr = static_cast<char*>(memchr(accumulator, '\r', static_cast<size_t>(accumulated)));
    if (cr == nullptr) return COM_INCOMPLETE;

    // The line ends at the carriage return. What came after it stays
    // accumulated: the request engine takes it for a second line and does
    // not trust the first (ComPendingBytes), and the next request drops it.
    int length = static_cast<int>(cr - accumulator);
    memcpy(reply, accumulator, static_cast<size_t>(length));
    reply[length] = 0;
    int rest = accumulated - length - 1;
    memmove(accumulator, cr + 1, static_cast<size_t>(rest));
    accumulated = rest;
    if (MonitorIsOn()) MonitorLogLine(port, 0, reply);
    return CheckLineChecksum(reply, length, checksum);
}

void ComDiscardReply(int port) {
    if (!ValidPort(port)) return;
    accumulatedBytes[port] = 0;
    if (IsOpen(port)) ComHandlePurge(portHandle[port], 1);
}

int ComPendingBytes(int port) {
    if (!ValidPort(port)) return 0;
    int pending = accumulatedBytes[port];
    if (IsOpen(port)) {
        COMSTAT status;
        ComHandleErrors(portHandle[port], &status);
        pending += static_cast<int>(status.cbInQue);
    }
    return pending;
}

FineTime ComCharTime(int port) {
    static const int bauds[] = {1200, 2400, 4800, 9600, 19200, 38400};
    const ComSettings* row = PortTableFind(port);
    int baud = 38400;
    int bits = 10;
    if (row) {
        if (row->Baud_Rate >= 0 && row->Baud_Rate <= 5) baud = bauds[row->Baud_Rate];
        int data = row->Data_Bits >= 5 && row->Data_Bits <= 8 ? row->Data_Bits : 7;
        int parity = row->Parity == 1 || row->Parity == 2 ? 1 : 0;
        int stop = row->Stop_Bits == 2 ? 2 : 1;
        bits = 1 + data + parity + stop;
    }
    return static_cast<FineTime>(bits) * 1000000LL / baud;
}

int QueryCom(int port, char* buffer, int maxlen, int checksum, int waitMs) {
    if (buffer == nullptr || maxlen <= 0) return COM_FAILED;
    // The reply is only what comes after the command: a line queued before
    // it is dropped, never returned.
    if (!WriteLine(port, buffer, checksum, 1)) {
        buffer[0] = 0;
        return COM_FAILED;
    }
    // From here the buffer holds the reply as far as it has come, terminated:
    // never the command text, never an unterminated line.
    buffer[0] = 0;
    if (!FAMILY_XX01) waitMs = 0;
    if (waitMs > 0) ProgrammingWait(waitMs);

    HANDLE h = portHandle[port];
    int stored = 0;
    FineTime start = FineNow();
    for (;;) {
        COMSTAT status;
        ComHandleErrors(h, &status);
        // One byte at a time: whatever follows the carriage return stays
        // queued, and the next command drops it.
        for (DWORD i = 0; i < status.cbInQue; i++) {
            char c;
            if (ComHandleRead(h, &c, 1) != 1) break;
            if (c == '\r') {
                buffer[stored] = 0;
                if (MonitorIsOn()) MonitorLogLine(port, 0, buffer);
                return CheckLineChecksum(buffer, stored, checksum);
            }
            // Too long for the buffer: what came stays there, so the caller
            // can tell a reply it cannot read from none at all.
            if (stored >= maxlen - 1) return COM_FAILED;
            buffer[stored++] = c;
            buffer[stored] = 0;
        }
        if (FinePassed(&start, COM_QUERY_TIMEOUT_MS * FINE_PER_MS)) {
            MonitorNote("Time Out");
            return COM_TIMEOUT;
        }
        if (status.cbInQue == 0) Sleep(1);
    }
}
