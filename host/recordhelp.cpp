// Small helpers around the host's records.
#include "host/recordhelp.h"

int SetInputChannel(ModuleRecord* module, int index, int value) {
    if (module == nullptr || index < 0 || index >= 16) return 0;
    module->aiInputChannel[index] = value;
    return 1;
}

int SetOutputChannel(ModuleRecord* module, int index, int value) {
    if (module == nullptr || index < 0 || index >= 16) return 0;
    module->aiOutputChannel[index] = value;
    return 1;
}

int Constant100() {
    return 100;
}

int Constant3108() {
    return 3108;
}

void SetRecordDefaults(DefaultsRecord* record) {
    if (record == nullptr) return;
    record->First = 100;
    record->Second = 2;
    record->Third = 512;
}

void EmptyHelper(DWORD, DWORD, DWORD) {}
