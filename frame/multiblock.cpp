// The frame of the block types that present one hardware module as several
// linked blocks.
#include "frame/multiblock.h"

#include "frame/chanbar.h"
#include "frame/digital.h"
#include "frame/fields.h"
#include "frame/lifecycle.h"
#include "frame/messparam.h"
#include "frame/moduletest.h"
#include "frame/poll.h"
#include "frame/start.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "resource.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/scan.h"

#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

const char kNone[] = "- - -";
// The longest name the creation dialogs compare.
const int kComboTextChars = 100;

int* Field(ModuleRecord* module, int offset) {
    return MultiFieldIn(module->pParam, offset);
}

int* PortAssigned(const MultiBlockType* type, ModuleRecord* module) {
    return Field(module, type->fields.portAssigned);
}

int* ConfigInput(const MultiBlockType* type, ModuleRecord* module) {
    return Field(module, type->fields.configInput);
}

void BlockName(const ModuleRecord* module, char* name, int size) {
    TemplateBlockName(module, name, size);
}

// The channel numbers of the block's own side: outputs of an input block,
// inputs of an output block.
void SetChannelNumbers(const MultiBlockType* type, ModuleRecord* module) {
    WORD mask = *TemplateMask(module, type->frame);
    if (MultiIsInput(type, module))
        SetOutputChannelsFromMask(module, mask);
    else
        SetInputChannelsFromMask(module, mask);
}

WORD ChannelBits(int channels) {
    if (channels <= 0) return 0;
    if (channels >= TEMPLATE_CHANNELS) return 0xFFFF;
    return static_cast<WORD>((1u << channels) - 1);
}

// A loaded record's channels: those of the block's functions that the mask
// holds, one channel of the block's side each, none of the other.
void FitChannels(const MultiBlockType* type, ModuleRecord* module) {
    WORD* mask = TemplateMask(module, type->frame);
    *mask &= ChannelBits(MultiChannels(type, module));
    UINT count = static_cast<UINT>(CountBits(*mask));
    int input = MultiIsInput(type, module);
    if (input ? module->uOutputs != count || module->uInputs != 0
              : module->uInputs != count || module->uOutputs != 0)
        ChangeModuleSize(module, input ? 0 : count, input ? count : 0);
    SetChannelNumbers(type, module);
}

// A block beyond the table is refused with the type's warning.
int TableFull(const MultiBlockType* type, ModuleRecord* module) {
    if (type->table->count < MULTI_BLOCKS_MAX) return 0;
    char name[16];
    BlockName(module, name, sizeof name);
    ShowWarning(name, type->fullText);
    return 1;
}

void Append(const MultiBlockType* type, ModuleRecord* module) {
    MultiBlockTable* t = type->table;
    if (t->count < MULTI_BLOCKS_MAX) t->blocks[t->count++] = module;
}

int HasFreeBits(const MultiBlockType* type, ModuleRecord* master) {
    return (*PortAssigned(type, master) & type->functions) != type->functions;
}

} // namespace

int* MultiFieldIn(void* param, int offset) {
    return reinterpret_cast<int*>(static_cast<BYTE*>(param) + offset);
}

int MultiIsMaster(const MultiBlockType* type, ModuleRecord* module) {
    return *Field(module, type->fields.isMaster) != 0;
}

int MultiIsInput(const MultiBlockType* type, ModuleRecord* module) {
    return *Field(module, type->fields.isInput) != 0;
}

int MultiBits(const MultiBlockType* type, ModuleRecord* module) {
    return *Field(module, type->fields.portMask) & type->functions;
}

int MultiModuleType(const MultiBlockType* type, ModuleRecord* module) {
    return type->fields.moduleType >= 0 ? *Field(module, type->fields.moduleType) : 0;
}

int MultiMasterID(const MultiBlockType* type, ModuleRecord* module) {
    return *Field(module, type->fields.masterId);
}

MultiRuntime* MultiRuntimeOf(ModuleRecord* module) {
    return static_cast<MultiRuntime*>(module->pRuntime);
}

