// Pieces of the output loop that the output types share.
#include "frame/outputs.h"

#include "host/host.h"

int OutputTakeSample(ModuleRecord* module, int input, float* value) {
    DataBlock* block = GetInputBlock(module, input);
    if (!block) return 0;
    // A block without samples has no last sample: nothing is taken from it.
    int taken = block->wSampleCount > 0;
    if (taken) *value = block->afSamples[block->wSampleCount - 1];
    NewReleaseInputBlock(module, input, __FILE__, __LINE__);
    return taken;
}

int OutputEveryInputArrived(DWORD arrived, UINT inputs) {
    if (inputs > 32) inputs = 32;
    DWORD all = inputs == 32 ? 0xFFFFFFFFu : (1u << inputs) - 1;
    return (arrived & all) == all;
}
