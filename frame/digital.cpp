// The digital image engine.
#include "frame/digital.h"

#include "frame/outputs.h"
#include "frame/poll.h"
#include "frame/fields.h"
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
    float levels[TEMPLATE_CHANNELS];
    for (int j = 0; j < outputs; j++)
        levels[j] = LineSet(image, TemplateChannelOfOutput(mask, j)) ? DIGITAL_HIGH : DIGITAL_LOW;
    return PollDeliver(module, 0, outputs, levels, time, sampleDistance, samples);
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