int MultiChannels(const MultiBlockType* type, ModuleRecord* module) {
    if (!type->channels) return 0;
    return type->channels(MultiBits(type, module), MultiModuleType(type, module));
}

int MultiCount(const MultiBlockType* type) {
    return type->table->count;
}

ModuleRecord* MultiBlockAt(const MultiBlockType* type, int index) {
    const MultiBlockTable* t = type->table;
    return index >= 0 && index < t->count ? t->blocks[index] : nullptr;
}

int MultiIndexOf(const MultiBlockType* type, const ModuleRecord* module) {
    const MultiBlockTable* t = type->table;
    for (int i = 0; i < t->count; i++)
        if (t->blocks[i] == module) return i;
    return -1;
}

int MultiNextOpenMaster(const MultiBlockType* type, int from) {
    for (int i = from < 0 ? 0 : from; i < MultiCount(type); i++) {
        ModuleRecord* b = MultiBlockAt(type, i);
        if (MultiIsMaster(type, b) && HasFreeBits(type, b)) return i;
    }
    return -1;
}

ModuleRecord* MultiFindMaster(const MultiBlockType* type, ModuleRecord* module) {
    if (!module) return nullptr;
    if (MultiIsMaster(type, module)) return module;
    int id = MultiMasterID(type, module);
    for (int i = 0; i < MultiCount(type); i++) {
        ModuleRecord* b = MultiBlockAt(type, i);
        if (MultiIsMaster(type, b) && MultiMasterID(type, b) == id) return b;
    }
    return nullptr;
}

ModuleRecord* MultiServingMaster(const MultiBlockType* type, ModuleRecord* module) {
    ModuleRecord* master = MultiFindMaster(type, module);
    return master && MultiRuntimeOf(master)->Serving ? master : nullptr;
}

ModuleRecord* MultiNextOfModule(const MultiBlockType* type, ModuleRecord* master, int* index) {
    int id = MultiMasterID(type, master);
    while (*index < MultiCount(type)) {
        ModuleRecord* b = MultiBlockAt(type, (*index)++);
        if (MultiMasterID(type, b) == id) return b;
    }
    return nullptr;
}

ModuleRecord* MultiBlockServing(const MultiBlockType* type, ModuleRecord* master, int bits) {
    int i = 0;
    for (ModuleRecord* b = MultiNextOfModule(type, master, &i); b;
         b = MultiNextOfModule(type, master, &i))
        if (MultiBits(type, b) & bits) return b;
    return nullptr;
}

int MultiCreateDefaults(const MultiBlockType* type, ModuleRecord* module) {
    MultiBlockTable* t = type->table;
    if (TableFull(type, module)) return 0;
    MultiChoice choice = {MULTI_CANCELLED, 0, 1, 0};
    if (!type->runPortDialog || !type->runPortDialog(type, &choice)) return 0;
    ModuleRecord* master = nullptr;
    if (choice.master != MULTI_NEW_MODULE) {
        master = MultiBlockAt(type, choice.master);
        if (!master || !MultiIsMaster(type, master)) return 0;
    }
    // A function or port belongs to one block of a hardware module.
    int bits = choice.bits & type->functions;
    if (master) bits &= ~*PortAssigned(type, master);
    if (bits == 0) return 0;

    void* p = module->pParam;
    const MultiFields& f = type->fields;
    *TemplateVersion(module) = 1;
    *MultiFieldIn(p, f.isMaster) = master ? 0 : 1;
    *MultiFieldIn(p, f.isInput) = choice.input ? 1 : 0;
    *MultiFieldIn(p, f.portMask) = bits;
    if (f.moduleType >= 0) *MultiFieldIn(p, f.moduleType) = choice.moduleType;
    *MultiFieldIn(p, f.masterId) = master ? MultiMasterID(type, master) : t->nextMasterID;
    *MultiFieldIn(p, f.configInput) = choice.input ? bits : 0;
    if (!master) *MultiFieldIn(p, f.portAssigned) = bits;

    WORD* mask = TemplateMask(module, type->frame);
    if (module->uInputs == 0 && module->uOutputs == 0) {
        *mask = 1;
        if (choice.input)
            module->uOutputs = 1;
        else
            module->uInputs = 1;
    } else {
        int count = static_cast<int>(choice.input ? module->uOutputs : module->uInputs);
        *mask = ChannelBits(count) & ChannelBits(MultiChannels(type, module));
    }
    SetChannelNumbers(type, module);
    *TemplateAddress(module, type->frame) = MinModuleAddress;
    PortTableGet(TemplateCom(module, type->frame), ComPortsDefined);
    if (type->defaults) type->defaults(module);
    MessParam* settings = TemplateMess(module, type->frame);
    InitMessParam(settings);

    if (!master) {
        if (!ModuleTableAdd(module, settings, type->frame->model)) return 0;
        if (t->nextMasterID < INT_MAX) t->nextMasterID++;
    } else {
        *PortAssigned(type, master) |= bits;
        if (choice.input)
            *ConfigInput(type, master) |= bits;
        else
            *ConfigInput(type, master) &= ~bits;
    }
    Append(type, module);
    return 1;
}

