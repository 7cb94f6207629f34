// modsim: stand-in remote I/O modules on a pseudo-terminal.
//
// A Bus is one serial line (one COM port): a pseudo-terminal whose slave side the driver opens,
// and the modules at addresses 0 to 255 that answer on it. Lines are the command or reply text,
// optionally followed by two upper-case hexadecimal digits of the 8-bit sum of the text
// characters, and always ended by a carriage return.
//
// A Bus serves either from the caller's thread (Pump) or from a thread of its own (Start/Stop).
// Every public method is safe to call from any thread while the background thread runs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace modsim {

/* ---- line framing ---- */

// The 8-bit sum of the character codes of the text.
unsigned char Checksum(const std::string& text);
// The two upper-case hexadecimal digits of Checksum(text).
std::string ChecksumDigits(const std::string& text);
// The line as it goes on the wire: text, the checksum digits when `checksum`, then CR.
std::string FrameLine(const std::string& text, bool checksum);
// Takes a received line (without its CR) apart. Without `checksum` the text is the line. With it
// the last two characters must be the upper-case digits of the sum of the rest; 0 when they are
// not or when the line is too short to hold them.
int UnframeLine(const std::string& line, bool checksum, std::string* text);
// Value of one hexadecimal digit (upper or lower case), -1 for any other character.
int HexDigit(char c);
// A number of exactly `digits` upper-case hexadecimal digits into *out; 0 for any other text.
int ParseHex(const std::string& text, size_t digits, unsigned* out);

/* ---- modules and their profiles ---- */

constexpr int kMaxChannels = 32;
constexpr int kAddresses = 256;

enum class Wave { Constant, Sine, Ramp, Square };

// A channel value that follows time: offset + amplitude x shape(t / period).
// Sine: sin(2 pi t / period); Ramp: rises from 0 to 1 over each period; Square: +1 for the first
// half of each period, -1 for the second. Constant ignores amplitude and period.
struct Waveform {
    Wave kind = Wave::Constant;
    double offset = 0.0;
    double amplitude = 0.0;
    double periodS = 1.0;
};
double WaveValue(const Waveform& wave, double timeS);

// The module's own output watchdog, as far as commands have set it up, and the keep-alive lines
// ("~**") the bus has seen.
struct Watchdog {
    int enabled = 0;
    int timeoutTenths = 0;
    std::string safeValue;
    unsigned hostOkCount = 0;
    double lastHostOkS = -1.0;
};

// The alarm of an analog input module with two alarm outputs (digital outputs 0 and 1 driven
// by the low and the high limit) and the settings of a counter module with two counters.
struct AlarmState {
    char mode = '0'; // '0' off, '1' momentary, '2' latched
    double high = 0.0;
    double low = 0.0;
    unsigned latched = 0; // alarm outputs a latched alarm holds until "@AACA"
};
struct CounterState {
    int inputType = 0; // "$AAB"
    int gateMode = 0;  // "$AAA"
    int filter = 0;    // "$AA4"
    int widthLow = 4;  // "$AA0L", "$AA0H", microseconds
    int widthHigh = 4;
    int trigLow = 8; // "$AA1L", "$AA1H", tenths of a volt
    int trigHigh = 24;
    unsigned preset[2] = {};     // "@AAGN", "@AAPN"
    unsigned alarmLimit[2] = {}; // "@AARP"/"@AAPA" and "@AARA"/"@AASA"
    int alarmOn[2] = {};         // "@AAEAN", "@AADAN"
    int running[2] = {1, 1};     // "$AA5N1", "$AA5N0"
};

struct Profile;

// An alarm of an analog input channel, as the module's alarm commands set it.
struct ChannelAlarm {
    int on = 0;
    double limit = 0.0;
    int latched = 0; // 1 latched, 0 momentary
    int output = 0;  // the alarm output the channel drives
};

