// A block's life in the worksheet: its defaults when it is made, the checks
// and tables when it is loaded, its deletion, the setup dialog, the timing
// of its output channels, the exchange of channel names with another block
// and the names the host hands an output block, and the global variable of
// its error policy.
#ifndef TELVIO_FRAME_LIFECYCLE_H
#define TELVIO_FRAME_LIFECYCLE_H

#include "frame/template.h"

// MODMSG_OUTPUT_NAMES of the input types: each output channel is named after the
// channel it carries.
void TemplateOutputNames(const TemplateType* type, ModuleRecord* module);
int TemplateCreateDefaults(const TemplateType* type, ModuleRecord* module);
int TemplateAfterLoad(const TemplateType* type, ModuleRecord* module);
int TemplateDeleteModule(ModuleRecord* module);
int TemplateRefreshComSettings(const TemplateType* type, ModuleRecord* module);
int TemplateShowSetupDialog(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                            int lParam);
int TemplateSetChannelTiming(const TemplateType* type, ModuleRecord* module, int output);
// The block size and sample distance of output channel `output` by the
// settings (of the block, or of the block whose settings it measures with).
int TemplateSetOutputTiming(ModuleRecord* module, int output, const MessParam* settings);
int TemplateExportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner);
int TemplateCheckChannelLayout(const TemplateType* type, ModuleRecord* other);
int TemplateImportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner);
// The exchange of the first `channels` channels, for a type whose record
// holds fewer than 16; the import without the defaults before it.
int TemplateExportChannels(const TemplateType* type, ModuleRecord* module, ModuleRecord* partner,
                           int channels);
int TemplateImportChannels(const TemplateType* type, ModuleRecord* module, ModuleRecord* partner,
                           int channels);
// MODMSG_INPUT_NAME and MODMSG_SET_NAME_COPY of the output form, on the first `channels` channels:
// the name of what feeds the channel, when its copy flag is set; every copy
// flag.
void TemplateInputName(const TemplateType* type, ModuleRecord* module, int channel,
                       const char* name, int channels);
void TemplateSetNameCopy(const TemplateType* type, ModuleRecord* module, int flag, int channels);
int TemplateReportGlobalVars(const TemplateType* type, ModuleRecord* module, int lParam);

#endif
