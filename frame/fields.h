// The common fields of a block's records, by the offsets its type gives:
// the channel names, units and copy flags, the address, the channel mask,
// the port and measurement settings, the runtime fields of the error
// policy, and the block's channels.
#ifndef TELVIO_FRAME_FIELDS_H
#define TELVIO_FRAME_FIELDS_H

#include "frame/template.h"

// Common fields of a parameter record of the type: the block's, or a copy of
// it (the setup dialog's working copy).
char* TemplateNameIn(void* param, int channel);
char* TemplateUnitIn(const TemplateType* type, void* param, int channel);     // null: no units
BOOL* TemplateCopyFlagIn(const TemplateType* type, void* param, int channel); // null: no flags
int* TemplateAddressIn(const TemplateType* type, void* param);
WORD* TemplateMaskIn(const TemplateType* type, void* param);
ComSettings* TemplateComIn(const TemplateType* type, void* param);
MessParam* TemplateMessIn(const TemplateType* type, void* param);
// The channels of the module as mask bits.
WORD TemplateChannelBits(const TemplateType* type);
// 1 for a type with a module per channel (TEMPLATE_MODULE_PER_CHANNEL).
int TemplateModulePerChannel(const TemplateType* type);

// The same fields of a block's parameter record.
int* TemplateVersion(ModuleRecord* module);
char* TemplateChannelName(ModuleRecord* module, int channel);
int* TemplateAddress(ModuleRecord* module, const TemplateType* type);
// Null for a type with a module per channel.
WORD* TemplateMask(ModuleRecord* module, const TemplateType* type);
// The channels in use: the mask's bits of the module's channels, or for a
// type with a module per channel the first as many as the block has.
WORD TemplateChannelsInUse(ModuleRecord* module, const TemplateType* type);
ComSettings* TemplateCom(ModuleRecord* module, const TemplateType* type);
MessParam* TemplateMess(ModuleRecord* module, const TemplateType* type);
TemplateRuntime* TemplateRuntimeOf(ModuleRecord* module);
TemplateDueRuntime* TemplateDueRuntimeOf(ModuleRecord* module);
// The block's checksum setting, in either runtime layout of the type.
int* TemplateUsesChecksum(const TemplateType* type, ModuleRecord* module);
ChannelScan* TemplateChannelScan(ModuleRecord* module, int j);
// The channel of the j-th set bit of the mask; -1 when there is none.
int TemplateChannelOfOutput(WORD mask, int j);
// The error wait of the block's runtime, in either layout of the type:
// waiting after a failed transaction, and the experiment time it ends.
int* TemplateErrorWaiting(const TemplateType* type, ModuleRecord* module);
double* TemplateResumeTime(const TemplateType* type, ModuleRecord* module);
// The block's output and input channels, at most 16 each; its channels with
// a ChannelScan record (the outputs of an input type, the inputs of an
// output type); channels 0 to count - 1 as mask bits.
int TemplateOutputs(const ModuleRecord* module);
int TemplateInputs(const ModuleRecord* module);
int TemplateChannels(const TemplateType* type, const ModuleRecord* module);
WORD TemplateFirstChannels(int count);

// The block's name as a caption.
void TemplateBlockName(const ModuleRecord* module, char* name, int size);

#endif
