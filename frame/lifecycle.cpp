// The shared frame of every block type.
#include "frame/template.h"

#include "host/driver.h"
#include "host/host.h"
#include "frame/moduletest.h"
#include "frame/modwatchdog.h"
#include "frame/outputs.h"
#include "frame/poll.h"
#include "host/numbers.h"
#include "resource.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/scan.h"
#include "serial/sercomm.h"
#include "serial/watchdog.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

BYTE* At(void* param, int offset) {
    return static_cast<BYTE*>(param) + offset;
}

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

void ShowUnderBlockName(ModuleRecord* module, UINT textId) {
    char name[16];
    TemplateBlockName(module, name, sizeof name);
    ShowWarningById(name, textId);
}

int StartFailed(ModuleRecord* module, UINT textId, int stop) {
    return TemplateStartFailed(module, textId, stop);
}

// The model the start in progress identified.
int startModel = TEMPLATE_MODEL_UNREAD;

// A new or loaded block enters the module table, and, when its modules have
// a watchdog, the blocks that may set it up.
int EnterTables(const TemplateType* type, ModuleRecord* module) {
    if (!ModuleTableAdd(module, TemplateMess(module, type), type->model)) return 0;
    if (type->watchdogTick) ModuleWatchdogEnter(type, module);
    return 1;
}

int Outputs(const ModuleRecord* module) {
    return module->uOutputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                                : static_cast<int>(module->uOutputs);
}

int Inputs(const ModuleRecord* module) {
    return module->uInputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                               : static_cast<int>(module->uInputs);
}

// The block's channels, each with its ChannelScan record: the outputs of an
// input type, the inputs of an output type.
int Channels(const TemplateType* type, const ModuleRecord* module) {
    return IsOutputType(type) ? Inputs(module) : Outputs(module);
}

WORD FirstBits(int count) {
    if (count <= 0) return 0;
    return static_cast<WORD>((1u << (count > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS : count)) - 1);
}

// The module a block of this experiment claimed and the settings its start
// wrote into it. An entry of another experiment is free.
struct BlockRun {
    ModuleRecord* module;
    int run; // ScanListRun() of the experiment
    int port;
    int address;
    char setting[TEMPLATE_SETTING_SIZE]; // empty: the start writes nothing
    char name[16];
};

BlockRun runs[MODULE_TABLE_SIZE];

// The block's entry in this experiment, made when it has none.
BlockRun* RunOf(ModuleRecord* module) {
    int run = ScanListRun();
    BlockRun* free = nullptr;
    for (BlockRun& r : runs) {
        if (r.run == run && r.module == module) return &r;
        if (!free && (r.run != run || r.module == module)) free = &r;
    }
    if (!free) free = &runs[0];
    memset(free, 0, sizeof *free);
    free->module = module;
    free->run = run;
    TemplateBlockName(module, free->name, sizeof free->name);
    return free;
}

// Another block of this experiment on the same module that wrote other
// settings into it; null when there is none.
const BlockRun* OtherSettingOnModule(const BlockRun* own) {
    for (const BlockRun& r : runs) {
        if (&r == own || r.run != own->run || r.module == own->module) continue;
        if (r.port != own->port || r.address != own->address || !r.setting[0]) continue;
        if (strcmp(r.setting, own->setting) != 0) return &r;
    }
    return nullptr;
}

// The runtime fields of the error policy, in the type's layout.
struct PollFields {
    int* errorWaiting;
    double* resumeTime;
};

PollFields PollFieldsOf(const TemplateType* type, ModuleRecord* module) {
    if (type->channelDue) {
        TemplateDueRuntime* rt = TemplateDueRuntimeOf(module);
        return {&rt->Error_Waiting, &rt->Resume_Time};
    }
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    return {&rt->Error_Waiting, &rt->Resume_Time};
}

// 1 when the type's turns send its port's keep-alive in this family.
int TicksInFamily(const TemplateType* type) {
    return type->watchdogTick == TEMPLATE_TICK_ALWAYS ||
           (type->watchdogTick == TEMPLATE_TICK_TELV && FAMILY_TELV);
}

