// The bus: one pseudo-terminal and the modules that answer on it.
#include "modsim.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace modsim {

namespace {

void SetError(std::string* error, const char* what) {
    if (!error) return;
    char text[160];
    snprintf(text, sizeof text, "%s: %s", what, strerror(errno));
    *error = text;
}

int SpeedToBaud(speed_t s) {
    switch (s) {
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

std::string Hex2(int value) {
    char text[4];
    snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

int StartsWith(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// The bytes that go on the wire for a reply text, shaped by a fault.
std::string ShapeReply(std::string reply, int address, int checksum, const Fault& f, int* delayMs,
                       int* unplug, int* copyMs, int* strayMs, std::string* stray) {
    switch (f.kind) {
    case FaultKind::Silence: return "";
    case FaultKind::Late: *delayMs = f.delayMs > 0 ? f.delayMs : 0; break;
    case FaultKind::WrongFirstChar:
        reply[0] = f.firstChar ? f.firstChar : (reply[0] == '!' ? '>' : '!');
        break;
    case FaultKind::BadChecksum: return reply + Hex2((Checksum(reply) + 1) & 0xFF) + "\r";
    case FaultKind::MissingChecksum: return reply + "\r";
    case FaultKind::CutShort: {
        std::string framed = FrameLine(reply, checksum);
        size_t text = framed.size() - 1;
        size_t keep = f.length > 0 ? std::min<size_t>(f.length, text) : text / 2;
        return framed.substr(0, keep) + "\r";
    }
    case FaultKind::NeverEnded: {
        std::string framed = FrameLine(reply, checksum);
        framed.pop_back();
        return framed;
    }
    case FaultKind::TrailingBytes:
        return FrameLine(reply, checksum) + (f.bytes.empty() ? std::string("XY") : f.bytes);
    case FaultKind::Overlong: {
        size_t length = f.length > 0 ? static_cast<size_t>(f.length) : 200;
        if (reply.size() < length) reply.append(length - reply.size(), '0');
        break;
    }
    case FaultKind::Unplug: *unplug = 1; return "";
    case FaultKind::Double: *copyMs = f.delayMs > 0 ? f.delayMs : 5; break;
    case FaultKind::Garbage:
        reply = reply.substr(0, 1) + (f.bytes.empty() ? "12abc" : f.bytes);
        break;
    case FaultKind::Inserted: {
        size_t at =
            std::min<size_t>(f.length > 0 ? static_cast<size_t>(f.length) : 0, reply.size());
        reply.insert(at, f.bytes.empty() ? std::string(1, '\0') : f.bytes);
        break;
    }
    case FaultKind::OtherAddress:
        // Only the replies that carry the address: "!AA..." and "?AA".
        if (reply.size() >= 3 && (reply[0] == '!' || reply[0] == '?') &&
            reply.compare(1, 2, Hex2(address)) == 0)
            reply.replace(1, 2, Hex2(f.address >= 0 ? f.address : address + 1));
        break;
    case FaultKind::AllChannels: break; // the reply was made for the whole module
    case FaultKind::Stray:
        *strayMs = f.delayMs > 0 ? f.delayMs : 0;
        *stray = FrameLine(f.bytes.empty() ? reply : f.bytes, checksum);
        break;
    }
    return FrameLine(reply, checksum);
}

ClockFunction defaultClock = nullptr;

long long SteadyMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void SetDefaultClock(ClockFunction clock) {
    defaultClock = clock;
}

Bus::Bus() : t0_(Clock::now()), replugDue_(t0_) {}

Bus::~Bus() {
    Close();
}

int Bus::Open(std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (opened_) return 1;
    if (pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0) {
        SetError(error, "pipe2");
        wake_[0] = wake_[1] = -1;
        return 0;
    }
    if (!OpenPtyLocked(error)) {
        close(wake_[0]);
        close(wake_[1]);
        wake_[0] = wake_[1] = -1;
        return 0;
    }
    opened_ = 1;
    return 1;
}

int Bus::OpenPtyLocked(std::string* error) {
    int m = posix_openpt(O_RDWR | O_NOCTTY);
    if (m < 0) {
        SetError(error, "posix_openpt");
        return 0;
    }
    char name[128];
    if (grantpt(m) != 0 || unlockpt(m) != 0 || ptsname_r(m, name, sizeof name) != 0) {
        SetError(error, "pseudo-terminal slave");
        close(m);
        return 0;
    }
    // The spare slave descriptor keeps the line alive while the driver has the port closed:
    // without it the master would see a hang-up and the settings would be lost.
    int s = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (s < 0) {
        SetError(error, name);
        close(m);
        return 0;
    }
    termios t;
    if (tcgetattr(s, &t) == 0) {
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(s, TCSANOW, &t);
    }
    fcntl(m, F_SETFL, fcntl(m, F_GETFL) | O_NONBLOCK);
    fcntl(m, F_SETFD, FD_CLOEXEC);
    master_ = m;
    spare_ = s;
    slavePath_ = name;
    plugged_ = 1;
    rx_.clear();
    rxOverlong_ = 0;
    pending_.clear();
    UpdateLinkLocked();
    return 1;
}

void Bus::ClosePtyLocked() {
    // The device goes, and its name with it: a pseudo-terminal's number is
    // soon another's, and a driver that opens the old name must not reach it.
    struct stat st;
    if (!linkPath_.empty() && lstat(linkPath_.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        unlink(linkPath_.c_str());
    if (master_ >= 0) close(master_);
    if (spare_ >= 0) close(spare_);
    master_ = spare_ = -1;
    slavePath_.clear();
    plugged_ = 0;
    rx_.clear();
    rxOverlong_ = 0;
    pending_.clear();
}

void Bus::Close() {
    Stop();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!opened_) return;
    ClosePtyLocked();
    struct stat st;
    if (!linkPath_.empty() && lstat(linkPath_.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        unlink(linkPath_.c_str());
    close(wake_[0]);
    close(wake_[1]);
    wake_[0] = wake_[1] = -1;
    opened_ = 0;
    replugAt_ = 0;
    changed_.notify_all();
}

int Bus::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return opened_;
}

std::string Bus::SlavePath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return slavePath_;
}

int Bus::SetLink(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    linkPath_ = path;
    return UpdateLinkLocked();
}

std::string Bus::LinkPath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return linkPath_;
}

int Bus::UpdateLinkLocked() {
    if (linkPath_.empty() || slavePath_.empty()) return 1;
    // A new link under a temporary name, then renamed over the old one, so a driver that
    // opens the link meanwhile finds either the old device or the new one.
    char temp[4096];
    snprintf(temp, sizeof temp, "%s.modsim%ld", linkPath_.c_str(), static_cast<long>(getpid()));
    unlink(temp);
    if (symlink(slavePath_.c_str(), temp) != 0) return 0;
    if (rename(temp, linkPath_.c_str()) != 0) {
        unlink(temp);
        return 0;
    }
    return 1;
}

void Bus::SetBaud(int baud, int bitsPerChar) {
    std::lock_guard<std::mutex> lock(mutex_);
    baud_ = baud > 0 ? baud : 0;
    bitsPerChar_ = bitsPerChar > 0 ? bitsPerChar : 0;
}

void Bus::SetWireTime(int on) {
    std::lock_guard<std::mutex> lock(mutex_);
    wireTime_ = on ? 1 : 0;
}

void Bus::SetClock(ClockFunction clock) {
    std::lock_guard<std::mutex> lock(mutex_);
    clock_ = clock;
}

long long Bus::ReplyNow() const {
    ClockFunction clock = clock_ ? clock_ : defaultClock;
    return clock ? clock() : SteadyMicroseconds();
}

int Bus::AddModule(int address, const std::string& model, int checksum) {
    const Profile* p = FindProfile(model);
    return p ? AddModule(address, *p, checksum) : 0;
}

int Bus::AddModule(int address, const Profile& profile, int checksum) {
    if (address < 0 || address >= kAddresses) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Slot& s = slots_[address];
    s.used = 1;
    s.module = Module();
    s.module.address = address;
    s.module.profile = &profile;
    s.module.checksum = checksum ? 1 : 0;
    s.module.typeCode = profile.typeCode;
    s.module.dataFormat = profile.dataFormat;
    for (unsigned char& type : s.module.channelTypes)
        type = profile.inputType;
    unsigned char code = BaudCode(baud_);
    s.module.baudCode = code ? code : 6;
    s.faults.clear();
    return 1;
}

int Bus::RemoveModule(int address) {
    if (address < 0 || address >= kAddresses) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    int was = slots_[address].used;
    slots_[address] = Slot();
    return was;
}

int Bus::HasModule(int address) const {
    if (address < 0 || address >= kAddresses) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    return slots_[address].used;
}

int Bus::EditModule(int address, const std::function<void(Module&)>& edit) {
    if (address < 0 || address >= kAddresses) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!slots_[address].used) return 0;
    edit(slots_[address].module);
    return 1;
}

int Bus::SetChecksum(int address, int on) {
    return EditModule(address, [on](Module& m) { m.checksum = on ? 1 : 0; });
}

int Bus::SetChannel(int address, int channel, double value) {
    if (channel < 0 || channel >= kMaxChannels) return 0;
    return EditModule(address, [channel, value](Module& m) {
        m.channels[channel] = value;
        m.waveOn[channel] = 0;
    });
}

int Bus::SetWaveform(int address, int channel, const Waveform& wave) {
    if (channel < 0 || channel >= kMaxChannels) return 0;
    return EditModule(address, [channel, &wave](Module& m) {
        m.waves[channel] = wave;
        m.waveOn[channel] = 1;
    });
}

int Bus::SetDigitalInputs(int address, unsigned bits) {
    return EditModule(address, [bits](Module& m) { m.digitalInputs = bits; });
}

int Bus::GetModule(int address, Module* out) const {
    if (address < 0 || address >= kAddresses) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!slots_[address].used) return 0;
    if (out) *out = slots_[address].module;
    return 1;
}

int Bus::InjectFault(int address, const Fault& fault) {
    if (address < 0 || address >= kAddresses || fault.times == 0) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!slots_[address].used) return 0;
    slots_[address].faults.push_back(fault);
    return 1;
}

int Bus::ClearFaults(int address) {
    if (address < 0 || address >= kAddresses) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    slots_[address].faults.clear();
    return slots_[address].used;
}

size_t Bus::PendingFaults(int address) const {
    if (address < 0 || address >= kAddresses) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    return slots_[address].faults.size();
}

std::vector<LogEntry> Bus::Log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

size_t Bus::LogCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_.size();
}

void Bus::ClearLog() {
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
}

int Bus::WaitForLog(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0),
                             [&] { return log_.size() >= count; })
               ? 1
               : 0;
}

