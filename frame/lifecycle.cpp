// A block's life in the worksheet.
#include "frame/lifecycle.h"

#include "frame/fields.h"
#include "frame/moduletest.h"
#include "frame/modwatchdog.h"
#include "frame/outputs.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "resource.h"
#include "serial/modtable.h"

#include <stdio.h>
#include <string.h>

namespace {

int IsOutputType(const TemplateType* type) {
    return type->form == TEMPLATE_OUTPUT_FORM;
}

void SetChannels(ModuleRecord* module, const TemplateType* type) {
    // A block with a module per channel carries no channel numbers.
    if (TemplateModulePerChannel(type)) return;
    WORD mask = *TemplateMask(module, type);
    if (IsOutputType(type))
        SetInputChannelsFromMask(module, mask);
    else
        SetOutputChannelsFromMask(module, mask);
}

// A new or loaded block enters the module table, and, when its modules have
// a watchdog, the blocks that may set it up.
int EnterTables(const TemplateType* type, ModuleRecord* module) {
    if (!ModuleTableAdd(module, TemplateMess(module, type), type->model)) return 0;
    if (type->watchdogTick) ModuleWatchdogEnter(type, module);
    return 1;
}

} // namespace

int TemplateCreateDefaults(const TemplateType* type, ModuleRecord* module) {
    *TemplateVersion(module) = 1;
    if (module->uInputs == 0 && module->uOutputs == 0) {
        if (IsOutputType(type)) {
            module->uInputs = 1;
            module->uOutputs = 0;
        } else {
            module->uOutputs = 1;
            module->uInputs = 0;
        }
    }
    if (TemplateModulePerChannel(type)) {
        for (int i = 0; i < TEMPLATE_CHANNELS; i++)
            TemplateAddress(module, type)[i] = MinModuleAddress;
    } else {
        *TemplateMask(module, type) = TemplateFirstChannels(TemplateChannels(type, module));
        *TemplateAddress(module, type) = MinModuleAddress;
    }
    PortTableGet(TemplateCom(module, type), ComPortsDefined);
    SetChannels(module, type);
    for (int i = 0; i < type->namedChannels && i < TEMPLATE_CHANNELS; i++) {
        snprintf(TemplateChannelName(module, i), TEMPLATE_NAME_CHARS, type->nameFormat, i);
        if (type->unitOffset >= 0)
            snprintf(TemplateUnitIn(type, module->pParam, i), TEMPLATE_UNIT_CHARS, "%s",
                     type->unit);
        if (type->copyOffset >= 0) *TemplateCopyFlagIn(type, module->pParam, i) = 0;
    }
    if (type->defaults) type->defaults(module);
    InitMessParam(TemplateMess(module, type));
    return EnterTables(type, module);
}

int TemplateAfterLoad(const TemplateType* type, ModuleRecord* module) {
    if (!type->anyVersion && *TemplateVersion(module) < 1) {
        ShowWarning("Error", "Old module format (not supported)");
        return 0;
    }
    // Settings a block cannot measure with are refused before anything of
    // the block enters the driver's tables.
    char name[16];
    TemplateBlockName(module, name, sizeof name);
    if (!MessParamAfterLoad(name, TemplateMess(module, type))) return 0;
    PortTableMerge(TemplateCom(module, type));
    // A record from a file may name channels the module does not have, or
    // another count of them than the block has: the channels in use are the
    // module's channels of the mask, and the block has one channel each, as
    // the setup dialog leaves it. A block with a module per channel keeps
    // its count within the modules it can address.
    UINT count = static_cast<UINT>(TemplateChannels(type, module));
    if (!TemplateModulePerChannel(type)) {
        WORD* mask = TemplateMask(module, type);
        *mask &= TemplateChannelBits(type);
        count = static_cast<UINT>(CountBits(*mask));
    }
    if (IsOutputType(type) ? module->uInputs != count || module->uOutputs != 0
                           : module->uOutputs != count || module->uInputs != 0)
        ChangeModuleSize(module, IsOutputType(type) ? count : 0, IsOutputType(type) ? 0 : count);
    SetChannels(module, type);
    return EnterTables(type, module);
}