// State of one module. Handlers read and change it with the bus lock held.
struct Module {
    int address = 0;
    const Profile* profile = nullptr;
    int checksum = 0;          // the module expects and sends checksums
    int answerBadChecksum = 0; // a line with a wrong checksum gets "?AA" instead of silence
    unsigned char typeCode = 0;
    unsigned char baudCode = 6; // 3..8: 1200..38400 baud
    unsigned char dataFormat = 0;
    double channels[kMaxChannels] = {};
    Waveform waves[kMaxChannels];
    int waveOn[kMaxChannels] = {};
    double outputs[kMaxChannels] = {};
    unsigned char channelType[kMaxChannels] = {}; // per-channel range code ("$AA9N", 7022)
    unsigned char channelSlew[kMaxChannels] = {}; // per-channel slew rate ("$AA9N", 7022)
    unsigned digitalInputs = 0;
    unsigned digitalOutputs = 0;
    unsigned counters[4] = {};       // counter inputs, read by "#AAN" and "#AAND"
    int events = 0;                  // event count of "@AARE"
    std::vector<std::string> writes; // commands that changed an output or a setting, in order
    Watchdog watchdog;
    // Settings of the analog input modules that their commands change.
    unsigned char channelTypes[kMaxChannels] = {}; // "$AA7CnRtt", read by "$AA8Cn"
    unsigned channelEnable = 0xFF;                 // "$AA5MM", read by "$AA6"
    int fahrenheit = 0;                            // temperature scale: "~AADF" 1, "~AADC" 0
    ChannelAlarm highAlarms[kMaxChannels];         // "@AAHI...", off by "@AADHCn"
    ChannelAlarm lowAlarms[kMaxChannels];          // "@AALO...", off by "@AADLCn"
    AlarmState alarm;
    CounterState counter;
    // The multi-block modules (multi.cpp): the 6016's channel mode and excitation, the 6058's
    // ports configured as inputs.
    char channelMode = '3';
    double excitation = 0.0;
    unsigned portsInput = 0;

    // The value of an input channel at the given time: the waveform when one is set, else the
    // value last set.
    double Channel(int channel, double timeS) const;
};

// One command line addressed to a module, taken apart.
struct Command {
    char lead = 0;      // '$', '#', '%', '@' or '~'
    int address = 0;    // the two hexadecimal digits after the lead character
    std::string text;   // the whole command, checksum removed
    std::string body;   // what follows the address
    std::string args;   // what follows the matched key
    double timeS = 0.0; // when it was received, seconds since the bus was made
};

// Answers one command: fills `reply` with the reply text (no checksum, no CR; left empty for a
// command that gets no reply) and returns 1, or returns 0 for a command the module does not
// know, which is answered "?AA".
using CommandHandler = int (*)(Module& module, const Command& command, std::string& reply);

// One row of a command table: lead character and the start of the body after the address. The
// first row whose lead matches and whose key starts the body takes the command, so longer keys
// go before shorter ones. A table ends with a row whose lead is 0.
struct CommandEntry {
    char lead;
    const char* key;
    CommandHandler handler;
};

// A model: what "$AAM", "$AAF" and "$AA2" report and the commands of its own. Profiles are
// referenced, not copied: a caller's own profile must outlive the bus.
struct Profile {
    const char* model;            // "$AAM" answers "!AA" followed by this
    const char* firmware;         // "$AAF" answers "!AA" followed by this
    unsigned char typeCode;       // initial type code of "$AA2"
    unsigned char dataFormat;     // initial data format of "$AA2", without the checksum bit 0x40
    int analogInputs;             // channels read by "#AA" and "#AAN"
    const char* analogFormat;     // printf format of one analog value, e.g. "%+07.2f"
    const CommandEntry* commands; // the model's own table, may be null; searched first
    unsigned char inputType = 0;  // initial type code of every channel ("$AA8Cn")
};

