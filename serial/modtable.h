// The blocks of the worksheet that talk to modules, in the order they were
// created or loaded, and the round-robin cursor that gives one of them at a
// time the request engine.
#ifndef TELVIO_SERIAL_MODTABLE_H
#define TELVIO_SERIAL_MODTABLE_H

#include "host/records.h"

struct MessParam;

#define MODULE_TABLE_SIZE 64

// Appends the block; 0 and a warning when the table is full.
int ModuleTableAdd(ModuleRecord* module, MessParam* settings, int model);
// Removes the first entry of the block; 0 when it is not in the table. The
// cursor stays on the block whose turn it was, or, when that block is the
// one removed, on the block that followed it; it never points past the end.
int ModuleTableRemove(ModuleRecord* module);
void ModuleTableResetCursor();
// The turn passes on, back to the first block after the last.
void ModuleTableNext();
// The block whose turn it is; null for an empty table.
ModuleRecord* ModuleTableCurrent();
int ModuleTableCount();
int ModuleTableCursor();
// Entry i, null (or "") outside the table.
MessParam* ModuleTableSettings(int index);
const char* ModuleTableName(int index);
int ModuleTableModel(int index);

#endif
