// Routines every block type uses around its modules: the module test of the
// setup dialogs, the two probes of every start sequence and channel numbers
// from a channel mask.
#ifndef TELVIO_FRAME_MODULETEST_H
#define TELVIO_FRAME_MODULETEST_H

#include "host/numbers.h"
#include "host/records.h"
#include "host/warnings.h"

// Channel j below the block's input (output) count gets the 1-based number
// of the j-th set bit of the mask; channels beyond the set bits continue
// after bit 15 with 16, 17, ...
void SetInputChannelsFromMask(ModuleRecord* module, WORD mask);
void SetOutputChannelsFromMask(ModuleRecord* module, WORD mask);

// The address a reply to the command carries: the module's own for "$AA2",
// "$AAM" and "$AAF", the new one NN for "%AANN..."; -1 when the reply to the
// command carries none.
int ReplyAddressOf(const char* command);
// 1 when the reply carries the address its command asked, or none; 0 for a
// reply from another module.
int ReplyFromAddress(const char* command, const char* reply);

// Answers of ProbeChecksum.
enum {
    PROBE_UNREADABLE = -1, // a reply came, but none could be read (too long, endless, bad checksum)
    PROBE_NO_REPLY = 0,
    PROBE_CHECKSUMS = 1, // the module uses checksums
    PROBE_PLAIN = 2,     // it does not
};
int ProbeChecksum(int port, int address);
// The model number the module reports; 0 without a clean reply, -1 for a
// reply from another address, -2 for a number above 99999.
int ReadModuleName(int port, int address, int checksum);
// An entry of a type's accepted models that stands for every model number
// ending in `number` over its last `digits` digits (2 or 3): the modules
// presented as several blocks take any series (number modulo 100), ND6056
// any number ending in 056 (modulo 1000). No model number a module reports
// reaches it (they end at 99999).
#define MODEL_ENDING_IN(number, digits) (100000 * (digits) + (number))
// 1 when the model a module reported is one of the `count` models a type
// accepts: a number of the list (0, a module that names none, only where
// the type lists it), or one an entry MODEL_ENDING_IN stands for.
int ModelAccepted(const int* models, int count, int model);
// The "Test" button: 1 when a module of a model the type accepts answered
// (ModelAccepted, as the type's start); every outcome is shown.
int TestModule(int port, int address, const int* models, int count);

#endif