int MultiAfterLoad(const MultiBlockType* type, ModuleRecord* module) {
    MultiBlockTable* t = type->table;
    if (TableFull(type, module)) return 0;
    if (*TemplateVersion(module) < 1) {
        ShowWarning("Error", "Old module format (not supported)");
        return 0;
    }
    void* p = module->pParam;
    const MultiFields& f = type->fields;
    *MultiFieldIn(p, f.isMaster) = *MultiFieldIn(p, f.isMaster) ? 1 : 0;
    *MultiFieldIn(p, f.isInput) = *MultiFieldIn(p, f.isInput) ? 1 : 0;
    *MultiFieldIn(p, f.portMask) &= type->functions;
    *MultiFieldIn(p, f.configInput) &= type->functions;
    *MultiFieldIn(p, f.portAssigned) &= type->functions;
    if (type->limitLoaded) type->limitLoaded(module);
    int master = MultiIsMaster(type, module);
    char name[16];
    BlockName(module, name, sizeof name);
    // Only the master's serial and measurement settings are used; a slave's
    // are those it was created with and must not change the port table.
    if (master) {
        if (!MessParamAfterLoad(name, TemplateMess(module, type->frame))) return 0;
        PortTableMerge(TemplateCom(module, type->frame));
    }
    FitChannels(type, module);
    if (master && !ModuleTableAdd(module, TemplateMess(module, type->frame), type->frame->model))
        return 0;
    int id = MultiMasterID(type, module);
    if (id >= t->nextMasterID && id < INT_MAX) t->nextMasterID = id + 1;
    Append(type, module);
    return 1;
}

int MultiDeleteModule(const MultiBlockType* type, ModuleRecord* module) {
    int master = MultiIsMaster(type, module);
    if (master) ModuleTableRemove(module);
    int index = MultiIndexOf(type, module);
    // A block whose creation or load was refused never entered the table.
    if (index < 0) return 1;
    int bits = MultiBits(type, module);
    if (master) {
        int assigned = *PortAssigned(type, module) & ~bits;
        int config = *ConfigInput(type, module) & ~bits;
        // The next block of the hardware module takes over, with everything
        // that makes it talk to the same module the same way.
        ModuleRecord* heir = nullptr;
        int id = MultiMasterID(type, module);
        for (int i = 0; i < MultiCount(type) && !heir; i++) {
            ModuleRecord* b = MultiBlockAt(type, i);
            if (b != module && MultiMasterID(type, b) == id) heir = b;
        }
        if (heir) {
            *Field(heir, type->fields.isMaster) = 1;
            *PortAssigned(type, heir) = assigned;
            *ConfigInput(type, heir) = config;
            memcpy(TemplateMess(heir, type->frame), TemplateMess(module, type->frame),
                   sizeof(MessParam));
            memcpy(TemplateCom(heir, type->frame), TemplateCom(module, type->frame),
                   sizeof(ComSettings));
            *TemplateAddress(heir, type->frame) = *TemplateAddress(module, type->frame);
            ModuleTableAdd(heir, TemplateMess(heir, type->frame), type->frame->model);
        }
    } else {
        ModuleRecord* owner = MultiFindMaster(type, module);
        if (owner) {
            *PortAssigned(type, owner) &= ~bits;
            *ConfigInput(type, owner) &= ~bits;
        }
    }
    MultiBlockTable* t = type->table;
    for (int i = index; i + 1 < t->count; i++)
        t->blocks[i] = t->blocks[i + 1];
    t->count--;
    t->blocks[t->count] = nullptr;
    return 1;
}

