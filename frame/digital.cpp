// The digital image engine.
#include "frame/digital.h"

#include "frame/outputs.h"
#include "frame/template.h"
#include "host/host.h"

namespace {

int Count(UINT channels) {
    return channels > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS : static_cast<int>(channels);
}

int LineSet(DWORD image, int line) {
    return line >= 0 && (image >> line) & 1u;
}

} // namespace

int DigitalDeliverImage(ModuleRecord* module, WORD mask, DWORD image, double time,
                        double sampleDistance, WORD samples) {
    const int outputs = Count(module->uOutputs);
    DataBlock* blocks[TEMPLATE_CHANNELS] = {};
    for (int j = 0; j < outputs; j++) {
        OutputChannel* channel = module->apOutput[j];
        if (!channel) continue;
        blocks[j] = GetCurrentOutputBlock(channel);
        if (!blocks[j]) return 0;
    }
    for (int j = 0; j < outputs; j++) {
        DataBlock* block = blocks[j];
        if (!block) continue;
        const float level =
            LineSet(image, TemplateChannelOfOutput(mask, j)) ? DIGITAL_HIGH : DIGITAL_LOW;
        block->dBlockTime = time;
        block->dBlockSampleDistance = sampleDistance;
        block->wSampleCount = samples;
        for (int i = 0; i < samples; i++)
            block->afSamples[i] = level;
        NewReleaseOutputBlock(module->apOutput[j], __FILE__, __LINE__);
    }
    return 1;
}

int DigitalLineOn(float sample) {
    // A comparison with a value that is not a number is false.
    return sample > DIGITAL_ON_ABOVE;
}

void DigitalTakeInputs(ModuleRecord* module, WORD mask, DWORD* image, DWORD* arrived) {
    const int inputs = Count(module->uInputs);
    for (int i = 0; i < inputs; i++) {
        float sample = 0.0f;
        if (!OutputTakeSample(module, i, &sample)) continue;
        if (arrived) *arrived |= 1u << i;
        int line = TemplateChannelOfOutput(mask, i);
        if (line < 0) continue;
        if (DigitalLineOn(sample))
            *image |= 1u << line;
        else
            *image &= ~(1u << line);
    }
}

int DigitalWriteWanted(const ModuleRecord* module, int firstPending, DWORD arrived, DWORD image,
                       DWORD lastWritten, WORD mask) {
    if (firstPending)
        return OutputEveryInputArrived(arrived, static_cast<UINT>(Count(module->uInputs)));
    return ((image ^ lastWritten) & mask) != 0;
}
