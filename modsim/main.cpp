// modsim: serves simulated modules on pseudo-terminals until SIGINT or SIGTERM.
//
//   modsim [--link PATH] [--baud N] [--module ADDR:MODEL[:cs]]...
//          [--value ADDR:CH=V]... [--wave ADDR:CH:sine|ramp|square:OFFSET:AMPLITUDE:PERIOD]...
//          [--inputs ADDR=HEX]... [--fault ADDR:KIND[:key=value]...]... [--quiet]
//   modsim --help    the usage, the models and the fault kinds
//
// Every --link starts another port; --baud, --module, --value, --wave, --inputs and --fault
// that follow it belong to that port (before the first --link, to the first port). ADDR
// is decimal, or hexadecimal with 0x; MODEL is a model name such as 6018; ":cs" makes the module
// use checksums; a --module at an address given before on that port replaces that module. --value
// sets input channel CH of the module at ADDR on that port to V; --wave makes it follow a waveform
// (PERIOD in seconds); --inputs sets the module's digital input lines, bit c of the hexadecimal
// number for line c. --fault gives the module a fault (KIND silence, late, wrong-first-char,
// bad-checksum, missing-checksum, cut-short, never-ended, trailing-bytes, overlong, unplug, double,
// garbage, inserted, other-address, all-channels, stray; keys times, match, delay (ms), length,
// char, bytes, from and until (seconds after the start), every and address; without times it
// applies to every reply), for example
// "--fault 2:silence:from=2:until=12" or "--fault 1:unplug:from=5:delay=5000". For each port
// the program prints "PATH -> SLAVE" (or the slave alone without a link), then, unless --quiet,
// one line per received command with its reply. Every reply takes its time on the line, at the
// rate the driver set on the port (or the one --baud gives). At the signal it first takes in what
// the driver wrote before it (a script that counts the lines stops the simulator first).
#include "modsim.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <string>
#include <vector>

namespace {

struct ModuleArg {
    int address;
    std::string model;
    int checksum;
};

// A channel's fixed value or waveform.
struct ChannelArg {
    int address;
    int channel;
    modsim::Waveform wave; // Constant: the value is wave.offset
};

// A module's digital input lines.
struct InputsArg {
    int address;
    unsigned bits;
};

struct PortArg {
    std::string link;
    int baud = 0; // the rate the driver sets
    std::vector<ModuleArg> modules;
    std::vector<ChannelArg> channels;
    std::vector<std::pair<int, modsim::Fault>> faults;
    std::vector<InputsArg> inputs;
};

std::mutex g_out;

const char kUsage[] =
    "usage: modsim [--link PATH] [--baud N] [--module ADDR:MODEL[:cs]]...\n"
    "              [--value ADDR:CH=V]... "
    "[--wave ADDR:CH:sine|ramp|square:OFFSET:AMPLITUDE:PERIOD]...\n"
    "              [--inputs ADDR=HEX]... [--fault ADDR:KIND[:key=value]...]... [--quiet]\n"
    "       modsim --help\n";

// The usage, the models and the fault kinds, for --help.
void Help() {
    fputs(kUsage, stdout);
    printf("  Serves simulated modules on a pseudo-terminal (a link at PATH) until it is\n"
           "  stopped. Every --link starts another port; the options after it belong to\n"
           "  that port. ADDR is decimal, or hexadecimal with 0x; \":cs\" makes the module\n"
           "  use checksums; a --module at an address given before replaces that module.\n"
           "  --value and --wave set what input channel CH reads (PERIOD in seconds),\n"
           "  --inputs the digital input lines (bit c of HEX for line c). --fault keys:\n"
           "  times, match, delay (ms), length, char, bytes, from and until (seconds after\n"
           "  the start), every and address, e.g. --fault 2:silence:from=2:until=12.\n"
           "  Every reply takes its time on the line, at the rate the driver set on the\n"
           "  port or the one --baud gives.\n"
           "models:");
    size_t count = 0;
    const modsim::Profile* profiles = modsim::Profiles(&count);
    for (size_t i = 0; i < count; i++)
        printf("%s %s", i % 12 == 0 ? "\n " : "", profiles[i].model);
    printf("\nfault kinds:");
    for (int k = static_cast<int>(modsim::FaultKind::Silence);
         k <= static_cast<int>(modsim::FaultKind::Stray); k++)
        printf(" %s", modsim::FaultName(static_cast<modsim::FaultKind>(k)));
    printf("\n");
}

// Decimal, or hexadecimal after "0x"; a leading zero is still decimal.
int ParseAddress(const std::string& text, int* out) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    if (!isxdigit(static_cast<unsigned char>(digits[0]))) return 0;
    char* end = nullptr;
    long address = strtol(digits, &end, hex ? 16 : 10);
    if (text.empty() || !end || *end || address < 0 || address > 255) return 0;
    *out = static_cast<int>(address);
    return 1;
}

