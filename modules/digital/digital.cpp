// What the digital input, output and relay types share.
#include "modules/digital/digital.h"

#include "frame/chanbar.h"
#include "frame/digital.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/messparam.h"
#include "frame/modwatchdog.h"
#include "frame/start.h"
#include "host/driver.h"
#include "host/registration.h"
#include "resource.h"
#include "serial/scan.h"

#include <stdio.h>

#define PARAM_AT(field) static_cast<int>(offsetof(DigitalParam, field))
#define COM_AT(field) static_cast<int>(offsetof(DigitalParam, Com) + offsetof(ComSettings, field))
#define MESS_AT(field) static_cast<int>(offsetof(DigitalParam, Mess) + offsetof(MessParam, field))

// clang-format off
#define DIGITAL_SCHEMA_ROWS                                                                        \
    {"Version", "int", PARAM_AT(Version), 0},                                                      \
    {"Channel_Name[0..15]", "string[24]", PARAM_AT(Channel_Name), 0},                              \
    {"Module_Address", "int", PARAM_AT(Module_Address), 0},                                        \
    {"Channel_Mask", "WORD", PARAM_AT(Channel_Mask), 0},                                           \
    {"Port_Number", "int", COM_AT(Port_Number), 0},                                                \
    {"Baud_Rate", "int", COM_AT(Baud_Rate), 0},                                                    \
    {"Data_Bits", "int", COM_AT(Data_Bits), 0},                                                    \
    {"Stop_Bits", "int", COM_AT(Stop_Bits), 0},                                                    \
    {"Parity", "int", COM_AT(Parity), 0},                                                          \
    {"RS232_Buffer", "int", COM_AT(RS232_Buffer), 0},                                              \
    {"Dummy1", "WORD[0..3]", COM_AT(Dummy1), 0},                                                   \
    {"Use_Global_Settings", "BOOL", MESS_AT(Use_Global_Settings), 0},                              \
    {"Time_Seconds", "BOOL", MESS_AT(Time_Seconds), 0},                                            \
    {"Sample_Distance", "double", MESS_AT(Sample_Distance), 0},                                    \
    {"Error_Stop", "BOOL", MESS_AT(Error_Stop), 0},                                                \
    {"Error_Wait_Min", "int", MESS_AT(Error_Wait_Min), 0},                                         \
    {"Error_Set_Var", "BOOL", MESS_AT(Error_Set_Var), 0},                                          \
    {"Error_Var_Nr", "int", MESS_AT(Error_Var_Nr), 0},                                             \
    {"Watchdog_On", "BOOL", MESS_AT(Watchdog_On), 0},                                              \
    {"Watchdog_Time", "int", MESS_AT(Watchdog_Time), 0},                                           \
    {"Watchdog_Value", "WORD", MESS_AT(Watchdog_Value), 0},                                        \
    {"Dummy2", "WORD[0..3]", MESS_AT(Dummy2), 0},                                                  \
    {"Unit[0..15]", "string[64]", PARAM_AT(Unit), 0},                                              \
    {"Copy_Channel_Name[0..15]", "BOOL", PARAM_AT(Copy_Channel_Name), 0}

const ParamSchemaEntry DigitalParamSchema[25] = {
    DIGITAL_SCHEMA_ROWS,
    {nullptr, nullptr, 0, 0},
};

const ParamSchemaEntry DigitalParamSchemaWatchdog[28] = {
    DIGITAL_SCHEMA_ROWS,
    {"Watchdog_On", "BOOL", MESS_AT(Watchdog_On), 0},
    {"Watchdog_Time", "int", MESS_AT(Watchdog_Time), 0},
    {"Watchdog_Value", "WORD", MESS_AT(Watchdog_Value), 0},
    {nullptr, nullptr, 0, 0},
};
// clang-format on
static_assert(MESS_AT(Error_Var_Nr) == 460, "Error_Var_Nr");

DigitalParam* DigitalParamOf(ModuleRecord* module) {
    return static_cast<DigitalParam*>(module->pParam);
}

DigitalRuntime8* DigitalRuntime8Of(ModuleRecord* module) {
    return static_cast<DigitalRuntime8*>(module->pRuntime);
}

DigitalRuntime16* DigitalRuntime16Of(ModuleRecord* module) {
    return static_cast<DigitalRuntime16*>(module->pRuntime);
}

DigitalChangeRuntime* DigitalChangeRuntimeOf(ModuleRecord* module) {
    return static_cast<DigitalChangeRuntime*>(module->pRuntime);
}

namespace {

int Port(ModuleRecord* module) {
    return DigitalParamOf(module)->Com.Port_Number;
}

int Address(ModuleRecord* module) {
    return DigitalParamOf(module)->Module_Address;
}

int Checksum(ModuleRecord* module) {
    return TemplateRuntimeOf(module)->Uses_Checksum;
}

WORD Mask(ModuleRecord* module) {
    return DigitalParamOf(module)->Channel_Mask;
}

} // namespace