// The block as the poll policy sees it; `watchdogOn`: a watchdog of its
// modules is on, so its idle turns send the port's keep-alive.
PollBlock PollOf(const TemplateType* type, ModuleRecord* module, int watchdogOn) {
    PollFields f = PollFieldsOf(type, module);
    // Both runtime layouts keep the poll interval at the same place.
    static_assert(offsetof(TemplateRuntime, Poll_Interval) ==
                      offsetof(TemplateDueRuntime, Poll_Interval),
                  "Poll_Interval");
    int port = TemplateCom(module, type)->Port_Number;
    return {module,
            TemplateMess(module, type),
            type->restartNote,
            f.errorWaiting,
            f.resumeTime,
            TemplateRuntimeOf(module)->Poll_Interval,
            TicksInFamily(type) && watchdogOn ? port : 0};
}

// The block whose keep-alive follows its Watchdog_On.
PollBlock PollOf(const TemplateType* type, ModuleRecord* module) {
    return PollOf(type, module, TemplateMess(module, type)->Watchdog_On);
}

} // namespace

PollBlock TemplatePoll(const TemplateType* type, ModuleRecord* module) {
    return PollOf(type, module);
}

int TemplateStartModel() {
    return startModel;
}

int TemplateModelAccepted(const TemplateType* type, int model) {
    return ModelAccepted(type->models, type->modelCount, model);
}

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
    if (TemplateModulePerChannel(type)) return FirstBits(Channels(type, module));
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
        *TemplateMask(module, type) = FirstBits(Channels(type, module));
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
    UINT count = static_cast<UINT>(Channels(type, module));
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
    if (output < 0 || output >= Outputs(module) || !module->apOutput[output]) return 1;
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

int TemplateSendAndExpect(const TemplateType* type, ModuleRecord* module, char* text, char expected,
                          int checksum, int waitMs) {
    int port = TemplateCom(module, type)->Port_Number;
    char command[TEMPLATE_QUERY_SIZE];
    snprintf(command, sizeof command, "%s", text);
    int result = QueryCom(port, text, TEMPLATE_QUERY_SIZE, checksum, waitMs);
    // A reply with a wrong checksum, a partial line or none at all is a
    // failure even when its first character happens to match; so is the
    // answer of another module.
    int ok = ReplyMatches(text, result, expected) && ReplyFromAddress(command, text);
    if (type->traceReplies) {
        char trace[TEMPLATE_QUERY_SIZE + 32];
        snprintf(trace, sizeof trace, "ProcessCommand: %.*s\n", TEMPLATE_QUERY_SIZE - 1, text);
        OutputDebugStringA(trace);
        OutputDebugStringA(ok ? "Cont: positive Response\n" : "Abbruch: negative Response\n");
    }
    if (ok) return 1;
    return TemplateStepFailed(module, IDS_COMM_PROBLEM);
}

int TemplateStepFailed(ModuleRecord* module, UINT textId) {
    StopExperiment();
    ShowUnderBlockName(module, textId);
    return 0;
}

namespace {

// A module that did not answer the probe. Where the type or its steps ask,
// Yes starts the block as it is (1); otherwise the start fails (0),
// stopping the experiment unless the type or its steps say not.
int SilentModule(const TemplateType* type, ModuleRecord* module, const TemplateStartSteps* steps) {
    int silent = steps ? steps->silent : TEMPLATE_SILENT_STOP;
    const int flags = type->startFlags;
    if ((flags & TEMPLATE_START_SILENT_ASKS) || silent == TEMPLATE_SILENT_ASK) {
        UINT question = type->silentQuestion ? type->silentQuestion : IDS_MODULE_NO_RESPONSE;
        char text[160];
        if (LoadStringA(hInstDriver, question, text, sizeof text) <= 0) text[0] = 0;
        char name[16];
        TemplateBlockName(module, name, sizeof name);
        if (MessageBoxA(GetActiveWindow(), text, name, MB_YESNO | MB_ICONQUESTION) == IDYES)
            return 1;
    }
    int refuses = (flags & TEMPLATE_START_SILENT_REFUSES) || silent == TEMPLATE_SILENT_FAIL;
    return StartFailed(module, IDS_MODULE_NO_REPLY, !refuses);
}

// The sample timing of a start, from the block's measurement settings.
void StartTiming(const MessParam* settings, double* sampleSeconds, WORD* blockSamples,
                 double* pollInterval) {
    if (settings->Use_Global_Settings) {
        *sampleSeconds = fGlobalMilliSecondsPerSample / 1000.0;
        *blockSamples = static_cast<WORD>(uiGlobalBlockSize & 0xFFFF);
        *pollInterval = uiGlobalBlockSize * *sampleSeconds;
    } else {
        *sampleSeconds = settings->Sample_Distance;
        *blockSamples = 1;
        *pollInterval = settings->Sample_Distance;
    }
}

} // namespace

