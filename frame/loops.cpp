// The processing loops of the block types.
#include "frame/loops.h"

#include "frame/fields.h"
#include "frame/outputs.h"
#include "host/driver.h"
#include "host/host.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/scan.h"

#include <math.h>

namespace {

// 1 when the type's turns send its port's keep-alive in this family.
int TicksInFamily(const TemplateType* type) {
    return type->watchdogTick == TEMPLATE_TICK_ALWAYS ||
           (type->watchdogTick == TEMPLATE_TICK_TELV && FAMILY_TELV);
}

// The block as the poll policy sees it: while its Watchdog_On is set, its
// idle turns send the port's keep-alive.
PollBlock PollOf(const TemplateType* type, ModuleRecord* module) {
    // Both runtime layouts keep the poll interval at the same place.
    static_assert(offsetof(TemplateRuntime, Poll_Interval) ==
                      offsetof(TemplateDueRuntime, Poll_Interval),
                  "Poll_Interval");
    int port = TemplateCom(module, type)->Port_Number;
    return {module,
            TemplateMess(module, type),
            type->restartNote,
            TemplateErrorWaiting(type, module),
            TemplateResumeTime(type, module),
            TemplateRuntimeOf(module)->Poll_Interval,
            TicksInFamily(type) && TemplateMess(module, type)->Watchdog_On ? port : 0};
}

} // namespace

PollBlock TemplatePoll(const TemplateType* type, ModuleRecord* module) {
    return PollOf(type, module);
}

namespace {

// Begins a request of the block's loop; 1 when begun (the caller steps it at
// once, and the type's begun step has run). A sweep the type does not want
// now waits, as does a request the start did not register or whose module
// waits for its retry: the turn is passed and *answer set to 0. While the
// engine is busy the block keeps its turn (*answer 1).
int BeginRequest(const TemplateType* type, ModuleRecord* module, const PollBlock* poll, int handle,
                 const TemplateSweepSteps* steps, int* answer) {
    if (!(steps && steps->wanted && !steps->wanted(module, type))) {
        int begun = PollBegin(poll, handle);
        if (begun == POLL_BEGUN) {
            if (steps && steps->begun) steps->begun(module, type);
            return 1;
        }
        if (begun == POLL_BUSY) {
            *answer = 1;
            return 0;
        }
    }
    ModuleTableNext();
    *answer = 0;
    return 0;
}

// The idle turn of the loops with one due time: the policy's idle turn, the
// type's idle step, the due time, then the request `handle`. A module that
// waits for its retry is asked nothing, the host's queued actions
// included. 1 when a request was begun; otherwise 0 and the procedure's
// answer in *answer.
int IdleTurn(const TemplateType* type, ModuleRecord* module, TemplateRuntime* rt,
             const PollBlock* poll, int handle, const TemplateChannelSteps* channel,
             const TemplateSweepSteps* sweep, int* answer) {
    *answer = 0;
    int idle = PollIdle(poll);
    if (idle == POLL_PASSED) return 0;
    if (idle == POLL_RESUMED) rt->Next_Due = CurrentExperimentTime(1);
    if (!PollRequestReady(poll, handle) ||
        (channel && channel->idle && !channel->idle(module, type)) || !PollDue(rt->Next_Due)) {
        ModuleTableNext();
        return 0;
    }
    return BeginRequest(type, module, poll, handle, sweep, answer);
}

// The states the loops handle alike besides idle and ready: a failed
// transaction goes through the policy and passes the turn; busy or fatal,
// the block keeps its turn. The procedure's answer.
int OtherState(int state, const PollBlock* poll) {
    if (state == SS_ERROR) PollFailed(poll);
    return 1;
}

// The value of output channel `ch` into every sample of its data block; 0
// when the host has no block for it yet.
int Deliver(ModuleRecord* module, int ch, double time, double sampleSeconds, WORD samples,
            float value) {
    return PollDeliver(module, ch, 1, &value, time, sampleSeconds, samples);
}

// Output j's request and value: the type's, or those of its ChannelScan
// record.
int RequestOf(ModuleRecord* module, const TemplateChannelSteps* steps, int j) {
    if (steps) return steps->request ? steps->request(module, j) : -1;
    ChannelScan* scan = TemplateChannelScan(module, j);
    return scan ? scan->ScanHandle : -1;
}

float ValueOf(ModuleRecord* module, const TemplateChannelSteps* steps, int j) {
    if (steps) return steps->value ? steps->value(module, j) : 0.0f;
    ChannelScan* scan = TemplateChannelScan(module, j);
    return scan ? scan->Channel_Value : 0.0f;
}

} // namespace

