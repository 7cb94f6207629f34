// The RS-232 monitor: the last 256 lines sent and received on all ports and
// the notes of the serial layer and the blocks, kept while it is switched on.
#ifndef TELVIO_SERIAL_MONITOR_H
#define TELVIO_SERIAL_MONITOR_H

#include <windows.h>

#include <stddef.h>

#define MONITOR_ENTRIES 256

// One line of the ring.
struct MonitorEntry {
    int port;       // COM number of a traffic line, 0 for a note
    DWORD tick;     // GetTickCount when it was logged
    char direction; // '+' sent, '-' received, ' ' note
    char text[25];  // at most 23 characters of a line, 24 of a note
    char filler[2];
};
static_assert(sizeof(MonitorEntry) == 36, "MonitorEntry is 36 bytes");
static_assert(offsetof(MonitorEntry, tick) == 4, "tick");
static_assert(offsetof(MonitorEntry, direction) == 8, "direction");
static_assert(offsetof(MonitorEntry, text) == 9, "text");

// On: allocates the ring (a failed allocation leaves the monitor off),
// empties it and starts the time base now.
void MonitorStart();
// Off: releases the ring.
void MonitorStop();
int MonitorIsOn();
// Once per experiment: restarts the time base and notes "Experiment started".
void MonitorExperimentStarted();
// Notes "Experiment stopped" once after a start.
void MonitorExperimentStopped();
// A traffic line, up to its carriage return and at most 23 characters.
void MonitorLogLine(int port, int sent, const char* line);
// A note; a text of more than 24 characters keeps its first 23.
void MonitorNote(const char* text);
// Empties the ring and restarts the time base.
void MonitorClear();

// The listed line of the i-th entry from the oldest, as the dialog shows it
// (`forFile` 0) or as the file holds it (1); 0 when there is no such entry.
int MonitorFormatEntry(int i, int forFile, char* text, int size);
// Fills list 1030 of the dialog.
void MonitorFillList(HWND dialog);
// Writes every entry to an open file; 1 when all was written.
int MonitorSaveFile(HANDLE file);

INT_PTR CALLBACK Rs232MonDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
