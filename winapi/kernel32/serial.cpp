// Communication devices: COM1 .. COM16 on termios.
//
// Port mapping: the environment variable TELVIO_COM_DIR names a folder that
// holds one entry per port, named com1 .. com16 (lower case); each is a link
// to the device (a USB adapter such as /dev/ttyUSB0, a pseudo-terminal slave)
// or the device node itself. COMn opens that entry, following the link; a
// port without an entry does not exist.
//
// The line is raw 8-bit (no CR/NL translation, no echo, no signals), the
// descriptor non-blocking: ReadFile returns at once with what is queued,
// WriteFile waits at most kWriteWaitMs for the device to take the bytes.
// A port is open once at a time (an in-process table, and TIOCEXCL against
// other processes). Modem-line and line-setting calls a device refuses (a
// pseudo-terminal has no modem lines) are accepted.
#include "handle.h"
#include "internal.h"
#include "winapi_headless.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>

namespace winapi {

namespace {

const int kMaxPort = 16;
const int kWriteWaitMs = 1000;

// What the driver keeps for an open port beyond the termios settings.
struct CommPort {
    bool open;
    bool tty;
    DCB dcb;
    COMMTIMEOUTS timeouts;
    DWORD inQueue, outQueue;
    bool haveCounts; // line error counters the device reports (TIOCGICOUNT)
    struct serial_icounter_struct counts;
};

CommPort g_ports[kMaxPort + 1];

// Carriage returns each port took, for WinapiCommLinesWritten; kept over
// closing and opening the port.
std::atomic<unsigned long> g_linesWritten[kMaxPort + 1];

std::mutex& portLock() {
    static std::mutex m;
    return m;
}

struct BaudSpeed {
    DWORD baud;
    speed_t speed;
};

const BaudSpeed kBaudSpeeds[] = {
    {110, B110},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool speedOfBaud(DWORD baud, speed_t* out) {
    for (const BaudSpeed& b : kBaudSpeeds) {
        if (b.baud == baud) {
            *out = b.speed;
            return true;
        }
    }
    return false;
}

DWORD baudOfSpeed(speed_t speed) {
    for (const BaudSpeed& b : kBaudSpeeds)
        if (b.speed == speed) return b.baud;
    return CBR_9600;
}

void makeRaw(struct termios* t) {
    t->c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                    IXANY | INPCK | IUCLC | IMAXBEL);
    t->c_oflag &= ~OPOST;
    t->c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    t->c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR);
    t->c_cflag |= CS8 | CREAD | CLOCAL;
    t->c_cc[VMIN] = 0;
    t->c_cc[VTIME] = 0;
}

// The DCB that describes a termios setting; the members termios has no
// place for take the driver's defaults.
void dcbOfTermios(const struct termios& t, DCB* d) {
    memset(d, 0, sizeof(*d));
    d->DCBlength = sizeof(DCB);
    d->BaudRate = baudOfSpeed(cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5: d->ByteSize = 5; break;
    case CS6: d->ByteSize = 6; break;
    case CS7: d->ByteSize = 7; break;
    default: d->ByteSize = 8; break;
    }
    if (!(t.c_cflag & PARENB))
        d->Parity = NOPARITY;
    else if (t.c_cflag & CMSPAR)
        d->Parity = (t.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        d->Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    d->StopBits = (t.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    d->fBinary = 1;
    d->fParity = (t.c_iflag & INPCK) ? 1 : 0;
    d->fOutxCtsFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
    d->fRtsControl = (t.c_cflag & CRTSCTS) ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    d->fDtrControl = DTR_CONTROL_ENABLE;
    d->fOutX = (t.c_iflag & IXON) ? 1 : 0;
    d->fInX = (t.c_iflag & IXOFF) ? 1 : 0;
    d->XonChar = static_cast<char>(t.c_cc[VSTART]);
    d->XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    d->XonLim = 2048;
    d->XoffLim = 512;
}

void setModemLine(int fd, int line, bool on) {
    int bits = line;
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits); // refused on pseudo-terminals
}

CommPort* portOf(KernelObject* obj) {
    if (!obj || obj->port < 1 || obj->port > kMaxPort) return 0;
    return &g_ports[obj->port];
}

CommPort* commOf(HANDLE h, KernelObject** objOut) {
    KernelObject* obj = kernelObject(h, OBJECT_COMM);
    if (!obj) return 0;
    if (objOut) *objOut = obj;
    return portOf(obj);
}

long long monotonicMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

int commPortNumber(const char* name) {
    if (!name) return 0;
    if (strncmp(name, "\\\\.\\", 4) == 0) name += 4;
    if (lowerAscii(name[0]) != 'c' || lowerAscii(name[1]) != 'o' || lowerAscii(name[2]) != 'm')
        return 0;
    const char* p = name + 3;
    if (*p < '1' || *p > '9') return 0;
    int n = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 3) {
        n = n * 10 + (*p - '0');
        ++p;
        ++digits;
    }
    if (*p == ':') ++p;
    if (*p != '\0' || n < 1 || n > kMaxPort) return 0;
    return n;
}

HANDLE openCommPort(int port) {
    std::lock_guard<std::mutex> lock(portLock());
    CommPort& cp = g_ports[port];
    if (cp.open) {
        setLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    const char* dir = getenv("TELVIO_COM_DIR");
    if (!dir || !*dir) {
        setLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = std::string(dir) + "/com" + std::to_string(port);
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setLastError(errorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }

    memset(&cp, 0, sizeof(cp));
    cp.tty = isatty(fd) != 0;
    struct termios t;
    memset(&t, 0, sizeof(t));
    if (cp.tty) {
        if (ioctl(fd, TIOCEXCL) != 0 && errno == EBUSY) {
            close(fd);
            setLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        if (tcgetattr(fd, &t) == 0) {
            makeRaw(&t);
            (void)tcsetattr(fd, TCSANOW, &t);
            (void)tcgetattr(fd, &t);
        } else {
            t.c_cflag = CS8 | CREAD | CLOCAL;
            cfsetospeed(&t, B9600);
        }
        cp.haveCounts = ioctl(fd, TIOCGICOUNT, &cp.counts) == 0;
    } else {
        t.c_cflag = CS8 | CREAD | CLOCAL;
        cfsetospeed(&t, B9600);
        t.c_cc[VSTART] = 0x11;
        t.c_cc[VSTOP] = 0x13;
    }
    dcbOfTermios(t, &cp.dcb);
    cp.inQueue = 4096;
    cp.outQueue = 4096;

    HANDLE h = newKernelObject(OBJECT_COMM, fd, port);
    if (h == INVALID_HANDLE_VALUE) {
        if (cp.tty) (void)ioctl(fd, TIOCNXCL);
        close(fd);
        return h;
    }
    cp.open = true;
    setLastError(ERROR_SUCCESS);
    return h;
}

void closeCommPort(KernelObject* obj) {
    std::lock_guard<std::mutex> lock(portLock());
    CommPort* cp = portOf(obj);
    if (!cp) return;
    // The exclusive flag belongs to the device, not to the descriptor: clear
    // it, or the next open of a device someone else holds open would fail.
    if (cp->tty) (void)ioctl(obj->fd, TIOCNXCL);
    cp->open = false;
}

BOOL readComm(KernelObject* obj, void* buf, DWORD n, DWORD* got) {
    *got = 0;
    char* p = static_cast<char*>(buf);
    while (*got < n) {
        ssize_t r = read(obj->fd, p + *got, n - *got);
        if (r > 0) {
            *got += static_cast<DWORD>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r == 0 || errno == EAGAIN || errno == EWOULDBLOCK) return TRUE; // nothing more queued
        if (*got > 0) return TRUE; // report the error at the next call
        setLastError(errno == EIO ? ERROR_GEN_FAILURE : errorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL writeComm(KernelObject* obj, const void* buf, DWORD n, DWORD* done) {
    *done = 0;
    const char* p = static_cast<const char*>(buf);
    long long deadline = monotonicMs() + kWriteWaitMs;
    while (*done < n) {
        ssize_t r = write(obj->fd, p + *done, n - *done);
        if (r > 0) {
            unsigned long lines = 0;
            for (ssize_t i = 0; i < r; i++)
                lines += p[*done + static_cast<DWORD>(i)] == '\r';
            if (obj->port >= 1 && obj->port <= kMaxPort) g_linesWritten[obj->port] += lines;
            *done += static_cast<DWORD>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            setLastError(errno == EIO ? ERROR_GEN_FAILURE : errorFromErrno(errno));
            return FALSE;
        }
        // The device's queue is full: wait for room, but not forever.
        long long left = deadline - monotonicMs();
        if (left <= 0) break;
        struct pollfd pfd;
        pfd.fd = obj->fd;
        pfd.events = POLLOUT;
        pfd.revents = 0;
        int pr = poll(&pfd, 1, static_cast<int>(left));
        if (pr < 0 && errno != EINTR) break;
        if (pr > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(pfd.revents & POLLOUT))
            break;
    }
    if (*done == n) return TRUE;
    if (*done > 0) return TRUE; // a short write tells how many bytes the device took
    setLastError(ERROR_TIMEOUT);
    return FALSE;
}

// Copies one of the settings a port keeps out of it, or into it: FALSE
// with the last error set for a handle that is no port or a missing record.
template <typename T> BOOL copySetting(HANDLE h, T* record, T CommPort::*field, bool into) {
    CommPort* cp = commOf(h, 0);
    if (!cp) return FALSE;
    if (!record) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(portLock());
    if (into)
        cp->*field = *record;
    else
        *record = cp->*field;
    return TRUE;
}

} // namespace winapi

using namespace winapi;

extern "C" unsigned long WinapiCommLinesWritten(int port) {
    if (port < 1 || port > kMaxPort) return 0;
    return g_linesWritten[port].load();
}

WINUSERAPI BOOL WINAPI SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
    CommPort* cp = commOf(hFile, 0);
    if (!cp) return FALSE;
    std::lock_guard<std::mutex> lock(portLock());
    cp->inQueue = dwInQueue;
    cp->outQueue = dwOutQueue;
    return TRUE;
}

WINUSERAPI BOOL WINAPI GetCommState(HANDLE hFile, LPDCB lpDCB) {
    return copySetting(hFile, lpDCB, &CommPort::dcb, false);
}

WINUSERAPI BOOL WINAPI SetCommState(HANDLE hFile, LPDCB lpDCB) {
    KernelObject* obj = 0;
    CommPort* cp = commOf(hFile, &obj);
    if (!cp) return FALSE;
    speed_t speed;
    if (!lpDCB || !speedOfBaud(lpDCB->BaudRate, &speed) || lpDCB->ByteSize < 5 ||
        lpDCB->ByteSize > 8 || lpDCB->Parity > SPACEPARITY || lpDCB->StopBits > TWOSTOPBITS ||
        ((lpDCB->fOutX || lpDCB->fInX) && lpDCB->XonChar == lpDCB->XoffChar)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(portLock());
    if (cp->tty) {
        struct termios t;
        if (tcgetattr(obj->fd, &t) != 0) {
            setLastError(errorFromErrno(errno));
            return FALSE;
        }
        makeRaw(&t);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
        t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[lpDCB->ByteSize - 5];
        switch (lpDCB->Parity) {
        case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
        case EVENPARITY: t.c_cflag |= PARENB; break;
        case MARKPARITY: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case SPACEPARITY: t.c_cflag |= PARENB | CMSPAR; break;
        default: break;
        }
        if (lpDCB->Parity != NOPARITY && lpDCB->fParity) t.c_iflag |= INPCK;
        if (lpDCB->StopBits == ONESTOPBIT)
            t.c_cflag &= ~CSTOPB;
        else
            t.c_cflag |= CSTOPB;
        if (lpDCB->fOutxCtsFlow || lpDCB->fRtsControl == RTS_CONTROL_HANDSHAKE)
            t.c_cflag |= CRTSCTS;
        else
            t.c_cflag &= ~CRTSCTS;
        if (lpDCB->fOutX) t.c_iflag |= IXON;
        if (lpDCB->fInX) t.c_iflag |= IXOFF;
        t.c_cc[VSTART] = static_cast<cc_t>(lpDCB->XonChar);
        t.c_cc[VSTOP] = static_cast<cc_t>(lpDCB->XoffChar);
        // A pseudo-terminal takes any setting; a device that refuses one
        // (EINVAL) keeps its own, as a driver would.
        if (tcsetattr(obj->fd, TCSANOW, &t) != 0 && errno != EINVAL) {
            setLastError(errorFromErrno(errno));
            return FALSE;
        }
        if (lpDCB->fDtrControl != DTR_CONTROL_DISABLE)
            setModemLine(obj->fd, TIOCM_DTR, true);
        else
            setModemLine(obj->fd, TIOCM_DTR, false);
        if (lpDCB->fRtsControl == RTS_CONTROL_ENABLE)
            setModemLine(obj->fd, TIOCM_RTS, true);
        else if (lpDCB->fRtsControl == RTS_CONTROL_DISABLE)
            setModemLine(obj->fd, TIOCM_RTS, false);
    }
    cp->dcb = *lpDCB;
    cp->dcb.DCBlength = sizeof(DCB);
    return TRUE;
}

WINUSERAPI BOOL WINAPI GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    return copySetting(hFile, lpCommTimeouts, &CommPort::timeouts, false);
}

// Kept and reported back; reads never wait and writes wait at most
// kWriteWaitMs whatever the time-outs say.
WINUSERAPI BOOL WINAPI SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    return copySetting(hFile, lpCommTimeouts, &CommPort::timeouts, true);
}

WINUSERAPI BOOL WINAPI ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) {
    KernelObject* obj = 0;
    CommPort* cp = commOf(hFile, &obj);
    if (!cp) return FALSE;
    std::lock_guard<std::mutex> lock(portLock());
    DWORD errors = 0;
    if (cp->haveCounts) {
        struct serial_icounter_struct now;
        if (ioctl(obj->fd, TIOCGICOUNT, &now) == 0) {
            if (now.frame != cp->counts.frame) errors |= CE_FRAME;
            if (now.overrun != cp->counts.overrun) errors |= CE_OVERRUN;
            if (now.parity != cp->counts.parity) errors |= CE_RXPARITY;
            if (now.brk != cp->counts.brk) errors |= CE_BREAK;
            if (now.buf_overrun != cp->counts.buf_overrun) errors |= CE_RXOVER;
            cp->counts = now;
        }
    }
    if (lpErrors) *lpErrors = errors;
    if (lpStat) {
        memset(lpStat, 0, sizeof(*lpStat));
        int in = 0, out = 0;
        if (ioctl(obj->fd, FIONREAD, &in) == 0 && in > 0) lpStat->cbInQue = static_cast<DWORD>(in);
        if (cp->tty && ioctl(obj->fd, TIOCOUTQ, &out) == 0 && out > 0)
            lpStat->cbOutQue = static_cast<DWORD>(out);
    }
    return TRUE;
}

WINUSERAPI BOOL WINAPI PurgeComm(HANDLE hFile, DWORD dwFlags) {
    KernelObject* obj = 0;
    CommPort* cp = commOf(hFile, &obj);
    if (!cp) return FALSE;
    const DWORD all = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
    if (dwFlags & ~all) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Nothing is ever pending (no overlapped I/O), so the abort flags have
    // nothing to abort.
    if (cp->tty) {
        bool rx = (dwFlags & PURGE_RXCLEAR) != 0, tx = (dwFlags & PURGE_TXCLEAR) != 0;
        if (rx || tx) (void)tcflush(obj->fd, rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH);
    }
    return TRUE;
}

WINUSERAPI BOOL WINAPI EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
    KernelObject* obj = 0;
    CommPort* cp = commOf(hFile, &obj);
    if (!cp) return FALSE;
    if (dwFunc < SETXOFF || dwFunc > CLRBREAK) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!cp->tty) return TRUE;
    switch (dwFunc) {
    case SETXOFF: (void)tcflow(obj->fd, TCOOFF); break;
    case SETXON: (void)tcflow(obj->fd, TCOON); break;
    case SETRTS: setModemLine(obj->fd, TIOCM_RTS, true); break;
    case CLRRTS: setModemLine(obj->fd, TIOCM_RTS, false); break;
    case SETDTR: setModemLine(obj->fd, TIOCM_DTR, true); break;
    case CLRDTR: setModemLine(obj->fd, TIOCM_DTR, false); break;
    case SETBREAK: (void)ioctl(obj->fd, TIOCSBRK); break;
    case CLRBREAK: (void)ioctl(obj->fd, TIOCCBRK); break;
    default: break; // RESETDEV: nothing to reset
    }
    return TRUE;
}