size_t Bus::Heard() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return heard_;
}

int Bus::WaitForHeard(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0),
                             [&] { return heard_ >= count; })
               ? 1
               : 0;
}

size_t Bus::RepliesOnTheWay() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_.size();
}

void Bus::SetTrace(std::function<void(const LogEntry&)> trace) {
    std::lock_guard<std::mutex> lock(mutex_);
    trace_ = std::move(trace);
}

double Bus::Seconds(Clock::time_point t) const {
    return std::chrono::duration<double>(t - t0_).count();
}

double Bus::Now() const {
    return Seconds(Clock::now());
}

void Bus::Wake() {
    if (wake_[1] >= 0) {
        char c = 'w';
        ssize_t r = write(wake_[1], &c, 1);
        (void)r;
    }
}

/* ---- serving ---- */

int Bus::Pump(int timeoutMs) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!opened_) return 0;
        if (pumping_) return -1;
        if (running_ && std::this_thread::get_id() != thread_.get_id()) return -1;
        pumping_ = 1;
        pumpThread_ = std::this_thread::get_id();
    }
    int handled = 0;
    int wrote = 0;
    int hangup = 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    for (;;) {
        int fd = -1;
        Clock::time_point now;
        Clock::time_point wakeAt = deadline;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ServeRequestsLocked();
            wrote += WriteDueLocked();
            if (stop_) break;
            if ((handled > 0 || wrote > 0) && pending_.empty()) break;
            now = Clock::now();
            if (now >= deadline) break;
            if (!pending_.empty()) {
                const Pending& p = pending_.front();
                long long left = (p.firstWritten ? p.due : p.first) - ReplyNow();
                // A clock of the caller's may move in steps of its own: look again soon.
                if (clock_ || defaultClock) left = std::min(left, 200LL);
                wakeAt = std::min(wakeAt, now + std::chrono::microseconds(std::max(0LL, left)));
            }
            if (replugAt_) wakeAt = std::min(wakeAt, replugDue_);
            if (plugged_ && !hangup) fd = master_;
        }
        // To the microsecond, so a reply held back for its wire time goes out when due.
        auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(wakeAt - now).count();
        if (wait < 0) wait = 0;
        timespec timeout = {static_cast<time_t>(wait / 1000000000LL),
                            static_cast<long>(wait % 1000000000LL)};
        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {fd, POLLIN, 0}};
        int n = ppoll(fds, fd >= 0 ? 2 : 1, &timeout, nullptr);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (read(wake_[0], drain, sizeof drain) > 0) {
            }
        }
        if (fd >= 0 && (fds[1].revents & POLLIN)) {
            char buf[512];
            ssize_t r = read(fd, buf, sizeof buf);
            if (r > 0) {
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    rxTime_ = ReplyNow();
                }
                TakeBytes(buf, static_cast<size_t>(r), &handled);
            }
        } else if (fd >= 0 && (fds[1].revents & (POLLHUP | POLLERR))) {
            // Should not happen while the spare slave is open; stop watching the master for
            // this call rather than spin on it.
            hangup = 1;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    pumping_ = 0;
    pumpThread_ = std::thread::id();
    changed_.notify_all();
    return handled;
}

