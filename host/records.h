// The records that cross the boundary between the host and the plug-in: the
// host's block record, output channels, data blocks, the per-channel scan
// records, the channel-name exchange, the global-string notification, the
// action records, the parameter schema rows, the class record, and the codes
// of the class messages. All of them have the host's fixed layouts; the host's
// own records are packed (a double at offset 4 or 6), so they are declared
// packed with explicit filler.
#ifndef TELVIO_HOST_RECORDS_H
#define TELVIO_HOST_RECORDS_H

#include <windows.h>

#include <stddef.h>

static_assert(sizeof(void*) == 4, "the host's records are 32-bit layouts");

// Class and processing procedures: the caller removes the arguments.
#define MODULE_CALL __attribute__((cdecl))

struct ModuleRecord;
typedef int(MODULE_CALL* ModuleClassProc)(ModuleRecord* module, int msg, int wParam, int lParam);
typedef int(MODULE_CALL* ModuleProcessProc)(ModuleRecord* module);

#pragma pack(push, 1)

// One output channel object of the host.
struct OutputChannel {
    int uBlockSize;         // samples per data block
    double dSampleDistance; // seconds between two samples
};
static_assert(sizeof(OutputChannel) == 12, "OutputChannel size");
static_assert(offsetof(OutputChannel, uBlockSize) == 0, "uBlockSize");
static_assert(offsetof(OutputChannel, dSampleDistance) == 4, "dSampleDistance");

// The host's block of samples of one channel; afSamples holds wSampleCount
// floats.
struct DataBlock {
    BYTE abHost[6];
    double dBlockTime;
    double dBlockSampleDistance;
    WORD wSampleCount;
    float afSamples[1];
};
static_assert(sizeof(DataBlock) == 28, "DataBlock header and first sample");
static_assert(offsetof(DataBlock, dBlockTime) == 6, "dBlockTime");
static_assert(offsetof(DataBlock, dBlockSampleDistance) == 14, "dBlockSampleDistance");
static_assert(offsetof(DataBlock, wSampleCount) == 22, "wSampleCount");
static_assert(offsetof(DataBlock, afSamples) == 24, "afSamples");

// The host's record of one block. Only the fields the plug-in uses are named;
// the bytes between them are the host's.
struct ModuleRecord {
    HWND hwndModule;
    BYTE abHost04[0x24];
    char szName[13];
    char szDescription[41];
    BYTE abHost5E[0x18];
    UINT uInputs;
    BYTE abHost7A[0x100];
    int aiInputChannel[16];
    BYTE abHost1BA[0x180];
    UINT uOutputs;
    WORD wImportMark;
    int aiOutputChannel[16];
    OutputChannel* apOutput[16];
    void* pParam;
    void* pRuntime;
    void* apChannelScan[16];
};
static_assert(sizeof(ModuleRecord) == 0x408, "ModuleRecord up to its last field");
static_assert(offsetof(ModuleRecord, hwndModule) == 0x000, "hwndModule");
static_assert(offsetof(ModuleRecord, szName) == 0x028, "szName");
static_assert(offsetof(ModuleRecord, szDescription) == 0x035, "szDescription");
static_assert(offsetof(ModuleRecord, uInputs) == 0x076, "uInputs");
static_assert(offsetof(ModuleRecord, aiInputChannel) == 0x17A, "aiInputChannel");
static_assert(offsetof(ModuleRecord, uOutputs) == 0x33A, "uOutputs");
static_assert(offsetof(ModuleRecord, wImportMark) == 0x33E, "wImportMark");
static_assert(offsetof(ModuleRecord, aiOutputChannel) == 0x340, "aiOutputChannel");
static_assert(offsetof(ModuleRecord, apOutput) == 0x380, "apOutput");
static_assert(offsetof(ModuleRecord, pParam) == 0x3C0, "pParam");
static_assert(offsetof(ModuleRecord, pRuntime) == 0x3C4, "pRuntime");
static_assert(offsetof(ModuleRecord, apChannelScan) == 0x3C8, "apChannelScan");