void TemplateTiming(TemplateRuntime* rt, const MessParam* settings) {
    StartTiming(settings, &rt->Sample_Seconds, &rt->Block_Samples, &rt->Poll_Interval);
    rt->Next_Due = 0.0;
}

int TemplateStartMeasurement(const TemplateType* type, ModuleRecord* module) {
    return TemplateStartMeasurementWith(type, module, nullptr);
}

int TemplateStartMeasurementWith(const TemplateType* type, ModuleRecord* module,
                                 const TemplateStartSteps* steps) {
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    int outputs = Outputs(module);
    if (!TemplateStartBegin(type, module)) return 0;
    int port = TemplateCom(module, type)->Port_Number;
    // An address from a file outside the module range would be sent cut to
    // its low byte and reach another module.
    int address = *TemplateAddress(module, type);
    if (address < MinModuleAddress || address > 255) {
        UINT text = steps && steps->badAddressText ? steps->badAddressText : IDS_TEST_BAD_ADDRESS;
        return StartFailed(module, text, 1);
    }
    if (!TemplateStartChecks(type, module)) return 0;
    char name[16];
    TemplateBlockName(module, name, sizeof name);
    // Two blocks on one module may not write different settings into it:
    // the second would change what the first measures.
    BlockRun* run = RunOf(module);
    run->port = port;
    run->address = address;
    if (type->moduleSetting) type->moduleSetting(module, run->setting, sizeof run->setting);
    if (const BlockRun* other = type->moduleSetting ? OtherSettingOnModule(run) : nullptr) {
        char text[160];
        snprintf(text, sizeof text,
                 "%s: the module on COM%d, address %d is set up differently by block %s.", name,
                 port, address, other->name);
        run->setting[0] = 0;
        StopExperiment();
        ShowWarning(name, text);
        EndWaitCursor();
        return 0;
    }
    if (!OpenCom(port, name)) return StartFailed(module, 0, 0);
    int* checksum = TemplateUsesChecksum(type, module);
    const int flags = type->startFlags;
    startModel = TEMPLATE_MODEL_UNREAD;
    int model = 0;
    int found = TemplateIdentifyModule(type, port, address, checksum, &model);
    // A module that answered with lines that cannot be read is there, but
    // cannot be worked with: never taken for a silent one.
    if (found == TEMPLATE_MODULE_UNREADABLE) return StartFailed(module, IDS_REPLY_UNREADABLE, 1);
    // Without the module the block keeps the checksum setting it had and
    // configures nothing.
    if (found == TEMPLATE_MODULE_SILENT) {
        model = 0;
        if (!SilentModule(type, module, steps)) return 0;
    } else {
        if (found == TEMPLATE_MODULE_REFUSED) {
            UINT badNumber = steps && steps->badNumberText                ? steps->badNumberText
                             : (flags & TEMPLATE_START_BAD_NUMBER_SILENT) ? IDS_MODULE_NO_REPLY
                                                                          : IDS_USES_CHECKSUMS;
            UINT id = model == -1   ? IDS_MODULE_NO_REPLY
                      : model == -2 ? badNumber
                                    : IDS_WRONG_MODULE;
            int refuses = steps && steps->wrong == TEMPLATE_WRONG_FAIL;
            return StartFailed(module, id, !refuses);
        }
        startModel = model;
        // The type's step has stopped the experiment and shown its failure.
        int configured = steps && steps->configure ? steps->configure(module, type, model)
                         : type->configure         ? type->configure(module, type)
                                                   : 1;
        if (!configured) return StartFailed(module, 0, 0);
    }

    TemplateStartTiming(type, module);

    WORD mask = *TemplateMask(module, type) & TemplateChannelBits(type);
    for (int j = 0; type->addRequest && j < outputs; j++) {
        int c = TemplateChannelOfOutput(mask, j);
        ChannelScan* scan = TemplateChannelScan(module, j);
        if (c < 0 || !scan || !type->addRequest) return StartFailed(module, IDS_COMM_PROBLEM, 1);
        int handle = type->addRequest(module, type, j, c);
        if (handle < 0) {
            scan->ScanHandle = -1;
            return StartFailed(module, 0, 1);
        }
        scan->ScanHandle = handle;
    }
    // A block without a channel in use has nothing to read or write.
    if (type->addSweepRequest && TemplateChannelsInUse(module, type) != 0) {
        int handle = type->addSweepRequest(module, type);
        if (handle < 0) return StartFailed(module, 0, 1);
        rt->ScanHandle = handle;
    }
    if (steps && steps->addRequests && !steps->addRequests(module, type))
        return StartFailed(module, 0, 1);
    if (steps && steps->finish && !steps->finish(module, type, model))
        return StartFailed(module, 0, 0);
    return TemplateStartEnd();
}

