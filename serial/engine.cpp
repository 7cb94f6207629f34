// The one transaction in flight: send, poll, time-outs, repeats, reopening
// the port, the error texts and the error policy.
//
// A reply of the module protocol mostly carries no address ("#AAN" is
// answered ">value"), so the engine can tell a reply from a late or doubled
// line only by time. It writes a request only into a quiet line: whatever
// the port holds when the request is due came while no request waited and
// is dropped (and counted); after a time-out, a wrong reply or such a stray
// line the port must stay silent for a guard time before the next write; the
// purge comes after the pause between writes, right before the write.
//
// A module answers only once it has heard the request's last character, so
// a line that began before the request could have been sent and heard at
// the port's rate is no answer to it: a late line of an earlier request,
// dropped and counted, while the request waits on for its own reply. When a
// line began is known to the character: the bytes of a line seen so far
// cannot have come faster than the line carries them. A reply is taken only
// once the line has stayed quiet behind it for as long as the reply itself
// took, and until the next write may go out: a second line within that time
// means two answers to one request, and neither is kept.
//
// A request that timed out may still be answered, later: until that line
// has shown (and been dropped) or four reply time-outs more have passed, the
// port owes it. While it does, a line that comes only after a module would
// have answered is taken for the owed one and dropped, and the request waits
// on for its own reply; so also the repeat of the request that timed out,
// which would otherwise take the first attempt's reading for its own.
#include "serial/engine.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/records.h"
#include "host/ticks.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/sercomm.h"
#include "serial/watchdog.h"

#include "resource.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kSource[] = "scan";

struct Engine {
    int state; // SS_IDLE with an entry current: begun, its write not yet out
    int entry;
    ModuleRecord* block;
    FineTime sentAt; // the write of the request (or of its latest repeat)
    double sentTime; // the same, in experiment time
    int timeouts;    // time-outs and failed writes of this transaction
    int badReplies;
    int retry;          // one attempt only: the retry of a module that has been failing
    int reopened;       // the port has been reopened within this transaction
    int haveReply;      // a complete line waits for the line to stay quiet
    FineTime heardFrom; // no reply can have begun before: the request was on the line until then
    int lineSeen;       // bytes of the line being received have come
    FineTime lineBegan; // the latest the line can have begun, by its bytes so far
    FineTime replyAt;   // the reply waiting to be judged was whole then
    int replyChars;     // and took this many characters on the line
    FineTime charTime;  // one character on the request's line
    char reply[COM_REPLY_SIZE];
    char errorText[SCAN_ERROR_TEXT_SIZE];
};

Engine engine = {SS_IDLE, -1, nullptr, 0, 0.0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", ""};

// What the engine knows of each port's line.
struct Line {
    int guarded;        // the next write waits for the line to be quiet
    FineTime quietFrom; // the line has been silent since
    int writeWarned;    // a failed write has been shown; a good one clears it
    int owed;           // lines of requests that timed out and may still come
    FineTime owedFrom;  // the latest of those time-outs
};

// How soon after hearing its request a module begins to answer, at most,
// with what a port may add in handing its bytes on.
const FineTime kAnswerWithin = 20 * FINE_PER_MS;

Line lines[MAX_COM_PORTS + 1];
int droppedLines;

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

Line* LineOf(int port) {
    return port >= 1 && port <= MAX_COM_PORTS ? &lines[port] : nullptr;
}

void Fail(UINT id, ScanEntry* e) {
    SetErrorText(id, e);
    engine.haveReply = 0;
    engine.state = SS_ERROR;
}

} // namespace

// Long enough for a reply a little behind its time-out to show up.
FineTime ScanLineGuard() {
    FineTime timeout = BusyTimeOut > 0 ? BusyTimeOut : 0;
    FineTime guard = timeout / 4;
    if (guard < 50) guard = 50;
    if (guard > 1000) guard = 1000;
    return guard * FINE_PER_MS;
}