// Channel names handed from one block to another (MODMSG_EXPORT_NAMES and MODMSG_IMPORT_NAMES), at
// the pParam of the partner block.
struct ChannelExchange {
    DWORD dwFormat;
    BOOL bNames;
    BOOL bUnits;
    BOOL bCopyFlags;
    char aszNames[16][24];
    BOOL abCopyName[16];
    char aszUnits[16][64];
};
static_assert(sizeof(ChannelExchange) == 1488, "ChannelExchange size");
static_assert(offsetof(ChannelExchange, dwFormat) == 0x000, "dwFormat");
static_assert(offsetof(ChannelExchange, bNames) == 0x004, "bNames");
static_assert(offsetof(ChannelExchange, bUnits) == 0x008, "bUnits");
static_assert(offsetof(ChannelExchange, bCopyFlags) == 0x00C, "bCopyFlags");
static_assert(offsetof(ChannelExchange, aszNames) == 0x010, "aszNames");
static_assert(offsetof(ChannelExchange, abCopyName) == 0x190, "abCopyName");
static_assert(offsetof(ChannelExchange, aszUnits) == 0x1D0, "aszUnits");

// A block's use of a host global string, reported by MODMSG_REPORT_GLOBALS.
struct GlvoNotifyRecord {
    DWORD dwGlvoCode;
    DWORD dwGlvoCount;
    LONG lGlvoParam;
    DWORD dwGlvoType;
    DWORD dwGlvoNumber;
    DWORD dwGlvoMode;
    DWORD dwGlvoFlags;
    LONG lGlvoIndex;
    DWORD dwGlvoReserved1;
    DWORD dwGlvoReserved2;
    char szGlvoText[129];
};
static_assert(sizeof(GlvoNotifyRecord) == 169, "GlvoNotifyRecord size");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoCode) == 0x00, "dwGlvoCode");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoCount) == 0x04, "dwGlvoCount");
static_assert(offsetof(GlvoNotifyRecord, lGlvoParam) == 0x08, "lGlvoParam");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoType) == 0x0C, "dwGlvoType");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoNumber) == 0x10, "dwGlvoNumber");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoMode) == 0x14, "dwGlvoMode");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoFlags) == 0x18, "dwGlvoFlags");
static_assert(offsetof(GlvoNotifyRecord, lGlvoIndex) == 0x1C, "lGlvoIndex");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoReserved1) == 0x20, "dwGlvoReserved1");
static_assert(offsetof(GlvoNotifyRecord, dwGlvoReserved2) == 0x24, "dwGlvoReserved2");
static_assert(offsetof(GlvoNotifyRecord, szGlvoText) == 0x28, "szGlvoText");

// The action in question of MODMSG_ACTION_SUPPORTED to MODMSG_ACTION123.
struct ActionRequest {
    int iActionType;
};
static_assert(sizeof(ActionRequest) == 4, "ActionRequest size");

// An action the block offers, described for MODMSG_ACTION_DESCRIBE.
struct ActionInfo {
    HINSTANCE hInstance;
    int iActionType;
    char szActionName[20];
    DWORD dwReserved1C;
    UINT uActionStringId;
    DWORD dwReserved24;
    BYTE abHost28[12];
    DWORD dwReserved34;
};
static_assert(sizeof(ActionInfo) == 0x38, "ActionInfo up to its last field");
static_assert(offsetof(ActionInfo, hInstance) == 0x00, "hInstance");
static_assert(offsetof(ActionInfo, iActionType) == 0x04, "iActionType");
static_assert(offsetof(ActionInfo, szActionName) == 0x08, "szActionName");
static_assert(offsetof(ActionInfo, dwReserved1C) == 0x1C, "reserved 0x1C");
static_assert(offsetof(ActionInfo, uActionStringId) == 0x20, "uActionStringId");
static_assert(offsetof(ActionInfo, dwReserved24) == 0x24, "reserved 0x24");
static_assert(offsetof(ActionInfo, dwReserved34) == 0x34, "reserved 0x34");

#pragma pack(pop)