int TemplateStartFailed(ModuleRecord* module, UINT textId, int stop) {
    if (stop) StopExperiment();
    if (textId) ShowUnderBlockName(module, textId);
    EndWaitCursor();
    return 0;
}

int TemplateStartBegin(const TemplateType* type, ModuleRecord* module) {
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    TemplateDueRuntime* due = type->channelDue ? TemplateDueRuntimeOf(module) : nullptr;
    PollFields poll = PollFieldsOf(type, module);
    // Nothing of an earlier experiment is polled: every request handle is
    // invalid until this start registers it, and no wait carries over. The
    // one-request types keep their image (in the place of Channel_Index).
    if (type->addRequest) {
        for (int j = 0; j < Outputs(module); j++) {
            ChannelScan* scan = TemplateChannelScan(module, j);
            if (scan) scan->ScanHandle = -1;
        }
        rt->Channel_Index = 0;
    }
    rt->ScanHandle = -1;
    *poll.errorWaiting = 0;
    *poll.resumeTime = 0.0;

    MonitorExperimentStarted();
    if (due) due->Start_Time = CurrentExperimentTime(1);
    BeginWaitCursor();
    if (!ScanListCreate()) return StartFailed(module, 0, 0);
    int port = TemplateCom(module, type)->Port_Number;
    if (port < 1 || port > MAX_COM_PORTS) return StartFailed(module, IDS_NO_COM_PORT, 1);
    return 1;
}

int TemplateStartChecks(const TemplateType* type, ModuleRecord* module) {
    // A block without a channel of its module in use measures nothing: it
    // starts, registers no request and passes its turns, and the user is
    // told so.
    if (TemplateChannelsInUse(module, type) == 0) ShowUnderBlockName(module, IDS_NO_CHANNELS);
    UINT fault = MessParamStartFault(TemplateMess(module, type));
    if (fault) return StartFailed(module, fault, 1);
    return 1;
}

int TemplateIdentifyModule(const TemplateType* type, int port, int address, int* checksum,
                           int* model) {
    int probe = ProbeChecksum(port, address);
    if (probe == PROBE_UNREADABLE) return TEMPLATE_MODULE_UNREADABLE;
    if (probe == PROBE_NO_REPLY) return TEMPLATE_MODULE_SILENT;
    *checksum = probe == PROBE_CHECKSUMS ? 1 : 0;
    *model = ReadModuleName(port, address, *checksum);
    return TemplateModelAccepted(type, *model) ? TEMPLATE_MODULE_OK : TEMPLATE_MODULE_REFUSED;
}

void TemplateStartTiming(const TemplateType* type, ModuleRecord* module) {
    const MessParam* settings = TemplateMess(module, type);
    if (type->channelDue) {
        TemplateDueRuntime* due = TemplateDueRuntimeOf(module);
        StartTiming(settings, &due->Sample_Seconds, &due->Block_Samples, &due->Poll_Interval);
        for (int j = 0; j < TEMPLATE_CHANNELS; j++)
            due->Channel_Due[j] = 0.0;
    } else {
        TemplateRuntime* rt = TemplateRuntimeOf(module);
        StartTiming(settings, &rt->Sample_Seconds, &rt->Block_Samples, &rt->Poll_Interval);
        rt->Next_Due = 0.0;
    }
}

int TemplateStartEnd() {
    ModuleTableResetCursor();
    EndWaitCursor();
    return 1;
}

int TemplatePortBaud(const TemplateType* type, ModuleRecord* module) {
    const ComSettings* own = TemplateCom(module, type);
    const ComSettings* port = PortTableFind(own->Port_Number);
    int baud = port ? port->Baud_Rate : own->Baud_Rate;
    ClampInt(&baud, 0, 5);
    return baud;
}

int TemplateStopMeasurement(ModuleRecord* module, const TemplateType* type) {
    ScanListFree();
    CloseCom(TemplateCom(module, type)->Port_Number);
    MonitorExperimentStopped();
    ModuleWatchdogStopped(module);
    if (type->watchdogResetAtStop) WatchdogReset();
    return 1;
}

