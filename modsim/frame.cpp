// Line framing of the module protocol: text, optional checksum digits, carriage return.
#include "modsim.h"

#include <cstdlib>

#include <cmath>
#include <cstdio>

namespace modsim {

namespace {
const double kPi = 3.14159265358979323846;
}

unsigned char Checksum(const std::string& text) {
    unsigned sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    return static_cast<unsigned char>(sum & 0xFF);
}

std::string ChecksumDigits(const std::string& text) {
    char digits[3];
    snprintf(digits, sizeof digits, "%02X", Checksum(text));
    return digits;
}

std::string FrameLine(const std::string& text, bool checksum) {
    std::string line = text;
    if (checksum) line += ChecksumDigits(text);
    line += '\r';
    return line;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int ParseHex(const std::string& text, size_t digits, unsigned* out) {
    if (text.size() != digits) return 0;
    unsigned v = 0;
    for (char ch : text) {
        int d = HexDigit(ch);
        if (d < 0 || (ch >= 'a' && ch <= 'f')) return 0;
        v = v * 16 + static_cast<unsigned>(d);
    }
    *out = v;
    return 1;
}

int UnframeLine(const std::string& line, bool checksum, std::string* text) {
    if (!checksum) {
        if (text) *text = line;
        return 1;
    }
    if (line.size() < 2) return 0;
    std::string body = line.substr(0, line.size() - 2);
    // Modules send and expect upper-case digits only.
    if (line.compare(line.size() - 2, 2, ChecksumDigits(body)) != 0) return 0;
    if (text) *text = body;
    return 1;
}

double WaveValue(const Waveform& wave, double timeS) {
    if (wave.kind == Wave::Constant || wave.periodS <= 0.0) return wave.offset;
    double phase = timeS / wave.periodS;
    phase -= std::floor(phase);
    double shape = 0.0;
    switch (wave.kind) {
    case Wave::Sine: shape = std::sin(2.0 * kPi * phase); break;
    case Wave::Ramp: shape = phase; break;
    case Wave::Square: shape = phase < 0.5 ? 1.0 : -1.0; break;
    case Wave::Constant: break;
    }
    return wave.offset + wave.amplitude * shape;
}

double Module::Channel(int channel, double timeS) const {
    if (channel < 0 || channel >= kMaxChannels) return 0.0;
    if (waveOn[channel]) return WaveValue(waves[channel], timeS);
    return channels[channel];
}

const char* FaultName(FaultKind kind) {
    switch (kind) {
    case FaultKind::Silence: return "silence";
    case FaultKind::Late: return "late";
    case FaultKind::WrongFirstChar: return "wrong-first-char";
    case FaultKind::BadChecksum: return "bad-checksum";
    case FaultKind::MissingChecksum: return "missing-checksum";
    case FaultKind::CutShort: return "cut-short";
    case FaultKind::NeverEnded: return "never-ended";
    case FaultKind::TrailingBytes: return "trailing-bytes";
    case FaultKind::Overlong: return "overlong";
    case FaultKind::Unplug: return "unplug";
    case FaultKind::Double: return "double";
    case FaultKind::Garbage: return "garbage";
    case FaultKind::Inserted: return "inserted";
    case FaultKind::OtherAddress: return "other-address";
    case FaultKind::AllChannels: return "all-channels";
    case FaultKind::Stray: return "stray";
    }
    return "?";
}

int FaultKindOfName(const std::string& name, FaultKind* kind) {
    const FaultKind kinds[] = {
        FaultKind::Silence,         FaultKind::Late,
        FaultKind::WrongFirstChar,  FaultKind::BadChecksum,
        FaultKind::MissingChecksum, FaultKind::CutShort,
        FaultKind::NeverEnded,      FaultKind::TrailingBytes,
        FaultKind::Overlong,        FaultKind::Unplug,
        FaultKind::Double,          FaultKind::Garbage,
        FaultKind::Inserted,        FaultKind::OtherAddress,
        FaultKind::AllChannels,     FaultKind::Stray,
    };
    for (FaultKind k : kinds) {
        if (name == FaultName(k)) {
            *kind = k;
            return 1;
        }
    }
    return 0;
}

namespace {

int WholeNumber(const std::string& text, long low, long high, long* out) {
    char* end = nullptr;
    long v = strtol(text.c_str(), &end, 10);
    if (text.empty() || !end || *end || v < low || v > high) return 0;
    *out = v;
    return 1;
}

int Seconds(const std::string& text, double* out) {
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (text.empty() || !end || *end || !(v >= 0.0) || v > 1e6) return 0;
    *out = v;
    return 1;
}

} // namespace

int ParseFault(const std::string& text, Fault* out, std::string* error) {
    Fault f;
    f.times = kAlways;
    size_t colon = text.find(':');
    std::string name = text.substr(0, colon);
    if (!FaultKindOfName(name, &f.kind)) {
        if (error) *error = "unknown fault '" + name + "'";
        return 0;
    }
    while (colon != std::string::npos) {
        size_t next = text.find(':', colon + 1);
        std::string item =
            text.substr(colon + 1, next == std::string::npos ? next : next - colon - 1);
        colon = next;
        size_t eq = item.find('=');
        std::string key = item.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : item.substr(eq + 1);
        long n = 0;
        int ok = eq != std::string::npos;
        if (!ok) {
        } else if (key == "times") {
            ok = value == "always"
                     ? (f.times = kAlways, 1)
                     : (WholeNumber(value, 1, 1000000, &n) && (f.times = static_cast<int>(n)));
        } else if (key == "match") {
            f.match = value;
        } else if (key == "delay") {
            ok = WholeNumber(value, -1, 3600000, &n);
            f.delayMs = static_cast<int>(n);
        } else if (key == "length") {
            ok = WholeNumber(value, 0, 100000, &n);
            f.length = static_cast<int>(n);
        } else if (key == "char") {
            ok = value.size() == 1;
            if (ok) f.firstChar = value[0];
        } else if (key == "bytes") {
            f.bytes = value;
        } else if (key == "from") {
            ok = Seconds(value, &f.fromS);
        } else if (key == "until") {
            ok = Seconds(value, &f.untilS);
        } else if (key == "every") {
            ok = WholeNumber(value, 1, 1000000, &n);
            f.every = static_cast<int>(n);
        } else if (key == "address") {
            char* end = nullptr;
            n = strtol(value.c_str(), &end, 0);
            ok = !value.empty() && end && !*end && n >= 0 && n <= 255;
            f.address = static_cast<int>(n);
        } else {
            ok = 0;
        }
        if (!ok) {
            if (error) *error = "bad fault setting '" + item + "'";
            return 0;
        }
    }
    if (f.untilS > 0.0 && f.untilS <= f.fromS) {
        if (error) *error = "a fault's until must lie after its from";
        return 0;
    }
    *out = f;
    return 1;
}

} // namespace modsim
