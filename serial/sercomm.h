// COM ports and the line framing of the module protocol: the only code that
// touches a serial port.
//
// A line is the command or reply text, then, when the module uses checksums,
// the two upper-case hexadecimal digits of the 8-bit sum of the text
// characters, then a carriage return.
#ifndef TELVIO_SERIAL_SERCOMM_H
#define TELVIO_SERIAL_SERCOMM_H

#include "host/ticks.h"

#include <windows.h>

// Results of ReadCom and QueryCom.
enum {
    COM_OK = 0,         // a complete line is in the caller's buffer, checksum cut off
    COM_INCOMPLETE = 1, // ReadCom: no carriage return yet
    COM_TIMEOUT = 2,    // QueryCom: no complete line in time
    COM_CHECKSUM = 3,   // the checksum digits do not match the text
    COM_FAILED = 4,     // not written, or the reply is longer than the buffer
};
// After COM_FAILED the buffer of QueryCom holds what came of a reply too long
// for it, cut to the buffer; it is empty when the command was not written.

// Flow-control modes of every port (FlowControl in the driver INI file).
enum {
    FLOW_NONE = 0,
    FLOW_HANDSHAKE = 1,
    FLOW_XONXOFF = 2,
    FLOW_DTR = 3,
    FLOW_RTS = 4,
    FLOW_DTR_RTS = 5,
};

// A framed line (text, checksum digits, CR) and its terminator fit here: a
// command has at most 20 characters with checksum, 22 without.
#define COM_LINE_SIZE 24
// The reply accumulator of ReadCom, and the largest maxlen it takes.
#define COM_REPLY_SIZE 120
// How long QueryCom waits for a reply.
#define COM_QUERY_TIMEOUT_MS 2000

// Port primitives, on a port handle.
HANDLE ComHandleOpen(const char* portName, DWORD inQueue, DWORD outQueue);
void ComHandleClose(HANDLE handle);
int ComHandleRead(HANDLE handle, char* buffer, int wanted);
int ComHandleWrite(HANDLE handle, const char* bytes, int count);
void ComHandlePurge(HANDLE handle, int receive);
DWORD ComHandleErrors(HANDLE handle, COMSTAT* status);

// The 8-bit sum of the first `length` characters.
unsigned LineChecksum(const char* text, int length);
// Frames `text` into `line` (COM_LINE_SIZE bytes); the line length, or 0 when
// the framed line would not fit.
int FrameLine(char* line, const char* text, int checksum);
// A received line of `length` bytes (terminated after them) as the reply:
// with `checksum` the two digits are cut off and compared with the sum of
// the bytes before them, COM_CHECKSUM when they differ. A text that holds a
// NUL byte is no reply a module gives; it comes back empty, which no reply
// check takes for the one it expects. COM_OK or COM_CHECKSUM.
int CheckLineChecksum(char* line, int length, int checksum);
// Whether a reply read with `result` is the one expected: with COM_OK 1 when
// its first character is `expected`, else 0; with COM_INCOMPLETE 1 (nothing
// is wrong yet); with COM_TIMEOUT, COM_CHECKSUM and COM_FAILED 0.
int ReplyMatches(const char* reply, int result, char expected);

struct ComSettings;
// The port settings of a port table row and of FlowControl; the other
// members keep what the port had. A baud index, stop bits or parity outside
// its table is an internal error and keeps the port's value.
void ApplyComSettings(DCB* dcb, const ComSettings* row);

// Serial functions on COM numbers 1..16.
int OpenCom(int port, const char* caption);
int CloseCom(int port);
// Closes the port and opens it again with its table row; a failure is
// answered 0, not shown.
int ReopenCom(int port);
// Writes the framed line after the pause between writes, waiting for the
// pause when it is not over (the polling path asks ComPaceReady first and
// never waits here).
int WriteCom(int port, const char* text, int checksum);
// Polls a reply line without blocking. Bytes after the line's carriage
// return stay held for the port (see ComPendingBytes); the next call answers
// with the line they hold once its carriage return is in.
int ReadCom(int port, char* reply, int maxlen, int checksum);
// Drops what the port holds, writes the command and waits for its reply.
int QueryCom(int port, char* buffer, int maxlen, int checksum, int waitMs);
// Before a request: forgets the part of a reply ReadCom holds and whatever is
// queued on the port, so nothing that came before is taken for its reply.
void ComDiscardReply(int port);
// Bytes the port holds that no reply has taken: the rest of a read behind a
// line's carriage return and what is queued. Reads nothing.
int ComPendingBytes(int port);
// How long one character takes on the port's line at the settings of its
// table row (start bit, data bits, parity bit, stop bits at the baud rate),
// in microseconds of the fine clock. A row that cannot be read counts at the
// fastest rate: a character is never taken for longer than it can be.
FineTime ComCharTime(int port);

// The pause between two writes, one for all ports, by family (10 ms in the
// families "XX03" and "TELV", 50 ms in "XX01", none elsewhere), on the fine
// clock. Microseconds until the next write may go out; 0 when it may now.
FineTime ComPaceLeft();
// 1 when the next write may go out now; otherwise 0, and the family's
// "Delayed" note once per pause while the monitor is on.
int ComPaceReady();
// A write went out now: the next pause starts.
void ComPaceWritten();

#endif