namespace {

// Begins a request of the block's loop; 1 when begun (the caller steps it at
// once, and the type's begun step has run). A sweep the type does not want
// now waits, as does a request the start did not register or whose module
// waits for its retry: the turn is passed and *answer set to 0. While the
// engine is busy the block keeps its turn (*answer 1).
int BeginRequest(const TemplateType* type, ModuleRecord* module, const PollBlock* poll, int handle,
                 const TemplateSweepSteps* steps, int* answer) {
    if (!(steps && steps->wanted && !steps->wanted(module, type))) {
        int begun = PollBegin(poll, handle);
        if (begun == POLL_BEGUN) {
            if (steps && steps->begun) steps->begun(module, type);
            return 1;
        }
        if (begun == POLL_BUSY) {
            *answer = 1;
            return 0;
        }
    }
    ModuleTableNext();
    *answer = 0;
    return 0;
}

// The idle turn of the loops with one due time: the policy's idle turn, the
// type's idle step, the due time, then the request `handle`. A module that
// waits for its retry is asked nothing, the host's queued actions
// included. 1 when a request was begun; otherwise 0 and the procedure's
// answer in *answer.
int IdleTurn(const TemplateType* type, ModuleRecord* module, TemplateRuntime* rt,
             const PollBlock* poll, int handle, const TemplateChannelSteps* channel,
             const TemplateSweepSteps* sweep, int* answer) {
    *answer = 0;
    int idle = PollIdle(poll);
    if (idle == POLL_PASSED) return 0;
    if (idle == POLL_RESUMED) rt->Next_Due = CurrentExperimentTime(1);
    if (!PollRequestReady(poll, handle) ||
        (channel && channel->idle && !channel->idle(module, type)) || !PollDue(rt->Next_Due)) {
        ModuleTableNext();
        return 0;
    }
    return BeginRequest(type, module, poll, handle, sweep, answer);
}

// The states the loops handle alike besides idle and ready: a failed
// transaction goes through the policy and passes the turn; busy or fatal,
// the block keeps its turn. The procedure's answer.
int OtherState(int state, const PollBlock* poll) {
    if (state == SS_ERROR) PollFailed(poll);
    return 1;
}

// The value of output channel `ch` into every sample of its data block; 0
// when the host has no block for it yet.
int Deliver(ModuleRecord* module, int ch, double time, double sampleSeconds, WORD samples,
            float value) {
    return PollDeliver(module, ch, 1, &value, time, sampleSeconds, samples);
}

// Output j's request and value: the type's, or those of its ChannelScan
// record.
int RequestOf(ModuleRecord* module, const TemplateChannelSteps* steps, int j) {
    if (steps) return steps->request ? steps->request(module, j) : -1;
    ChannelScan* scan = TemplateChannelScan(module, j);
    return scan ? scan->ScanHandle : -1;
}

float ValueOf(ModuleRecord* module, const TemplateChannelSteps* steps, int j) {
    if (steps) return steps->value ? steps->value(module, j) : 0.0f;
    ChannelScan* scan = TemplateChannelScan(module, j);
    return scan ? scan->Channel_Value : 0.0f;
}

} // namespace

int TemplateProcessInputs(const TemplateType* type, ModuleRecord* module) {
    return TemplateProcessChannels(type, module, nullptr);
}

int TemplateProcessChannels(const TemplateType* type, ModuleRecord* module,
                            const TemplateChannelSteps* steps) {
    if (ModuleTableCurrent() != module) return 0;
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    const PollBlock poll = PollOf(type, module);
    int outputs = Outputs(module);
    for (;;) {
        int state = ScanStep();
        if (rt->Channel_Index < 0 || rt->Channel_Index >= outputs) rt->Channel_Index = 0;
        int ch = rt->Channel_Index;
        if (state == SS_IDLE) {
            int answer = 0;
            int handle = outputs > 0 ? RequestOf(module, steps, ch) : -1;
            if (IdleTurn(type, module, rt, &poll, handle, steps, nullptr, &answer)) continue;
            return answer;
        }
        if (state != SS_READY) return OtherState(state, &poll);
        // One reply may serve the outputs that follow; a value that finds no
        // data block waits for a later call, the reply still ready.
        PollAnswered(&poll);
        PollCatchUp(module, &rt->Next_Due, rt->Poll_Interval);
        for (;;) {
            if (!Deliver(module, ch, rt->Next_Due, rt->Sample_Seconds, rt->Block_Samples,
                         ValueOf(module, steps, ch)))
                return 0;
            rt->Channel_Index++;
            if (rt->Channel_Index >= outputs) {
                rt->Channel_Index = 0;
                rt->Next_Due += rt->Poll_Interval;
                PollSweepEnded(module, rt->Poll_Interval);
            }
            if (rt->Channel_Index == 0 || !steps || !steps->sameReply ||
                !steps->sameReply(module, ch))
                break;
            ch = rt->Channel_Index;
        }
        ScanReset();
        if (rt->Channel_Index > 0) continue;
        ModuleTableNext();
        return 1;
    }
}

