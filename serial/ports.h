// The port table, the driver INI file and the serial-port dialogs.
#ifndef TELVIO_SERIAL_PORTS_H
#define TELVIO_SERIAL_PORTS_H

#include <windows.h>

#include <stddef.h>

// Serial settings of one COM port: a row of the port table, and the block
// every parameter record carries (saved with the worksheet, so its layout is
// a stored format).
struct ComSettings {
    int Port_Number;  // COM number 1..16
    int Baud_Rate;    // index 0..5 into 1200, 2400, 4800, 9600, 19200, 38400
    int Data_Bits;    // 7 or 8
    int Stop_Bits;    // 1 or 2
    int Parity;       // 0 none, 1 odd, 2 even
    int RS232_Buffer; // input queue in units of 4 KB, 1..12
    WORD Dummy1[4];
};
static_assert(sizeof(ComSettings) == 32, "ComSettings is 32 bytes");
static_assert(offsetof(ComSettings, Port_Number) == 0, "Port_Number");
static_assert(offsetof(ComSettings, Baud_Rate) == 4, "Baud_Rate");
static_assert(offsetof(ComSettings, Data_Bits) == 8, "Data_Bits");
static_assert(offsetof(ComSettings, Stop_Bits) == 12, "Stop_Bits");
static_assert(offsetof(ComSettings, Parity) == 16, "Parity");
static_assert(offsetof(ComSettings, RS232_Buffer) == 20, "RS232_Buffer");
static_assert(offsetof(ComSettings, Dummy1) == 24, "Dummy1");

#define MAX_COM_PORTS 16

// The configured ports: kept in ascending port order by the dialog and by
// PortTableMerge; rows read from the INI file keep the file's order.
extern ComSettings PortTable[MAX_COM_PORTS];
extern int NumComPorts;
// The port number new blocks take (the last one chosen in a setup dialog).
extern int ComPortsDefined;
extern int FlowControl;      // FLOW_* of every port
extern int ReOpenComOnError; // the request engine may reopen a port after time-outs
extern int BusyTimeOut;      // reply time-out of the request engine, ms

// Copies the row of `port` into `out`; leaves `out` alone when there is none.
void PortTableGet(ComSettings* out, int port);
// A block's saved settings into the table, as they were saved (opening the
// port reports a setting it cannot take): replaces the row of its port or
// inserts it in port order. 0 for a port outside 1..16 or a new port when
// all 16 rows are in use.
int PortTableMerge(const ComSettings* row);
// The first row of `port`, or null.
const ComSettings* PortTableFind(int port);

// The host program's folder (its module path cut after the last backslash);
// 0 when it is unknown or does not fit `size`.
int GetHostFolder(char* buffer, int size);
// The driver INI file in the host program's folder; 0 when the path does not
// fit `size` (reported once).
int GetDriverIniPath(char* buffer, int size);
void ReadComPortsIni();
void WriteComPortsIni();
void ReadBusyTimeOut();
void WriteBusyTimeOut();

// "COM%d: %u Baud, ..." for the port list.
void FormatPortLine(char* text, int size, const ComSettings* row);
// The COM numbers free for a row: each of 1..16 that is `ownPort` or in no
// row, ascending, then 0. `list` holds MAX_COM_PORTS + 1 numbers.
void FillFreePortCombo(int* list, const ComSettings* rows, int count, int ownPort);

// The serial-port configuration dialog (menu command 4991).
int ShowComPortsDialog(HWND owner);

INT_PTR CALLBACK ComPortsDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ComParamDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