int TemplateProcessInputs(const TemplateType* type, ModuleRecord* module) {
    return TemplateProcessChannels(type, module, nullptr);
}

int TemplateProcessChannels(const TemplateType* type, ModuleRecord* module,
                            const TemplateChannelSteps* steps) {
    if (ModuleTableCurrent() != module) return 0;
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    const PollBlock poll = PollOf(type, module);
    int outputs = TemplateOutputs(module);
    for (;;) {
        int state = ScanStep();
        if (rt->Channel_Index < 0 || rt->Channel_Index >= outputs) rt->Channel_Index = 0;
        int ch = rt->Channel_Index;
        if (state == SS_IDLE) {
            int answer = 0;
            int handle = outputs > 0 ? RequestOf(module, steps, ch) : -1;
            if (IdleTurn(type, module, rt, &poll, handle, steps, nullptr, &answer)) continue;
            return answer;
        }
        if (state != SS_READY) return OtherState(state, &poll);
        // One reply may serve the outputs that follow; a value that finds no
        // data block waits for a later call, the reply still ready.
        PollAnswered(&poll);
        PollCatchUp(module, &rt->Next_Due, rt->Poll_Interval);
        for (;;) {
            if (!Deliver(module, ch, rt->Next_Due, rt->Sample_Seconds, rt->Block_Samples,
                         ValueOf(module, steps, ch)))
                return 0;
            rt->Channel_Index++;
            if (rt->Channel_Index >= outputs) {
                rt->Channel_Index = 0;
                rt->Next_Due += rt->Poll_Interval;
                PollSweepEnded(module, rt->Poll_Interval);
            }
            if (rt->Channel_Index == 0 || !steps || !steps->sameReply ||
                !steps->sameReply(module, ch))
                break;
            ch = rt->Channel_Index;
        }
        ScanReset();
        if (rt->Channel_Index > 0) continue;
        ModuleTableNext();
        return 1;
    }
}

int TemplateProcessChannelsDue(const TemplateType* type, ModuleRecord* module) {
    if (ModuleTableCurrent() != module) return 0;
    TemplateDueRuntime* rt = TemplateDueRuntimeOf(module);
    const PollBlock poll = PollOf(type, module);
    int outputs = TemplateOutputs(module);
    for (;;) {
        int state = ScanStep();
        if (rt->Channel_Index < 0 || rt->Channel_Index >= outputs) rt->Channel_Index = 0;
        int p = rt->Channel_Index;
        ChannelScan* scan = TemplateChannelScan(module, p);
        double clock = CurrentExperimentTime(1) - rt->Start_Time;
        if (clock < 0.0) {
            // The host's clock began anew after the block's start: the
            // block's clock begins with it, or no channel would be due
            // until it had caught up.
            rt->Start_Time = CurrentExperimentTime(1);
            clock = 0.0;
        }
        if (state == SS_IDLE) {
            int idle = PollIdle(&poll);
            if (idle == POLL_PASSED) return 0;
            // The waiting channel resumes at once, the others keep their
            // schedule.
            if (idle == POLL_RESUMED) rt->Channel_Due[p] = clock;
            if (clock < rt->Channel_Due[p]) {
                // Not yet due: the next channel may be; after the last one
                // the turn passes.
                OutputDebugStringA("NextChannel");
                rt->Channel_Index = p + 1 < outputs ? p + 1 : 0;
                if (rt->Channel_Index > 0) continue;
                ModuleTableNext();
                return 0;
            }
            int answer = 0;
            if (BeginRequest(type, module, &poll, outputs > 0 && scan ? scan->ScanHandle : -1,
                             nullptr, &answer))
                continue;
            return answer;
        }
        if (state != SS_READY) return OtherState(state, &poll);
        PollAnswered(&poll);
        // A reading requested later than one interval after its due time is
        // stamped with the latest due time before the request: the sweeps
        // missed meanwhile show as a gap, not as readings taken later.
        PollSkipMissed(&rt->Channel_Due[p], ScanRequestTime() - rt->Start_Time, rt->Poll_Interval);
        if (!Deliver(module, p, rt->Channel_Due[p], rt->Sample_Seconds, rt->Block_Samples,
                     scan ? scan->Channel_Value : 0.0f))
            return 0;
        rt->Channel_Due[p] += rt->Poll_Interval;
        rt->Channel_Index = p + 1 < outputs ? p + 1 : 0;
        ScanReset();
        if (rt->Channel_Index > 0) continue;
        ModuleTableNext();
        return 1;
    }
}

