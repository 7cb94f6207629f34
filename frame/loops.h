// The processing loops of the block types, each under the poll policy
// (frame/poll.h): the per-channel input loop, the one with a due time per
// channel, the one-request sweep and the output loop of one request per
// input, with the steps a type hands them.
#ifndef TELVIO_FRAME_LOOPS_H
#define TELVIO_FRAME_LOOPS_H

#include "frame/poll.h"
#include "frame/template.h"

// The own steps of a type with one request per sweep (digital inputs and the
// output types) around the shared turn loop; the request is the runtime's
// ScanHandle.
struct TemplateSweepSteps {
    // Before the turn: an output type takes the host's values into the
    // request's value cell. May be null.
    void (*prepare)(ModuleRecord* module, const TemplateType* type);
    // The request came back: an input type delivers its values, an output
    // type notes what was written. 0 when the host has no data block yet
    // (the value stays ready for a later call). May be null.
    int (*ready)(ModuleRecord* module, const TemplateType* type);
    // The sweep is due: 1 when its request is to go out now; 0 passes the
    // turn (an output that writes only on change, with nothing changed).
    // May be null: always.
    int (*wanted)(ModuleRecord* module, const TemplateType* type);
    // The request was begun (it goes out in this call). May be null.
    void (*begun)(ModuleRecord* module, const TemplateType* type);
    // 1: the due time moves on by one poll interval per completed request,
    // however late it was (an output that writes only on change writes a
    // change at once when its due time has passed); 0: a late request skips
    // the sweeps it missed.
    int keepDue = 0;
};

// The own steps of a type whose output channels share requests (one reply
// may serve several outputs) around the per-channel input loop. Without
// them the loop takes each output's request and value from its ChannelScan
// record.
struct TemplateChannelSteps {
    // The request of output j; -1 when it has none.
    int (*request)(ModuleRecord* module, int output);
    // The value output j delivers from its request's reply.
    float (*value)(ModuleRecord* module, int output);
    // 1 when output j + 1 takes its value from the reply of output j. May be
    // null.
    int (*sameReply)(ModuleRecord* module, int output);
    // At the idle turn, after the keep-alive of the modules' watchdog and
    // before the due time: the host's queued actions. 0 when the block's
    // error policy has stopped the experiment (the turn passes). May be null.
    int (*idle)(ModuleRecord* module, const TemplateType* type);
};

// The own steps of the output types with one request per input channel (the
// analog outputs) around the shared output loop. Input i's request is the
// ScanHandle of its ChannelScan record, whose Channel_Value is the value
// cell: the loop takes the host's newest sample into it at the block's turn
// (a sample that is not a number, or a data block without samples, leaves
// the value as it was) and never writes a cell that holds no number.
struct TemplateWriteSteps {
    // The value the cell takes for input i's sample: the type limits it to
    // the channel's range, so that every value fits its request. May be
    // null: the sample as it is.
    float (*limit)(ModuleRecord* module, int input, float sample);
    // 1 when input i is written in this cycle; an input passed over waits
    // for the next cycle. May be null: every input with a value.
    int (*wanted)(ModuleRecord* module, int input);
    // Input i's write came back. May be null.
    void (*written)(ModuleRecord* module, int input);
};

// The processing procedure of the per-channel input types: one request per
// output channel, each sweep delivering every channel once.
int TemplateProcessInputs(const TemplateType* type, ModuleRecord* module);
// The processing procedure of the per-channel input types that keep a due
// time per channel (channelDue): each channel is read once per poll interval
// on its own schedule; a turn reads every channel that is due, from the next
// one on, and passes at the first one that is not.
int TemplateProcessChannelsDue(const TemplateType* type, ModuleRecord* module);
// The same loop with a type's own requests and values of its outputs.
int TemplateProcessChannels(const TemplateType* type, ModuleRecord* module,
                            const TemplateChannelSteps* steps);
// The processing procedure of the types with one request per sweep.
int TemplateProcessSweep(const TemplateType* type, ModuleRecord* module,
                         const TemplateSweepSteps* steps);
// The output loop of the types with one request per input channel: at the
// block's turn the host's values are taken; a cycle, due once per poll
// interval, writes the inputs the type wants one after the other, and the
// turn passes after the last input of the cycle.
int TemplateProcessWrites(const TemplateType* type, ModuleRecord* module,
                          const TemplateWriteSteps* steps);
// Every input's value cell holds no value: a new or loaded block writes
// nothing before its inputs have delivered.
void TemplateForgetInputValues(ModuleRecord* module);
// No input has a request: what a start does before it registers them.
void TemplateForgetInputRequests(ModuleRecord* module);

// The block under the poll policy, as the type's loop sees it (its idle
// turns send the port's keep-alive while its Watchdog_On is set, where the
// type's modules have a watchdog).
PollBlock TemplatePoll(const TemplateType* type, ModuleRecord* module);

#endif
