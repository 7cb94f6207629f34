// The scan list, its registrars, and the command and reply of every request
// kind.
#include "serial/scan.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/warnings.h"
#include "host/numbers.h"
#include "serial/engine.h"
#include "serial/sercomm.h"

#include "resource.h"

#include <float.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kSource[] = "scan";

ScanEntry* scanList;
int scanCount;
int scanRun;
// Per entry: an analog reading may come in any width (the module's data
// format was left as the module had it).
BYTE anyWidth[SCAN_LIST_SIZE];

// A reading in engineering units, the data format the starts give the
// modules they configure, has seven characters: a sign and five digits
// with the decimal point among them ("+025.30", "-1.2345").
const size_t kReadingWidth = 7;

// The length of the well-formed number at `text`: optional blanks, a sign,
// digits with at most one decimal point ('.', ',' or the host's separator)
// and at least one digit, an optional exponent. A number ends at the end of
// the text, at trailing blanks or at the sign of a next value; anything else
// behind it makes it no number (0).
size_t NumberLength(const char* text) {
    char sep = HostDecimalSeparator();
    const char* p = text;
    while (*p == ' ')
        p++;
    if (*p == '+' || *p == '-') p++;
    int digits = 0;
    int point = 0;
    for (;; p++) {
        if (*p >= '0' && *p <= '9') {
            digits++;
        } else if ((*p == '.' || *p == ',' || *p == sep) && !point) {
            point = 1;
        } else {
            break;
        }
    }
    if (digits == 0) return 0;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        if (*e == '+' || *e == '-') e++;
        if (*e < '0' || *e > '9') return 0;
        while (*e >= '0' && *e <= '9')
            e++;
        p = e;
    }
    size_t length = static_cast<size_t>(p - text);
    while (*p == ' ')
        p++;
    if (*p == 0) return length;
    int next = p[1] == '.' || p[1] == ',' || p[1] == sep || (p[1] >= '0' && p[1] <= '9');
    if ((*p == '+' || *p == '-') && p == text + length && next) return length;
    return 0;
}

// A reading: a well-formed number that a float cell holds (finite), or no
// value at all.
int DecimalAt(const char* reply, size_t length, size_t at, double* out) {
    if (at >= length) return 0;
    size_t n = NumberLength(reply + at);
    if (n == 0) return 0;
    char copy[COM_REPLY_SIZE];
    snprintf(copy, sizeof copy, "%.*s", static_cast<int>(n), reply + at);
    double value = ParseNumber(copy);
    if (!isfinite(value) || fabs(value) > FLT_MAX) return 0;
    *out = value;
    return 1;
}

// The reading of an analog reply, the '>' at position 0. A reply to the read
// of one channel holds exactly one value; a reply to the read of the whole
// module (`first`) gives its first value. With a fixed width every value has
// exactly that many characters.
int ReadingOf(const char* reply, size_t length, size_t width, int first, double* out) {
    if (length < 2) return 0;
    const char* text = reply + 1;
    char copy[COM_REPLY_SIZE];
    if (width > 0) {
        if (length - 1 < width || (!first && length - 1 != width)) return 0;
        snprintf(copy, sizeof copy, "%.*s", static_cast<int>(width), text);
        if (NumberLength(copy) != width) return 0;
        text = copy;
    } else if (!first) {
        size_t n = NumberLength(text);
        if (n == 0) return 0;
        // Nothing but blanks behind it: a second value is one too many.
        for (const char* p = text + n; *p; p++)
            if (*p != ' ') return 0;
    }
    return DecimalAt(text, strlen(text), 0, out);
}

// A whole number: optional blanks and sign, digits, nothing but blanks
// behind them.
int IntegerAt(const char* reply, size_t length, size_t at, long* out) {
    if (at >= length) return 0;
    const char* p = reply + at;
    while (*p == ' ')
        p++;
    if (*p == '+' || *p == '-') p++;
    if (*p < '0' || *p > '9') return 0;
    while (*p >= '0' && *p <= '9')
        p++;
    while (*p == ' ')
        p++;
    if (*p) return 0;
    *out = strtol(reply + at, nullptr, 10);
    return 1;
}

// Command head and a value in the given conversion, with '.' as the point.
int WithValue(char* request, int size, const char* head, const char* conversion, double value) {
    char number[NUMBER_TEXT_SIZE];
    FormatDouble(number, sizeof number, conversion, value);
    int n = snprintf(request, static_cast<size_t>(size), "%s%s", head, number);
    return n > 0 && n < size;
}

