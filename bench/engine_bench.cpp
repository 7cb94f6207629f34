// The request engine against modsim with wire-time emulation: the achieved
// rate of a sweep of analog reads at 9600 and 115200 baud against the limit
// that the command and reply lengths, the baud rate and the family's pacing
// set, and the CPU time of one processing step.
#include "host/driver.h"
#include "host/host.h"
#include "hostsim/hostsim.h"
#include "modsim.h"
#include "serial/engine.h"
#include "serial/ports.h"
#include "serial/scan.h"
#include "serial/sercomm.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <chrono>
#include <string>

namespace {

const int kChannels = 8;
const int kTransactions = 400;
const int kBitsPerChar = 10;
// The pause the family "TELV" keeps between two writes.
const double kPacingS = 0.010;

double CpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

struct Result {
    double achieved;
    double limit;
    double sendStepUs;
    double busyStepUs;
    double readyStepUs;
};

int Run(int baud, const std::string& dir, Result* out) {
    modsim::Bus bus;
    std::string error;
    if (!bus.Open(&error) || !bus.SetLink(dir + "/com1")) {
        fprintf(stderr, "bench: no pseudo-terminal: %s\n", error.c_str());
        return 0;
    }
    bus.SetBaud(baud, kBitsPerChar);
    bus.SetWireTime(1);
    bus.AddModule(1, "6017", 0);
    for (int c = 0; c < kChannels; c++)
        bus.SetChannel(1, c, c + 0.5);
    bus.Start();
    if (!OpenCom(1, "bench")) return 0;

    static float cells[kChannels];
    ScanListCreate();
    ScanHandle handles[kChannels];
    for (int c = 0; c < kChannels; c++)
        handles[c] = ScanAddAiRead(1, 1, c, &cells[c], 0);

    ModuleRecord block = {};
    snprintf(block.szName, sizeof block.szName, "bench");
    // The limit from the lines on the wire: "#01N" and ">+0N.500", each with
    // its carriage return, against the pause between two writes.
    char request[SCAN_REQUEST_SIZE];
    ScanFormatRequest(ScanListEntry(handles[0]), request, sizeof request);
    char reply[32];
    snprintf(reply, sizeof reply, ">%+07.3f", 0.5);
    double wireS = (strlen(request) + 1 + strlen(reply) + 1) * kBitsPerChar / double(baud);
    out->limit = 1.0 / (wireS > kPacingS ? wireS : kPacingS);

    double sendCpu = 0, busyCpu = 0, readyCpu = 0;
    long busySteps = 0, readySteps = 0;
    int done = 0;
    auto start = std::chrono::steady_clock::now();
    while (done < kTransactions) {
        ScanBegin(handles[done % kChannels], &block);
        int state;
        int first = 1;
        do {
            double t0 = CpuSeconds();
            state = ScanStep();
            double t1 = CpuSeconds();
            if (first) {
                sendCpu += t1 - t0;
                first = 0;
            } else if (state == SS_BUSY) {
                busyCpu += t1 - t0;
                busySteps++;
            } else if (state == SS_READY) {
                readyCpu += t1 - t0;
                readySteps++;
            }
        } while (state == SS_BUSY);
        if (state != SS_READY) {
            fprintf(stderr, "bench: transaction failed: %s\n", ScanErrorText());
            return 0;
        }
        ScanReset();
        done++;
    }
    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out->achieved = done / elapsed;
    // The step that sends pays the paced write; the busy steps after it poll.
    out->sendStepUs = sendCpu / done * 1e6;
    out->busyStepUs = busySteps ? busyCpu / busySteps * 1e6 : 0;
    out->readyStepUs = readySteps ? readyCpu / readySteps * 1e6 : 0;
    ScanListFree();
    CloseCom(1);
    bus.Close();
    return 1;
}

} // namespace

int main() {
    char tmpl[] = "/tmp/telvio-bench-XXXXXX";
    const char* d = mkdtemp(tmpl);
    if (d == nullptr || !hostsim::Start()) return 1;
    std::string dir = d;
    hostsim::SetExeFileDir((dir + "/").c_str());
    if (!ResolveHostInterface(hostsim::MainWindow())) return 1;
    hwndHost = hostsim::MainWindow();
    FAMILY_TELV = 1;
    setenv("TELVIO_COM_DIR", dir.c_str(), 1);
    ComSettings row;
    memset(&row, 0, sizeof row);
    row.Port_Number = 1;
    row.Baud_Rate = 3;
    row.Data_Bits = 8;
    row.Stop_Bits = 1;
    row.RS232_Buffer = 1;
    PortTableMerge(&row);
    BusyTimeOut = 1500;

    // A step with nothing in flight.
    const int idleSteps = 200000;
    double t0 = CpuSeconds();
    for (int i = 0; i < idleSteps; i++)
        ScanStep();
    double idleUs = (CpuSeconds() - t0) / idleSteps * 1e6;

    printf("Request engine, family TELV (pacing %.0f ms between writes), sweep of %d analog reads "
           "of %d channels, no checksums, %d bits per character\n",
           kPacingS * 1000, kTransactions, kChannels, kBitsPerChar);
    const int bauds[] = {9600, 115200};
    int ok = 1;
    for (int baud : bauds) {
        Result r;
        if (!Run(baud, dir, &r)) {
            ok = 0;
            continue;
        }
        printf("  %6d baud: %7.2f transactions/s achieved, limit %7.2f/s, ratio %.3f\n", baud,
               r.achieved, r.limit, r.achieved / r.limit);
        printf("  %6d baud: CPU per step: %.1f us sending, %.1f us polling with nothing "
               "arrived, %.1f us when the reply completes\n",
               baud, r.sendStepUs, r.busyStepUs, r.readyStepUs);
    }
    printf("  CPU per step with nothing due (no transaction in flight): %.2f us\n", idleUs);
    std::string cmd = "rm -rf '" + dir + "'";
    (void)system(cmd.c_str());
    return ok ? 0 : 1;
}