void Bus::TakeBytes(const char* data, size_t n, int* handled) {
    for (size_t i = 0; i < n; ++i) {
        char c = data[i];
        if (c != '\r') {
            if (rx_.size() < kMaxInputLine)
                rx_ += c;
            else
                rxOverlong_ = 1;
            continue;
        }
        std::string line;
        line.swap(rx_);
        int overlong = rxOverlong_;
        rxOverlong_ = 0;
        HandleLine(line, overlong);
        ++*handled;
        std::lock_guard<std::mutex> lock(mutex_);
        if (!plugged_) return; // the rest of the read went into a port that is gone
    }
}

void Bus::HandleLine(const std::string& line, int overlong) {
    LogEntry entry;
    std::function<void(const LogEntry&)> trace;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Clock::time_point now = Clock::now();
        entry.timeS = Seconds(now);
        entry.line = line;
        entry.overlong = overlong;
        Answer answer;
        if (!overlong) AnswerLocked(line, &entry, &answer);
        entry.reply = answer.bytes;
        if (answer.strayMs >= 0) QueueStrayLocked(answer.stray, answer.strayMs);
        if (!answer.bytes.empty()) QueueReplyLocked(answer.bytes, answer.delayMs, line.size() + 1);
        if (!answer.bytes.empty() && answer.copyMs >= 0)
            QueueReplyLocked(answer.bytes, answer.delayMs + answer.copyMs, line.size() + 1);
        // A reply due at once is on its way before the line counts as heard.
        WriteDueLocked();
        log_.push_back(entry);
        ++heard_;
        if (answer.unplug) {
            ClosePtyLocked();
            replugAt_ = answer.unplugMs >= 0;
            replugDue_ =
                now + std::chrono::milliseconds(answer.unplugMs >= 0 ? answer.unplugMs : 0);
        }
        changed_.notify_all();
        trace = trace_;
    }
    if (trace) trace(entry);
}

