// The figures the bench (scripts/bench.sh) takes from the code rather than
// from a constant of its own: the pause the family "TELV" keeps between two
// writes, measured right after a write to a simulated module, and the
// characters on the wire of one reading of the bench's worksheet, its
// request and its reply, each with its carriage return. Prints
//   pause_us N
//   request_chars N
//   reply_chars N
#include "host/driver.h"
#include "host/host.h"
#include "hostsim/hostsim.h"
#include "modsim.h"
#include "serial/ports.h"
#include "serial/scan.h"
#include "serial/sercomm.h"
#include "../tests/common/remove_tree.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

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

    modsim::Bus bus;
    std::string error;
    if (!bus.Open(&error) || !bus.SetLink(dir + "/com1") || !bus.Start()) {
        fprintf(stderr, "bench: no pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    bus.AddModule(1, "6018", 0);
    ComSettings row;
    memset(&row, 0, sizeof row);
    row.Port_Number = 1;
    row.Baud_Rate = 3;
    row.Data_Bits = 8;
    row.Stop_Bits = 1;
    row.RS232_Buffer = 1;
    PortTableMerge(&row);
    if (!OpenCom(1, "bench")) return 1;

    // The request of channel 0 at address 1, as the engine formats it.
    float cell = 0.0f;
    ScanListCreate();
    ScanHandle h = ScanAddAiRead(1, 1, 0, &cell, 0);
    char request[SCAN_REQUEST_SIZE];
    if (h < 0 || !ScanFormatRequest(ScanListEntry(h), request, sizeof request)) return 1;
    // Two writes: the second starts the pause the family keeps, which is
    // whole milliseconds; the little that passed since is rounded off.
    if (!WriteCom(1, request, 0) || !WriteCom(1, request, 0)) return 1;
    FineTime pause = (ComPaceLeft() + FINE_PER_MS - 1) / FINE_PER_MS * FINE_PER_MS;
    // Their replies take their time on the line; the query drops them, and
    // takes its own.
    bus.WaitForHeard(2, 2000);
    for (int i = 0; i < 2000 && bus.RepliesOnTheWay() > 0; i++)
        Sleep(1);
    char reply[COM_REPLY_SIZE];
    if (QueryCom(1, strcpy(reply, request), sizeof reply, 0, 0) != COM_OK) return 1;

    printf("pause_us %lld\n", static_cast<long long>(pause));
    printf("request_chars %u\n", static_cast<unsigned>(strlen(request) + 1));
    printf("reply_chars %u\n", static_cast<unsigned>(strlen(reply) + 1));
    CloseCom(1);
    ScanListFree();
    bus.Close();
    RemoveTree(dir);
    return 0;
}
