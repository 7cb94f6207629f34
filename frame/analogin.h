// What the analog input types share: their range and sensor-type tables as
// data with the combo box that offers them, and the start steps that read a
// module's setting and write it only where it differs from the block's: the
// module's configuration ("$AA2", "%AANNTTCCFF"), the type of one channel
// ("$AA8Cn", "$AA7CnRtt") and the channel enables ("$AA6", "$AA5MM").
//
// Every command goes through TemplateSendAndExpect with the block's checksum
// setting; a step that fails has stopped the experiment and shown the
// communication problem, and answers 0.
#ifndef TELVIO_FRAME_ANALOGIN_H
#define TELVIO_FRAME_ANALOGIN_H

#include "frame/template.h"

#include <windows.h>

// One entry of a range or sensor-type box.
struct AnalogChoice {
    const char* text; // the entry's text; null: the string `textId`
    UINT textId;
    int code;         // what the block stores
    int moduleCode;   // what the module is sent and reports for it
    const char* unit; // the unit the entry gives the channels; null: none
};

// The entry of `code` (as the block stores it) in the table; -1 when the
// table has none.
int AnalogChoiceOfCode(const AnalogChoice* table, int count, int code);
// Empties the combo box, fills it with the table's texts in order and
// selects entry `selected` (none for -1).
void AnalogFillChoiceBox(HWND dialog, int id, const AnalogChoice* table, int count, int selected);
// The entry selected in the box; -1 without a selection or beyond the table.
int AnalogChosenEntry(HWND dialog, int id, int count);
// A box of one choice for the whole module: filled with the entry of
// `code` selected; a new selection (CBN_SELCHANGE) stores its code into
// *field. The command answers the entry chosen, -1 for anything else.
void AnalogInitChoiceBox(HWND dialog, int id, const AnalogChoice* table, int count, int code);
int AnalogChoiceCommand(HWND dialog, int id, int notification, const AnalogChoice* table, int count,
                        int* field);

// The start's request of output channel j: a reading of channel c
// (SCAN_AI_READ) into that output's value cell.
int AnalogAddChannelRead(ModuleRecord* module, const TemplateType* type, int j, int c);
// The same without the channel number, for the single-channel modules.
int AnalogAddModuleRead(ModuleRecord* module, const TemplateType* type, int j, int c);
// The read of channel c for a module whose data format the start leaves as
// the module has it: its readings may come in any width.
int AnalogAddChannelReadAnyWidth(ModuleRecord* module, const TemplateType* type, int j, int c);

// The module's input type code from "$AA2" (reply "!AATTCCFF").
int AnalogReadModuleType(const TemplateType* type, ModuleRecord* module, BYTE* code);
// "%AANNTTCCFF": the module keeps its address and checksum setting and takes
// the type code and the baud code of the speed its port runs at.
int AnalogSetConfiguration(const TemplateType* type, ModuleRecord* module, int code, int waitMs);
// Reads the module's type code and, when it is not `code`, writes the
// configuration with it (7000 ms programming wait).
int AnalogConfigureModuleType(const TemplateType* type, ModuleRecord* module, int code);
// The same for a block's choice of the table; a code from a file that the
// table lacks stops the start with `unknownText` before anything is sent.
int AnalogConfigureModuleChoice(const TemplateType* type, ModuleRecord* module, int code,
                                const AnalogChoice* table, int count, UINT unknownText);

// The type code of one channel from "$AA8Cn" (reply "!AACnRtt").
int AnalogReadChannelType(const TemplateType* type, ModuleRecord* module, int channel, BYTE* code);
// "$AA7CnRtt".
int AnalogSetChannelType(const TemplateType* type, ModuleRecord* module, int channel, int code,
                         int waitMs);
// Reads the channel's type code and, unless `same` says the code the module
// reports stands for the wanted one (null: the codes are equal), writes the
// wanted code.
int AnalogConfigureChannelType(const TemplateType* type, ModuleRecord* module, int channel,
                               int wanted, int (*same)(int reported, int wanted), int waitMs);

// The channel-enable mask from "$AA6" (reply "!AAMM").
int AnalogReadChannelEnable(const TemplateType* type, ModuleRecord* module, BYTE* mask, int waitMs);
// "$AA5MM".
int AnalogSetChannelEnable(const TemplateType* type, ModuleRecord* module, int mask, int waitMs);

#endif
