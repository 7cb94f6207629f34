// The poll policy under every processing loop: what a block does at its idle
// turn (the keep-alive of its modules' watchdog, the wait of its error
// policy), when its requests are due and which sweeps a late one skipped,
// what a failed transaction does under the block's error policy (stop, wait,
// or continue, the failure shown once), how soon a failing module is tried
// again, and the delivery of a data block. The loops keep their own order of
// requests and their own records; the policy keeps, for each block of the
// running experiment, the module its request in flight went to and which of
// its modules are failing.
//
// A module whose transaction failed without the experiment stopping or the
// block waiting is tried again, on its own, once its retry time has come:
// no sooner than the block's poll interval after the failure, no sooner
// than four times what the failed attempt took, so its retries take at most
// about a fifth of the line, and no sooner than POLL_RETRY_LEAST seconds: on
// a line with short time-outs a retry still costs the line its time-out and
// the quiet time after it, which a fast block beside the failing module
// would lose as samples at every retry. The retry asks once, without a
// repeat. The wait is the same after every failure, so once the module
// answers it is served at its next retry (with the default reply time-out
// of 1.5 s within 7.5 s). A block of several modules (one per channel)
// passes over a failing module's requests while the others keep their
// interval.
#ifndef TELVIO_FRAME_POLL_H
#define TELVIO_FRAME_POLL_H

#include "host/records.h"

// A failing module is tried again no sooner than this many times what its
// failed attempt took after the failure, and no sooner than this many
// seconds.
#define POLL_RETRY_FACTOR 4.0
#define POLL_RETRY_LEAST 4.0

// What the policy needs of a block, filled by its loop from its own record:
// for a hardware module presented as several blocks, the master's.
struct PollBlock {
    ModuleRecord* module;      // the block whose turn it is
    const MessParam* settings; // its error policy
    const char* restartNote;   // noted when a wait of the error policy ends
    int* errorWaiting;         // the runtime record's Error_Waiting
    double* resumeTime;        // and its Resume_Time
    double interval;           // seconds between two sweeps of the block
    int keepAlivePort;         // 1..16: the port's keep-alive goes out at the idle turns; 0 none
};

// The idle turn (no transaction in flight), before anything of the block is
// due: first the keep-alive of the port, whatever the block waits for; then
// the wait of the error policy. POLL_PASSED while the wait runs (the turn
// has passed); POLL_RESUMED when it ended now (noted with the restart note;
// the loop makes its due time now); else POLL_IDLE.
enum {
    POLL_PASSED = -1,
    POLL_IDLE = 0,
    POLL_RESUMED = 1,
};
int PollIdle(const PollBlock* block);

// 1 when a sweep due at `due` (experiment seconds) is due now.
int PollDue(double due);

// A due time more than one `step` behind `when` moves on by whole steps to
// the latest one not after it: the sweeps missed meanwhile are skipped, so
// a reading is stamped within one step of the moment it was asked for. 1
// when it moved.
int PollSkipMissed(double* due, double when, double step);

// A sweep's reading came back: its due time skips the sweeps the request
// (written at ScanRequestTime) missed, and the block notes that it was
// late. After the sweep's last reading PollSweepEnded: a block late in three
// sweeps in a row without a failure cannot keep its interval, which is noted
// in the monitor and shown once, with the interval asked and the one
// reached.
void PollCatchUp(ModuleRecord* module, double* due, double interval);
// The same for a due time on a clock that begins at experiment time
// `origin` (a block's own clock from its start).
void PollCatchUpOn(ModuleRecord* module, double* due, double interval, double origin);
void PollSweepEnded(ModuleRecord* module, double interval);

// 1 when a request to the module at `port` and `address` may begin now: the
// module answers, or its retry time has come.
int PollModuleReady(const PollBlock* block, int port, int address);
// The same for the module of a request; 1 for a handle outside the list.
int PollRequestReady(const PollBlock* block, int handle);
// The request that failed of a failing module of the block whose retry
// time has come; -1 when there is none.
int PollRetryDue(const PollBlock* block);

// Begins a request (the engine sends it at the next step): a failing
// module's retry asks once. POLL_BEGUN; POLL_BUSY when the engine has a
// transaction in flight (the block keeps its turn); POLL_NOT_NOW for a
// request the start did not register, while the block waits, or while its
// module waits for its retry (the loop passes the turn or goes on with
// another module's request).
enum {
    POLL_NOT_NOW = -1,
    POLL_BUSY = 0,
    POLL_BEGUN = 1,
};
int PollBegin(const PollBlock* block, int handle);
// The request the block began last: the one in flight, or whose reply came.
int PollInFlight(const PollBlock* block);

// The reply of the request in flight came: its module answers again.
void PollAnswered(const PollBlock* block);

// A failed transaction (SS_ERROR): the block's error policy, then the turn
// passes. Unless the experiment stopped, the failure is shown once for each
// module of the block, under the block's name. POLL_STOPPED: the policy
// stopped the experiment; POLL_WAITING: the block waits its minutes;
// POLL_RETRYING: the module is tried again at its retry time.
enum {
    POLL_STOPPED = 0,
    POLL_WAITING = 1,
    POLL_RETRYING = 2,
};
int PollFailed(const PollBlock* block);
// The same for a blocking query to the module at `port` and `address`
// begun at experiment time `begun` that failed with the COM_* `result`
// (COM_OK: a reply that was not the one expected): its error text, then the
// policy. The turn is not passed: the caller is inside its idle turn.
int PollQueryFailed(const PollBlock* block, int port, int address, int result, double begun);

// The experiment time a failing module of the block is tried again at; -1
// when it is not failing.
double PollRetryTime(ModuleRecord* module, int port, int address);

// Delivers `values[k]` into every sample of the data block of output
// `first` + k, k below `count`, with the time, the sample distance and the
// sample count given. The data blocks of every output are taken first:
// when the host has none for one of them nothing is released and the answer
// is 0 (the values wait for a later call). An output without a channel of
// the host is passed over. 1 when delivered.
int PollDeliver(ModuleRecord* module, int first, int count, const float* values, double time,
                double sampleSeconds, WORD samples);

#endif
