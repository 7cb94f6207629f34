// Block type ND6058: twenty-eight-line digital I/O module whose ports are
// shared out among linked input and output blocks. The master reads every
// input line with one request at the blocks' rate and writes every output
// line with one request whenever the host has set outputs.
#include "modules/multi/nd6058.h"

#include "frame/chanbar.h"
#include "frame/digital.h"
#include "frame/moduletest.h"
#include "frame/multiblock.h"
#include "frame/poll.h"
#include "frame/setupdlg.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/scan.h"

#include <stdio.h>
#include <string.h>

// clang-format off
const ParamSchemaEntry ND6058_ParamSchema[ND6058_SCHEMA_ROWS] = {
    TEMPLATE_ROW(ND6058_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6058_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6058_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6058_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6058_Param, Com),
    TEMPLATE_MESS_ROWS(ND6058_Param, Mess),
    TEMPLATE_ROW(ND6058_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6058_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    TEMPLATE_ROW(ND6058_Param, "IsMaster", "BOOL", IsMaster),
    TEMPLATE_ROW(ND6058_Param, "Port_Mask", "int", Port_Mask),
    TEMPLATE_ROW(ND6058_Param, "IsInput", "BOOL", IsInput),
    TEMPLATE_ROW(ND6058_Param, "MasterID", "int", MasterID),
    TEMPLATE_ROW(ND6058_Param, "ConfigInput", "int", ConfigInput),
    TEMPLATE_ROW(ND6058_Param, "PortAssigned", "int", PortAssigned),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

MultiBlockTable ND6058_BlockTable = {{}, 0, MULTI_FIRST_MASTER_ID};

namespace {

const int kModels[] = {MODEL_ENDING_IN(58, 2)}; // every model number ending in 58, any series

// The ports, in the order a block numbers its channels.
struct Port {
    int bit;
    const char* name;
    int lines;
    int inputBit;  // the first line's bit in the read image
    int outputBit; // the first line's bit in the written image; -1: input only
    int firstPin;  // the first line's SCSI-II pin; 0: none
    int checkBox;  // its box in the creation dialog
    int direction; // its bit in the configuration byte
};
const Port kPorts[] = {
    {ND6058_DI, "DI", 4, 0, -1, 0, IDC_PORT6058_DI, 0},
    {ND6058_A, "A", 8, 8, 0, 1, IDC_PORT6058_A, 8},
    {ND6058_B, "B", 8, 16, 8, 9, IDC_PORT6058_B, 4},
    {ND6058_CL, "CL", 4, 28, 16, 17, IDC_PORT6058_CL, 2},
    {ND6058_CH, "CH", 4, 24, 20, 21, IDC_PORT6058_CH, 1},
};

ND6058_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6058_Param*>(module->pParam);
}

ND6058_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6058_Runtime*>(module->pRuntime);
}

// The port and line of channel c of a block of these ports; null beyond
// its lines.
const Port* LineOf(int ports, int c, int* line) {
    for (const Port& p : kPorts) {
        if (!(ports & p.bit)) continue;
        if (c < p.lines) {
            *line = c;
            return &p;
        }
        c -= p.lines;
    }
    return nullptr;
}

int Channels(int ports, int) {
    int n = 0;
    for (const Port& p : kPorts)
        if (ports & p.bit) n += p.lines;
    return n;
}

constexpr TemplateType frame = MultiTemplateType({
    .type = "ND6058",
    .form = TEMPLATE_NO_EXCHANGE,
    .model = 6058,
    .models = kModels,
    .restartNote = "Restart 6058",
    .schema = ND6058_ParamSchema,
    // A module of another model fails the start alone.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});
constexpr TemplateType inputFrame = MultiTemplateForm(frame, TEMPLATE_INPUT_FORM);
constexpr TemplateType outputFrame = MultiTemplateForm(frame, TEMPLATE_OUTPUT_FORM);

int RunPortDialog(const MultiBlockType* type, MultiChoice* choice);

void Defaults(ModuleRecord* module) {
    ND6058_Param* p = ParamOf(module);
    for (int c = 0; c < TEMPLATE_CHANNELS; c++) {
        snprintf(p->Channel_Name[c], sizeof p->Channel_Name[c], "DI %d", c);
        snprintf(p->Unit[c], sizeof p->Unit[c], "V");
        p->Copy_Channel_Name[c] = 0;
    }
}

// A record from a file: ports one block may serve, DI only as an input.
void LimitLoaded(ModuleRecord* module) {
    ND6058_Param* p = ParamOf(module);
    if (p->Port_Mask & ND6058_DI) p->Port_Mask = p->IsInput ? ND6058_DI : 0;
    if (p->Port_Mask & (ND6058_A | ND6058_B)) p->Port_Mask &= ND6058_A | ND6058_B;
}

constexpr MultiBlockType multi = {
    &frame,
    &ND6058_BlockTable,
    {offsetof(ND6058_Param, IsMaster), -1, offsetof(ND6058_Param, Port_Mask),
     offsetof(ND6058_Param, IsInput), offsetof(ND6058_Param, MasterID),
     offsetof(ND6058_Param, ConfigInput), offsetof(ND6058_Param, PortAssigned)},
    ND6058_PORTS,
    "Max. number of 6058 modules supported by the driver reached",
    "Deleting 6058 module",
    RunPortDialog,
    Defaults,
    LimitLoaded,
    Channels,
};

// ---- The creation dialog ----

// The choice of the dialog; the ports are kept from one run to the next.
MultiChoice choice = {MULTI_CANCELLED, ND6058_A | ND6058_B, 1, 0};

void Enable(HWND dialog, int id, int on) {
    HWND control = GetDlgItem(dialog, id);
    if (control) EnableWindow(control, on ? TRUE : FALSE);
}

// The ports still free at the chosen master in the chosen direction: the
// chosen ones among them, else the first.
void EnablePorts(HWND dialog) {
    ModuleRecord* master = choice.master >= 0 ? MultiBlockAt(&multi, choice.master) : nullptr;
    int free = master ? ~ParamOf(master)->PortAssigned & ND6058_PORTS : ND6058_PORTS;
    if (!choice.input) free &= ~ND6058_DI;
    choice.bits &= free;
    if (choice.bits == 0) choice.bits = free & -free;
    for (const Port& p : kPorts) {
        Enable(dialog, p.checkBox, free & p.bit);
        CheckDlgButton(dialog, p.checkBox, choice.bits & p.bit ? BST_CHECKED : BST_UNCHECKED);
    }
}

const MultiCreationIds kIds = {IDC_PORT6058_NEW, IDC_PORT6058_JOIN, IDC_PORT6058_MODULES};

// A port box clicked: A and B go together, CL and CH, DI alone.
void PortClicked(HWND dialog, const Port& p) {
    if (IsDlgButtonChecked(dialog, p.checkBox) != BST_CHECKED) {
        choice.bits &= ~p.bit;
    } else if (p.bit == ND6058_DI) {
        choice.bits = ND6058_DI;
    } else {
        int pair = p.bit & (ND6058_A | ND6058_B) ? ND6058_A | ND6058_B : ND6058_CL | ND6058_CH;
        choice.bits = (choice.bits | p.bit) & pair;
    }
}

INT_PTR CALLBACK PortDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        CenterDialog(dialog, GetParent(dialog));
        choice.master = MultiCreationInit(&multi, dialog, &kIds);
        if (choice.master < 0) choice.bits = ND6058_A | ND6058_B;
        choice.input = 1;
        CheckRadioButton(dialog, IDC_PORT6058_INPUT, IDC_PORT6058_OUTPUT, IDC_PORT6058_INPUT);
        EnablePorts(dialog);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    switch (MultiCreationCommand(&multi, dialog, &kIds, &choice, id, code)) {
    case MULTI_COMMAND_TAKEN: return TRUE;
    case MULTI_COMMAND_MASTER: EnablePorts(dialog); return TRUE;
    default: break;
    }
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
    case IDHELP: return TRUE;
    case IDC_PORT6058_INPUT:
    case IDC_PORT6058_OUTPUT:
        choice.input = id == IDC_PORT6058_INPUT;
        CheckRadioButton(dialog, IDC_PORT6058_INPUT, IDC_PORT6058_OUTPUT, id);
        EnablePorts(dialog);
        return TRUE;
    default: break;
    }
    for (const Port& p : kPorts)
        if (id == p.checkBox) {
            PortClicked(dialog, p);
            EnablePorts(dialog);
            return TRUE;
        }
    return FALSE;
}

int RunPortDialog(const MultiBlockType*, MultiChoice* out) {
    return MultiRunCreationDialog("DLG_PORT_6058", PortDlgProc, &choice, out);
}

// ---- The master's start ----

int Configure(ModuleRecord* master, const TemplateType*, int) {
    ND6058_Runtime* rt = RuntimeOf(master);
    int inputs = 0;
    int outputs = 0;
    int i = 0;
    for (ModuleRecord* b = MultiNextOfModule(&multi, master, &i); b;
         b = MultiNextOfModule(&multi, master, &i)) {
        if (MultiIsInput(&multi, b))
            inputs |= MultiBits(&multi, b);
        else
            outputs |= MultiBits(&multi, b) & ~ND6058_DI;
    }
    rt->Input_Ports = static_cast<BYTE>(inputs);
    rt->Output_Ports = static_cast<BYTE>(outputs);
    int directions = 0;
    for (const Port& p : kPorts)
        if (inputs & p.bit) directions |= p.direction;
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02XS%02X", ParamOf(master)->Module_Address & 0xFF, directions);
    return TemplateSendAndExpect(&frame, master, text, '!', rt->Head.Frame.Uses_Checksum, 0);
}

int AddRequests(ModuleRecord* master, const TemplateType*) {
    ND6058_Param* p = ParamOf(master);
    ND6058_Runtime* rt = RuntimeOf(master);
    int checksum = rt->Head.Frame.Uses_Checksum;
    rt->Read_Handle = rt->Write_Handle = -1;
    rt->Inputs_Pending = rt->Outputs_Fresh = rt->Writing = 0;
    rt->Output_Image = 0;
    rt->First_Write = 1;
    rt->Phase = rt->Input_Ports ? ND6058_PHASE_READ : ND6058_PHASE_WRITE;
    rt->Read_Time = 0.0;
    if (rt->Input_Ports) {
        rt->Read_Handle =
            ScanAddDioRead6058(p->Com.Port_Number, p->Module_Address, &rt->Input_Image, checksum);
        if (rt->Read_Handle < 0) return 0;
    }
    if (rt->Output_Ports) {
        rt->Write_Handle = ScanAddDoWrite6058(p->Com.Port_Number, p->Module_Address,
                                              reinterpret_cast<BYTE*>(&rt->Output_Image), checksum);
        if (rt->Write_Handle < 0) return 0;
    }
    return 1;
}

// Another model refuses the start without stopping the experiment.
constexpr TemplateStartSteps startSteps = {
    .configure = Configure,
    .addRequests = AddRequests,
};

// ---- The master's serial work ----

// The write goes out when the host has set outputs: the first one of the
// experiment once every output port has its values.
int WriteWanted(const ND6058_Runtime* rt) {
    if (!rt->Output_Ports) return 0;
    if (rt->First_Write) return (rt->Outputs_Fresh & rt->Output_Ports) == rt->Output_Ports;
    return rt->Outputs_Fresh != 0;
}

// The reads keep their rate; the input blocks deliver each image before the
// next is read.
int ReadDue(const ND6058_Runtime* rt) {
    return rt->Input_Ports && rt->Inputs_Pending == 0 && PollDue(rt->Head.Frame.Next_Due);
}

// The master under the poll policy.
PollBlock PollOf(ModuleRecord* master) {
    TemplateRuntime* f = &RuntimeOf(master)->Head.Frame;
    return {master,
            &ParamOf(master)->Mess,
            frame.restartNote,
            &f->Error_Waiting,
            &f->Resume_Time,
            f->Poll_Interval,
            0};
}

// The next transaction: reads and writes take turns while both want the
// line, and either goes out alone when the other has nothing to do, so the
// reads keep their interval however often the host sets outputs, and a
// write waits for no read. POLL_NOT_NOW when nothing is to be sent now.
int Begin(ND6058_Runtime* rt, const PollBlock* poll) {
    TemplateRuntime* f = &rt->Head.Frame;
    int write = WriteWanted(rt);
    int read = ReadDue(rt);
    if (write && read) {
        write = rt->Phase == ND6058_PHASE_WRITE;
        read = !write;
    }
    int handle = write ? rt->Write_Handle : read ? rt->Read_Handle : -1;
    if (handle < 0 || !PollRequestReady(poll, handle)) return POLL_NOT_NOW;
    int begun = PollBegin(poll, handle);
    if (begun != POLL_BEGUN) return begun;
    rt->Phase = write ? ND6058_PHASE_READ : ND6058_PHASE_WRITE;
    if (write) {
        rt->Writing = rt->Outputs_Fresh;
        rt->Outputs_Fresh = 0;
        rt->First_Write = 0;
    } else {
        // A read begun late skips the reads it missed: its image is
        // stamped within one interval of its reading.
        PollSkipMissed(&f->Next_Due, CurrentExperimentTime(1), f->Poll_Interval);
        rt->Read_Time = f->Next_Due;
        f->Next_Due += f->Poll_Interval;
    }
    return POLL_BEGUN;
}

void HardwareIO(ModuleRecord* master) {
    ND6058_Runtime* rt = RuntimeOf(master);
    TemplateRuntime* f = &rt->Head.Frame;
    if (!rt->Head.Serving) {
        ModuleTableNext();
        return;
    }
    const PollBlock poll = PollOf(master);
    // Each pass begins at most one transaction; a call serves a few.
    for (int pass = 0; pass < 8; pass++) {
        switch (ScanStep()) {
        case SS_IDLE: {
            int idle = PollIdle(&poll);
            if (idle == POLL_PASSED) return;
            if (idle == POLL_RESUMED) f->Next_Due = CurrentExperimentTime(1);
            int begun = Begin(rt, &poll);
            if (begun == POLL_NOT_NOW) ModuleTableNext();
            if (begun != POLL_BEGUN) return;
            break;
        }
        case SS_READY:
            PollAnswered(&poll);
            ScanReset();
            if (PollInFlight(&poll) == rt->Read_Handle)
                rt->Inputs_Pending = rt->Input_Ports;
            else
                rt->Writing = 0;
            break;
        case SS_ERROR:
            // What was to be written goes out again; the read is due again.
            if (PollInFlight(&poll) == rt->Write_Handle) {
                rt->Outputs_Fresh |= rt->Writing;
                rt->Writing = 0;
            } else {
                f->Next_Due = rt->Read_Time;
            }
            PollFailed(&poll);
            return;
        default: return;
        }
    }
}

// ---- The exchange of the blocks ----

void DigitalInput(ModuleRecord* module) {
    ModuleRecord* master = MultiServingMaster(&multi, module);
    if (!master) return;
    ND6058_Runtime* rt = RuntimeOf(master);
    int ports = MultiBits(&multi, module);
    if (!(rt->Inputs_Pending & ports)) return;
    // The block's channels as the lines of its ports in the read image.
    DWORD lines = 0;
    for (int c = 0; c < TEMPLATE_CHANNELS; c++) {
        int line = 0;
        const Port* p = LineOf(ports, c, &line);
        if (p && (rt->Input_Image >> (p->inputBit + line)) & 1) lines |= 1u << c;
    }
    const TemplateRuntime* timing = &MultiRuntimeOf(module)->Frame;
    if (!DigitalDeliverImage(module, ParamOf(module)->Channel_Mask, lines, rt->Read_Time,
                             timing->Sample_Seconds, timing->Block_Samples))
        return;
    rt->Inputs_Pending = static_cast<BYTE>(rt->Inputs_Pending & ~ports);
}

void DigitalOutput(ModuleRecord* module) {
    ModuleRecord* master = MultiServingMaster(&multi, module);
    if (!master) return;
    ND6058_Runtime* rt = RuntimeOf(master);
    int ports = MultiBits(&multi, module);
    WORD mask = ParamOf(module)->Channel_Mask;
    // The channels' lines as the module is told them now.
    DWORD lines = 0;
    for (int c = 0; c < TEMPLATE_CHANNELS; c++) {
        int line = 0;
        const Port* p = LineOf(ports, c, &line);
        if (p && p->outputBit >= 0 && (rt->Output_Image >> (p->outputBit + line)) & 1)
            lines |= 1u << c;
    }
    DWORD arrived = MultiTakeChannels(module, mask, &lines);
    if (!arrived) return;
    for (int c = 0; c < TEMPLATE_CHANNELS; c++) {
        int line = 0;
        const Port* p = LineOf(ports, c, &line);
        if (!(arrived & (1u << c)) || !p || p->outputBit < 0) continue;
        DWORD bit = 1u << (p->outputBit + line);
        if (lines & (1u << c))
            rt->Output_Image |= bit;
        else
            rt->Output_Image &= ~bit;
    }
    rt->Outputs_Fresh = static_cast<BYTE>(rt->Outputs_Fresh | (ports & rt->Output_Ports));
}

void Exchange(ModuleRecord* module) {
    if (MultiIsInput(&multi, module))
        DigitalInput(module);
    else
        DigitalOutput(module);
}

// ---- The setup dialog ----

void ShowLine(HWND dialog, int ports, int channel) {
    char text[64] = "- - -";
    int line = 0;
    const Port* p = channel < TEMPLATE_CHANNELS ? LineOf(ports, channel, &line) : nullptr;
    if (p && p->firstPin)
        snprintf(text, sizeof text, "Port %s, Line %d (SCSI-II Pin %d)", p->name, line,
                 p->firstPin + line);
    else if (p)
        snprintf(text, sizeof text, "Port %s, Line %d", p->name, line);
    SetDlgItemTextA(dialog, IDC_ND6058_LINE, text);
}

void InitDialog(HWND dialog, void* work) {
    ModuleRecord* module = HostCurrentModule();
    MultiShowMasterName(&multi, module, dialog, IDC_ND6058_MASTER);
    int ports = static_cast<ND6058_Param*>(work)->Port_Mask;
    char text[64] = "";
    for (const Port& p : kPorts) {
        if (!(ports & p.bit)) continue;
        size_t n = strlen(text);
        snprintf(text + n, sizeof text - n, n ? " + %s" : "Port %s", p.name);
    }
    SetDlgItemTextA(dialog, IDC_ND6058_PORTS, text);
    ShowLine(dialog, ports, CurrentChannel);
}

void ShowNoChannel(HWND dialog, void*) {
    SetDlgItemTextA(dialog, IDC_ND6058_LINE, "- - -");
}

void ShowChannel(HWND dialog, void* work, int ch) {
    ShowLine(dialog, static_cast<ND6058_Param*>(work)->Port_Mask, ch);
}

constexpr SetupDialogType kDialogBase = {
    &inputFrame,
    sizeof(ND6058_Param),
    TEMPLATE_CHANNELS, // the block's lines, when it opens
    1175,              // help context
    // captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr, "ZAV-6058", nullptr, nullptr},
    {IDC_SETUP_MEASUREMENT, 0, 0, 0},
    InitDialog,
    nullptr,
    nullptr,
    ShowChannel,
    1, // a double click acts on the one channel
    ShowNoChannel,
};

// The dialog that is open: its channels are the lines of the block's ports.
SetupDialogType openDialog;
int dialogOpen;

int ShowSetupDialog(ModuleRecord* module) {
    openDialog = kDialogBase;
    openDialog.type = MultiIsInput(&multi, module) ? &inputFrame : &outputFrame;
    openDialog.buttons = MultiChannels(&multi, module);
    dialogOpen = 1;
    DialogBoxParamA(hInstDriver, "DLG_ND6058", module->hwndModule, ND6058_SetupDlgProc, 0);
    dialogOpen = 0;
    return 1;
}

} // namespace

static INT_PTR DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!dialogOpen) return FALSE;
    return MultiSetupDialogProc(&multi, &openDialog, 0, dialog, msg, wParam, lParam);
}

static int ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    switch (msg) {
    case MODMSG_SETUP_DIALOG: return ShowSetupDialog(module);
    case MODMSG_START: return MultiStartMeasurement(&multi, module, &startSteps);
    default: return MultiClassProc(&multi, module, msg, wParam, lParam);
    }
}

BLOCK_TYPE_PROCS(ND6058, DialogProc(dialog, msg, wParam, lParam),
                 ClassProc(module, msg, wParam, lParam),
                 MultiProcess(&multi, module, HardwareIO, Exchange))