int TemplateProcessChannelsDue(const TemplateType* type, ModuleRecord* module) {
    if (ModuleTableCurrent() != module) return 0;
    TemplateDueRuntime* rt = TemplateDueRuntimeOf(module);
    const PollBlock poll = PollOf(type, module);
    int outputs = Outputs(module);
    for (;;) {
        int state = ScanStep();
        if (rt->Channel_Index < 0 || rt->Channel_Index >= outputs) rt->Channel_Index = 0;
        int p = rt->Channel_Index;
        ChannelScan* scan = TemplateChannelScan(module, p);
        double clock = CurrentExperimentTime(1) - rt->Start_Time;
        if (clock < 0.0) {
            // The host's clock began anew after the block's start: the
            // block's clock begins with it, or no channel would be due
            // until it had caught up.
            rt->Start_Time = CurrentExperimentTime(1);
            clock = 0.0;
        }
        if (state == SS_IDLE) {
            int idle = PollIdle(&poll);
            if (idle == POLL_PASSED) return 0;
            // The waiting channel resumes at once, the others keep their
            // schedule.
            if (idle == POLL_RESUMED) rt->Channel_Due[p] = clock;
            if (clock < rt->Channel_Due[p]) {
                // Not yet due: the next channel may be; after the last one
                // the turn passes.
                OutputDebugStringA("NextChannel");
                rt->Channel_Index = p + 1 < outputs ? p + 1 : 0;
                if (rt->Channel_Index > 0) continue;
                ModuleTableNext();
                return 0;
            }
            int answer = 0;
            if (BeginRequest(type, module, &poll, outputs > 0 && scan ? scan->ScanHandle : -1,
                             nullptr, &answer))
                continue;
            return answer;
        }
        if (state != SS_READY) return OtherState(state, &poll);
        PollAnswered(&poll);
        // A reading requested later than one interval after its due time is
        // stamped with the latest due time before the request: the sweeps
        // missed meanwhile show as a gap, not as readings taken later.
        PollSkipMissed(&rt->Channel_Due[p], ScanRequestTime() - rt->Start_Time, rt->Poll_Interval);
        if (!Deliver(module, p, rt->Channel_Due[p], rt->Sample_Seconds, rt->Block_Samples,
                     scan ? scan->Channel_Value : 0.0f))
            return 0;
        rt->Channel_Due[p] += rt->Poll_Interval;
        rt->Channel_Index = p + 1 < outputs ? p + 1 : 0;
        ScanReset();
        if (rt->Channel_Index > 0) continue;
        ModuleTableNext();
        return 1;
    }
}

int TemplateProcessSweep(const TemplateType* type, ModuleRecord* module,
                         const TemplateSweepSteps* steps) {
    if (ModuleTableCurrent() != module) return 0;
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    const PollBlock poll = PollOf(type, module);
    if (steps && steps->prepare) steps->prepare(module, type);
    for (;;) {
        int state = ScanStep();
        if (state == SS_IDLE) {
            int answer = 0;
            if (IdleTurn(type, module, rt, &poll, rt->ScanHandle, nullptr, steps, &answer))
                continue;
            return answer;
        }
        if (state != SS_READY) return OtherState(state, &poll);
        PollAnswered(&poll);
        // The type delivers with the sweep's time: caught up first, unless
        // its due time moves on by one interval per request whatever the
        // time. A value the host has no room for yet stays ready.
        if (!(steps && steps->keepDue)) PollCatchUp(module, &rt->Next_Due, rt->Poll_Interval);
        if (steps && steps->ready && !steps->ready(module, type)) return 0;
        rt->Next_Due += rt->Poll_Interval;
        PollSweepEnded(module, rt->Poll_Interval);
        ScanReset();
        ModuleTableNext();
        return 1;
    }
}