namespace {

void Guard(int port) {
    Line* l = LineOf(port);
    if (!l) return;
    l->guarded = 1;
    l->quietFrom = FineNow();
}

// A line the port owed has shown.
void Paid(Line* l) {
    if (l && l->owed > 0) l->owed--;
}

// Lines the port still owes: none once four reply time-outs have passed
// since the latest request that timed out.
int Owed(int port) {
    Line* l = LineOf(port);
    if (!l || !l->owed) return 0;
    FineTime timeout = static_cast<FineTime>(static_cast<DWORD>(BusyTimeOut)) * FINE_PER_MS;
    if (FinePassed(&l->owedFrom, 4 * timeout)) l->owed = 0;
    return l->owed;
}

// The request in flight timed out: its line may still come.
void Owe(int port) {
    Line* l = LineOf(port);
    if (!l) return;
    if (l->owed < 16) l->owed++;
    l->owedFrom = FineNow();
}

// A line that was no reply to the request waiting: perhaps one the port owed.
void LateLineDropped(int port) {
    droppedLines++;
    MonitorNote("Late reply dropped");
    Paid(LineOf(port));
}

// 1 when a request may go out on the port now. What the port holds came
// while no request waited for it: it is dropped, counted and noted, and the
// line is guarded. A guarded line must have been silent for the guard time.
int LineQuiet(int port) {
    Line* l = LineOf(port);
    if (!l) return 1;
    if (ComPendingBytes(port) > 0) {
        ComDiscardReply(port);
        LateLineDropped(port);
        Guard(port);
    }
    if (!l->guarded) return 1;
    if (!FinePassed(&l->quietFrom, ScanLineGuard())) return 0;
    l->guarded = 0;
    return 1;
}

// A write the port refused is shown once per port, until a write on that
// port succeeds again.
void WriteFailed(int port) {
    Line* l = LineOf(port);
    if (l && l->writeWarned) return;
    if (l) l->writeWarned = 1;
    ShowWarning("!", "WriteCom (RequestCommand)");
}

void NoReply(ScanEntry* e) {
    SetErrorText(IDS_SCAN_NO_REPLY, e);
    engine.entry = -1;
    engine.haveReply = 0;
    engine.state = SS_ERROR;
}

// The request goes out again: at the next step, once the line is quiet.
void Repeat() {
    MonitorNote("Repeat");
    engine.state = SS_IDLE;
    engine.haveReply = 0;
    engine.errorText[0] = 0;
}

// A time-out or a refused write: the first is repeated, the second reopens
// the port when ReOpenComOnError is set (a refused write of a retry at
// once), then the transaction fails. A port that cannot be reopened fails
// the transaction; the port is tried again by the next request.
void TimedOut(ScanEntry* e, int writeFailed) {
    engine.timeouts++;
    Guard(e->Port);
    if (!writeFailed) Owe(e->Port);
    int reopen =
        ReOpenComOnError && !engine.reopened && (engine.retry ? writeFailed : engine.timeouts == 2);
    if (reopen) {
        MonitorNote("Reopen COM");
        engine.reopened = 1;
        if (!ReopenCom(e->Port)) {
            MonitorNote("Reopen failed");
            NoReply(e);
            return;
        }
        Guard(e->Port);
        engine.state = SS_IDLE;
        engine.haveReply = 0;
        return;
    }
    if (!engine.retry && engine.timeouts == 1) {
        Repeat();
        return;
    }
    NoReply(e);
}

// Step 1: the request goes out once the pause between writes is over and
// the line is quiet; until then the call does nothing.
void Send() {
    ScanEntry* e = Current();
    if (engine.state != SS_IDLE || e == nullptr) return;
    if (!ComPaceReady() || !LineQuiet(e->Port)) return;
    char request[SCAN_REQUEST_SIZE];
    if (!ScanFormatRequest(e, request, sizeof request)) {
        ShowInternalError("scan request", kSource, __LINE__);
        Fail(IDS_SCAN_COMM_PROBLEM, e);
        return;
    }
    ComDiscardReply(e->Port);
    FineTime writing = FineNow();
    if (WriteCom(e->Port, request, e->Checksum)) {
        engine.state = SS_BUSY;
        engine.sentAt = FineNow();
        engine.sentTime = CurrentExperimentTime(1);
        engine.haveReply = 0;
        // The framed line: the text, the checksum digits, the carriage return.
        FineTime chars = static_cast<FineTime>(strlen(request)) + (e->Checksum ? 3 : 1);
        engine.charTime = ComCharTime(e->Port);
        engine.heardFrom = writing + chars * engine.charTime;
        engine.lineSeen = 0;
        if (Line* l = LineOf(e->Port)) l->writeWarned = 0;
        return;
    }
    WriteFailed(e->Port);
    TimedOut(e, 1);
}

// The line being received holds `chars` characters now: it began that many
// character times ago at the latest.
void LineSeen(int chars, FineTime charTime) {
    if (chars <= 0) return;
    FineTime began = FineNow() - chars * charTime;
    if (!engine.lineSeen || began < engine.lineBegan) engine.lineBegan = began;
    engine.lineSeen = 1;
}

// Step 2: poll the reply without blocking; a line that began before the
// request could have been heard is dropped, and a reply is judged once the
// line has stayed quiet behind it for as long as it took, and the next write
// may go out.
void Receive() {
    ScanEntry* e = Current();
    if (engine.state != SS_BUSY || e == nullptr) return;
    const FineTime charTime = engine.charTime;
    while (!engine.haveReply) {
        int result = ReadCom(e->Port, engine.reply, sizeof engine.reply, e->Checksum);
        if (result == COM_INCOMPLETE) {
            LineSeen(ComPendingBytes(e->Port), charTime);
            return;
        }
        if (result == COM_OK || result == COM_CHECKSUM) {
            // The text as read, its checksum digits and its carriage return.
            int chars = static_cast<int>(strlen(engine.reply)) + (e->Checksum ? 3 : 1);
            LineSeen(chars, charTime);
            engine.lineSeen = 0;
            // Begun before the request was heard, or, while the port owes a
            // line, later than a module answers: not this request's reply.
            int late = engine.lineBegan < engine.heardFrom ||
                       (Owed(e->Port) && engine.lineBegan > engine.heardFrom + kAnswerWithin);
            if (late) {
                LateLineDropped(e->Port);
                continue;
            }
            if (result == COM_OK) {
                // A reply that is not of the kind's shape is wrong at once;
                // one that is, only once the line has stayed quiet behind it.
                if (engine.reply[0] != ScanExpectedReply(e->Kind) ||
                    !ScanReplyFits(e, engine.reply)) {
                    engine.state = SS_BADREPLY;
                    return;
                }
                engine.haveReply = 1;
                engine.replyAt = FineNow();
                engine.replyChars = chars;
                break;
            }
            Guard(e->Port);
            Fail(IDS_SCAN_CHECKSUM, e);
            return;
        }
        Guard(e->Port);
        Fail(IDS_SCAN_COMM_PROBLEM, e);
        return;
    }
    if (ComPendingBytes(e->Port) > 0) {
        // A second line behind the reply: two answers to one request, or
        // one and a line the port owed.
        Paid(LineOf(e->Port));
        engine.haveReply = 0;
        engine.state = SS_BADREPLY;
        return;
    }
    if (ComPaceLeft() > 0) return;
    if (!FinePassed(&engine.replyAt, engine.replyChars * charTime)) return;
    engine.haveReply = 0;
    engine.state = ScanParseReply(e, engine.reply) ? SS_READY : SS_BADREPLY;
}

// Step 3: a request whose reply has not come within BusyTimeOut.
void CheckTimeOut() {
    if (engine.state != SS_BUSY || engine.haveReply) return;
    FineTime timeout = static_cast<FineTime>(static_cast<DWORD>(BusyTimeOut)) * FINE_PER_MS;
    if (FineSince(&engine.sentAt) <= timeout) return;
    ScanEntry* e = Current();
    if (e) TimedOut(e, 0);
}

// Step 4: a wrong reply is requested once more, the second fails.
void CheckBadReply() {
    if (engine.state != SS_BADREPLY) return;
    ScanEntry* e = Current();
    engine.badReplies++;
    if (e) Guard(e->Port);
    if (engine.badReplies == 1 && !engine.retry && e) {
        Repeat();
        return;
    }
    Fail(IDS_SCAN_COMM_PROBLEM, e);
}

int Begin(ScanHandle handle, ModuleRecord* block, int retry) {
    if (handle < 0 || (ScanListExists() && handle >= ScanListCount())) {
        ShowInternalError("scan handle", kSource, __LINE__);
        return -1;
    }
    if (!ScanListExists() || engine.state != SS_IDLE || engine.entry >= 0) return 0;
    engine.timeouts = 0;
    engine.badReplies = 0;
    engine.retry = retry;
    engine.reopened = 0;
    engine.haveReply = 0;
    engine.errorText[0] = 0;
    engine.entry = handle;
    engine.block = block;
    return 1;
}

} // namespace