int TemplateProcessSweep(const TemplateType* type, ModuleRecord* module,
                         const TemplateSweepSteps* steps) {
    if (ModuleTableCurrent() != module) return 0;
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    const PollBlock poll = PollOf(type, module);
    if (steps && steps->prepare) steps->prepare(module, type);
    for (;;) {
        int state = ScanStep();
        if (state == SS_IDLE) {
            int answer = 0;
            if (IdleTurn(type, module, rt, &poll, rt->ScanHandle, nullptr, steps, &answer))
                continue;
            return answer;
        }
        if (state != SS_READY) return OtherState(state, &poll);
        PollAnswered(&poll);
        // The type delivers with the sweep's time: caught up first, unless
        // its due time moves on by one interval per request whatever the
        // time. A value the host has no room for yet stays ready.
        if (!(steps && steps->keepDue)) PollCatchUp(module, &rt->Next_Due, rt->Poll_Interval);
        if (steps && steps->ready && !steps->ready(module, type)) return 0;
        rt->Next_Due += rt->Poll_Interval;
        PollSweepEnded(module, rt->Poll_Interval);
        ScanReset();
        ModuleTableNext();
        return 1;
    }
}

namespace {

ChannelScan* InputScan(ModuleRecord* module, int input) {
    return TemplateChannelScan(module, input);
}

int InputRequest(ModuleRecord* module, int input) {
    ChannelScan* scan = InputScan(module, input);
    return scan ? scan->ScanHandle : -1;
}

// The input whose request `handle` is; -1 for none.
int InputOfRequest(ModuleRecord* module, int handle) {
    for (int i = 0; handle >= 0 && i < TemplateInputs(module); i++)
        if (InputRequest(module, i) == handle) return i;
    return -1;
}

// 1 while input i's write is on its way: its value stays as it went out.
int WriteInFlight(ModuleRecord* module, int input) {
    int handle = InputRequest(module, input);
    return handle >= 0 && ScanCurrentEntry() == handle && ScanState() != SS_IDLE;
}

// The host's newest sample of every input into its value cell.
void TakeInputValues(ModuleRecord* module, const TemplateWriteSteps* steps) {
    for (int i = 0; i < TemplateInputs(module); i++) {
        ChannelScan* scan = InputScan(module, i);
        if (!scan || WriteInFlight(module, i)) continue;
        float sample = 0.0f;
        if (!OutputTakeSample(module, i, &sample) || isnan(sample)) continue;
        scan->Channel_Value = steps->limit ? steps->limit(module, i, sample) : sample;
    }
}

// An input without a request of this experiment, or without a value, is
// not written.
int WriteWanted(ModuleRecord* module, const TemplateWriteSteps* steps, int input) {
    ChannelScan* scan = InputScan(module, input);
    if (!scan || !ScanListEntry(scan->ScanHandle) || isnan(scan->Channel_Value)) return 0;
    return steps->wanted ? steps->wanted(module, input) : 1;
}

// The due times of the output loop: one for the block's cycle (Next_Due,
// on the experiment's clock), or, in the types with a due time per channel
// (channelDue), one for each input (Channel_Due, on the block's clock from
// its start).
struct WriteDue {
    TemplateRuntime* rt;
    TemplateDueRuntime* perInput; // null: the cycle's
};

WriteDue WriteDueOf(const TemplateType* type, ModuleRecord* module) {
    return {TemplateRuntimeOf(module), type->channelDue ? TemplateDueRuntimeOf(module) : nullptr};
}

// Where the clock of the due times begins: the start of the block for a due
// time per input (after the host's clock began anew, it begins with it).
double DueOrigin(const WriteDue& due) {
    if (!due.perInput) return 0.0;
    if (CurrentExperimentTime(1) < due.perInput->Start_Time)
        due.perInput->Start_Time = CurrentExperimentTime(1);
    return due.perInput->Start_Time;
}

double* DueTime(const WriteDue& due, int input) {
    if (!due.perInput) return &due.rt->Next_Due;
    return &due.perInput->Channel_Due[input < 0 || input >= TEMPLATE_CHANNELS ? 0 : input];
}

int DueNow(const WriteDue& due, int input) {
    return CurrentExperimentTime(1) - DueOrigin(due) >= *DueTime(due, input);
}

// The next input of the cycle; 0 after the last one, when the next cycle
// is due one poll interval on (an input with a due time of its own moves it
// on itself).
int NextInput(const WriteDue& due, int inputs) {
    TemplateRuntime* rt = due.rt;
    rt->Channel_Index++;
    if (rt->Channel_Index < inputs) return 1;
    rt->Channel_Index = 0;
    if (!due.perInput) rt->Next_Due += rt->Poll_Interval;
    return 0;
}

// The write of a failing module whose retry time has come: it goes out at
// once, outside the cycle, with the input's newest value. -1 when there is
// none to write.
int RetryInput(ModuleRecord* module, const TemplateWriteSteps* steps, const PollBlock* poll) {
    int input = InputOfRequest(module, PollRetryDue(poll));
    return input >= 0 && WriteWanted(module, steps, input) ? input : -1;
}

} // namespace