int MultiSetChannelTiming(const MultiBlockType* type, ModuleRecord* module, int output) {
    ModuleRecord* master = MultiFindMaster(type, module);
    if (!master) {
        char name[16];
        BlockName(module, name, sizeof name);
        ShowWarning(name, "Slave has no master");
        return 0;
    }
    return TemplateSetOutputTiming(module, output, TemplateMess(master, type->frame));
}

int MultiStartMeasurement(const MultiBlockType* type, ModuleRecord* module,
                          const TemplateStartSteps* masterSteps) {
    MultiRuntime* rt = MultiRuntimeOf(module);
    rt->Serving = 0;
    if (MultiIsMaster(type, module)) {
        int started = TemplateStartMeasurementWith(type->frame, module, masterSteps);
        rt->Serving = started ? 1 : 0;
        return started;
    }
    // A slave talks to no module: the master's start configures it and
    // registers the requests of every block of the hardware module, in
    // whichever order the host starts them.
    MonitorExperimentStarted();
    BeginWaitCursor();
    if (!ScanListCreate()) {
        EndWaitCursor();
        return 0;
    }
    ModuleRecord* master = MultiFindMaster(type, module);
    if (!master) {
        char name[16];
        BlockName(module, name, sizeof name);
        ShowWarning(name, "Slave module has no master");
        EndWaitCursor();
        return 0;
    }
    rt->Frame.ScanHandle = -1;
    rt->Frame.Error_Waiting = 0;
    rt->Frame.Resume_Time = 0.0;
    TemplateTiming(&rt->Frame, TemplateMess(master, type->frame));
    ModuleTableResetCursor();
    EndWaitCursor();
    return 1;
}

int MultiStopMeasurement(const MultiBlockType* type, ModuleRecord* module) {
    MultiRuntimeOf(module)->Serving = 0;
    return TemplateStopMeasurement(module, type->frame);
}

int MultiClassProc(const MultiBlockType* type, ModuleRecord* module, int msg, int wParam,
                   int lParam) {
    switch (msg) {
    case MODMSG_CREATE: return MultiCreateDefaults(type, module);
    case MODMSG_DELETE: return MultiDeleteModule(type, module);
    case MODMSG_AFTER_LOAD: return MultiAfterLoad(type, module);
    case MODMSG_STOP: return MultiStopMeasurement(type, module);
    case MODMSG_OUTPUT_NAMES:
        TemplateOutputNames(type->frame, module);
        return PerformDefaultAction(module, msg, wParam, lParam);
    case MODMSG_CHANNEL_TIMING: return MultiSetChannelTiming(type, module, wParam);
    case MODMSG_GET_UNIT:
        if (wParam < 0 || wParam >= TEMPLATE_CHANNELS || type->frame->unitOffset < 0) return 0;
        return static_cast<int>(
            reinterpret_cast<uintptr_t>(TemplateUnitIn(type->frame, module->pParam, wParam)));
    default: return TemplateClassProc(type->frame, module, msg, wParam, lParam);
    }
}

int MultiProcess(const MultiBlockType* type, ModuleRecord* module,
                 void (*hardwareIO)(ModuleRecord* master), void (*exchange)(ModuleRecord* module)) {
    if (MultiIsMaster(type, module) && ModuleTableCurrent() == module && hardwareIO)
        hardwareIO(module);
    if (exchange) exchange(module);
    return 1;
}

int MultiDeliver(ModuleRecord* module, const float* values, int count, double time) {
    const TemplateRuntime* timing = &MultiRuntimeOf(module)->Frame;
    return PollDeliver(module, 0, count, values, time, timing->Sample_Seconds,
                       timing->Block_Samples);
}

