// Pieces of the output loop that the output types share: the host's value of
// an input, taken at the block's turn, and the first write of an experiment
// that waits until every input has delivered.
#ifndef TELVIO_FRAME_OUTPUTS_H
#define TELVIO_FRAME_OUTPUTS_H

#include "host/records.h"

// The newest value of input `input`: when the host has a data block waiting
// there, its last sample goes to *value, the block goes back and the answer
// is 1. 0 when none waits, and for a block without samples, which goes back
// unread (*value keeps what it had).
int OutputTakeSample(ModuleRecord* module, int input, float* value);

// 1 when each of the block's first `inputs` inputs (at most 32) has
// delivered since the start: bit i of `arrived` for input i.
int OutputEveryInputArrived(DWORD arrived, UINT inputs);

#endif