void Bus::AnswerLocked(const std::string& line, LogEntry* entry, Answer* answer) {
    // "~**": keep-alive to every module, no reply. It may carry its checksum.
    if (StartsWith(line, "~**")) {
        std::string rest = line.substr(3);
        if (rest.empty() || rest == ChecksumDigits("~**")) {
            for (Slot& s : slots_) {
                if (!s.used) continue;
                ++s.module.watchdog.hostOkCount;
                s.module.watchdog.lastHostOkS = entry->timeS;
            }
        }
        return;
    }
    if (line.size() < 3 || !strchr("$#%@~", line[0])) return;
    int hi = HexDigit(line[1]);
    int lo = HexDigit(line[2]);
    if (hi < 0 || lo < 0) return;
    int address = hi * 16 + lo;
    entry->address = address;
    Slot& slot = slots_[address];
    if (!slot.used) return; // nobody there: silence
    Module& m = slot.module;

    Command c;
    c.lead = line[0];
    c.address = address;
    c.timeS = entry->timeS;
    // A module that uses checksums ignores a line whose checksum is wrong or missing.
    if (!UnframeLine(line, m.checksum, &c.text) || c.text.size() < 3) {
        if (m.answerBadChecksum) answer->bytes = FrameLine("?" + Hex2(address), m.checksum);
        return;
    }
    c.body = c.text.substr(3);

    std::string reply;
    int known = 0;
    const CommandEntry* tables[2] = {m.profile ? m.profile->commands : nullptr, kCommonCommands};
    const CommandEntry* row = nullptr;
    for (const CommandEntry* table : tables) {
        for (const CommandEntry* r = table; r && r->lead; ++r) {
            if (r->lead == c.lead && StartsWith(c.body, r->key)) {
                row = r;
                break;
            }
        }
        if (row) break;
    }
    if (row) {
        c.args = c.body.substr(strlen(row->key));
        known = row->handler(m, c, reply);
    }
    if (!known) reply = "?" + Hex2(address);
    if (reply.empty()) return; // a command without reply

    for (size_t i = 0; i < slot.faults.size(); ++i) {
        Fault& f = slot.faults[i];
        if (f.untilS > 0.0 && entry->timeS >= f.untilS) {
            slot.faults.erase(slot.faults.begin() + i--);
            continue;
        }
        if (entry->timeS < f.fromS) continue;
        if (!f.match.empty() && !StartsWith(c.text, f.match)) continue;
        if (f.every > 1 && ++f.seen % f.every != 0) continue;
        if (f.kind == FaultKind::AllChannels && known && row && !c.args.empty()) {
            // The same command without its channel: what the module gives for all of them.
            Command all = c;
            all.body = c.body.substr(0, c.body.size() - c.args.size());
            all.args.clear();
            std::string whole;
            if (row->handler(m, all, whole) && !whole.empty()) reply = whole;
        }
        entry->fault = FaultName(f.kind);
        answer->bytes = ShapeReply(reply, address, m.checksum, f, &answer->delayMs, &answer->unplug,
                                   &answer->copyMs, &answer->strayMs, &answer->stray);
        if (answer->unplug) answer->unplugMs = f.delayMs;
        if (f.times > 0 && --f.times == 0) slot.faults.erase(slot.faults.begin() + i);
        return;
    }
    answer->bytes = FrameLine(reply, m.checksum);
}

