// Line framing of the module protocol: text, optional checksum digits, carriage return.
#include "modsim.h"

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
    }
    return "?";
}

} // namespace modsim
