// The stand-in host: the smallest host that lets the plug-in run. Tests and
// the command-line program drive it through this interface.
#ifndef HOSTSIM_HOSTSIM_H
#define HOSTSIM_HOSTSIM_H

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/hostapi.h"
#include "host/records.h"

namespace hostsim {

// Creates the host's main window and main menu (once per process) and resets
// everything a test may have changed.
int Start();
HWND MainWindow();
HMENU MainMenu();

// The host's folder as its ExeFileDir text (ends with the separator).
void SetExeFileDir(const char* folder);
const char* ExeFileDir();

// Name resolution: a name can be made unknown (answers 0) or given a value.
void SetNameUnknown(const char* name);
void SetVariableValue(const char* name, DWORD value);
int NamesAsked(); // names asked since Start()
std::vector<std::string> NamesAskedInOrder();

// DefineDllModule and DefineDllVariable, as the plug-in called them.
struct DllVariable {
    std::string name;
    void* address;
    int size;
};
void RefuseDefineDllModule(bool refuse);
void RefuseDllVariable(const char* name); // 0 accepts all
int DllModuleDefined();
const std::vector<DllVariable>& DllVariables();
// Writes a DLL variable through the address the plug-in gave; 0 if unknown or
// the size differs.
int WriteDllVariable(const char* name, const void* value, int size);

// Menu commands registered with RegisterMenuEntry.
struct MenuEntry {
    UINT id;
    MenuCallback callback;
};
const std::vector<MenuEntry>& MenuEntries();
int ChooseMenuCommand(UINT id); // 0 when no callback has that id

// Memory from NewMemAlloc: tracked; FailAllocations(n) fails the next n.
int LiveAllocations();
void FailAllocations(int count);

// Stacked GDI objects.
int StackedObjectsCreated();
int StackedObjectsDeleted();

// Warnings and internal errors shown by the plug-in (recorded, not modal).
struct Warning {
    std::string caption;
    std::string text;
};
const std::vector<Warning>& Warnings();
const std::vector<std::string>& InternalErrors();

// The experiment clock: CurrentExperimentTime answers the seconds since
// this call by GetTickCount, so the manual clock moves it (Start() sets it
// going too).
void StartExperimentClock();
// StopExperiment calls since Start().
int StopExperimentCalls();
// Global strings as GlStr_Set wrote them ("" for one never written).
std::string GlobalString(int number);
int GlobalStringWrites();

// Calls of host functions the stand-in does not implement.
int UnexpectedCalls();

// A plug-in loaded and bound as the host does it.
struct Plugin {
    HMODULE module = nullptr;
    int setupResult = 0;
    int finishResult = 0;
};
int LoadPlugin(const char* path, Plugin* out); // 1 when loaded; setupResult tells the binding
int FinishPlugin(Plugin* plugin);              // FinishVarnixDLL, then FreeLibrary
void UnloadPlugin(Plugin* plugin);             // FreeLibrary without FinishVarnixDLL

// The menu tree below one entry of the main menu, one line per item.
std::string MenuTree(HMENU menu, int position);
// What the plug-in registered: the binding report the command line prints.
std::string BindingReport(const Plugin& plugin);

// ---- Module classes and blocks ----

// A class as RegisterModuleClass received it, with its texts copied during
// the call (the record's text pointers point at the copies).
struct ModuleClass {
    ModuleClassRecord record;
    std::string className;
    std::string defaultName;
    std::string description;
    std::string helpFile;
    int iconWidth = 0, iconHeight = 0;     // 0: no icon bitmap
    int symbolWidth = 0, symbolHeight = 0; // 0: no symbol bitmap
};
int ClassCount();
const ModuleClass* ClassAt(int index); // in registration order
// A class name registered more than once names the first class registered
// under it.
const ModuleClass* FindClassByName(const char* name);
const ModuleClass* FindClassByMenuId(int menuId);
// One line per registered class, in registration order.
std::string ClassesReport();

// A block as the host keeps it: the record at the host's layout, the
// parameter, runtime and per-channel records of the class's sizes, and 16
// output channel objects.
struct Block {
    ModuleRecord record;
    const ModuleClass* moduleClass = nullptr;
    OutputChannel outputs[16];
    char outputNames[16][24]; // names given by CopyChannelName
    std::vector<unsigned char> param, runtime;
    std::vector<unsigned char> channelScan[16];
    int afterLoadAnswer = -1; // answer to MODMSG_AFTER_LOAD after a load
};
int BlockCount();
Block* BlockAt(int index); // in worksheet order
Block* FindBlock(const ModuleRecord* module);
// A new block of the class, as the host makes it when a menu command is
// chosen: zeroed records, the default name and description, then
// MODMSG_CREATE. A block whose creation is answered 0 is removed again and
// nullptr returned; *answer (when given) gets the answer.
Block* CreateBlock(const ModuleClass* moduleClass, int* answer = nullptr);
// MODMSG_DELETE, then the block's records are freed.
void DeleteBlock(Block* block);
int SendClassMessage(Block* block, int msg, int wParam, int lParam);
int ProcessBlock(Block* block);

// PerformDefaultAction as the plug-in called it; it answers the value set
// (0 to MODMSG_GET_SCHEMA: the host has no schema of its own).
struct DefaultActionCall {
    ModuleRecord* module;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
const std::vector<DefaultActionCall>& DefaultActionCalls();
void SetDefaultActionAnswer(int answer);

// Records the plug-in handed to GlvoModuleNotifyGlobalVar, copied.
const std::vector<GlvoNotifyRecord>& GlobalVarNotifications();

// Data blocks of output channels: GetCurrentOutputBlock hands out one block
// per channel of room for OUTPUT_BLOCK_SAMPLES samples (none while they are
// withheld); NewReleaseOutputBlock records what the plug-in filled in.
#define OUTPUT_BLOCK_SAMPLES 65535
struct ReleasedBlock {
    const ModuleRecord* module;
    int output;
    double time;
    double sampleDistance;
    std::vector<float> samples;
    double releasedAt; // experiment time of the release: when the reading was delivered
};
const std::vector<ReleasedBlock>& ReleasedOutputBlocks();
void WithholdOutputBlocks(bool withhold);

// Registers a class from the host side, as RegisterModuleClass does (for
// fixtures of tests).
int RegisterClassRecord(ModuleClassRecord* record);

// ---- The experiment ----

// How an experiment runs. The host sends every block MODMSG_CHANNEL_TIMING
// for each of its output channels, then MODMSG_START block after block (the
// first start answered 0, or a StopExperiment during the starts, ends it),
// sets the experiment clock going and calls every block's processing
// procedure once per cycle, in worksheet order, until `seconds` of
// experiment time have passed or a block called StopExperiment; then every
// block that was sent MODMSG_START gets MODMSG_STOP.
struct ExperimentOptions {
    double seconds = 0.0;
    // Written to the plug-in's DLL variables before the channel timing;
    // negative: left as they are.
    double globalMilliSecondsPerSample = -1.0;
    long long globalBlockSize = -1;
    // A cycle in which no block answered 1 is followed by Sleep(idleSleepMs)
    // (0: none). On the manual clock Sleep moves the clock instead.
    int idleSleepMs = 1;
    // Called before each block's MODMSG_START with its worksheet index, and
    // once every block has started, before the experiment clock starts.
    std::function<void(int block)> beforeStart;
    std::function<void()> onStarted;
    // Called after every cycle with its number (from 0) and whether a block
    // answered 1 in it; a test on the manual clock moves time on here.
    std::function<void(int cycle, int busy)> onCycle;
    // The cycles end after this many seconds of real time whatever the
    // experiment clock says (a manual clock that nobody moves), and the
    // result tells so.
    double realSecondsLimit = 300.0;
    // Every processing call is timed with the performance counter.
    bool timeCalls = false;
};

// How long the processing calls of a timed experiment took.
struct CallTimes {
    long calls = 0;
    long idleCalls = 0;         // calls answered 0: not the block's turn, nothing due
    double longestMs = 0.0;     // the longest call of all
    double longestCpuMs = -1.0; // the most processor time a call took; -1: not measured
    double medianIdleUs = 0.0;  // the median idle call
    double medianBusyUs = 0.0;  // the median call answered 1
};

// A class message the experiment sent, with the block's worksheet index.
struct ExperimentMessage {
    int block;
    int msg;
    int wParam;
    int answer;
};

struct ExperimentResult {
    int blocks = 0;             // blocks in the worksheet
    int started = 0;            // blocks whose start answered 1
    int failedBlock = -1;       // worksheet index of the block whose start answered 0
    int stoppedDuringStart = 0; // StopExperiment was called while the blocks started
    int stoppedByPlugin = 0;    // StopExperiment ended the cycles
    int timedOut = 0;           // the real-time limit ended the cycles
    int cycles = 0;
    double endTime = 0.0;        // experiment time when the cycles ended
    size_t firstOutputBlock = 0; // ReleasedOutputBlocks() index of the experiment's first block
    CallTimes times;             // with ExperimentOptions::timeCalls
    std::vector<ExperimentMessage> messages;
    std::string error; // why the experiment could not be set up
};

// Runs the worksheet's experiment on the caller's thread. 1 when every block
// started and the cycles ran (also when a block stopped them early), else 0.
int RunExperiment(const ExperimentOptions& options, ExperimentResult* result);
// 1 from the first MODMSG_START to the last MODMSG_STOP of RunExperiment.
int ExperimentRunning();
// CurrentExperimentTime as the plug-in reads it: seconds of the experiment clock.
double ExperimentTime();

// ---- The RS-232 monitor, as a user works it ----

// What the monitor's list showed, added up over every reading: lines sent
// ('+': requests), received ('-'), the "Repeat" notes and the notes of
// failed transfers ("Time Out", "Reopen COM", "Waiting!", "Continue!").
struct MonitorCounts {
    int reads = 0; // times the list was read
    int lines = 0; // lines read in all
    int sent = 0;
    int received = 0;
    int repeats = 0;
    int errors = 0;
    std::map<std::string, int> errorNotes; // errors by note
    int fullReads = 0; // readings of a full ring: older lines may have been lost
};
// The plug-in's menu command that opens "Configuration of Serial Ports".
#define HOSTSIM_SERIAL_PORTS_COMMAND 4991
// Opens "Configuration of Serial Ports" by its menu command, ticks Active
// when it is not ticked, empties the monitor (&Monitor, &Clear, &Close) and
// leaves with Cancel, so the driver INI file is not rewritten. 1 when the
// monitor is on.
int MonitorSwitchOn();
// The same way in: &Monitor, reads every line of the list into `counts`,
// then &Clear when `clear`, &Close and Cancel. 1 when the list was read.
int MonitorRead(MonitorCounts* counts, bool clear);
// Adds one listed line ("n:\tCOMp \tt sec\td\ttext") to the counts.
void MonitorCountLine(const std::string& line, MonitorCounts* counts);

// ---- A step in one of the plug-in's modal dialogs ----

// The next modal dialog that holds the control `control` gets `run` called
// from its own message loop, once it is shown (its owner must be the host's
// main window). Call before the message or command that opens the dialog.
void QueueDialogStep(int control, void (*run)(HWND dialog));
// 1 when the step queued last has run.
int DialogStepRan();

// ---- Worksheet files ----

// The worksheet as text: one section per block with its class name, block
// name, description, channel counts and every field of its type's parameter
// schema by name, indexed rows expanded. 0 and a message when a schema
// cannot be followed.
int WorksheetToText(std::string* text, std::string* error);
// Replaces the worksheet with the blocks of the text (the old blocks get
// MODMSG_DELETE) and sends each new block MODMSG_AFTER_LOAD. A text that
// cannot be loaded whole is refused with a message naming the line, and the
// worksheet stays as it was.
int WorksheetFromText(const std::string& text, std::string* error);
int SaveWorksheet(const char* path, std::string* error);
int LoadWorksheet(const char* path, std::string* error);

} // namespace hostsim

#endif
