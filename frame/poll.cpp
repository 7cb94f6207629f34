// The poll policy under every processing loop.
#include "frame/poll.h"

#include "host/host.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/scan.h"
#include "serial/watchdog.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

// The modules of one block: one per channel at most.
const int kModules = 16;

// A module of a block.
struct ModuleSlot {
    int used;
    int port;
    int address;
    int failing;    // its last transaction failed
    int handle;     // the request that failed
    double retryAt; // experiment time its retry may begin
    int shown;      // its failure has been shown in this experiment
};

// What the policy keeps of a block for the experiment it runs in. An entry
// of another experiment is free.
struct BlockPoll {
    ModuleRecord* module;
    int run;    // ScanListRun() of the experiment
    int handle; // the request begun last
    int port;   // and its module
    int address;
    double begun;      // experiment time it was begun
    int lateInSweep;   // this sweep skipped sweeps it was too late for
    int failedInSweep; // a transaction of this sweep failed
    int lateSweeps;    // sweeps in a row that were late
    int paceShown;
    double lateSince; // the end of the sweep before them
    double lastSweepEnd;
    char name[16];
    ModuleSlot modules[kModules];
};

BlockPoll blocks[MODULE_TABLE_SIZE];

double Now() {
    return CurrentExperimentTime(1);
}

// The block's entry in this experiment, made when it has none.
BlockPoll* RunOf(ModuleRecord* module) {
    int run = ScanListRun();
    BlockPoll* free = nullptr;
    for (BlockPoll& b : blocks) {
        if (b.run == run && b.module == module) return &b;
        if (!free && (b.run != run || b.module == module)) free = &b;
    }
    if (!free) free = &blocks[0];
    memset(free, 0, sizeof *free);
    free->module = module;
    free->run = run;
    free->handle = -1;
    snprintf(free->name, sizeof free->name, "%.*s", static_cast<int>(sizeof module->szName),
             module->szName);
    return free;
}

// The block's slot of a module; with `make` a new one when it has none (the
// oldest answering one is given up when all are taken).
ModuleSlot* SlotOf(BlockPoll* run, int port, int address, int make) {
    ModuleSlot* free = nullptr;
    for (ModuleSlot& s : run->modules) {
        if (s.used && s.port == port && s.address == address) return &s;
        if (!free && !s.used) free = &s;
    }
    if (!make) return nullptr;
    if (!free)
        for (ModuleSlot& s : run->modules)
            if (!s.failing) {
                free = &s;
                break;
            }
    if (!free) free = &run->modules[0];
    memset(free, 0, sizeof *free);
    free->used = 1;
    free->port = port;
    free->address = address;
    free->handle = -1;
    return free;
}

// How long a failing module waits for its retry after an attempt that took
// `cost` seconds: the block's interval at least, four times the attempt and
// the least wait.
double RetryWait(const PollBlock* block, double cost) {
    double wait = POLL_RETRY_FACTOR * (cost > 0.0 ? cost : 0.0);
    if (wait < POLL_RETRY_LEAST) wait = POLL_RETRY_LEAST;
    return block->interval > wait ? block->interval : wait;
}

// The policy for a failure of the module at `port`, `address` whose
// attempt began at experiment time `attempt`; `handle` is the request to try
// again (-1: none of the block's periodic ones). The error text is the
// engine's.
int Failure(const PollBlock* block, BlockPoll* run, int port, int address, int handle,
            double attempt) {
    char text[SCAN_ERROR_TEXT_SIZE];
    snprintf(text, sizeof text, "%s", ScanErrorText());
    ScanErrorAction(block->settings, block->errorWaiting, block->resumeTime);
    run->failedInSweep = 1;
    if (block->settings && block->settings->Error_Stop) return POLL_STOPPED;
    ModuleSlot* slot = SlotOf(run, port, address, 1);
    if (!slot->shown) {
        slot->shown = 1;
        ShowWarning(run->name, text);
    }
    double now = Now();
    slot->failing = 1;
    if (handle >= 0) slot->handle = handle;
    slot->retryAt = now + RetryWait(block, now - attempt);
    return block->errorWaiting && *block->errorWaiting ? POLL_WAITING : POLL_RETRYING;
}

} // namespace

int PollIdle(const PollBlock* block) {
    if (block->keepAlivePort) WatchdogTick(block->keepAlivePort);
    if (!block->errorWaiting || !*block->errorWaiting) return POLL_IDLE;
    if (Now() < *block->resumeTime) {
        ModuleTableNext();
        return POLL_PASSED;
    }
    MonitorNote(block->restartNote);
    *block->errorWaiting = 0;
    return POLL_RESUMED;
}

int PollDue(double due) {
    return Now() >= due;
}

int PollSkipMissed(double* due, double when, double step) {
    if (!(step > 0.0)) return 0;
    double late = when - *due;
    if (!(late >= step)) return 0;
    *due += floor(late / step) * step;
    return 1;
}

void PollCatchUp(ModuleRecord* module, double* due, double interval) {
    PollCatchUpOn(module, due, interval, 0.0);
}

void PollCatchUpOn(ModuleRecord* module, double* due, double interval, double origin) {
    if (PollSkipMissed(due, ScanRequestTime() - origin, interval)) RunOf(module)->lateInSweep = 1;
}