int Fits(int n, int size) {
    return n > 0 && n < size;
}

} // namespace

int ScanListCreate() {
    if (scanList) return 1;
    scanList =
        static_cast<ScanEntry*>(NewMemAlloc(SCAN_LIST_SIZE * sizeof(ScanEntry), kSource, __LINE__));
    if (scanList == nullptr) {
        ShowWarningByIds(IDS_ERROR, IDS_NO_MEMORY);
        return 0;
    }
    scanCount = 0;
    scanRun++;
    ScanEngineReset();
    return 1;
}

int ScanListRun() {
    return scanRun;
}

void ScanListFree() {
    if (scanList == nullptr) return;
    NewDoMemFree(scanList, kSource, __LINE__);
    scanList = nullptr;
}

int ScanListExists() {
    return scanList != nullptr;
}

int ScanListCount() {
    return scanCount;
}

ScanEntry* ScanListEntry(ScanHandle handle) {
    if (scanList == nullptr || handle < 0 || handle >= scanCount) return nullptr;
    return &scanList[handle];
}

ScanHandle ScanListAdd(int kind, int port, int address, int param, void* data, int checksum) {
    if (scanList == nullptr) return -1;
    if (scanCount >= SCAN_LIST_SIZE) {
        StopExperiment();
        ShowWarningByIds(IDS_ERROR, IDS_TOO_MANY_CHANNELS);
        return -1;
    }
    ScanEntry* e = &scanList[scanCount];
    e->Kind = kind;
    e->Port = port;
    e->Address = address;
    e->Param = param;
    e->Checksum = checksum;
    e->Data = data;
    anyWidth[scanCount] = 0;
    return scanCount++;
}

void ScanAcceptAnyWidth(ScanHandle handle) {
    if (handle >= 0 && handle < scanCount) anyWidth[handle] = 1;
}

ScanHandle ScanAddAiRead(int port, int address, int channel, float* data, int checksum) {
    return ScanListAdd(SCAN_AI_READ, port, address, channel, data, checksum);
}
ScanHandle ScanAddAoWrite(int port, int address, int channel, float* data, int checksum) {
    return ScanListAdd(SCAN_AO_WRITE, port, address, channel, data, checksum);
}
ScanHandle ScanAddExcitationWrite6016(int port, int address, int param, float* data, int checksum) {
    return ScanListAdd(SCAN_EXCITATION_WRITE_6016, port, address, param, data, checksum);
}
ScanHandle ScanAddAoWrite6024(int port, int address, int channel, float* data, int checksum) {
    return ScanListAdd(SCAN_AO_WRITE_6024, port, address, channel, data, checksum);
}
ScanHandle ScanAddCounterRead6080(int port, int address, int counter, float* data, int checksum) {
    return ScanListAdd(SCAN_COUNTER_READ_6080, port, address, counter, data, checksum);
}
ScanHandle ScanAddDiRead(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DI_READ, port, address, -1, data, checksum);
}
ScanHandle ScanAddDoWrite(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DO_WRITE, port, address, -1, data, checksum);
}
ScanHandle ScanAddDiRead6052(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DI_READ_6052, port, address, -1, data, checksum);
}
ScanHandle ScanAddDi16Read(int port, int address, WORD* data, int checksum) {
    return ScanListAdd(SCAN_DI16_READ, port, address, -1, data, checksum);
}
ScanHandle ScanAddDi16Read6041I(int port, int address, WORD* data, int checksum) {
    return ScanListAdd(SCAN_DI16_READ_6041I, port, address, -1, data, checksum);
}
ScanHandle ScanAddDioRead(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DIO_READ, port, address, -1, data, checksum);
}
ScanHandle ScanAddEventRead(int port, int address, short* data, int checksum) {
    return ScanListAdd(SCAN_EVENT_READ, port, address, -1, data, checksum);
}
ScanHandle ScanAddEventRead6014(int port, int address, short* data, int checksum) {
    return ScanListAdd(SCAN_EVENT_READ_6014, port, address, -1, data, checksum);
}
ScanHandle ScanAddEventRead6016(int port, int address, short* data, int checksum) {
    return ScanListAdd(SCAN_EVENT_READ_6016, port, address, -1, data, checksum);
}
ScanHandle ScanAddDo0Write(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DO0_WRITE, port, address, -1, data, checksum);
}
ScanHandle ScanAddDo0Write6016(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DO0_WRITE, port, address, -1, data, checksum);
}
ScanHandle ScanAddDo1Write6016(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DO1_WRITE_6016, port, address, -1, data, checksum);
}
ScanHandle ScanAddDo16Write6042O(int port, int address, WORD* data, int checksum) {
    return ScanListAdd(SCAN_DO16_WRITE_6042O, port, address, -1, data, checksum);
}
ScanHandle ScanAddDo16Write(int port, int address, WORD* data, int checksum) {
    return ScanListAdd(SCAN_DO16_WRITE, port, address, -1, data, checksum);
}
ScanHandle ScanAddDo4Write6063(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DO4_WRITE_6063, port, address, -1, data, checksum);
}
ScanHandle ScanAddDoWrite6056(int port, int address, WORD* data, int checksum) {
    return ScanListAdd(SCAN_DO_WRITE_6056, port, address, -1, data, checksum);
}
ScanHandle ScanAddDioRead6058(int port, int address, DWORD* data, int checksum) {
    return ScanListAdd(SCAN_DIO_READ_6058, port, address, -1, data, checksum);
}
ScanHandle ScanAddDoWrite6058(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DO_WRITE_6058, port, address, -1, data, checksum);
}
ScanHandle ScanAddDiRead6080(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DI_READ_6080, port, address, -1, data, checksum);
}
ScanHandle ScanAddDiRead6005I(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DI_READ_6005I, port, address, -1, data, checksum);
}
ScanHandle ScanAddDiRead6024Di(int port, int address, BYTE* data, int checksum) {
    return ScanListAdd(SCAN_DI_READ_6024DI, port, address, -1, data, checksum);
}

