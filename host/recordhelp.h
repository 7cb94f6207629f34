// Small helpers around the host's records.
#ifndef TELVIO_HOST_RECORDHELP_H
#define TELVIO_HOST_RECORDHELP_H

#include "host/records.h"

#include <windows.h>

// Entry `index` (0 to 15) of the block's input or output channel table; 0,
// with the record unchanged, for another index or no record.
int SetInputChannel(ModuleRecord* module, int index, int value);
int SetOutputChannel(ModuleRecord* module, int index, int value);

int Constant100();
int Constant3108();

// A record of three int fields, as the defaults helper fills it.
struct DefaultsRecord {
    int First;
    int Second;
    int Third;
};
static_assert(sizeof(DefaultsRecord) == 12, "DefaultsRecord");
static_assert(offsetof(DefaultsRecord, Second) == 4, "Second");
static_assert(offsetof(DefaultsRecord, Third) == 8, "Third");

// First 100, Second 2, Third 512.
void SetRecordDefaults(DefaultsRecord* record);

// Takes three arguments and does nothing.
void EmptyHelper(DWORD first, DWORD second, DWORD third);

#endif