DWORD MultiTakeChannels(ModuleRecord* module, WORD mask, DWORD* image) {
    DWORD inputs = 0;
    DigitalTakeInputs(module, mask, image, &inputs);
    DWORD channels = 0;
    for (int i = 0; i < TEMPLATE_CHANNELS; i++) {
        int c = TemplateChannelOfOutput(mask, i);
        if ((inputs & (1u << i)) && c >= 0) channels |= 1u << c;
    }
    return channels;
}

namespace {

void Enable(HWND dialog, int id, int on) {
    HWND control = GetDlgItem(dialog, id);
    if (control) EnableWindow(control, on ? TRUE : FALSE);
}

// The combo box of a creation dialog: the masters with free bits, the first
// selected, and its table index; with none, "- - -" disabled and -1.
int FillMasters(const MultiBlockType* type, HWND dialog, int comboId) {
    SendDlgItemMessageA(dialog, comboId, CB_RESETCONTENT, 0, 0);
    HWND combo = GetDlgItem(dialog, comboId);
    int first = MultiNextOpenMaster(type, 0);
    if (first < 0) {
        SendDlgItemMessageA(dialog, comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNone));
        SendDlgItemMessageA(dialog, comboId, CB_SETCURSEL, 0, 0);
        if (combo) EnableWindow(combo, FALSE);
        return -1;
    }
    if (combo) EnableWindow(combo, TRUE);
    for (int i = first; i >= 0; i = MultiNextOpenMaster(type, i + 1)) {
        char name[16];
        BlockName(MultiBlockAt(type, i), name, sizeof name);
        SendDlgItemMessageA(dialog, comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendDlgItemMessageA(dialog, comboId, CB_SETCURSEL, 0, 0);
    return first;
}

// The master whose name the combo box shows (the first of that name among
// those listed); -1 for none.
int MasterOfCombo(const MultiBlockType* type, HWND dialog, int comboId) {
    LRESULT selected = SendDlgItemMessageA(dialog, comboId, CB_GETCURSEL, 0, 0);
    if (selected < 0) return -1;
    LRESULT length =
        SendDlgItemMessageA(dialog, comboId, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length < 0 || length > kComboTextChars) return -1;
    char text[kComboTextChars + 1];
    SendDlgItemMessageA(dialog, comboId, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                        reinterpret_cast<LPARAM>(text));
    for (int i = MultiNextOpenMaster(type, 0); i >= 0; i = MultiNextOpenMaster(type, i + 1)) {
        char name[16];
        BlockName(MultiBlockAt(type, i), name, sizeof name);
        if (strcmp(name, text) == 0) return i;
    }
    return -1;
}

// A new hardware module: the combo box shows "- - -", disabled.
void ShowNewModule(HWND dialog, const MultiCreationIds* ids) {
    SendDlgItemMessageA(dialog, ids->modules, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(dialog, ids->modules, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNone));
    SendDlgItemMessageA(dialog, ids->modules, CB_SETCURSEL, 0, 0);
    Enable(dialog, ids->modules, 0);
    CheckRadioButton(dialog, ids->newModule, ids->joinModule, ids->newModule);
}

// Joining a module: the masters with free bits listed and the first chosen,
// or, with none, a new hardware module. The master's index or
// MULTI_NEW_MODULE.
int ShowJoinModule(const MultiBlockType* type, HWND dialog, const MultiCreationIds* ids) {
    int master = FillMasters(type, dialog, ids->modules);
    if (master < 0) {
        ShowNewModule(dialog, ids);
        return MULTI_NEW_MODULE;
    }
    CheckRadioButton(dialog, ids->newModule, ids->joinModule, ids->joinModule);
    return master;
}

} // namespace

int MultiCreationInit(const MultiBlockType* type, HWND dialog, const MultiCreationIds* ids) {
    int master = ShowJoinModule(type, dialog, ids);
    if (master < 0) Enable(dialog, ids->joinModule, 0);
    return master;
}

int MultiCreationCommand(const MultiBlockType* type, HWND dialog, const MultiCreationIds* ids,
                         MultiChoice* choice, int id, int code) {
    if (id == ids->modules) {
        if (code != CBN_SELCHANGE) return MULTI_COMMAND_TAKEN;
        choice->master = MasterOfCombo(type, dialog, id);
        if (choice->master < 0) choice->master = MULTI_NEW_MODULE;
        return MULTI_COMMAND_MASTER;
    }
    if (code != BN_CLICKED) return MULTI_COMMAND_OTHER;
    if (id == IDOK) {
        EndDialog(dialog, 1);
        return MULTI_COMMAND_TAKEN;
    }
    if (id == IDCANCEL) {
        choice->master = MULTI_CANCELLED;
        EndDialog(dialog, 0);
        return MULTI_COMMAND_TAKEN;
    }
    if (id == ids->newModule) {
        if (choice->master < 0) return MULTI_COMMAND_TAKEN;
        choice->master = MULTI_NEW_MODULE;
        ShowNewModule(dialog, ids);
        return MULTI_COMMAND_MASTER;
    }
    if (id == ids->joinModule) {
        if (choice->master < 0) choice->master = ShowJoinModule(type, dialog, ids);
        return MULTI_COMMAND_MASTER;
    }
    return MULTI_COMMAND_OTHER;
}

int MultiRunCreationDialog(const char* templateName, DLGPROC proc, MultiChoice* choice,
                           MultiChoice* out) {
    choice->master = MULTI_CANCELLED;
    INT_PTR result = DialogBoxParamA(hInstDriver, templateName, hwndHost, proc, 0);
    if (result != 1) choice->master = MULTI_CANCELLED;
    *out = *choice;
    return out->master >= MULTI_NEW_MODULE && out->bits != 0;
}

namespace {

// The creation dialog that is open.
struct FunctionDialogState {
    const MultiBlockType* type;
    const MultiFunctionDialog* dialog;
    MultiChoice choice;
};
FunctionDialogState functionDialog;

enum {
    kNewModule = 0, // offsets of the controls from MultiFunctionDialog.firstId
    kJoinModule = 1,
    kModules = 2,
    kAnalogInput = 3,
    kDigitalOutput = 4,
    kDigitalInput = 5,
};

int FunctionId(int offset) {
    return functionDialog.dialog->firstId + offset;
}

void ChooseFunction(HWND dialog, int offset) {
    static const int kTypes[] = {0, 1, 2};
    static const int kBits[] = {1, 2, 4};
    int n = offset - kAnalogInput;
    functionDialog.choice.moduleType = kTypes[n];
    functionDialog.choice.bits = kBits[n];
    functionDialog.choice.input = n != 1;
    CheckRadioButton(dialog, FunctionId(kAnalogInput), FunctionId(kDigitalInput),
                     FunctionId(offset));
}

// The functions still free at the chosen master, the first of them chosen.
void EnableFunctions(HWND dialog) {
    MultiChoice& c = functionDialog.choice;
    ModuleRecord* master = c.master >= 0 ? MultiBlockAt(functionDialog.type, c.master) : nullptr;
    int taken = master ? *PortAssigned(functionDialog.type, master) : 0;
    for (int offset = kAnalogInput; offset <= kDigitalInput; offset++)
        Enable(dialog, FunctionId(offset), 1);
    ChooseFunction(dialog, kAnalogInput);
    if (taken & 1) {
        Enable(dialog, FunctionId(kAnalogInput), 0);
        ChooseFunction(dialog, kDigitalOutput);
    }
    if (taken & 2) {
        Enable(dialog, FunctionId(kDigitalOutput), 0);
        if (taken & 1) ChooseFunction(dialog, kDigitalInput);
    }
    if (taken & 4) Enable(dialog, FunctionId(kDigitalInput), 0);
}

MultiCreationIds Ids() {
    return MultiCreationIds{FunctionId(kNewModule), FunctionId(kJoinModule), FunctionId(kModules)};
}

INT_PTR CALLBACK FunctionDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (!functionDialog.type) return FALSE;
    MultiChoice& c = functionDialog.choice;
    const MultiCreationIds ids = Ids();
    if (msg == WM_INITDIALOG) {
        CenterDialog(dialog, GetParent(dialog));
        c.master = MultiCreationInit(functionDialog.type, dialog, &ids);
        EnableFunctions(dialog);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    switch (MultiCreationCommand(functionDialog.type, dialog, &ids, &c, id, code)) {
    case MULTI_COMMAND_TAKEN: return TRUE;
    case MULTI_COMMAND_MASTER: EnableFunctions(dialog); return TRUE;
    default: break;
    }
    if (code != BN_CLICKED) return FALSE;
    if (id == IDHELP) {
        ShowDriverHelp(HELP_CONTEXT, functionDialog.dialog->helpContext);
        return TRUE;
    }
    int offset = id - functionDialog.dialog->firstId;
    if (offset < kAnalogInput || offset > kDigitalInput) return FALSE;
    ChooseFunction(dialog, offset);
    return TRUE;
}

} // namespace

int MultiRunFunctionDialog(const MultiBlockType* type, const MultiFunctionDialog* dialog,
                           MultiChoice* choice) {
    functionDialog.type = type;
    functionDialog.dialog = dialog;
    functionDialog.choice = MultiChoice{MULTI_CANCELLED, 0, 1, 0};
    int chosen = MultiRunCreationDialog(dialog->templateName, FunctionDlgProc,
                                        &functionDialog.choice, choice);
    functionDialog.type = nullptr;
    return chosen;
}

void MultiShowMasterName(const MultiBlockType* type, ModuleRecord* module, HWND dialog, int id) {
    ModuleRecord* master = MultiFindMaster(type, module);
    char name[16];
    if (master)
        BlockName(master, name, sizeof name);
    else
        snprintf(name, sizeof name, "%s", kNone);
    SetDlgItemTextA(dialog, id, name);
}

namespace {

// A slave's boxes: its master's port and address (`keep`), or nothing.
void SlaveBoxes(const MultiBlockType* type, ModuleRecord* module, HWND dialog, int keep) {
    ModuleRecord* master = MultiFindMaster(type, module);
    if (keep) {
        int port = master ? TemplateCom(master, type->frame)->Port_Number : -1;
        int row = -1;
        for (int i = 0; i < NumComPorts && i < MAX_COM_PORTS && row < 0; i++)
            if (PortTable[i].Port_Number == port) row = i;
        SendDlgItemMessageA(dialog, IDC_SETUP_PORT, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        int address = master ? *TemplateAddress(master, type->frame) : -1;
        int entry = address >= MinModuleAddress && address <= 255 ? address - MinModuleAddress : -1;
        SendDlgItemMessageA(dialog, IDC_SETUP_ADDRESS, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    } else {
        SendDlgItemMessageA(dialog, IDC_SETUP_PORT, CB_RESETCONTENT, 0, 0);
        SendDlgItemMessageA(dialog, IDC_SETUP_ADDRESS, CB_RESETCONTENT, 0, 0);
    }
    const int kLocked[] = {IDC_SETUP_PORT, IDC_SETUP_ADDRESS, IDC_SETUP_TEST,
                           IDC_SETUP_MEASUREMENT};
    for (int id : kLocked)
        Enable(dialog, id, 0);
}

} // namespace

INT_PTR MultiSetupDialogProc(const MultiBlockType* type, const SetupDialogType* dialogType,
                             int keepBoxes, HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        ModuleRecord* module = HostCurrentModule();
        int channels = module && module->pParam ? MultiChannels(type, module) : 0;
        if (channels <= 0 || channels > TEMPLATE_CHANNELS) {
            ShowInternalError("Number of channels", __FILE__, __LINE__);
            EndDialog(dialog, 0);
            return TRUE;
        }
        INT_PTR answer = SetupDialogProc(dialogType, dialog, msg, wParam, lParam);
        if (!MultiIsMaster(type, module)) SlaveBoxes(type, module, dialog, keepBoxes);
        return answer;
    }
    case WM_COMMAND:
        // The block keeps at least one channel.
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED && ChannelBarMask(dialog) == 0)
            return TRUE;
        break;
    default: break;
    }
    return SetupDialogProc(dialogType, dialog, msg, wParam, lParam);
}