int TemplateDeleteModule(ModuleRecord* module) {
    ModuleTableRemove(module);
    ModuleWatchdogLeave(module);
    return 1;
}

int TemplateRefreshComSettings(const TemplateType* type, ModuleRecord* module) {
    ComSettings* own = TemplateCom(module, type);
    for (int i = 0; i < NumComPorts && i < MAX_COM_PORTS; i++)
        if (PortTable[i].Port_Number == own->Port_Number) {
            memcpy(own, &PortTable[i], sizeof *own);
            break;
        }
    return 1;
}

int TemplateShowSetupDialog(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                            int lParam) {
    if (!type->setupDlgProc || !type->dialogTemplate)
        return PerformDefaultAction(module, msg, wParam, lParam);
    DialogBoxParamA(hInstDriver, type->dialogTemplate, module->hwndModule, type->setupDlgProc, 0);
    return 1;
}

int TemplateSetChannelTiming(const TemplateType* type, ModuleRecord* module, int output) {
    return TemplateSetOutputTiming(module, output, TemplateMess(module, type));
}

int TemplateSetOutputTiming(ModuleRecord* module, int output, const MessParam* settings) {
    if (output < 0 || output >= TemplateOutputs(module) || !module->apOutput[output]) return 1;
    OutputChannel* channel = module->apOutput[output];
    if (settings->Use_Global_Settings) {
        channel->uBlockSize = uiGlobalBlockSize;
        channel->dSampleDistance = fGlobalMilliSecondsPerSample / 1000.0;
    } else {
        channel->uBlockSize = 1;
        channel->dSampleDistance = settings->Sample_Distance;
    }
    return 1;
}

int TemplateExportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner) {
    return TemplateExportChannels(type, module, partner, TEMPLATE_CHANNELS);
}

int TemplateExportChannels(const TemplateType* type, ModuleRecord* module, ModuleRecord* partner,
                           int channels) {
    if (!partner || !partner->pParam) return 1;
    if (channels > TEMPLATE_CHANNELS) channels = TEMPLATE_CHANNELS;
    ChannelExchange* x = static_cast<ChannelExchange*>(partner->pParam);
    x->dwFormat = 1;
    for (int i = 0; i < channels; i++) {
        memcpy(x->aszNames[i], TemplateChannelName(module, i), TEMPLATE_NAME_CHARS);
        x->aszNames[i][TEMPLATE_NAME_CHARS - 1] = 0;
    }
    x->bNames = 1;
    if (IsOutputType(type)) {
        for (int i = 0; i < channels; i++)
            x->abCopyName[i] =
                type->copyOffset >= 0 ? *TemplateCopyFlagIn(type, module->pParam, i) : 0;
        x->bUnits = 0;
        x->bCopyFlags = 1;
    } else {
        for (int i = 0; i < channels; i++) {
            if (type->unitOffset >= 0)
                memcpy(x->aszUnits[i], TemplateUnitIn(type, module->pParam, i),
                       TEMPLATE_UNIT_CHARS);
            else
                x->aszUnits[i][0] = 0;
            x->aszUnits[i][TEMPLATE_UNIT_CHARS - 1] = 0;
        }
        x->bUnits = 1;
        x->bCopyFlags = 0;
    }
    return 1;
}

int TemplateCheckChannelLayout(const TemplateType* type, ModuleRecord* other) {
    if (!other) return 0;
    UINT own = IsOutputType(type) ? other->uInputs : other->uOutputs;
    UINT foreign = IsOutputType(type) ? other->uOutputs : other->uInputs;
    return own >= 1 && own <= static_cast<UINT>(type->channelLimit) && foreign == 0;
}

int TemplateImportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner) {
    if (!TemplateCreateDefaults(type, module)) return 0;
    return TemplateImportChannels(type, module, partner, TEMPLATE_CHANNELS);
}

int TemplateImportChannels(const TemplateType* type, ModuleRecord* module, ModuleRecord* partner,
                           int channels) {
    module->wImportMark = 0;
    if (!partner || !partner->pParam) return 1;
    if (channels > TEMPLATE_CHANNELS) channels = TEMPLATE_CHANNELS;
    const ChannelExchange* x = static_cast<const ChannelExchange*>(partner->pParam);
    for (int i = 0; i < channels; i++) {
        if (x->bNames) {
            memcpy(TemplateChannelName(module, i), x->aszNames[i], TEMPLATE_NAME_CHARS);
            TemplateChannelName(module, i)[TEMPLATE_NAME_CHARS - 1] = 0;
        }
        if (!IsOutputType(type) && x->bUnits && type->unitOffset >= 0) {
            memcpy(TemplateUnitIn(type, module->pParam, i), x->aszUnits[i], TEMPLATE_UNIT_CHARS);
            TemplateUnitIn(type, module->pParam, i)[TEMPLATE_UNIT_CHARS - 1] = 0;
        }
        if (IsOutputType(type) && x->bCopyFlags && type->copyOffset >= 0)
            *TemplateCopyFlagIn(type, module->pParam, i) = x->abCopyName[i] ? 1 : 0;
    }
    return 1;
}

int TemplateReportGlobalVars(const TemplateType* type, ModuleRecord* module, int lParam) {
    GlvoNotifyRecord r;
    memset(&r, 0, sizeof r);
    r.dwGlvoCode = 169;
    r.dwGlvoCount = 1;
    r.lGlvoParam = lParam;
    r.lGlvoIndex = -1;
    const MessParam* settings = TemplateMess(module, type);
    if (!settings->Error_Stop && settings->Error_Set_Var && settings->Error_Var_Nr > 0) {
        r.dwGlvoType = 2;
        r.dwGlvoNumber = settings->Error_Var_Nr;
        r.dwGlvoMode = 2;
        r.dwGlvoFlags = 2;
        if (LoadStringA(hInstDriver, IDS_GLOBAL_STRING_NOTE, r.szGlvoText, sizeof r.szGlvoText) <=
            0)
            r.szGlvoText[0] = 0;
    } else {
        r.dwGlvoFlags = 1;
        snprintf(r.szGlvoText, sizeof r.szGlvoText, "---");
    }
    GlvoModuleNotifyGlobalVar(&r);
    return 1;
}

void TemplateInputName(const TemplateType* type, ModuleRecord* module, int channel,
                       const char* name, int channels) {
    if (channel < 0 || channel >= channels || channel >= TEMPLATE_CHANNELS ||
        type->copyOffset < 0 || !name || !*TemplateCopyFlagIn(type, module->pParam, channel))
        return;
    snprintf(TemplateChannelName(module, channel), TEMPLATE_NAME_CHARS, "%s", name);
}

void TemplateSetNameCopy(const TemplateType* type, ModuleRecord* module, int flag, int channels) {
    if (type->copyOffset < 0) return;
    for (int i = 0; i < channels && i < TEMPLATE_CHANNELS; i++)
        *TemplateCopyFlagIn(type, module->pParam, i) = flag;
}

void TemplateOutputNames(const TemplateType* type, ModuleRecord* module) {
    WORD mask = *TemplateMask(module, type) & TemplateChannelBits(type);
    for (int k = 0; k < TemplateOutputs(module); k++) {
        int c = TemplateChannelOfOutput(mask, k);
        if (c < 0 || !module->apOutput[k]) continue;
        char name[TEMPLATE_NAME_CHARS];
        snprintf(name, sizeof name, "%.*s", TEMPLATE_NAME_CHARS - 1,
                 TemplateChannelName(module, c));
        CopyChannelName(module->apOutput[k], name);
    }
}