// ---- Input types ----

int DigitalAddDiRead(ModuleRecord* module, const TemplateType*) {
    return ScanAddDiRead(Port(module), Address(module), &DigitalRuntime8Of(module)->Data_Image,
                         Checksum(module));
}

int DigitalAddDiRead6052(ModuleRecord* module, const TemplateType*) {
    return ScanAddDiRead6052(Port(module), Address(module), &DigitalRuntime8Of(module)->Data_Image,
                             Checksum(module));
}

int DigitalAddDi16Read(ModuleRecord* module, const TemplateType*) {
    return ScanAddDi16Read(Port(module), Address(module), &DigitalRuntime16Of(module)->Data_Image,
                           Checksum(module));
}

int DigitalDeliver(ModuleRecord* module, DWORD image) {
    const TemplateRuntime* rt = TemplateRuntimeOf(module);
    return DigitalDeliverImage(module, Mask(module), image, rt->Next_Due, rt->Sample_Seconds,
                               rt->Block_Samples);
}

int DigitalDeliver8(ModuleRecord* module, const TemplateType*) {
    return DigitalDeliver(module, DigitalRuntime8Of(module)->Data_Image);
}

int DigitalDeliver16(ModuleRecord* module, const TemplateType*) {
    return DigitalDeliver(module, DigitalRuntime16Of(module)->Data_Image);
}

const TemplateSweepSteps DigitalInput8Steps = {nullptr, DigitalDeliver8, nullptr, nullptr};
const TemplateSweepSteps DigitalInput16Steps = {nullptr, DigitalDeliver16, nullptr, nullptr};

void DigitalNamesVin(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++)
        snprintf(DigitalParamOf(module)->Channel_Name[i], TEMPLATE_NAME_CHARS, "Vin %d", i);
}

void DigitalNamesVinOutsideTelv(ModuleRecord* module) {
    if (!FAMILY_TELV) DigitalNamesVin(module);
}

int DigitalInputWatchdog(ModuleRecord* module, const TemplateType* type, int model,
                         int watchdogModel) {
    if (!FAMILY_TELV || model != watchdogModel) return 1;
    DigitalParam* p = DigitalParamOf(module);
    const int a = p->Module_Address & 0xFF;
    const int safe = p->Mess.Watchdog_Value & 0xFF;
    WatchdogStep step;
    WatchdogStepFormat(&step, '!', 0, "~%02X5%02X%02X", a, safe, safe);
    return ModuleWatchdog7000(type, module, Checksum(module), a, &p->Mess, 0, &step, 1, 10);
}

// ---- Output types ----

int DigitalInFamilies(int families) {
    return (families & DIGITAL_FAMILY(SelectedFamilyIndex())) != 0;
}

int DigitalAddDoWrite(ModuleRecord* module, const TemplateType*) {
    return ScanAddDoWrite(Port(module), Address(module), &DigitalRuntime8Of(module)->Data_Image,
                          Checksum(module));
}

int DigitalAddDoWriteShown(ModuleRecord* module, const TemplateType* type) {
    return TemplateShowFullList(module, DigitalAddDoWrite(module, type));
}

int DigitalAddDo16Write6042O(ModuleRecord* module, const TemplateType*) {
    return ScanAddDo16Write6042O(Port(module), Address(module),
                                 &DigitalRuntime16Of(module)->Data_Image, Checksum(module));
}

int DigitalAddDo16Write(ModuleRecord* module, const TemplateType*) {
    return ScanAddDo16Write(Port(module), Address(module), &DigitalRuntime16Of(module)->Data_Image,
                            Checksum(module));
}

void DigitalTake8(ModuleRecord* module, const TemplateType*) {
    DigitalRuntime8* rt = DigitalRuntime8Of(module);
    DWORD image = rt->Data_Image;
    DigitalTakeInputs(module, Mask(module), &image, nullptr);
    rt->Data_Image = static_cast<BYTE>(image);
}

void DigitalTake16(ModuleRecord* module, const TemplateType*) {
    DigitalRuntime16* rt = DigitalRuntime16Of(module);
    DWORD image = rt->Data_Image;
    DigitalTakeInputs(module, Mask(module), &image, nullptr);
    rt->Data_Image = static_cast<WORD>(image);
}

const TemplateSweepSteps DigitalOutput8Steps = {DigitalTake8, nullptr, nullptr, nullptr};
const TemplateSweepSteps DigitalOutput16Steps = {DigitalTake16, nullptr, nullptr, nullptr};

int DigitalWatchdog6000(ModuleRecord* module, const TemplateType* type) {
    DigitalParam* p = DigitalParamOf(module);
    char safe[4];
    snprintf(safe, sizeof safe, "%02X", p->Mess.Watchdog_Value & 0xFF);
    return ModuleWatchdog6000(type, module, Checksum(module), p->Module_Address, &p->Mess, safe, 0,
                              "0000", 0);
}