void ScanEngineReset() {
    engine.state = SS_IDLE;
    engine.entry = -1;
    engine.block = nullptr;
    engine.timeouts = 0;
    engine.badReplies = 0;
    engine.retry = 0;
    engine.reopened = 0;
    engine.haveReply = 0;
    engine.errorText[0] = 0;
    for (Line& l : lines)
        l = Line();
    droppedLines = 0;
}

int ScanBegin(ScanHandle handle, ModuleRecord* block) {
    return Begin(handle, block, 0);
}

int ScanBeginRetry(ScanHandle handle, ModuleRecord* block) {
    return Begin(handle, block, 1);
}

int ScanStep() {
    Send();
    Receive();
    CheckTimeOut();
    CheckBadReply();
    // A transaction that waits long for its reply holds every block's turn:
    // the keep-alives of the modules' watchdogs go out meanwhile, on the
    // transaction's own port once its reply is in or the wait is over.
    ScanEntry* e = Current();
    WatchdogKeepAlive(engine.state == SS_BUSY && e ? e->Port : 0);
    return ScanState();
}

void ScanReset() {
    engine.entry = -1;
    engine.block = nullptr;
    engine.haveReply = 0;
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
    // A transaction begun and not yet written is in flight for its callers:
    // nothing else may begin, and the block keeps its turn.
    if (engine.state == SS_IDLE && engine.entry >= 0) return SS_BUSY;
    return engine.state;
}

int ScanCurrentEntry() {
    return engine.entry;
}

const char* ScanErrorText() {
    return engine.errorText;
}

double ScanRequestTime() {
    return engine.sentTime;
}

int ScanDroppedLines() {
    return droppedLines;
}
