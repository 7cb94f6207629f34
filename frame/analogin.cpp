// What the analog input types share.
#include "frame/analogin.h"

#include "frame/fields.h"
#include "frame/start.h"
#include "host/driver.h"
#include "host/numbers.h"
#include "resource.h"
#include "serial/ports.h"
#include "serial/scan.h"

#include <stdio.h>
#include <string.h>

namespace {

int Address(const TemplateType* type, ModuleRecord* module) {
    return *TemplateAddress(module, type) & 0xFF;
}

int Checksum(const TemplateType* type, ModuleRecord* module) {
    return *TemplateUsesChecksum(type, module);
}

int Send(const TemplateType* type, ModuleRecord* module, char* text, int waitMs) {
    return TemplateSendAndExpect(type, module, text, '!', Checksum(type, module), waitMs);
}

// The byte of the two hexadecimal digits at `at` of a reply; a reply that
// has none there is a communication problem.
int ReplyByte(ModuleRecord* module, const char* reply, size_t at, BYTE* out) {
    if (ParseHexByteAt(reply, strlen(reply), at, out)) return 1;
    return TemplateStepFailed(module, IDS_COMM_PROBLEM);
}

} // namespace

int AnalogChoiceOfCode(const AnalogChoice* table, int count, int code) {
    for (int i = 0; table && i < count; i++)
        if (table[i].code == code) return i;
    return -1;
}

void AnalogFillChoiceBox(HWND dialog, int id, const AnalogChoice* table, int count, int selected) {
    HWND box = GetDlgItem(dialog, id);
    if (!box || !table) return;
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[128];
        if (table[i].text)
            snprintf(text, sizeof text, "%s", table[i].text);
        else if (LoadStringA(hInstDriver, table[i].textId, text, sizeof text) <= 0)
            text[0] = 0;
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int AnalogChosenEntry(HWND dialog, int id, int count) {
    LRESULT entry = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return entry >= 0 && entry < count ? static_cast<int>(entry) : -1;
}

void AnalogInitChoiceBox(HWND dialog, int id, const AnalogChoice* table, int count, int code) {
    AnalogFillChoiceBox(dialog, id, table, count, AnalogChoiceOfCode(table, count, code));
}

int AnalogChoiceCommand(HWND dialog, int id, int notification, const AnalogChoice* table, int count,
                        int* field) {
    if (notification != CBN_SELCHANGE || !field) return -1;
    int entry = AnalogChosenEntry(dialog, id, count);
    if (entry >= 0) *field = table[entry].code;
    return entry;
}

namespace {

int AddRead(ModuleRecord* module, const TemplateType* type, int j, int channel) {
    ChannelScan* scan = TemplateChannelScan(module, j);
    if (!scan) return -1;
    return ScanAddAiRead(TemplateCom(module, type)->Port_Number, Address(type, module), channel,
                         &scan->Channel_Value, Checksum(type, module));
}

} // namespace

int AnalogAddChannelRead(ModuleRecord* module, const TemplateType* type, int j, int c) {
    return AddRead(module, type, j, c);
}

int AnalogAddModuleRead(ModuleRecord* module, const TemplateType* type, int j, int) {
    return AddRead(module, type, j, -1);
}

int AnalogAddChannelReadAnyWidth(ModuleRecord* module, const TemplateType* type, int j, int c) {
    int handle = AddRead(module, type, j, c);
    ScanAcceptAnyWidth(handle);
    return handle;
}

int AnalogReadModuleType(const TemplateType* type, ModuleRecord* module, BYTE* code) {
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X2", Address(type, module));
    if (!Send(type, module, text, 0)) return 0;
    // "!AATTCCFF": the type code is the two digits after the address.
    return ReplyByte(module, text, 3, code);
}

int AnalogSetConfiguration(const TemplateType* type, ModuleRecord* module, int code, int waitMs) {
    int baud = TemplatePortBaud(type, module);
    int address = Address(type, module);
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "%%%02X%02X%02X%02X%02X", address, address, code & 0xFF, baud + 3,
             Checksum(type, module) ? 0x40 : 0);
    return Send(type, module, text, waitMs);
}

int AnalogConfigureModuleType(const TemplateType* type, ModuleRecord* module, int code) {
    BYTE reported = 0;
    if (!AnalogReadModuleType(type, module, &reported)) return 0;
    if (reported == (code & 0xFF)) return 1;
    return AnalogSetConfiguration(type, module, code, 7000);
}

int AnalogConfigureModuleChoice(const TemplateType* type, ModuleRecord* module, int code,
                                const AnalogChoice* table, int count, UINT unknownText) {
    int entry = AnalogChoiceOfCode(table, count, code);
    if (entry < 0) return TemplateStepFailed(module, unknownText);
    return AnalogConfigureModuleType(type, module, table[entry].moduleCode);
}

int AnalogReadChannelType(const TemplateType* type, ModuleRecord* module, int channel, BYTE* code) {
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X8C%01X", Address(type, module), channel & 0xF);
    if (!Send(type, module, text, 0)) return 0;
    // "!AACnRtt": the code follows the channel.
    return ReplyByte(module, text, 6, code);
}

int AnalogSetChannelType(const TemplateType* type, ModuleRecord* module, int channel, int code,
                         int waitMs) {
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X7C%01XR%02X", Address(type, module), channel & 0xF,
             code & 0xFF);
    return Send(type, module, text, waitMs);
}

int AnalogConfigureChannelType(const TemplateType* type, ModuleRecord* module, int channel,
                               int wanted, int (*same)(int reported, int wanted), int waitMs) {
    BYTE reported = 0;
    if (!AnalogReadChannelType(type, module, channel, &reported)) return 0;
    if (same ? same(reported, wanted) : reported == (wanted & 0xFF)) return 1;
    return AnalogSetChannelType(type, module, channel, wanted, waitMs);
}

int AnalogReadChannelEnable(const TemplateType* type, ModuleRecord* module, BYTE* mask,
                            int waitMs) {
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X6", Address(type, module));
    if (!Send(type, module, text, waitMs)) return 0;
    return ReplyByte(module, text, 3, mask);
}

int AnalogSetChannelEnable(const TemplateType* type, ModuleRecord* module, int mask, int waitMs) {
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X5%02X", Address(type, module), mask & 0xFF);
    return Send(type, module, text, waitMs);
}
