// The port table and the driver INI file: sections "Com Ports" (the ports,
// the monitor and reopen switches, the flow-control mode) and "Settings" (the
// request engine's reply time-out).
#include "serial/ports.h"
#include "host/driver.h"
#include "host/host.h"
#include "serial/monitor.h"
#include "serial/sercomm.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

ComSettings PortTable[MAX_COM_PORTS];
int NumComPorts;
int ComPortsDefined;
int FlowControl;
int ReOpenComOnError;
int BusyTimeOut = 1500;

namespace {

const char kComPorts[] = "Com Ports";
const char kSettings[] = "Settings";

int pathReported;

int Clamp(int value, int low, int high) {
    return value < low ? low : (value > high ? high : value);
}

// A decimal number; values beyond int are limited to it, no number is 0.
int ParseInt(const char* text) {
    long value = strtol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Limits every field of an INI file's row to its range.
void ClampComSettings(ComSettings* row) {
    row->Port_Number = Clamp(row->Port_Number, 1, MAX_COM_PORTS);
    row->Baud_Rate = Clamp(row->Baud_Rate, 0, 5);
    row->Data_Bits = Clamp(row->Data_Bits, 7, 8);
    row->Stop_Bits = Clamp(row->Stop_Bits, 1, 2);
    row->Parity = Clamp(row->Parity, 0, 2);
    row->RS232_Buffer = Clamp(row->RS232_Buffer, 1, 12);
}

// "port,baud,data,stop,parity,buffer"; a field that is missing takes the
// lower bound of its range.
void ParsePortLine(const char* text, ComSettings* row) {
    static const int lowest[6] = {1, 0, 7, 1, 0, 1};
    int fields[6];
    const char* p = text;
    for (int k = 0; k < 6; k++) {
        if (p) {
            fields[k] = ParseInt(p);
            p = strchr(p, ',');
            if (p) p++;
        } else {
            fields[k] = lowest[k];
        }
    }
    memset(row, 0, sizeof *row);
    row->Port_Number = fields[0];
    row->Baud_Rate = fields[1];
    row->Data_Bits = fields[2];
    row->Stop_Bits = fields[3];
    row->Parity = fields[4];
    row->RS232_Buffer = fields[5];
    ClampComSettings(row);
}

int ReadIniInt(const char* section, const char* key, const char* path, int size) {
    char value[81];
    if (size > static_cast<int>(sizeof value)) size = sizeof value;
    GetPrivateProfileStringA(section, key, "0", value, static_cast<DWORD>(size), path);
    return ParseInt(value);
}

void WriteIniInt(const char* section, const char* key, int value, const char* path) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(section, key, text, path);
}

void ReportPath(const char* text) {
    if (pathReported) return;
    pathReported = 1;
    ShowWarning("Error", text);
}

} // namespace

const ComSettings* PortTableFind(int port) {
    for (int i = 0; i < NumComPorts; i++) {
        if (PortTable[i].Port_Number == port) return &PortTable[i];
    }
    return nullptr;
}

void PortTableGet(ComSettings* out, int port) {
    const ComSettings* row = PortTableFind(port);
    if (row) *out = *row;
}

int PortTableMerge(const ComSettings* saved) {
    if (saved == nullptr || saved->Port_Number < 1 || saved->Port_Number > MAX_COM_PORTS) return 0;
    const ComSettings row = *saved;
    for (int i = 0; i < NumComPorts; i++) {
        if (PortTable[i].Port_Number == row.Port_Number) {
            PortTable[i] = row;
            return 1;
        }
    }
    if (NumComPorts >= MAX_COM_PORTS) return 0;
    int at = 0;
    while (at < NumComPorts && PortTable[at].Port_Number < row.Port_Number)
        at++;
    memmove(&PortTable[at + 1], &PortTable[at],
            static_cast<size_t>(NumComPorts - at) * sizeof(ComSettings));
    PortTable[at] = row;
    NumComPorts++;
    return 1;
}

int GetHostFolder(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    DWORD n = GetModuleFileNameA(HostInstance(), buffer, static_cast<DWORD>(size));
    // A name that filled the buffer may have been cut.
    if (n == 0 || n >= static_cast<DWORD>(size)) {
        buffer[0] = 0;
        return 0;
    }
    char* slash = strrchr(buffer, '\\');
    if (slash) {
        slash[1] = 0;
    } else {
        buffer[0] = 0;
    }
    return 1;
}

int GetDriverIniPath(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    const char* name = FAMILY_XX04 ? "XX04.ini" : "XX02.ini";
    // Never a cut path: it would name some other file.
    int known = GetHostFolder(buffer, size);
    size_t folder = strlen(buffer);
    if (!known || folder + strlen(name) + 1 > static_cast<size_t>(size)) {
        buffer[0] = 0;
        ReportPath("Path of the driver INI file too long");
        return 0;
    }
    snprintf(buffer + folder, static_cast<size_t>(size) - folder, "%s", name);
    return 1;
}

void ReadComPortsIni() {
    char path[MAX_PATH];
    if (!GetDriverIniPath(path, sizeof path)) return;
    int count = Clamp(ReadIniInt(kComPorts, "NumComPorts", path, 31), 0, MAX_COM_PORTS);
    NumComPorts = count;
    ComPortsDefined = count > 0;
    for (int n = 0; n < count; n++) {
        char key[24];
        snprintf(key, sizeof key, "ComPort#%d", n);
        char line[81];
        GetPrivateProfileStringA(kComPorts, key, "0,0,0,0,0,0", line, sizeof line, path);
        ParsePortLine(line, &PortTable[n]);
    }
    if (ReadIniInt(kComPorts, "MonitorOn", path, 31) > 0) MonitorStart();
    ReOpenComOnError = ReadIniInt(kComPorts, "ReOpenComOnError", path, 31) > 0;
    int flow = ReadIniInt(kComPorts, "FlowControl", path, 31);
    FlowControl = (flow < FLOW_NONE || flow > FLOW_DTR_RTS) ? FLOW_NONE : flow;
}

void WriteComPortsIni() {
    char path[MAX_PATH];
    if (!GetDriverIniPath(path, sizeof path)) return;
    WriteIniInt(kComPorts, "NumComPorts", NumComPorts, path);
    for (int n = 0; n < NumComPorts; n++) {
        const ComSettings& r = PortTable[n];
        char key[24];
        snprintf(key, sizeof key, "ComPort#%d", n);
        char line[80];
        snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%d", r.Port_Number, r.Baud_Rate, r.Data_Bits,
                 r.Stop_Bits, r.Parity, r.RS232_Buffer);
        WritePrivateProfileStringA(kComPorts, key, line, path);
    }
    WritePrivateProfileStringA(kComPorts, "MonitorOn", MonitorIsOn() ? "1" : "0", path);
    WritePrivateProfileStringA(kComPorts, "ReOpenComOnError", ReOpenComOnError ? "1" : "0", path);
}

void ReadBusyTimeOut() {
    char path[255];
    int value = 0;
    if (GetDriverIniPath(path, sizeof path)) value = ReadIniInt(kSettings, "BusyTimeOut", path, 31);
    // No value or 0: the family's default. So is a negative one: compared
    // as an unsigned number it would never end, and a silent module would
    // hold the line for ever.
    BusyTimeOut = value <= 0 ? (FAMILY_XX04 ? 100 : 1500) : value;
}

void WriteBusyTimeOut() {
    char path[255];
    if (!GetDriverIniPath(path, sizeof path)) return;
    WriteIniInt(kSettings, "BusyTimeOut", BusyTimeOut, path);
}
