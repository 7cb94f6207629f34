// The common fields of a block's records.
#include "frame/fields.h"

#include <stdio.h>

namespace {

BYTE* At(void* param, int offset) {
    return static_cast<BYTE*>(param) + offset;
}

} // namespace

char* TemplateNameIn(void* param, int channel) {
    return reinterpret_cast<char*>(At(param, 4)) + channel * TEMPLATE_NAME_CHARS;
}

char* TemplateUnitIn(const TemplateType* type, void* param, int channel) {
    if (type->unitOffset < 0) return nullptr;
    return reinterpret_cast<char*>(At(param, type->unitOffset)) + channel * TEMPLATE_UNIT_CHARS;
}

BOOL* TemplateCopyFlagIn(const TemplateType* type, void* param, int channel) {
    if (type->copyOffset < 0) return nullptr;
    return reinterpret_cast<BOOL*>(At(param, type->copyOffset)) + channel;
}

int* TemplateAddressIn(const TemplateType* type, void* param) {
    return reinterpret_cast<int*>(At(param, type->addressOffset));
}

WORD* TemplateMaskIn(const TemplateType* type, void* param) {
    if (TemplateModulePerChannel(type)) return nullptr;
    return reinterpret_cast<WORD*>(At(param, type->maskOffset));
}

ComSettings* TemplateComIn(const TemplateType* type, void* param) {
    return reinterpret_cast<ComSettings*>(At(param, type->comOffset));
}

MessParam* TemplateMessIn(const TemplateType* type, void* param) {
    return reinterpret_cast<MessParam*>(At(param, type->messOffset));
}

WORD TemplateChannelBits(const TemplateType* type) {
    int n = type->maxChannels < 0                   ? 0
            : type->maxChannels > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                                    : type->maxChannels;
    return static_cast<WORD>((1u << n) - 1);
}

int TemplateModulePerChannel(const TemplateType* type) {
    return type->maskOffset == TEMPLATE_MODULE_PER_CHANNEL;
}

WORD TemplateChannelsInUse(ModuleRecord* module, const TemplateType* type) {
    if (TemplateModulePerChannel(type))
        return TemplateFirstChannels(TemplateChannels(type, module));
    return static_cast<WORD>(*TemplateMask(module, type) & TemplateChannelBits(type));
}

int* TemplateVersion(ModuleRecord* module) {
    return reinterpret_cast<int*>(module->pParam);
}

char* TemplateChannelName(ModuleRecord* module, int channel) {
    return TemplateNameIn(module->pParam, channel);
}

int* TemplateAddress(ModuleRecord* module, const TemplateType* type) {
    return TemplateAddressIn(type, module->pParam);
}

WORD* TemplateMask(ModuleRecord* module, const TemplateType* type) {
    return TemplateMaskIn(type, module->pParam);
}

ComSettings* TemplateCom(ModuleRecord* module, const TemplateType* type) {
    return TemplateComIn(type, module->pParam);
}

MessParam* TemplateMess(ModuleRecord* module, const TemplateType* type) {
    return TemplateMessIn(type, module->pParam);
}

TemplateRuntime* TemplateRuntimeOf(ModuleRecord* module) {
    return static_cast<TemplateRuntime*>(module->pRuntime);
}

TemplateDueRuntime* TemplateDueRuntimeOf(ModuleRecord* module) {
    return static_cast<TemplateDueRuntime*>(module->pRuntime);
}

int* TemplateUsesChecksum(const TemplateType* type, ModuleRecord* module) {
    if (type->channelDue) return &TemplateDueRuntimeOf(module)->Uses_Checksum;
    return &TemplateRuntimeOf(module)->Uses_Checksum;
}

ChannelScan* TemplateChannelScan(ModuleRecord* module, int j) {
    if (j < 0 || j >= TEMPLATE_CHANNELS) return nullptr;
    return static_cast<ChannelScan*>(module->apChannelScan[j]);
}

int TemplateChannelOfOutput(WORD mask, int j) {
    for (int c = 0; c < TEMPLATE_CHANNELS; c++)
        if (mask & (1u << c)) {
            if (j == 0) return c;
            j--;
        }
    return -1;
}

void TemplateBlockName(const ModuleRecord* module, char* name, int size) {
    snprintf(name, size, "%.*s", static_cast<int>(sizeof module->szName), module->szName);
}

int* TemplateErrorWaiting(const TemplateType* type, ModuleRecord* module) {
    if (type->channelDue) return &TemplateDueRuntimeOf(module)->Error_Waiting;
    return &TemplateRuntimeOf(module)->Error_Waiting;
}

double* TemplateResumeTime(const TemplateType* type, ModuleRecord* module) {
    if (type->channelDue) return &TemplateDueRuntimeOf(module)->Resume_Time;
    return &TemplateRuntimeOf(module)->Resume_Time;
}

int TemplateOutputs(const ModuleRecord* module) {
    return module->uOutputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                                : static_cast<int>(module->uOutputs);
}

int TemplateInputs(const ModuleRecord* module) {
    return module->uInputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                               : static_cast<int>(module->uInputs);
}

// The block's channels, each with its ChannelScan record: the outputs of an
// input type, the inputs of an output type.
int TemplateChannels(const TemplateType* type, const ModuleRecord* module) {
    return type->form == TEMPLATE_OUTPUT_FORM ? TemplateInputs(module) : TemplateOutputs(module);
}

WORD TemplateFirstChannels(int count) {
    if (count <= 0) return 0;
    return static_cast<WORD>((1u << (count > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS : count)) - 1);
}