// The commands every model answers: "$AA2", "$AAM", "$AAF", "%AANNTTCCFF".
extern const CommandEntry kCommonCommands[];
// The analog inputs with alarm outputs, digital input and event counter (6011, 6012 and their
// series), and the counter and frequency modules (6080 and its series).
extern const CommandEntry kAlarmInputCommands[];
extern const CommandEntry kCounterCommands[];
// The modules presented as several linked blocks: 6014, 6016 and 6058 (multi.cpp).
extern const CommandEntry k6014Commands[];
extern const CommandEntry k6016Commands[];
extern const CommandEntry k6058Commands[];
// The analog output modules: single-channel (6021 and its series), two-channel (7022) and
// four-channel with digital inputs (6024 and its series).
extern const CommandEntry kAnalogOutput1Commands[];
extern const CommandEntry kAnalogOutput7022Commands[];
extern const CommandEntry kAnalogOutput4Commands[];
// An analog reading as a module in engineering units sends it: seven characters, a sign and
// the digits with the decimals of `format` ("%+07.2f"), fewer where the value needs the room
// (1234.567 in "%+07.2f" is "+1234.6"), limited to +/-999999.
std::string EngineeringValue(const char* format, double value);
// Handlers several tables share: "#AA" and "#AAN", the analog inputs in the profile's format;
// "@AARE", the event count.
int ReadAnalog(Module& module, const Command& command, std::string& reply);
int ReadEvents(Module& module, const Command& command, std::string& reply);
// The analog input modules' own commands (modsim/analogin.cpp).
extern const CommandEntry k6005Commands[];
extern const CommandEntry k6015Commands[];
extern const CommandEntry k6017Commands[];
extern const CommandEntry k6019Commands[];
// The built-in models, and one by its model text ("6018"); null when unknown.
const Profile* Profiles(size_t* count);
const Profile* FindProfile(const std::string& model);
// Baud code of the configuration (3..8) for a baud rate, 0 for a rate outside 1200..38400.
unsigned char BaudCode(int baud);

/* ---- faults ---- */

enum class FaultKind {
    Silence,         // no reply
    Late,            // the reply held back by delayMs more
    WrongFirstChar,  // first character replaced (by firstChar, or '!' <-> '>'), checksum fitting
    BadChecksum,     // two digits that are not the sum (also for a module without checksums)
    MissingChecksum, // the reply without its checksum digits
    CutShort,        // only the first `length` bytes of the line (default half), then CR
    NeverEnded,      // the whole line without its CR
    TrailingBytes,   // `bytes` (default "XY") written right after the CR, in the same write
    Overlong,        // the reply text padded to `length` characters (default 200)
    Unplug,          // no reply, the port goes away for delayMs (-1: until Replug)
    Double,          // the reply, then the same line again delayMs (default 5) later
    Garbage,      // the reply's first character, then `bytes` (default "12abc"), checksum fitting
    Inserted,     // `bytes` (default one NUL byte) put into the reply text before its `length`-th
                  // character (past its end: behind it), checksum fitting
    OtherAddress, // a reply that names the module ("!AA...", "?AA") names `address` instead
                  // (default: the module's address + 1), checksum fitting
    AllChannels,  // a one-channel read ("#AAN") answered with every channel, as "#AA" is
    Stray,        // a line of another talker, `bytes` (default: the reply's own text) framed
                  // as the module frames, whole on the line `delayMs` after the request came
                  // in (while the request may still be on the wire), ahead of the reply
};
const char* FaultName(FaultKind kind);
// The kind of a name FaultName gives; 0 for an unknown name.
int FaultKindOfName(const std::string& name, FaultKind* kind);

constexpr int kAlways = -1;

// A fault applies to the next replies of its module: `times` of them (kAlways: all), only to
// commands whose text starts with `match` when it is not empty, only to every `every`-th of
// those (the others are answered as they would be), and only to commands received from `fromS`
// on and before `untilS` (seconds of the bus, Bus::Now; 0: no limit), after which it is gone. Of
// several faults of a module the first that matches takes the reply.
struct Fault {
    FaultKind kind = FaultKind::Silence;
    int times = 1;
    std::string match;
    int delayMs = 0;
    int length = 0;
    char firstChar = 0;
    std::string bytes;
    double fromS = 0.0;
    double untilS = 0.0;
    int every = 1;
    int address = -1;
    int seen = 0; // matching replies so far, for `every`

    Fault() = default;
    explicit Fault(FaultKind k, int n = 1) : kind(k), times(n) {}
};