int Bus::EffectiveBaudLocked() const {
    if (baud_ > 0) return baud_;
    termios t;
    int baud = spare_ >= 0 && tcgetattr(spare_, &t) == 0 ? SpeedToBaud(cfgetospeed(&t)) : 0;
    return baud > 0 ? baud : 9600;
}

int Bus::BitsPerCharLocked() const {
    if (bitsPerChar_ > 0) return bitsPerChar_;
    termios t;
    if (spare_ < 0 || tcgetattr(spare_, &t) != 0) return 10;
    int data = 8;
    switch (t.c_cflag & CSIZE) {
    case CS5: data = 5; break;
    case CS6: data = 6; break;
    case CS7: data = 7; break;
    default: break;
    }
    // Start bit, data bits, parity bit, stop bits.
    return 1 + data + ((t.c_cflag & PARENB) ? 1 : 0) + ((t.c_cflag & CSTOPB) ? 2 : 1);
}

long long Bus::WireUsLocked(size_t bytes) const {
    if (!wireTime_) return 0;
    return static_cast<long long>(bytes) * BitsPerCharLocked() * 1000000LL / EffectiveBaudLocked();
}

void Bus::ScheduleLocked(const std::string& bytes, long long start, long long length, int whole) {
    // One line at a time on the wire: a reply held back does not hold the line before it
    // begins, and one that would run into another waits until that one is through.
    for (const Pending& other : pending_)
        if (start < other.due && start + length > other.start) start = other.due;
    Pending p;
    p.bytes = bytes;
    p.start = start;
    p.due = start + length;
    p.first = whole || length == 0 ? p.due : start + WireUsLocked(1);
    p.firstWritten = 0;
    pending_.push_back(p);
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Pending& a, const Pending& b) { return a.start < b.start; });
}

void Bus::QueueReplyLocked(const std::string& bytes, int delayMs, size_t requestBytes) {
    // On the line the module hears the request's last bit only after its bits, counted from
    // when its bytes came in, not from when this bus got round to answering them.
    long long start =
        (wireTime_ ? rxTime_ : ReplyNow()) + delayMs * 1000LL + WireUsLocked(requestBytes);
    ScheduleLocked(bytes, start, WireUsLocked(bytes.size()), 0);
}

void Bus::QueueStrayLocked(const std::string& bytes, int delayMs) {
    // Its bits were on the line before: it arrives whole at its time.
    long long due = (wireTime_ ? rxTime_ : ReplyNow()) + delayMs * 1000LL;
    long long length = WireUsLocked(bytes.size());
    ScheduleLocked(bytes, due - length, length, 1);
}