// Per-channel records at apChannelScan[i], in the three sizes a type can
// register.
struct ChannelScan4 {
    float Channel_Value;
};
struct ChannelScan {
    float Channel_Value;
    int ScanHandle;
};
struct ChannelScan12 {
    float Channel_Value;
    int ScanHandle;
    float Last_Written;
};
static_assert(sizeof(ChannelScan4) == 4, "ChannelScan4 size");
static_assert(sizeof(ChannelScan) == 8, "ChannelScan size");
static_assert(offsetof(ChannelScan, Channel_Value) == 0, "Channel_Value");
static_assert(offsetof(ChannelScan, ScanHandle) == 4, "ScanHandle");
static_assert(sizeof(ChannelScan12) == 12, "ChannelScan12 size");
static_assert(offsetof(ChannelScan12, ScanHandle) == 4, "ScanHandle");
static_assert(offsetof(ChannelScan12, Last_Written) == 8, "Last_Written");

// One row of a type's ParamSchema: a field of its parameter record by name,
// type name and offset. The table ends with an all-zero row.
struct ParamSchemaEntry {
    const char* name;
    const char* type;
    int offset;
    int reserved;
};
static_assert(sizeof(ParamSchemaEntry) == 16, "ParamSchemaEntry size");
static_assert(offsetof(ParamSchemaEntry, name) == 0, "name");
static_assert(offsetof(ParamSchemaEntry, type) == 4, "type");
static_assert(offsetof(ParamSchemaEntry, offset) == 8, "offset");
static_assert(offsetof(ParamSchemaEntry, reserved) == 12, "reserved");

// A block type as the host registers it.
struct ModuleClassRecord {
    HINSTANCE hInstance;
    const char* pszClassName;
    int uParamSize;
    int uRuntimeSize;
    int uChannelDataSize;
    int uMenuId;
    const char* pszDefaultName;
    const char* pszDescription;
    DWORD dwHelpContext;
    const char* pszHelpFile; // valid only during the registration call
    DWORD dwReserved28;
    HBITMAP hbmIcon;
    HBITMAP hbmSymbol;
    ModuleClassProc pfnClassProc;
    ModuleProcessProc pfnProcess;
    DWORD adwReserved[30];
};
static_assert(sizeof(ModuleClassRecord) == 180, "ModuleClassRecord size");
static_assert(offsetof(ModuleClassRecord, hInstance) == 0x00, "hInstance");
static_assert(offsetof(ModuleClassRecord, pszClassName) == 0x04, "pszClassName");
static_assert(offsetof(ModuleClassRecord, uParamSize) == 0x08, "uParamSize");
static_assert(offsetof(ModuleClassRecord, uRuntimeSize) == 0x0C, "uRuntimeSize");
static_assert(offsetof(ModuleClassRecord, uChannelDataSize) == 0x10, "uChannelDataSize");
static_assert(offsetof(ModuleClassRecord, uMenuId) == 0x14, "uMenuId");
static_assert(offsetof(ModuleClassRecord, pszDefaultName) == 0x18, "pszDefaultName");
static_assert(offsetof(ModuleClassRecord, pszDescription) == 0x1C, "pszDescription");
static_assert(offsetof(ModuleClassRecord, dwHelpContext) == 0x20, "dwHelpContext");
static_assert(offsetof(ModuleClassRecord, pszHelpFile) == 0x24, "pszHelpFile");
static_assert(offsetof(ModuleClassRecord, dwReserved28) == 0x28, "reserved 0x28");
static_assert(offsetof(ModuleClassRecord, hbmIcon) == 0x2C, "hbmIcon");
static_assert(offsetof(ModuleClassRecord, hbmSymbol) == 0x30, "hbmSymbol");
static_assert(offsetof(ModuleClassRecord, pfnClassProc) == 0x34, "pfnClassProc");
static_assert(offsetof(ModuleClassRecord, pfnProcess) == 0x38, "pfnProcess");
static_assert(offsetof(ModuleClassRecord, adwReserved) == 0x3C, "reserved words");

