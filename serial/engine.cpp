// The one transaction in flight: send, poll, time-outs, repeats, reopening
// the port, the error texts and the error policy.
#include "serial/engine.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/records.h"
#include "host/ticks.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/sercomm.h"

#include "resource.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kSource[] = "scan";

struct Engine {
    int state;
    int entry;
    ModuleRecord* block;
    DWORD startTick;
    int timeouts;
    int badReplies;
    char errorText[SCAN_ERROR_TEXT_SIZE];
};

Engine engine = {SS_IDLE, -1, nullptr, 0, 0, 0, ""};

// The error text of a string id, with the block's name, the port and the
// address.
void FormatErrorText(UINT id, const ModuleRecord* block, int port, int address) {
    char format[160];
    if (LoadStringA(hInstDriver, id, format, sizeof format) <= 0) format[0] = 0;
    char name[sizeof(ModuleRecord::szName) + 1] = "";
    if (block) {
        snprintf(name, sizeof name, "%.*s", static_cast<int>(sizeof(ModuleRecord::szName)),
                 block->szName);
    }
    snprintf(engine.errorText, sizeof engine.errorText, format, name, port, address);
}

void SetErrorText(UINT id, const ScanEntry* e) {
    FormatErrorText(id, engine.block, e ? e->Port : 0, e ? e->Address : 0);
}

// The entry in flight, or null.
ScanEntry* Current() {
    return engine.entry >= 0 ? ScanListEntry(engine.entry) : nullptr;
}

void Fail(UINT id, ScanEntry* e) {
    SetErrorText(id, e);
    engine.state = SS_ERROR;
}

// Step 1: the request goes out on a port whose reply state has been
// discarded, so that nothing that came before it is taken for its reply.
void Send() {
    ScanEntry* e = Current();
    if (engine.state != SS_IDLE || e == nullptr) return;
    char request[SCAN_REQUEST_SIZE];
    if (!ScanFormatRequest(e, request, sizeof request)) {
        ShowInternalError("scan request", kSource, __LINE__);
        Fail(IDS_SCAN_COMM_PROBLEM, e);
        return;
    }
    ComDiscardReply(e->Port);
    if (WriteCom(e->Port, request, e->Checksum)) {
        engine.state = SS_BUSY;
    } else {
        // A port that refuses the write ends the transaction; the block's
        // policy decides what follows.
        Fail(IDS_SCAN_COMM_PROBLEM, e);
    }
}

// Step 2: poll the reply without blocking.
void Receive() {
    ScanEntry* e = Current();
    if (engine.state != SS_BUSY || e == nullptr) return;
    char reply[COM_REPLY_SIZE];
    int result = ReadCom(e->Port, reply, sizeof reply, e->Checksum);
    switch (result) {
    case COM_OK:
        if (reply[0] == ScanExpectedReply(e->Kind) && ScanParseReply(e, reply)) {
            engine.state = SS_READY;
        } else {
            engine.state = SS_BADREPLY;
        }
        break;
    case COM_INCOMPLETE: break;
    case COM_CHECKSUM: Fail(IDS_SCAN_CHECKSUM, e); break;
    default: Fail(IDS_SCAN_COMM_PROBLEM, e); break;
    }
}

void Repeat() {
    MonitorNote("Repeat");
    engine.startTick = GetTickCount();
    engine.state = SS_IDLE;
    engine.errorText[0] = 0;
    Send();
    Receive();
}

void CheckTimeOut() {
    if (engine.state != SS_BUSY) return;
    if (TicksSince(engine.startTick) <= static_cast<DWORD>(BusyTimeOut)) return;
    ScanEntry* e = Current();
    engine.timeouts++;
    if (engine.timeouts == 1) {
        Repeat();
        return;
    }
    if (engine.timeouts == 2 && ReOpenComOnError && e) {
        MonitorNote("Reopen COM");
        CloseCom(e->Port);
        if (!OpenCom(e->Port, "Error")) {
            engine.entry = -1;
            engine.state = SS_FATAL;
            StopExperiment();
            ShowWarning("Heavy Error", "Reopen COM failed!\nExperiment stopped!");
            return;
        }
        engine.startTick = GetTickCount();
        engine.state = SS_IDLE;
        Send();
        Receive();
        return;
    }
    SetErrorText(IDS_SCAN_NO_REPLY, e);
    engine.entry = -1;
    engine.state = SS_ERROR;
}

void CheckBadReply() {
    if (engine.state != SS_BADREPLY) return;
    engine.badReplies++;
    if (engine.badReplies == 1) {
        Repeat();
        // A second wrong reply in the same call is handled at once.
        if (engine.state != SS_BADREPLY) return;
        engine.badReplies++;
    }
    Fail(IDS_SCAN_COMM_PROBLEM, Current());
}

} // namespace

void ScanEngineReset() {
    engine.state = SS_IDLE;
    engine.entry = -1;
    engine.block = nullptr;
    engine.timeouts = 0;
    engine.badReplies = 0;
    engine.errorText[0] = 0;
}

int ScanBegin(ScanHandle handle, ModuleRecord* block) {
    if (handle < 0 || (ScanListExists() && handle >= ScanListCount())) {
        ShowInternalError("scan handle", kSource, __LINE__);
        return -1;
    }
    if (!ScanListExists() || engine.state != SS_IDLE) return 0;
    engine.startTick = GetTickCount();
    engine.timeouts = 0;
    engine.badReplies = 0;
    engine.errorText[0] = 0;
    engine.entry = handle;
    engine.block = block;
    return 1;
}

int ScanStep() {
    Send();
    Receive();
    CheckTimeOut();
    CheckBadReply();
    return engine.state;
}

void ScanReset() {
    engine.entry = -1;
    engine.block = nullptr;
    engine.state = SS_IDLE;
}

void ScanErrorAction(const MessParam* settings, int* waiting, double* resumeTime) {
    if (settings && settings->Error_Stop) {
        StopExperiment();
        char caption[32];
        if (LoadStringA(hInstDriver, IDS_ERROR, caption, sizeof caption) <= 0) caption[0] = 0;
        ShowWarning(caption, engine.errorText);
    } else if (settings) {
        if (settings->Error_Set_Var) {
            GlStr_Set(static_cast<WORD>(settings->Error_Var_Nr), engine.errorText,
                      static_cast<int>(strlen(engine.errorText)));
        }
        if (settings->Error_Wait_Min > 0) {
            MonitorNote("Waiting!");
            if (waiting) *waiting = 1;
            if (resumeTime)
                *resumeTime = CurrentExperimentTime(1) + settings->Error_Wait_Min * 60.0;
        } else {
            MonitorNote("Continue!");
        }
    }
    ScanReset();
}

void ScanQueryFailed(ModuleRecord* block, int port, int address, int result) {
    UINT id = result == COM_TIMEOUT    ? IDS_SCAN_NO_REPLY
              : result == COM_CHECKSUM ? IDS_SCAN_CHECKSUM
                                       : IDS_SCAN_COMM_PROBLEM;
    FormatErrorText(id, block, port, address);
}

int ScanState() {
    return engine.state;
}

int ScanCurrentEntry() {
    return engine.entry;
}

const char* ScanErrorText() {
    return engine.errorText;
}