int ScanFormatRequest(const ScanEntry* e, char* request, int size) {
    if (e == nullptr || request == nullptr || size <= 0) return 0;
    request[0] = 0;
    const size_t n = static_cast<size_t>(size);
    const int a = e->Address & 0xFF;
    const int p = e->Param;
    // An entry without a cell has nothing to send for an output kind.
    BYTE* byte = static_cast<BYTE*>(e->Data);
    WORD* word = static_cast<WORD*>(e->Data);
    float* value = static_cast<float*>(e->Data);
    char head[16];
    switch (e->Kind) {
    case SCAN_AI_READ:
        if (p < 0) return Fits(snprintf(request, n, "#%02X", a), size);
        return Fits(snprintf(request, n, "#%02X%X", a, p), size);
    case SCAN_AO_WRITE:
        if (value == nullptr) return 0;
        if (p < 0) {
            snprintf(head, sizeof head, "#%02X", a);
            return WithValue(request, size, head, "%06.3f", *value);
        }
        if (FAMILY_XX03) {
            snprintf(head, sizeof head, "#%02X%c", a, '0' + p);
            return WithValue(request, size, head, "%+07.3f", *value);
        }
        if (FAMILY_TELV) {
            snprintf(head, sizeof head, "#%02X%c", a, '0' + p);
            return WithValue(request, size, head, "%06.3f", *value);
        }
        snprintf(head, sizeof head, "#%02X%c", a, 'A' + p);
        return WithValue(request, size, head, "%+07.3f", *value);
    case SCAN_DI_READ:
    case SCAN_DI_READ_6052:
    case SCAN_DI16_READ:
    case SCAN_DI16_READ_6041I:
    case SCAN_DIO_READ_6058: return Fits(snprintf(request, n, "$%02X6", a), size);
    case SCAN_DO_WRITE:
        if (byte == nullptr) return 0;
        return Fits(snprintf(request, n, "#%02X00%02X", a, *byte), size);
    case SCAN_DIO_READ:
    case SCAN_DI_READ_6080:
    case SCAN_DI_READ_6005I: return Fits(snprintf(request, n, "@%02XDI", a), size);
    case SCAN_EVENT_READ:
    case SCAN_EVENT_READ_6016:
    case SCAN_EVENT_READ_6014: return Fits(snprintf(request, n, "@%02XRE", a), size);
    case SCAN_COUNTER_READ_6080:
        if (FAMILY_ND) return Fits(snprintf(request, n, "#%02X%1XD", a, p & 0xF), size);
        return Fits(snprintf(request, n, "#%02X%1X", a, p & 0xF), size);
    case SCAN_DO_WRITE_6056:
        if (word == nullptr) return 0;
        return Fits(snprintf(request, n, "#%02XT%04X", a, *word), size);
    case SCAN_DO_WRITE_6058:
        if (byte == nullptr) return 0;
        return Fits(snprintf(request, n, "#%02XT%02X%02X%02X", a, byte[0], byte[1], byte[2]), size);
    case SCAN_DI_READ_6024DI: return Fits(snprintf(request, n, "$%02XI", a), size);
    case SCAN_EXCITATION_WRITE_6016:
        if (value == nullptr) return 0;
        snprintf(head, sizeof head, "$%02X7", a);
        return WithValue(request, size, head, "%+07.3f", *value);
    case SCAN_DO1_WRITE_6016:
        if (byte == nullptr) return 0;
        *byte &= 3;
        return Fits(snprintf(request, n, "@%02XDO1%1X", a, *byte), size);
    case SCAN_DO0_WRITE:
        if (byte == nullptr) return 0;
        *byte &= 3;
        return Fits(snprintf(request, n, "@%02XDO0%1X", a, *byte), size);
    case SCAN_AO_WRITE_6024:
        if (value == nullptr) return 0;
        if (FAMILY_XX01) {
            snprintf(head, sizeof head, "#%02XC%c", a, '0' + p);
        } else {
            snprintf(head, sizeof head, "#%02X%c", a, '0' + p);
        }
        return WithValue(request, size, head, "%+07.3f", *value);
    case SCAN_DO1_WRITE16:
        if (word == nullptr) return 0;
        return Fits(snprintf(request, n, "@%02XDO1%1X", a, *word), size);
    case SCAN_DO16_WRITE_6042O:
    case SCAN_DO16_WRITE:
        if (word == nullptr) return 0;
        return Fits(snprintf(request, n, "@%02X%04X", a, *word), size);
    case SCAN_DO4_WRITE_6063:
        if (byte == nullptr) return 0;
        return Fits(snprintf(request, n, "@%02X%1X", a, *byte), size);
    }
    return 0;
}

