// The digital image engine: the lines of a module as the bits of one image,
// bit c for line c. The input side delivers the chosen lines of an image the
// module reported into the host's data blocks, 5.0 in every sample for a set
// line and 0.0 for a clear one; the output side takes the host's values into
// an image, a line on for a last sample above 1.5, and decides when an image
// that goes out only on change is written.
//
// A block's channels are the set bits of its channel mask: block channel j
// (an output of an input type, an input of an output type) carries the line
// of the j-th set bit counted from bit 0. A channel beyond the set bits (a
// record edited outside the driver) carries no line.
#ifndef TELVIO_FRAME_DIGITAL_H
#define TELVIO_FRAME_DIGITAL_H

#include "host/records.h"

#define DIGITAL_HIGH 5.0f
#define DIGITAL_LOW 0.0f
// A host sample above this switches a line on.
#define DIGITAL_ON_ABOVE 1.5f

// Delivers `image`: output j of the block gets DIGITAL_HIGH in every sample
// when its line is set, else DIGITAL_LOW (also for an output that carries no
// line). The data blocks of all outputs are taken first: when the host has
// none for one of them, nothing is released and the answer is 0 (the image
// is delivered at a later call). Otherwise each block gets `samples`
// samples, the time `time` and the sample distance `sampleDistance`, and is
// released; 1.
int DigitalDeliverImage(ModuleRecord* module, WORD mask, DWORD image, double time,
                        double sampleDistance, WORD samples);

// 1 when a host sample switches a line on: strictly above 1.5; equal, below
// or not a number switch it off.
int DigitalLineOn(float sample);

// The host's values into the image, at the block's turn: input i sets or
// clears its line by its newest sample. An input without a new data block,
// or with one that holds no sample, keeps its line; an input that carries no
// line changes nothing. Bit i of *arrived (when given) is set for each input
// that delivered a sample.
void DigitalTakeInputs(ModuleRecord* module, WORD mask, DWORD* image, DWORD* arrived);

// The write-on-change policy of an output image. While the first write of
// the experiment is pending it waits until every input has delivered
// (`arrived`, as DigitalTakeInputs marks it) and then goes out whatever the
// image; after it, the image goes out when its lines of `mask` differ from
// those last written. 1 when a write is wanted now.
int DigitalWriteWanted(const ModuleRecord* module, int firstPending, DWORD arrived, DWORD image,
                       DWORD lastWritten, WORD mask);

#endif