int ParseReal(const std::string& text, double* out) {
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (text.empty() || !end || *end || !std::isfinite(v)) return 0;
    *out = v;
    return 1;
}

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(sep, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

int ParseChannel(const std::string& text, int* channel) {
    char* end = nullptr;
    long c = strtol(text.c_str(), &end, 10);
    if (text.empty() || !end || *end || c < 0 || c >= modsim::kMaxChannels) return 0;
    *channel = static_cast<int>(c);
    return 1;
}

// ADDR:CH=V
int ParseValue(const char* text, ChannelArg* out) {
    std::string s = text;
    size_t eq = s.find('=');
    if (eq == std::string::npos) return 0;
    std::vector<std::string> where = Split(s.substr(0, eq), ':');
    double v = 0.0;
    if (where.size() != 2 || !ParseAddress(where[0], &out->address) ||
        !ParseChannel(where[1], &out->channel) || !ParseReal(s.substr(eq + 1), &v)) {
        return 0;
    }
    out->wave = modsim::Waveform();
    out->wave.offset = v;
    return 1;
}

// ADDR:CH:KIND:OFFSET:AMPLITUDE:PERIOD
int ParseWave(const char* text, ChannelArg* out) {
    std::vector<std::string> p = Split(text, ':');
    if (p.size() != 6 || !ParseAddress(p[0], &out->address) || !ParseChannel(p[1], &out->channel))
        return 0;
    modsim::Waveform w;
    if (p[2] == "sine") {
        w.kind = modsim::Wave::Sine;
    } else if (p[2] == "ramp") {
        w.kind = modsim::Wave::Ramp;
    } else if (p[2] == "square") {
        w.kind = modsim::Wave::Square;
    } else {
        return 0;
    }
    if (!ParseReal(p[3], &w.offset) || !ParseReal(p[4], &w.amplitude) ||
        !ParseReal(p[5], &w.periodS) || w.periodS <= 0.0) {
        return 0;
    }
    out->wave = w;
    return 1;
}

// ADDR=HEX: up to eight hexadecimal digits.
int ParseInputs(const char* text, InputsArg* out) {
    std::string s = text;
    size_t eq = s.find('=');
    if (eq == std::string::npos || !ParseAddress(s.substr(0, eq), &out->address)) return 0;
    std::string hex = s.substr(eq + 1);
    if (hex.empty() || hex.size() > 8) return 0;
    unsigned bits = 0;
    for (char c : hex) {
        int d = modsim::HexDigit(c);
        if (d < 0) return 0;
        bits = bits * 16 + static_cast<unsigned>(d);
    }
    out->bits = bits;
    return 1;
}

int ParseModule(const char* text, ModuleArg* out) {
    std::string s = text;
    size_t colon = s.find(':');
    if (colon == std::string::npos || colon == 0) return 0;
    int address = 0;
    if (!ParseAddress(s.substr(0, colon), &address)) return 0;
    std::string rest = s.substr(colon + 1);
    int checksum = 0;
    size_t colon2 = rest.find(':');
    if (colon2 != std::string::npos) {
        if (rest.substr(colon2 + 1) != "cs") return 0;
        checksum = 1;
        rest = rest.substr(0, colon2);
    }
    if (!modsim::FindProfile(rest)) return 0;
    out->address = static_cast<int>(address);
    out->model = rest;
    out->checksum = checksum;
    return 1;
}

std::string Visible(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<PortArg> ports(1);
    int started = 0; // a --link has been given for ports.back()
    int quiet = 0;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!strcmp(a, "--link") && i + 1 < argc) {
            if (started) ports.emplace_back();
            ports.back().link = argv[++i];
            started = 1;
        } else if (!strcmp(a, "--baud") && i + 1 < argc) {
            int baud = atoi(argv[++i]);
            if (baud <= 0) {
                fprintf(stderr, "modsim: bad baud rate %s\n", argv[i]);
                return 2;
            }
            ports.back().baud = baud;
        } else if (!strcmp(a, "--module") && i + 1 < argc) {
            ModuleArg m;
            if (!ParseModule(argv[++i], &m)) {
                fprintf(stderr, "modsim: bad module %s (ADDR:MODEL[:cs], known model)\n", argv[i]);
                return 2;
            }
            // A module given again at an address replaces the one before.
            std::vector<ModuleArg>& modules = ports.back().modules;
            size_t k = 0;
            while (k < modules.size() && modules[k].address != m.address)
                k++;
            if (k < modules.size()) {
                modules[k] = m;
            } else {
                modules.push_back(m);
            }
        } else if (!strcmp(a, "--value") && i + 1 < argc) {
            ChannelArg c;
            if (!ParseValue(argv[++i], &c)) {
                fprintf(stderr, "modsim: bad value %s (ADDR:CH=V, channel 0 to %d)\n", argv[i],
                        modsim::kMaxChannels - 1);
                return 2;
            }
            ports.back().channels.push_back(c);
        } else if (!strcmp(a, "--wave") && i + 1 < argc) {
            ChannelArg c;
            if (!ParseWave(argv[++i], &c)) {
                fprintf(stderr,
                        "modsim: bad waveform %s (ADDR:CH:sine|ramp|square:OFFSET:AMPLITUDE:PERIOD,"
                        " period above 0)\n",
                        argv[i]);
                return 2;
            }
            ports.back().channels.push_back(c);
        } else if (!strcmp(a, "--fault") && i + 1 < argc) {
            std::string text = argv[++i];
            size_t colon = text.find(':');
            int address = 0;
            modsim::Fault fault;
            std::string error = "ADDR:KIND[:key=value]...";
            if (colon == std::string::npos || !ParseAddress(text.substr(0, colon), &address) ||
                !modsim::ParseFault(text.substr(colon + 1), &fault, &error)) {
                fprintf(stderr, "modsim: bad fault %s (%s)\n", argv[i], error.c_str());
                return 2;
            }
            ports.back().faults.push_back({address, fault});
        } else if (!strcmp(a, "--inputs") && i + 1 < argc) {
            InputsArg in;
            if (!ParseInputs(argv[++i], &in)) {
                fprintf(stderr, "modsim: bad input lines %s (ADDR=HEX)\n", argv[i]);
                return 2;
            }
            ports.back().inputs.push_back(in);
        } else if (!strcmp(a, "--quiet")) {
            quiet = 1;
        } else if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
            Help();
            return 0;
        } else {
            fprintf(stderr, "modsim: unknown option or missing value \"%s\"\n%s", a, kUsage);
            return 2;
        }
    }

    // A channel setting, input lines or a fault name a module of its own port.
    for (const PortArg& p : ports) {
        std::vector<int> addresses;
        for (const ChannelArg& c : p.channels)
            addresses.push_back(c.address);
        for (const InputsArg& in : p.inputs)
            addresses.push_back(in.address);
        for (const auto& f : p.faults)
            addresses.push_back(f.first);
        for (int address : addresses) {
            int known = 0;
            for (const ModuleArg& m : p.modules)
                known |= m.address == address;
            if (!known) {
                fprintf(stderr,
                        "modsim: no module at address %d on port %s for "
                        "--value/--wave/--inputs/--fault\n",
                        address, p.link.empty() ? "(first)" : p.link.c_str());
                return 2;
            }
        }
    }

    // Signals are taken by sigwait below; the serving threads inherit the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    std::vector<std::unique_ptr<modsim::Bus>> buses;
    for (const PortArg& p : ports) {
        auto bus = std::make_unique<modsim::Bus>();
        std::string error;
        if (!bus->Open(&error)) {
            fprintf(stderr, "modsim: %s\n", error.c_str());
            return 1;
        }
        bus->SetBaud(p.baud);
        for (const ModuleArg& m : p.modules)
            bus->AddModule(m.address, m.model, m.checksum);
        for (const ChannelArg& c : p.channels) {
            if (c.wave.kind == modsim::Wave::Constant) {
                bus->SetChannel(c.address, c.channel, c.wave.offset);
            } else {
                bus->SetWaveform(c.address, c.channel, c.wave);
            }
        }
        for (const InputsArg& in : p.inputs)
            bus->SetDigitalInputs(in.address, in.bits);
        for (const auto& f : p.faults)
            bus->InjectFault(f.first, f.second);
        if (!p.link.empty() && !bus->SetLink(p.link)) {
            fprintf(stderr, "modsim: cannot link %s: %s\n", p.link.c_str(), strerror(errno));
            return 1;
        }
        std::string name = p.link.empty() ? bus->SlavePath() : p.link;
        if (!quiet) {
            bus->SetTrace([name](const modsim::LogEntry& e) {
                std::lock_guard<std::mutex> lock(g_out);
                printf("%s %12.6f <- %s%s", name.c_str(), e.timeS, Visible(e.line).c_str(),
                       e.overlong ? " (overlong, dropped)" : "");
                if (!e.reply.empty()) printf("  -> %s", Visible(e.reply).c_str());
                if (!e.fault.empty()) printf("  [%s]", e.fault.c_str());
                printf("\n");
                fflush(stdout);
            });
        }
        {
            std::lock_guard<std::mutex> lock(g_out);
            if (p.link.empty())
                printf("%s\n", bus->SlavePath().c_str());
            else
                printf("%s -> %s\n", p.link.c_str(), bus->SlavePath().c_str());
            fflush(stdout);
        }
        bus->Start();
        buses.push_back(std::move(bus));
    }

    int sig = 0;
    sigwait(&signals, &sig);
    // Lines already written and not read yet are still handled and listed:
    // each port is served from here until it has stayed quiet for 50 ms.
    for (auto& bus : buses) {
        bus->Stop();
        while (bus->Pump(50) > 0) {
        }
        bus->Close();
    }
    return 0;
}