char ScanExpectedReply(int kind) {
    switch (kind) {
    case SCAN_AI_READ:
    case SCAN_AO_WRITE:
    case SCAN_DO_WRITE:
    case SCAN_COUNTER_READ_6080:
    case SCAN_DO_WRITE_6056:
    case SCAN_DO_WRITE_6058:
    case SCAN_DO16_WRITE_6042O:
    case SCAN_DO16_WRITE:
    case SCAN_DO4_WRITE_6063: return '>';
    case SCAN_AO_WRITE_6024: return FAMILY_XX01 ? '!' : '>';
    default: return '!';
    }
}

namespace {

// The kinds whose reply names the module it comes from: "!AA" and what
// follows.
int ReplyNamesModule(int kind) {
    switch (kind) {
    case SCAN_DIO_READ:
    case SCAN_EVENT_READ:
    case SCAN_EVENT_READ_6016:
    case SCAN_EVENT_READ_6014:
    case SCAN_DI_READ_6080:
    case SCAN_DI_READ_6005I:
    case SCAN_DI_READ_6024DI:
    case SCAN_EXCITATION_WRITE_6016:
    case SCAN_DO1_WRITE_6016:
    case SCAN_DO0_WRITE:
    case SCAN_DO1_WRITE16: return 1;
    case SCAN_AO_WRITE_6024: return FAMILY_XX01;
    default: return 0;
    }
}

// The reply's value into `data` (none: only whether the reply is one).
int ParseReply(const ScanEntry* e, const char* reply, void* data) {
    if (e == nullptr || reply == nullptr) return 0;
    const size_t length = strlen(reply);
    if (ReplyNamesModule(e->Kind)) {
        char address[3];
        snprintf(address, sizeof address, "%02X", e->Address & 0xFF);
        if (length < 3 || reply[1] != address[0] || reply[2] != address[1]) return 0;
    }
    BYTE b[4];
    double number;
    long integer;
    switch (e->Kind) {
    case SCAN_AI_READ: {
        // An entry of the list may carry readings of any width.
        uintptr_t at = reinterpret_cast<uintptr_t>(e);
        uintptr_t base = reinterpret_cast<uintptr_t>(scanList);
        int any = 0;
        if (scanList && at >= base) {
            size_t i = (at - base) / sizeof(ScanEntry);
            any = i < static_cast<size_t>(scanCount) && anyWidth[i];
        }
        if (!ReadingOf(reply, length, any ? 0 : kReadingWidth, e->Param < 0, &number)) return 0;
        if (data) *static_cast<float*>(data) = static_cast<float>(number);
        return 1;
    }
    case SCAN_DI_READ:
    case SCAN_DI_READ_6005I:
        if (!ParseHexByteAt(reply, length, 3, &b[0])) return 0;
        if (data) *static_cast<BYTE*>(data) = b[0];
        return 1;
    case SCAN_DI_READ_6052:
        if (!ParseHexByteAt(reply, length, 1, &b[0])) return 0;
        if (data) *static_cast<BYTE*>(data) = b[0];
        return 1;
    case SCAN_DI16_READ:
    case SCAN_DI16_READ_6041I:
        if (!ParseHexByteAt(reply, length, 1, &b[0]) || !ParseHexByteAt(reply, length, 3, &b[1]))
            return 0;
        if (data) *static_cast<WORD*>(data) = static_cast<WORD>(b[0] * 256 + b[1]);
        return 1;
    case SCAN_DIO_READ:
        if (!ParseHexByteAt(reply, length, 6, &b[0]) || !ParseHexByteAt(reply, length, 4, &b[1]))
            return 0;
        if (data) {
            static_cast<BYTE*>(data)[0] = b[0];
            static_cast<BYTE*>(data)[1] = b[1];
        }
        return 1;
    case SCAN_EVENT_READ:
    case SCAN_EVENT_READ_6016:
    case SCAN_EVENT_READ_6014:
        if (!IntegerAt(reply, length, 3, &integer)) return 0;
        if (data) *static_cast<short*>(data) = static_cast<short>(integer);
        return 1;
    case SCAN_COUNTER_READ_6080:
        if (FAMILY_ND) {
            if (!DecimalAt(reply, length, 1, &number)) return 0;
        } else {
            size_t digits = length - 1 < 8 ? length - 1 : 8;
            if (length < 2) return 0;
            for (size_t i = 0; i < digits; i++)
                if (!IsHexDigit(reply[1 + i])) return 0;
            number = static_cast<double>(ParseHex32(reply + 1));
        }
        if (data) *static_cast<float*>(data) = static_cast<float>(number);
        return 1;
    case SCAN_DI_READ_6080:
        if (!ParseHexByteAt(reply, length, 4, &b[0])) return 0;
        if (data) *static_cast<BYTE*>(data) = b[0];
        return 1;
    case SCAN_DIO_READ_6058:
        for (int i = 0; i < 4; i++)
            if (!ParseHexByteAt(reply, length, 3 + 2 * static_cast<size_t>(i), &b[i])) return 0;
        if (data) {
            *static_cast<DWORD*>(data) = static_cast<DWORD>(b[0]) | static_cast<DWORD>(b[1]) << 8 |
                                         static_cast<DWORD>(b[2]) << 16 |
                                         static_cast<DWORD>(b[3]) << 24;
        }
        return 1;
    case SCAN_DI_READ_6024DI:
        if (length < 4 || !IsHexDigit(reply[3])) return 0;
        if (data) *static_cast<BYTE*>(data) = static_cast<BYTE>(HexDigitValue(reply[3]));
        return 1;
    case SCAN_AO_WRITE:
    case SCAN_DO_WRITE:
    case SCAN_DO_WRITE_6056:
    case SCAN_DO_WRITE_6058:
    case SCAN_EXCITATION_WRITE_6016:
    case SCAN_DO1_WRITE_6016:
    case SCAN_DO0_WRITE:
    case SCAN_AO_WRITE_6024:
    case SCAN_DO1_WRITE16:
    case SCAN_DO16_WRITE_6042O:
    case SCAN_DO16_WRITE:
    case SCAN_DO4_WRITE_6063: return 1;
    }
    ShowInternalError("scan kind", kSource, __LINE__);
    return 0;
}

} // namespace

int ScanParseReply(const ScanEntry* e, const char* reply) {
    return e ? ParseReply(e, reply, e->Data) : 0;
}

int ScanReplyFits(const ScanEntry* e, const char* reply) {
    return ParseReply(e, reply, nullptr);
}