int Bus::WritePendingLocked(const std::string& b) {
    size_t off = 0;
    while (off < b.size()) {
        ssize_t w = write(master_, b.data() + off, b.size() - off);
        if (w > 0) {
            off += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        return 0; // the driver does not read and the line is full: the rest is lost
    }
    return 1;
}

int Bus::WriteDueLocked() {
    if (!plugged_) {
        pending_.clear();
        return 0;
    }
    long long now = ReplyNow();
    size_t done = 0;
    // In order, a line whole before the next begins: lines on one wire never mix.
    while (done < pending_.size()) {
        Pending& p = pending_[done];
        if (!p.firstWritten) {
            if (p.first > now) break;
            if (p.due > now && p.bytes.size() > 1) {
                WritePendingLocked(p.bytes.substr(0, 1));
                p.firstWritten = 1;
                break;
            }
        }
        if (p.due > now) break;
        WritePendingLocked(p.firstWritten ? p.bytes.substr(1) : p.bytes);
        ++done;
    }
    pending_.erase(pending_.begin(), pending_.begin() + done);
    return static_cast<int>(done);
}

void Bus::ServeRequestsLocked() {
    if (unplugRequest_) {
        unplugRequest_ = 0;
        ClosePtyLocked();
        replugAt_ = 0;
        ++requestsServed_;
        changed_.notify_all();
    }
    if (replugRequest_) {
        replugRequest_ = 0;
        if (!plugged_) OpenPtyLocked(nullptr);
        replugAt_ = 0;
        ++requestsServed_;
        changed_.notify_all();
    }
    if (replugAt_ && Clock::now() >= replugDue_) {
        replugAt_ = 0;
        if (!plugged_) OpenPtyLocked(nullptr);
        changed_.notify_all();
    }
}

// Hands a request to the thread that serves and waits two seconds at most
// for it to be taken; 1 when it was, 0 when the caller is to do it itself
// (nobody else serves), -1 when it was not taken in time.
int Bus::RequestLocked(std::unique_lock<std::mutex>& lock, int* request) {
    int other = (running_ || pumping_) && std::this_thread::get_id() != pumpThread_;
    if (!other) return 0;
    unsigned seen = requestsServed_;
    *request = 1;
    Wake();
    int taken = changed_.wait_for(lock, std::chrono::seconds(2), [&] {
        return requestsServed_ != seen || (!running_ && !pumping_);
    });
    if (requestsServed_ != seen) return 1;
    *request = 0;
    return taken ? 0 : -1;
}

int Bus::Unplug() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!opened_) return 0;
    int served = RequestLocked(lock, &unplugRequest_);
    if (served < 0) return 0;
    if (served) return !plugged_;
    ClosePtyLocked();
    replugAt_ = 0;
    return 1;
}

int Bus::Replug() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!opened_) return 0;
    if (plugged_) return 1;
    int served = RequestLocked(lock, &replugRequest_);
    if (served < 0) return 0;
    if (served) return plugged_;
    replugAt_ = 0;
    return OpenPtyLocked(nullptr);
}

int Bus::Plugged() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_;
}

/* ---- background thread ---- */

int Bus::Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!opened_) return 0;
    if (running_) return 1;
    stop_ = 0;
    exited_ = 0;
    running_ = 1;
    thread_ = std::thread(&Bus::ThreadMain, this);
    return 1;
}

void Bus::ThreadMain() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) {
                // Told while the lock is held, so Stop sees it and then no
                // more of this object is touched.
                exited_ = 1;
                changed_.notify_all();
                return;
            }
        }
        Pump(200);
    }
}

void Bus::Stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!running_) return;
    stop_ = 1;
    Wake();
    // The thread leaves within one turn of Pump (200 ms); it is waited for
    // ten seconds at most, so a stuck thread fails a test instead of hanging it.
    int gone = changed_.wait_for(lock, std::chrono::seconds(10), [&] { return exited_ != 0; });
    if (!gone) fprintf(stderr, "modsim: the serving thread did not stop; left behind\n");
    thread_.detach();
    running_ = 0;
    stop_ = 0;
    exited_ = 0;
    changed_.notify_all();
}

int Bus::Running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
}

} // namespace modsim
