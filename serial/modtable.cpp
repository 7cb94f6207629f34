// The module table and its round robin.
#include "serial/modtable.h"
#include "host/host.h"

#include <stdio.h>

namespace {

ModuleRecord* tableModules[MODULE_TABLE_SIZE];
MessParam* tableSettings[MODULE_TABLE_SIZE];
int tableModels[MODULE_TABLE_SIZE];
int tableCount;
int tableCursor;

int InTable(int index) {
    return index >= 0 && index < tableCount;
}

} // namespace

int ModuleTableAdd(ModuleRecord* module, MessParam* settings, int model) {
    if (tableCount >= MODULE_TABLE_SIZE) {
        ShowWarning("Error", "Max. number of modules already reached!");
        return 0;
    }
    tableModules[tableCount] = module;
    tableSettings[tableCount] = settings;
    tableModels[tableCount] = model;
    tableCount++;
    return 1;
}

int ModuleTableRemove(ModuleRecord* module) {
    int found = -1;
    for (int i = 0; i < tableCount && found < 0; i++)
        if (tableModules[i] == module) found = i;
    if (found < 0) return 0;
    for (int i = found; i + 1 < tableCount; i++) {
        tableModules[i] = tableModules[i + 1];
        tableSettings[i] = tableSettings[i + 1];
        tableModels[i] = tableModels[i + 1];
    }
    tableCount--;
    tableModules[tableCount] = nullptr;
    tableSettings[tableCount] = nullptr;
    tableModels[tableCount] = 0;
    // The entries behind the removed one moved down: so does the cursor when
    // it pointed behind it. A cursor left past the end starts over.
    if (found < tableCursor) tableCursor--;
    if (tableCursor >= tableCount) tableCursor = 0;
    return 1;
}

void ModuleTableResetCursor() {
    tableCursor = 0;
}

void ModuleTableNext() {
    tableCursor++;
    if (tableCursor >= tableCount) tableCursor = 0;
}

ModuleRecord* ModuleTableCurrent() {
    return InTable(tableCursor) ? tableModules[tableCursor] : nullptr;
}

int ModuleTableCount() {
    return tableCount;
}

int ModuleTableCursor() {
    return tableCursor;
}

MessParam* ModuleTableSettings(int index) {
    return InTable(index) ? tableSettings[index] : nullptr;
}

const char* ModuleTableName(int index) {
    // The host's name field need not be terminated within its 13 bytes.
    static char name[sizeof(ModuleRecord::szName) + 1];
    name[0] = 0;
    if (InTable(index) && tableModules[index]) {
        snprintf(name, sizeof name, "%.*s", static_cast<int>(sizeof(ModuleRecord::szName)),
                 tableModules[index]->szName);
    }
    return name;
}

int ModuleTableModel(int index) {
    return InTable(index) ? tableModels[index] : 0;
}