// Class messages of the host.
enum {
    MODMSG_QUERY1 = 1,
    MODMSG_CHECK_LAYOUT = 2,
    MODMSG_CREATE = 101,
    MODMSG_DELETE = 102,
    MODMSG_SETUP_DIALOG = 103,
    MODMSG_REFRESH_PARAMS = 104,
    MODMSG_AFTER_LOAD = 105,
    MODMSG_START = 106,
    MODMSG_STOP = 107,
    MODMSG_ACTION_SUPPORTED = 117,
    MODMSG_ACTION_PERFORM = 118,
    MODMSG_ACTION119 = 119,
    MODMSG_ACTION120 = 120,
    MODMSG_ACTION121 = 121,
    MODMSG_ACTION122 = 122,
    MODMSG_ACTION123 = 123,
    MODMSG_ACTION_DESCRIBE = 124,
    MODMSG_QUERY128 = 128,
    MODMSG_OUTPUT_NAMES = 151,
    MODMSG_INPUT_NAME = 152,
    MODMSG_SET_NAME_COPY = 153,
    MODMSG_GET_SCHEMA = 154,
    MODMSG_EXPORT_NAMES = 167,
    MODMSG_IMPORT_NAMES = 168,
    MODMSG_REPORT_GLOBALS = 170,
    MODMSG_QUERY172 = 172,
    MODMSG_CHANNEL_TIMING = 201,
    MODMSG_GET_UNIT = 202,
};

// The measurement settings every block carries: where its sample distance
// comes from, what a failed transaction does, and the modules' own output
// watchdog. Saved with the worksheet field by field, so its layout is a
// stored format.
struct MessParam {
    BOOL Use_Global_Settings;          // the host's global sample distance and block size
    BOOL Time_Seconds;                 // the dialog shows seconds (1) or minutes (0)
    alignas(8) double Sample_Distance; // own sample distance, seconds
    BOOL Error_Stop;                   // a failed transaction stops the experiment
    int Error_Wait_Min;                // minutes to wait after an error
    BOOL Error_Set_Var;                // the error text goes into a host global string
    int Error_Var_Nr;                  // that string's number, 1..200
    BOOL Watchdog_On;                  // the modules' output watchdog is used
    int Watchdog_Time;                 // its time, 2..13 s
    WORD Watchdog_Value;               // bit i: state of output i on a watchdog time-out
    WORD Dummy2[4];
    BYTE Padding[6]; // not saved
};
static_assert(sizeof(MessParam) == 56, "MessParam is 56 bytes");
static_assert(alignof(MessParam) == 8, "MessParam starts at a multiple of 8");
static_assert(offsetof(MessParam, Use_Global_Settings) == 0, "Use_Global_Settings");
static_assert(offsetof(MessParam, Time_Seconds) == 4, "Time_Seconds");
static_assert(offsetof(MessParam, Sample_Distance) == 8, "Sample_Distance");
static_assert(offsetof(MessParam, Error_Stop) == 16, "Error_Stop");
static_assert(offsetof(MessParam, Error_Wait_Min) == 20, "Error_Wait_Min");
static_assert(offsetof(MessParam, Error_Set_Var) == 24, "Error_Set_Var");
static_assert(offsetof(MessParam, Error_Var_Nr) == 28, "Error_Var_Nr");
static_assert(offsetof(MessParam, Watchdog_On) == 32, "Watchdog_On");
static_assert(offsetof(MessParam, Watchdog_Time) == 36, "Watchdog_Time");
static_assert(offsetof(MessParam, Watchdog_Value) == 40, "Watchdog_Value");
static_assert(offsetof(MessParam, Dummy2) == 42, "Dummy2");
static_assert(offsetof(MessParam, Padding) == 50, "Padding");

// Limits of the settings.
#define WAIT_MIN_LOW 1
#define WAIT_MIN_HIGH 30240
#define GLOBAL_STRING_LOW 1
#define GLOBAL_STRING_HIGH 200
#define WATCHDOG_TIME_LOW 2
#define WATCHDOG_TIME_HIGH 13
#define BLOCK_SIZE_HIGH 65535

#endif
