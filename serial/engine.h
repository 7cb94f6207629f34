// The request engine: exactly one transaction in flight for all ports and
// all blocks. A block begins a scan-list entry, then steps the engine on each
// of its processing calls until the reply is in or the transaction failed;
// a failure goes through the block's error policy.
#ifndef TELVIO_SERIAL_ENGINE_H
#define TELVIO_SERIAL_ENGINE_H

#include "host/records.h"
#include "host/ticks.h"
#include "serial/scan.h"

struct MessParam;

enum {
    SS_IDLE = 0,     // no transaction
    SS_BUSY = 1,     // begun: waiting for its write (the pause, a quiet line) or its reply
    SS_READY = 2,    // reply checked and stored into the entry's cell
    SS_ERROR = 3,    // failed; the error text waits for ScanErrorAction
    SS_FATAL = 4,    // kept for its value: a port that cannot be reopened fails the transaction
    SS_BADREPLY = 5, // wrong reply; seen only inside ScanStep
};

// Size of the error text.
#define SCAN_ERROR_TEXT_SIZE 384

// Idle, nothing current, every line unguarded: what a new scan list starts
// with.
void ScanEngineReset();
// 1 when begun (nothing is sent yet), 0 when there is no list or a
// transaction stands, -1 for a handle outside the list.
int ScanBegin(ScanHandle handle, ModuleRecord* block);
// The same for the retry of a block whose module has been failing: one
// attempt, no repeat (a refused write still reopens the port when
// ReOpenComOnError is set).
int ScanBeginRetry(ScanHandle handle, ModuleRecord* block);
// Advances the transaction and answers the state after the call. It never
// waits: while the pause between writes or a guarded line holds the write
// back, the call does nothing and answers SS_BUSY.
int ScanStep();
void ScanReset();
// The block's error policy after SS_ERROR; ends with ScanReset.
void ScanErrorAction(const MessParam* settings, int* waiting, double* resumeTime);

// The error text of a blocking query of `block` to the module at `address`
// on `port` that failed with `result` (a COM_* result; COM_OK for a reply
// that was not the one expected), for the next ScanErrorAction to report.
void ScanQueryFailed(ModuleRecord* block, int port, int address, int result);

int ScanState();
int ScanCurrentEntry();
const char* ScanErrorText();
// Experiment time at which the request in flight (its latest repeat) was
// written: the module read its value after it.
double ScanRequestTime();
// Lines dropped because they came while no request waited for them, since
// the scan list was made.
int ScanDroppedLines();
// How long a line must stay silent, after a time-out, a wrong reply or a
// dropped line, before the next request goes out on it: a quarter of
// BusyTimeOut, from 50 ms to one second; microseconds.
FineTime ScanLineGuard();

#endif