void PollSweepEnded(ModuleRecord* module, double interval) {
    BlockPoll* run = RunOf(module);
    double now = Now();
    if (run->lateInSweep && !run->failedInSweep) {
        if (run->lateSweeps == 0) run->lateSince = run->lastSweepEnd;
        run->lateSweeps++;
        if (run->lateSweeps >= 3 && !run->paceShown) {
            run->paceShown = 1;
            double reached = (now - run->lateSince) / run->lateSweeps;
            char note[32];
            snprintf(note, sizeof note, "Slow: %.2g s > %.2g s", reached, interval);
            MonitorNote(note);
            char text[160];
            snprintf(text, sizeof text,
                     "%s: the sample distance of %.3g s cannot be kept; the block reaches %.3g s.",
                     run->name, interval, reached);
            ShowWarning(run->name, text);
        }
    } else {
        run->lateSweeps = 0;
    }
    run->lateInSweep = 0;
    run->failedInSweep = 0;
    run->lastSweepEnd = now;
}

int PollModuleReady(const PollBlock* block, int port, int address) {
    const ModuleSlot* slot = SlotOf(RunOf(block->module), port, address, 0);
    return !slot || !slot->failing || Now() >= slot->retryAt;
}

int PollRequestReady(const PollBlock* block, int handle) {
    const ScanEntry* e = handle >= 0 ? ScanListEntry(handle) : nullptr;
    return !e || PollModuleReady(block, e->Port, e->Address);
}

int PollRetryDue(const PollBlock* block) {
    BlockPoll* run = RunOf(block->module);
    double now = Now();
    for (const ModuleSlot& s : run->modules)
        if (s.used && s.failing && s.handle >= 0 && now >= s.retryAt && ScanListEntry(s.handle))
            return s.handle;
    return -1;
}

int PollBegin(const PollBlock* block, int handle) {
    const ScanEntry* e = handle >= 0 ? ScanListEntry(handle) : nullptr;
    if (!e || (block->errorWaiting && *block->errorWaiting)) return POLL_NOT_NOW;
    BlockPoll* run = RunOf(block->module);
    const ModuleSlot* slot = SlotOf(run, e->Port, e->Address, 0);
    double now = Now();
    int failing = slot && slot->failing;
    if (failing && now < slot->retryAt) return POLL_NOT_NOW;
    int begun = failing ? ScanBeginRetry(handle, block->module) : ScanBegin(handle, block->module);
    if (begun != 1) return POLL_BUSY;
    run->handle = handle;
    run->port = e->Port;
    run->address = e->Address;
    run->begun = now;
    return POLL_BEGUN;
}

int PollInFlight(const PollBlock* block) {
    return RunOf(block->module)->handle;
}

void PollAnswered(const PollBlock* block) {
    BlockPoll* run = RunOf(block->module);
    ModuleSlot* slot = SlotOf(run, run->port, run->address, 0);
    if (slot) slot->failing = 0;
}

int PollFailed(const PollBlock* block) {
    BlockPoll* run = RunOf(block->module);
    // The attempt that failed: the transaction's latest write, or its begin
    // when nothing of it went out. It took the reply time-out at most: a
    // later look at the line is the host's, not the module's.
    double attempt = ScanRequestTime() > run->begun ? ScanRequestTime() : run->begun;
    double longest = (BusyTimeOut > 0 ? BusyTimeOut : 0) / 1000.0;
    if (Now() - attempt > longest) attempt = Now() - longest;
    int result = Failure(block, run, run->port, run->address, run->handle, attempt);
    ModuleTableNext();
    return result;
}

int PollQueryFailed(const PollBlock* block, int port, int address, int result, double begun) {
    ScanQueryFailed(block->module, port, address, result);
    return Failure(block, RunOf(block->module), port, address, -1, begun);
}

double PollRetryTime(ModuleRecord* module, int port, int address) {
    const ModuleSlot* slot = SlotOf(RunOf(module), port, address, 0);
    return slot && slot->failing ? slot->retryAt : -1.0;
}

int PollDeliver(ModuleRecord* module, int first, int count, const float* values, double time,
                double sampleSeconds, WORD samples) {
    const int kOutputs = 16;
    int outputs = module->uOutputs > static_cast<UINT>(kOutputs)
                      ? kOutputs
                      : static_cast<int>(module->uOutputs);
    if (first < 0) return 0;
    if (count > outputs - first) count = outputs - first;
    DataBlock* taken[kOutputs] = {};
    for (int k = 0; k < count; k++) {
        OutputChannel* output = module->apOutput[first + k];
        if (!output) continue;
        taken[k] = GetCurrentOutputBlock(output);
        if (!taken[k]) return 0;
    }
    for (int k = 0; k < count; k++) {
        DataBlock* block = taken[k];
        if (!block) continue;
        block->dBlockTime = time;
        block->dBlockSampleDistance = sampleSeconds;
        block->wSampleCount = samples;
        for (int i = 0; i < samples; i++)
            block->afSamples[i] = values[k];
        NewReleaseOutputBlock(module->apOutput[first + k], __FILE__, __LINE__);
    }
    return 1;
}