namespace {

ChannelScan* InputScan(ModuleRecord* module, int input) {
    return TemplateChannelScan(module, input);
}

int InputRequest(ModuleRecord* module, int input) {
    ChannelScan* scan = InputScan(module, input);
    return scan ? scan->ScanHandle : -1;
}

// The input whose request `handle` is; -1 for none.
int InputOfRequest(ModuleRecord* module, int handle) {
    for (int i = 0; handle >= 0 && i < Inputs(module); i++)
        if (InputRequest(module, i) == handle) return i;
    return -1;
}

// 1 while input i's write is on its way: its value stays as it went out.
int WriteInFlight(ModuleRecord* module, int input) {
    int handle = InputRequest(module, input);
    return handle >= 0 && ScanCurrentEntry() == handle && ScanState() != SS_IDLE;
}

// The host's newest sample of every input into its value cell.
void TakeInputValues(ModuleRecord* module, const TemplateWriteSteps* steps) {
    for (int i = 0; i < Inputs(module); i++) {
        ChannelScan* scan = InputScan(module, i);
        if (!scan || WriteInFlight(module, i)) continue;
        float sample = 0.0f;
        if (!OutputTakeSample(module, i, &sample) || isnan(sample)) continue;
        scan->Channel_Value = steps->limit ? steps->limit(module, i, sample) : sample;
    }
}

// An input without a request of this experiment, or without a value, is
// not written.
int WriteWanted(ModuleRecord* module, const TemplateWriteSteps* steps, int input) {
    ChannelScan* scan = InputScan(module, input);
    if (!scan || !ScanListEntry(scan->ScanHandle) || isnan(scan->Channel_Value)) return 0;
    return steps->wanted ? steps->wanted(module, input) : 1;
}

// The next input of the cycle; 0 after the last one, when the next cycle
// is due one poll interval on.
int NextInput(TemplateRuntime* rt, int inputs) {
    rt->Channel_Index++;
    if (rt->Channel_Index < inputs) return 1;
    rt->Channel_Index = 0;
    rt->Next_Due += rt->Poll_Interval;
    return 0;
}

// The write of a failing module whose retry time has come: it goes out at
// once, outside the cycle, with the input's newest value. -1 when there is
// none to write.
int RetryInput(ModuleRecord* module, const TemplateWriteSteps* steps, const PollBlock* poll) {
    int input = InputOfRequest(module, PollRetryDue(poll));
    return input >= 0 && WriteWanted(module, steps, input) ? input : -1;
}

} // namespace

int TemplateProcessWrites(const TemplateType* type, ModuleRecord* module,
                          const TemplateWriteSteps* steps) {
    if (ModuleTableCurrent() != module) return 0;
    const TemplateWriteSteps none = {};
    if (!steps) steps = &none;
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    const int inputs = Inputs(module);
    const PollBlock poll = PollOf(type, module,
                                  steps->watchdogOn ? steps->watchdogOn(module)
                                                    : TemplateMess(module, type)->Watchdog_On);
    TakeInputValues(module, steps);
    int answer = 0;
    for (;;) {
        int state = ScanStep();
        if (rt->Channel_Index < 0 || rt->Channel_Index >= inputs) rt->Channel_Index = 0;
        if (state == SS_READY) {
            PollAnswered(&poll);
            int input = InputOfRequest(module, PollInFlight(&poll));
            // A retry outside the cycle leaves the cycle where it was.
            int inCycle = input == rt->Channel_Index;
            // A write that went out late skips the cycles it missed.
            if (inCycle) PollCatchUp(module, &rt->Next_Due, rt->Poll_Interval);
            if (input >= 0 && steps->written) steps->written(module, input);
            ScanReset();
            answer = 1;
            if (!inCycle || NextInput(rt, inputs)) continue;
            PollSweepEnded(module, rt->Poll_Interval);
            ModuleTableNext();
            return 1;
        }
        if (state != SS_IDLE) return OtherState(state, &poll);
        int idle = PollIdle(&poll);
        if (idle == POLL_PASSED) return answer;
        if (idle == POLL_RESUMED) rt->Next_Due = CurrentExperimentTime(1);
        int input = RetryInput(module, steps, &poll);
        if (input < 0) {
            if (!PollDue(rt->Next_Due)) {
                ModuleTableNext();
                return answer;
            }
            // An input with nothing to write, or whose module waits for its
            // retry, waits for the next cycle; the others are written.
            while (inputs > 0 &&
                   (!WriteWanted(module, steps, rt->Channel_Index) ||
                    !PollRequestReady(&poll, InputRequest(module, rt->Channel_Index)))) {
                if (NextInput(rt, inputs)) continue;
                ModuleTableNext();
                return answer;
            }
            input = rt->Channel_Index;
        }
        int begun = PollBegin(&poll, inputs > 0 ? InputRequest(module, input) : -1);
        if (begun == POLL_BEGUN) continue;
        if (begun == POLL_BUSY) return 1;
        ModuleTableNext();
        return answer;
    }
}