// A fault as the command line gives it: KIND[:key=value]... with the keys times (a number or
// "always"), match, delay (ms), length, char, bytes, from and until (s), every and address
// (decimal, or hexadecimal with 0x). Without times it applies to every reply. 1 when
// understood, else 0 and the reason in *error.
int ParseFault(const std::string& text, Fault* out, std::string* error);

/* ---- the log ---- */

struct LogEntry {
    double timeS = 0.0; // seconds since the bus was made, when the CR came in
    std::string line;   // received bytes before the CR (as far as kept for an overlong line)
    int address = -1;   // the module address read from the line, -1 when none could be read
    int overlong = 0;   // the line outgrew the input buffer and was dropped
    std::string reply;  // the bytes sent in answer, faults applied; empty for none
    std::string fault;  // name of the fault that shaped the reply, empty for none
};

/* ---- the bus ---- */

constexpr size_t kMaxInputLine = 256; // a longer line is dropped whole

// A clock in microseconds that never goes back: what the bus times its replies by. A test that
// runs the driver on a clock of its own gives the buses that clock, so a reply takes its time on
// the wire on the clock the driver measures it by.
using ClockFunction = long long (*)();
// The clock of every bus that has none of its own; null: the steady clock. Set it before a bus
// serves.
void SetDefaultClock(ClockFunction clock);

class Bus {
  public:
    Bus();
    ~Bus();
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    // Opens the pseudo-terminal (raw, with a spare slave descriptor held open so the driver can
    // close and reopen the port). 1 when open; on failure 0 and the reason in *error.
    int Open(std::string* error = nullptr);
    // Stops the thread, closes the pseudo-terminal and removes the link.
    void Close();
    int IsOpen() const;
    // The slave device the driver opens ("/dev/pts/N"); empty while unplugged or closed.
    std::string SlavePath() const;
    // Keeps a symbolic link at `path` pointing at the slave device (also after Replug); an
    // existing link or file there is replaced. Removed by Close. 1 when made.
    int SetLink(const std::string& path);
    std::string LinkPath() const;

    // The line's baud rate and bits per character (start + data + parity + stop bits). 0 (the
    // default) takes what the driver set on the port. New modules take its baud code.
    void SetBaud(int baud, int bitsPerChar = 0);
    // On (the default), every reply takes the time a line takes: a module begins to answer
    // once the last bit of its request is in, one reply at a time, and a reply's first byte
    // reaches the driver one character after it began, the rest once the line is through. Off,
    // replies go out as soon as they are made.
    void SetWireTime(int on);
    // The clock this bus times its replies by; null: the default clock. Set it before it serves.
    void SetClock(ClockFunction clock);

    int AddModule(int address, const std::string& model, int checksum);
    int AddModule(int address, const Profile& profile, int checksum);
    int RemoveModule(int address);
    int HasModule(int address) const;
    int SetChecksum(int address, int on);
    int SetChannel(int address, int channel, double value);
    int SetWaveform(int address, int channel, const Waveform& wave);
    int SetDigitalInputs(int address, unsigned bits);
    // A copy of the module's state; 0 when there is no module at the address.
    int GetModule(int address, Module* out) const;
    // Runs `edit` on the module with the bus lock held; 0 when there is no module.
    int EditModule(int address, const std::function<void(Module&)>& edit);

    int InjectFault(int address, const Fault& fault);
    int ClearFaults(int address);
    // Faults of the module not used up yet.
    size_t PendingFaults(int address) const;

    std::vector<LogEntry> Log() const;
    size_t LogCount() const;
    void ClearLog();
    // Waits until the log holds at least `count` entries, `timeoutMs` at most; 1 when it does.
    int WaitForLog(size_t count, int timeoutMs) const;
    // Lines received since the bus was made, ClearLog notwithstanding; and the wait until at
    // least `count` have come, `timeoutMs` at most (1 when they have). A line counts once its
    // reply, unless held back, has been written.
    size_t Heard() const;
    int WaitForHeard(size_t count, int timeoutMs) const;
    // Replies made and not yet wholly written to the line.
    size_t RepliesOnTheWay() const;
    // Seconds since the bus was made: the clock of the log and of a fault's from/until.
    double Now() const;
    // Called for every received line, from the serving thread, without the lock held.
    void SetTrace(std::function<void(const LogEntry&)> trace);