void DigitalSafeByte(ModuleRecord* module, WatchdogStep* safe) {
    DigitalParam* p = DigitalParamOf(module);
    WatchdogStepFormat(safe, '>', 0, "#%02X00%02X", p->Module_Address & 0xFF,
                       p->Mess.Watchdog_Value & 0xFF);
}

int DigitalWatchdog7000(ModuleRecord* module, const TemplateType* type, int flags,
                        const WatchdogStep* safe) {
    DigitalParam* p = DigitalParamOf(module);
    WatchdogStep steps[2];
    steps[0] = *safe;
    WatchdogStepFormat(&steps[1], '!', 0, "~%02X5S", p->Module_Address & 0xFF);
    return ModuleWatchdog7000(type, module, Checksum(module), p->Module_Address, &p->Mess,
                              WATCHDOG7_CLEAR_FIRST | flags, steps, 2, 0);
}

int DigitalOutputWatchdog(ModuleRecord* module, const TemplateType* type, int model, int model6000,
                          int model7000, const WatchdogStep* safe) {
    if (model == model6000) return DigitalWatchdog6000(module, type);
    if (model != model7000) return 1;
    WatchdogStep byte;
    if (!safe) {
        DigitalSafeByte(module, &byte);
        safe = &byte;
    }
    return DigitalWatchdog7000(module, type, 0, safe);
}

void DigitalShowWatchdogButton(HWND dialog, int families) {
    if (DigitalInFamilies(families)) return;
    const int ids[] = {IDC_WATCHDOG_FRAME, IDC_WATCHDOG_BUTTON};
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        if (control) ShowWindow(control, SW_HIDE);
    }
}

void DigitalHideChannel(HWND dialog, int channel, int labelId) {
    const int ids[] = {IDC_CHANNEL_FIRST + channel, labelId};
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        if (control) ShowWindow(control, SW_HIDE);
    }
}

int DigitalWatchdogButton(HWND dialog, void* work, int id, int code, int lines) {
    if (id != IDC_WATCHDOG_BUTTON) return 0;
    // A hidden button is not the family's: it opens nothing.
    HWND button = GetDlgItem(dialog, id);
    if (code == BN_CLICKED && work && button && IsWindowVisible(button))
        WatchdogDialog(&static_cast<DigitalParam*>(work)->Mess, lines);
    return 1;
}

// ---- Relay types that write on change ----

namespace {

void ChangeTake(ModuleRecord* module, const TemplateType*) {
    DigitalChangeRuntime* rt = DigitalChangeRuntimeOf(module);
    DWORD image = rt->Data_Image;
    DWORD seen = rt->Inputs_Seen;
    DigitalTakeInputs(module, Mask(module), &image, &seen);
    rt->Data_Image = static_cast<BYTE>(image);
    rt->Inputs_Seen = static_cast<WORD>(seen);
}

int ChangeWanted(ModuleRecord* module, const TemplateType*) {
    const DigitalChangeRuntime* rt = DigitalChangeRuntimeOf(module);
    return DigitalWriteWanted(module, rt->Write_Pending, rt->Inputs_Seen, rt->Data_Image,
                              rt->Last_Image, Mask(module));
}

// The request takes the image as it stands now.
void ChangeBegun(ModuleRecord* module, const TemplateType*) {
    DigitalChangeRuntime* rt = DigitalChangeRuntimeOf(module);
    rt->Sent_Image = rt->Data_Image;
}

// Only a good reply makes an image the one last written: a change made
// while the write was in flight, and an image whose write failed, are
// written again.
int ChangeReady(ModuleRecord* module, const TemplateType*) {
    DigitalChangeRuntime* rt = DigitalChangeRuntimeOf(module);
    rt->Last_Image = rt->Sent_Image;
    rt->Write_Pending = 0;
    return 1;
}

} // namespace

int DigitalChangeStart(ModuleRecord* module, const TemplateType*, int) {
    DigitalChangeRuntime* rt = DigitalChangeRuntimeOf(module);
    rt->Sent_Image = rt->Data_Image;
    rt->Inputs_Seen = 0;
    rt->Write_Pending = 1;
    return 1;
}

int DigitalChangeWatchdog(ModuleRecord* module, const TemplateType* type, int series) {
    if (series == 6000) return DigitalWatchdog6000(module, type);
    if (series != 7000) return 1;
    WatchdogStep safe;
    DigitalSafeByte(module, &safe);
    return DigitalWatchdog7000(module, type, WATCHDOG7_TIMEOUT_FIRST, &safe);
}

// A change is written once its due time has come; the due time moves on by
// one interval per write, so after a quiet time a change goes out at once.
const TemplateSweepSteps DigitalChangeSteps = {ChangeTake, ChangeReady, ChangeWanted, ChangeBegun,
                                               1};