void TemplateForgetInputValues(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++) {
        ChannelScan* scan = InputScan(module, i);
        if (scan) scan->Channel_Value = NAN;
    }
}

void TemplateForgetInputRequests(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++) {
        ChannelScan* scan = InputScan(module, i);
        if (scan) scan->ScanHandle = -1;
    }
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
    for (int k = 0; k < Outputs(module); k++) {
        int c = TemplateChannelOfOutput(mask, k);
        if (c < 0 || !module->apOutput[k]) continue;
        char name[TEMPLATE_NAME_CHARS];
        snprintf(name, sizeof name, "%.*s", TEMPLATE_NAME_CHARS - 1,
                 TemplateChannelName(module, c));
        CopyChannelName(module->apOutput[k], name);
    }
}

int TemplateClassProc(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                      int lParam) {
    int input = type->form == TEMPLATE_INPUT_FORM;
    int output = type->form == TEMPLATE_OUTPUT_FORM;
    int exchange = input || output;
    switch (msg) {
    case MODMSG_QUERY1: return 1;
    case MODMSG_CHECK_LAYOUT:
        if (!exchange) break;
        return TemplateCheckChannelLayout(type, reinterpret_cast<ModuleRecord*>(lParam));
    case MODMSG_CREATE: return TemplateCreateDefaults(type, module);
    case MODMSG_DELETE: return TemplateDeleteModule(module);
    case MODMSG_SETUP_DIALOG: return TemplateShowSetupDialog(type, module, msg, wParam, lParam);
    case MODMSG_REFRESH_PARAMS: return TemplateRefreshComSettings(type, module);
    case MODMSG_AFTER_LOAD: return TemplateAfterLoad(type, module);
    case MODMSG_START: return TemplateStartMeasurement(type, module);
    case MODMSG_STOP: return TemplateStopMeasurement(module, type);
    case MODMSG_ACTION_SUPPORTED:
    case MODMSG_ACTION119:
    case MODMSG_ACTION_DESCRIBE: return 0;
    case MODMSG_ACTION_PERFORM:
    case MODMSG_ACTION120:
    case MODMSG_ACTION121:
    case MODMSG_ACTION122:
    case MODMSG_ACTION123: return 1;
    case MODMSG_QUERY128: return 1;
    case MODMSG_OUTPUT_NAMES:
        if (input) TemplateOutputNames(type, module);
        break;
    case MODMSG_INPUT_NAME:
        if (!output) break;
        TemplateInputName(type, module, wParam, reinterpret_cast<const char*>(lParam),
                          TEMPLATE_CHANNELS);
        break;
    case MODMSG_SET_NAME_COPY:
        if (!output) break;
        TemplateSetNameCopy(type, module, wParam, TEMPLATE_CHANNELS);
        break;
    case MODMSG_GET_SCHEMA: return static_cast<int>(reinterpret_cast<uintptr_t>(type->schema));
    case MODMSG_EXPORT_NAMES:
        if (!exchange) break;
        return TemplateExportChannelNames(type, module, reinterpret_cast<ModuleRecord*>(lParam));
    case MODMSG_IMPORT_NAMES:
        if (!exchange) break;
        return TemplateImportChannelNames(type, module, reinterpret_cast<ModuleRecord*>(lParam));
    case MODMSG_REPORT_GLOBALS: return TemplateReportGlobalVars(type, module, lParam);
    case MODMSG_QUERY172: return exchange ? 1 : 0;
    case MODMSG_CHANNEL_TIMING: return TemplateSetChannelTiming(type, module, wParam);
    case MODMSG_GET_UNIT:
        if (!input) break;
        if (wParam < 0 || wParam >= TEMPLATE_CHANNELS || type->unitOffset < 0) return 0;
        return static_cast<int>(
            reinterpret_cast<uintptr_t>(TemplateUnitIn(type, module->pParam, wParam)));
    default: break;
    }
    return PerformDefaultAction(module, msg, wParam, lParam);
}