    // Serves from the caller's thread: reads what the driver wrote, answers complete lines and
    // writes replies that are due. Returns once it has handled a line or written a held-back
    // reply and nothing is left to send, or when timeoutMs have passed; the answer is the
    // number of lines handled, -1 while another thread serves.
    int Pump(int timeoutMs);
    // Serves from a thread of its own until Stop (or Close, or destruction). Stop waits ten
    // seconds at most for the thread to leave.
    int Start();
    void Stop();
    int Running() const;

    // Takes the port away as if its adapter were pulled (the slave device disappears, the
    // driver's descriptor reports a hang-up), and brings back a new one. 1 when done; 0 also
    // when the serving thread did not take the request within two seconds.
    int Unplug();
    int Replug();
    int Plugged() const;

  private:
    using Clock = std::chrono::steady_clock;
    // A reply on its way, in microseconds of the bus's reply clock: on the line from `start`,
    // its first byte due at `first`, the rest at `due`.
    struct Pending {
        long long start;
        long long first;
        long long due;
        std::string bytes;
        int firstWritten;
    };
    // What a received line is answered with.
    struct Answer {
        std::string bytes; // the reply as it goes on the line
        int delayMs = 0;   // held back this much more
        int unplug = 0;    // the port goes away
        int unplugMs = -1; // for this long (-1: until Replug)
        int copyMs = -1;   // the reply again this much later
        int strayMs = -1;  // a stray line this long after the request came in
        std::string stray; // its bytes
    };
    struct Slot {
        int used = 0;
        Module module;
        std::vector<Fault> faults;
    };

    int OpenPtyLocked(std::string* error);
    void ClosePtyLocked();
    int UpdateLinkLocked();
    void Wake();
    void ServeRequestsLocked();
    void TakeBytes(const char* data, size_t n, int* handled);
    void HandleLine(const std::string& line, int overlong);
    void AnswerLocked(const std::string& line, LogEntry* entry, Answer* answer);
    int RequestLocked(std::unique_lock<std::mutex>& lock, int* request);
    void QueueReplyLocked(const std::string& bytes, int delayMs, size_t requestBytes);
    void QueueStrayLocked(const std::string& bytes, int delayMs);
    // Puts a line on the wire at `start` or, where another one is on the wire then, after
    // it; `whole`: its bytes arrive together at the end, not the first one after one character.
    void ScheduleLocked(const std::string& bytes, long long start, long long length, int whole);
    int WriteDueLocked();
    int WritePendingLocked(const std::string& bytes);
    int EffectiveBaudLocked() const;
    int BitsPerCharLocked() const;
    // Microseconds of `bytes` characters on the line; 0 without wire time.
    long long WireUsLocked(size_t bytes) const;
    long long ReplyNow() const;
    double Seconds(Clock::time_point t) const;
    void ThreadMain();

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Clock::time_point t0_;
    int master_ = -1;
    int spare_ = -1;
    int wake_[2] = {-1, -1};
    int opened_ = 0;
    int plugged_ = 0;
    std::string slavePath_;
    std::string linkPath_;
    int baud_ = 0;
    int bitsPerChar_ = 0;
    int wireTime_ = 1;
    ClockFunction clock_ = nullptr;
    Slot slots_[kAddresses];
    std::vector<LogEntry> log_;
    size_t heard_ = 0;
    std::function<void(const LogEntry&)> trace_;
    std::string rx_;
    int rxOverlong_ = 0;
    std::vector<Pending> pending_;
    long long rxTime_ = 0; // reply clock: when the bytes of the latest read came in
    int replugAt_ = 0;
    Clock::time_point replugDue_;
    int unplugRequest_ = 0;
    int replugRequest_ = 0;
    unsigned requestsServed_ = 0;
    int pumping_ = 0;
    std::thread::id pumpThread_;
    std::thread thread_;
    int running_ = 0;
    int stop_ = 0;
    int exited_ = 0; // the serving thread has left ThreadMain
};

} // namespace modsim