int TemplateProcessWrites(const TemplateType* type, ModuleRecord* module,
                          const TemplateWriteSteps* steps) {
    if (ModuleTableCurrent() != module) return 0;
    const TemplateWriteSteps none = {};
    if (!steps) steps = &none;
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    const WriteDue due = WriteDueOf(type, module);
    const int inputs = TemplateInputs(module);
    const PollBlock poll = PollOf(type, module);
    TakeInputValues(module, steps);
    int answer = 0;
    for (;;) {
        int state = ScanStep();
        if (rt->Channel_Index < 0 || rt->Channel_Index >= inputs) rt->Channel_Index = 0;
        if (state == SS_READY) {
            PollAnswered(&poll);
            int input = InputOfRequest(module, PollInFlight(&poll));
            // A retry outside the cycle leaves the cycle where it was.
            int inCycle = input == rt->Channel_Index;
            // A write that went out late skips the cycles it missed.
            if (inCycle)
                PollCatchUpOn(module, DueTime(due, input), rt->Poll_Interval, DueOrigin(due));
            if (input >= 0 && steps->written) steps->written(module, input);
            ScanReset();
            answer = 1;
            if (!inCycle) continue;
            if (due.perInput) *DueTime(due, input) += rt->Poll_Interval;
            if (NextInput(due, inputs)) continue;
            PollSweepEnded(module, rt->Poll_Interval);
            ModuleTableNext();
            return 1;
        }
        if (state != SS_IDLE) return OtherState(state, &poll);
        int idle = PollIdle(&poll);
        if (idle == POLL_PASSED) return answer;
        // The waiting input (or the block's cycle) is due at once.
        if (idle == POLL_RESUMED)
            *DueTime(due, rt->Channel_Index) = CurrentExperimentTime(1) - DueOrigin(due);
        int input = RetryInput(module, steps, &poll);
        if (input < 0) {
            if (!due.perInput && !DueNow(due, 0)) {
                ModuleTableNext();
                return answer;
            }
            // An input not due yet, with nothing to write, or whose module
            // waits for its retry, waits for the next cycle; the others are
            // written. An input with a due time of its own and nothing to
            // write is due again one poll interval on.
            while (inputs > 0) {
                const int c = rt->Channel_Index;
                if (!due.perInput || DueNow(due, c)) {
                    if (!WriteWanted(module, steps, c)) {
                        if (due.perInput) *DueTime(due, c) += rt->Poll_Interval;
                    } else if (PollRequestReady(&poll, InputRequest(module, c))) {
                        break;
                    }
                }
                if (NextInput(due, inputs)) continue;
                ModuleTableNext();
                return answer;
            }
            input = rt->Channel_Index;
        }
        int begun = PollBegin(&poll, inputs > 0 ? InputRequest(module, input) : -1);
        if (begun == POLL_BEGUN) continue;
        if (begun == POLL_BUSY) return 1;
        ModuleTableNext();
        return answer;
    }
}

void TemplateForgetInputValues(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++) {
        ChannelScan* scan = InputScan(module, i);
        if (scan) scan->Channel_Value = NAN;
    }
}

void TemplateForgetInputRequests(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++) {
        ChannelScan* scan = InputScan(module, i);
        if (scan) scan->ScanHandle = -1;
    }
}
