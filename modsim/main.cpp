// modsim: serves simulated modules on pseudo-terminals until SIGINT or SIGTERM.
//
//   modsim [--link PATH] [--baud N] [--wire-time] [--module ADDR:MODEL[:cs]]... [--quiet]
//
// Every --link starts another port; --baud, --wire-time and --module that follow it belong to
// that port (before the first --link, to the first port). ADDR is decimal, or hexadecimal with
// 0x; MODEL is a model name such as 6018; ":cs" makes the module use checksums. For each port
// the program prints "PATH -> SLAVE" (or the slave alone without a link), then, unless --quiet,
// one line per received command with its reply.
#include "modsim.h"

#include <cerrno>
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

struct PortArg {
    std::string link;
    int baud = 9600;
    int wireTime = 0;
    std::vector<ModuleArg> modules;
};

std::mutex g_out;

void Usage() {
    fprintf(stderr, "usage: modsim [--link PATH] [--baud N] [--wire-time] "
                    "[--module ADDR:MODEL[:cs]]... [--quiet]\n");
}

int ParseModule(const char* text, ModuleArg* out) {
    std::string s = text;
    size_t colon = s.find(':');
    if (colon == std::string::npos || colon == 0) return 0;
    char* end = nullptr;
    long address = strtol(s.substr(0, colon).c_str(), &end, 0);
    if (!end || *end || address < 0 || address > 255) return 0;
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
        } else if (!strcmp(a, "--wire-time")) {
            ports.back().wireTime = 1;
        } else if (!strcmp(a, "--module") && i + 1 < argc) {
            ModuleArg m;
            if (!ParseModule(argv[++i], &m)) {
                fprintf(stderr, "modsim: bad module %s (ADDR:MODEL[:cs], known model)\n", argv[i]);
                return 2;
            }
            ports.back().modules.push_back(m);
        } else if (!strcmp(a, "--quiet")) {
            quiet = 1;
        } else {
            Usage();
            return 2;
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
        bus->SetWireTime(p.wireTime);
        for (const ModuleArg& m : p.modules)
            bus->AddModule(m.address, m.model, m.checksum);
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
    for (auto& bus : buses)
        bus->Close();
    return 0;
}
