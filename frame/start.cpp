// The start and stop of a block.
#include "frame/start.h"

#include "frame/fields.h"
#include "frame/moduletest.h"
#include "frame/modwatchdog.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "resource.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/scan.h"
#include "serial/sercomm.h"
#include "serial/watchdog.h"

#include <stdio.h>
#include <string.h>

namespace {

void ShowUnderBlockName(ModuleRecord* module, UINT textId) {
    char name[16];
    TemplateBlockName(module, name, sizeof name);
    ShowWarningById(name, textId);
}

int StartFailed(ModuleRecord* module, UINT textId, int stop) {
    return TemplateStartFailed(module, textId, stop);
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

} // namespace

int TemplateModelAccepted(const TemplateType* type, int model) {
    return ModelAccepted(type->models, type->modelCount, model);
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

int TemplateShowFullList(ModuleRecord* module, int handle) {
    if (handle < 0) ShowUnderBlockName(module, IDS_TOO_MANY_CHANNELS);
    return handle;
}

namespace {

// A module that did not answer the probe. Where the type's policy asks, Yes
// starts the block as it is (1); otherwise the start fails (0), stopping the
// experiment unless the policy says not.
int SilentModule(const TemplateType* type, ModuleRecord* module) {
    const int silent = type->start.silent;
    if (silent == TEMPLATE_SILENT_ASK || silent == TEMPLATE_SILENT_ASK_FAIL) {
        UINT question =
            type->start.silentQuestion ? type->start.silentQuestion : IDS_MODULE_NO_RESPONSE;
        char text[160];
        if (LoadStringA(hInstDriver, question, text, sizeof text) <= 0) text[0] = 0;
        char name[16];
        TemplateBlockName(module, name, sizeof name);
        if (MessageBoxA(GetActiveWindow(), text, name, MB_YESNO | MB_ICONQUESTION) == IDYES)
            return 1;
    }
    int refuses = silent == TEMPLATE_SILENT_FAIL || silent == TEMPLATE_SILENT_ASK_FAIL;
    return StartFailed(module, IDS_MODULE_NO_REPLY, !refuses);
}

// A request the full scan list refused: the list has stopped the experiment
// and shown its message; the type's policy may show it once more.
int FullList(const TemplateType* type, ModuleRecord* module) {
    if (type->start.fullListShown) TemplateShowFullList(module, -1);
    return StartFailed(module, 0, 1);
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
    int outputs = TemplateOutputs(module);
    if (!TemplateStartBegin(type, module)) return 0;
    int port = TemplateCom(module, type)->Port_Number;
    // An address from a file outside the module range would be sent cut to
    // its low byte and reach another module.
    int address = *TemplateAddress(module, type);
    if (address < MinModuleAddress || address > 255) {
        UINT text = type->start.badAddressText ? type->start.badAddressText : IDS_TEST_BAD_ADDRESS;
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
    int model = 0;
    int found = TemplateIdentifyModule(type, port, address, checksum, &model);
    // A module that answered with lines that cannot be read is there, but
    // cannot be worked with: never taken for a silent one.
    if (found == TEMPLATE_MODULE_UNREADABLE) return StartFailed(module, IDS_REPLY_UNREADABLE, 1);
    // Without the module the block keeps the checksum setting it had and
    // configures nothing.
    if (found == TEMPLATE_MODULE_SILENT) {
        model = 0;
        if (!SilentModule(type, module)) return 0;
    } else {
        if (found == TEMPLATE_MODULE_REFUSED) {
            UINT id = model == -1                              ? IDS_MODULE_NO_REPLY
                      : model < 0 && type->start.badNumberText ? type->start.badNumberText
                      : model == -2                            ? IDS_USES_CHECKSUMS
                                                               : IDS_WRONG_MODULE;
            int refuses = type->start.wrong == TEMPLATE_WRONG_FAIL;
            return StartFailed(module, id, !refuses);
        }
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
            return FullList(type, module);
        }
        scan->ScanHandle = handle;
    }
    // A block without a channel in use has nothing to read or write.
    if (type->addSweepRequest && TemplateChannelsInUse(module, type) != 0) {
        int handle = type->addSweepRequest(module, type);
        if (handle < 0) return FullList(type, module);
        rt->ScanHandle = handle;
    }
    if (steps && steps->addRequests && !steps->addRequests(module, type))
        return FullList(type, module);
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
    // Nothing of an earlier experiment is polled: every request handle is
    // invalid until this start registers it, and no wait carries over. The
    // one-request types keep their image (in the place of Channel_Index).
    if (type->addRequest) {
        for (int j = 0; j < TemplateOutputs(module); j++) {
            ChannelScan* scan = TemplateChannelScan(module, j);
            if (scan) scan->ScanHandle = -1;
        }
        rt->Channel_Index = 0;
    }
    rt->ScanHandle = -1;
    *TemplateErrorWaiting(type, module) = 0;
    *TemplateResumeTime(type, module) = 0.0;

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
