// The stand-in host: the smallest host that lets the plug-in run. Tests and
// the command-line program drive it through this interface.
#ifndef HOSTSIM_HOSTSIM_H
#define HOSTSIM_HOSTSIM_H

#include <windows.h>

#include <stdio.h>

#include <deque>
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

// Stacked GDI objects: real GDI objects the host makes for the plug-in
// (CreateStackedFontIndirect) and deletes when the plug-in releases them
// (DeleteStackedObject, counted) or, for what is left, when the plug-in is
// finished or unloaded or the host started again.
int StackedObjectsCreated();
int StackedObjectsDeleted();
// Deletes what the plug-in left on the stack; answers how many.
int ReleaseStackedObjects();

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
// Global variables the host holds (GlVar_Get answers them; an edit shows
// variable n as "GVn"), and the edits the plug-in gave the variables' menu.
void SetGlobalVariable(int number, double value);
const std::vector<int>& GlobalVariableMenus();
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
// Both close the worksheet first (CloseWorksheet) and delete the stacked
// objects the plug-in left.
int FinishPlugin(Plugin* plugin);  // FinishVarnixDLL, then FreeLibrary
void UnloadPlugin(Plugin* plugin); // FreeLibrary without FinishVarnixDLL

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
// The line of one class (without its line break).
std::string ClassLine(const ModuleClass* moduleClass);

// What feeds a block's input channel: nothing, an output channel of another
// block of the worksheet (every data block it releases waits at the input),
// or a generator the host runs itself, one sample every `every` seconds of
// experiment time from 0 on:
//   constant a          a
//   step a b c          a before c seconds, b from then on
//   ramp a b c          from a to b over c seconds, again every c seconds
//   square a b c        a for the first half of every c seconds, b for the second
enum InputSourceKind {
    INPUT_NONE,
    INPUT_BLOCK,
    INPUT_CONSTANT,
    INPUT_STEP,
    INPUT_RAMP,
    INPUT_SQUARE
};
struct InputSource {
    InputSourceKind kind = INPUT_NONE;
    std::string block; // INPUT_BLOCK: the feeding block's name
    int output = 0;    // and its output channel
    double a = 0.0, b = 0.0, c = 0.0;
    double every = 0.5;
};
// A data block waiting at an input, at the host's layout.
struct WaitingBlock {
    std::vector<unsigned char> bytes;
};
#define INPUT_QUEUE_BLOCKS 1024 // the oldest waiting block goes when one more comes

// A block as the host keeps it: the record at the host's layout, the
// parameter, runtime and per-channel records of the class's sizes, 16
// output channel objects, and what feeds its 16 input channels.
struct Block {
    ModuleRecord record;
    const ModuleClass* moduleClass = nullptr;
    OutputChannel outputs[16];
    char outputNames[16][24]; // names given by CopyChannelName
    std::vector<unsigned char> param, runtime;
    std::vector<unsigned char> channelScan[16];
    int afterLoadAnswer = -1; // answer to MODMSG_AFTER_LOAD after a load
    InputSource inputSources[16];
    std::deque<WaitingBlock> waiting[16];
    bool inputTaken[16] = {};      // GetInputBlock handed out the first waiting block
    double nextGenerated[16] = {}; // experiment time of a generator's next sample
};
int BlockCount();
Block* BlockAt(int index); // in worksheet order
Block* FindBlock(const ModuleRecord* module);
// A new block of the class, as the host makes it when a menu command is
// chosen: zeroed records, the default name and description, then
// MODMSG_CREATE. A block whose creation is answered 0 is removed again and
// nullptr returned; *answer (when given) gets the answer.
Block* CreateBlock(const ModuleClass* moduleClass, int* answer = nullptr);
// The block types that present one hardware module as several blocks ask at
// MODMSG_CREATE in a dialog of their own (owned by the main window) for the
// hardware module and the function. With an answer set, CreateBlock calls it
// from that dialog's message loop (it presses OK or Cancel); without one the
// dialog takes the actions queued for dialogs, or is cancelled.
void AnswerCreationDialogs(void (*answer)(HWND dialog));
// MODMSG_DELETE, then the block's records are freed.
void DeleteBlock(Block* block);
// The worksheet closed: every block gets MODMSG_DELETE while all are still
// in it, then all are freed. The host closes it before it finishes or
// unloads the plug-in; a test closes the worksheet it made.
void CloseWorksheet();
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

// ---- Host actions ----

// What the host learned of an action a block offers (MODMSG_ACTION_DESCRIBE).
struct ActionDescription {
    HINSTANCE instance = nullptr;
    // The persistent name from 0x08 up to its terminator within the 24 bytes before the string id.
    std::string name;
    UINT stringId = 0;
    std::string text; // the display text, from the instance's string table
    DWORD word1C = 0; // the words the plug-in zeroes
    DWORD word24 = 0;
    DWORD word34 = 0;
    // The bytes the plug-in leaves as the host gave them (0x28..0x33 and after 0x38) kept.
    bool othersKept = false;
    // Every byte but the action type kept: nothing was written.
    bool untouched = false;
};
// MODMSG_ACTION_SUPPORTED for the action type: the block's answer.
int ActionSupported(Block* block, int actionType);
// MODMSG_ACTION_DESCRIBE with a record filled with a pattern: the block's answer, and what the
// record then holds.
int DescribeAction(Block* block, int actionType, ActionDescription* out);
// MODMSG_ACTION_PERFORM with the argument: the block's answer.
int PerformAction(Block* block, int actionType, int argument);

// ---- Input channels ----

// Connects input `input` of the block; 0 and a reason for an input outside
// 0..15, a generator without a positive period or sample spacing, or an
// output channel outside 0..15 (the feeding block is found by its name
// whenever it releases a block, so it may come later in the worksheet).
int ConnectInput(Block* block, int input, const InputSource& source, std::string* error);
// "block \"Oven\" output 2", "square 0 5 2 every 0.5", "none".
std::string FormatInputSource(const InputSource& source);
int ParseInputSource(const std::string& text, InputSource* source, std::string* error);
// A data block waits at the input as if its source had released it.
void QueueInputBlock(Block* block, int input, double time, double sampleDistance,
                     const std::vector<float>& samples);
int WaitingInputBlocks(const Block* block, int input);
// Blocks the plug-in took with GetInputBlock and gave back with
// NewReleaseInputBlock, and GetInputBlock calls that found none waiting.
int InputBlocksReleased();
int InputBlocksMissed();
// The generators' samples up to `now` (experiment seconds) go to their inputs;
// the experiment calls this before every cycle.
void RunGenerators(double now);

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
    // A cycle in which no block delivered a data block or took an input block
    // is followed by Sleep(idleSleepMs) (0: none), also while a block waits
    // for a reply. On
    // the manual clock Sleep moves the clock instead.
    int idleSleepMs = 1;
    // Called before each block's MODMSG_START with its worksheet index, and
    // once every block has started, before the experiment clock starts
    // (input blocks queued then wait for the first cycle).
    std::function<void(int block)> beforeStart;
    std::function<void()> onStarted;
    // Called after every cycle with its number (from 0) and whether a block
    // answered 1 in it; a test on the manual clock moves time on here.
    std::function<void(int cycle, int busy)> onCycle;
    // Asked after every cycle (after onCycle): the cycles end as soon as it
    // answers true, before `seconds` have passed; the result tells so.
    std::function<bool()> until;
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
    int ended = 0;              // ExperimentOptions::until ended the cycles
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
    // Time-outs of the plain checksum probe ("$AA2" without checksum): a
    // module that uses checksums does not answer it, so the block's start
    // expects two of them; they are no errors.
    int probeTimeouts = 0;
    std::string lastSent;            // the text of the last request read
    bool keepLines = false;          // set: every line read is kept in `listed`
    std::vector<std::string> listed; // "COMp t sec d text", in the order read
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
// The same way in: &Monitor shows the list as it is for `seconds`
// (HoldDialog, key "rs232-monitor", the line on `out`, after a line
// "varies: rs232-monitor LEFT TOP WIDTH HEIGHT" with the list's place in the
// dialog, whose rows differ from run to run), then &Close and Cancel;
// nothing is read or emptied. 1 when the monitor is on.
int MonitorHold(double seconds, FILE* out);
// Adds one listed line ("n:\tCOMp \tt sec\td\ttext") to the counts.
void MonitorCountLine(const std::string& line, MonitorCounts* counts);

// ---- A step in one of the plug-in's modal dialogs ----

// The next modal dialog that holds the control `control` gets `run` called
// from its own message loop, once it is shown (its owner must be the host's
// main window). Call before the message or command that opens the dialog.
void QueueDialogStep(int control, void (*run)(HWND dialog));
// 1 when the step queued last has run.
int DialogStepRan();

// ---- The plug-in's dialogs ----

// A dialog as the walk lists it: its caption, then one line per control (id,
// class, text, hidden, disabled, checked) and the entries of combo and list
// boxes.
std::string DescribeDialog(HWND dialog);
// Shows the dialog for `seconds` (when above 0) and keeps its messages going,
// after a line "hold: KEY LEFT TOP WIDTH HEIGHT" (screen pixels) on `out`, so
// a picture can be taken of it; the Windows build hides the caret meanwhile.
void HoldDialog(HWND dialog, const char* key, double seconds, FILE* out);

struct WalkOptions {
    std::vector<int> onlyMenuIds; // empty: every class; else the classes of these menu ids
    double holdSeconds = 0.0;     // each dialog stays shown this long
    bool fit = false;             // measure the texts (Windows build)
    bool templates = true;        // with fit: also every template the plug-in ships
    FILE* listing = nullptr;      // the dialogs' listings
    FILE* report = nullptr;       // the text-fit report
};
struct WalkResult {
    int classes = 0;        // classes walked
    int setupDialogs = 0;   // setup dialogs shown
    int functionBlocks = 0; // blocks of the next functions of a shared module
    int skipped = 0;        // classes whose type is not built: no dialog
    int dialogs = 0;        // dialogs shown in all
    int missing = 0;        // dialogs that should have shown and did not
    int measured = 0;       // dialogs and templates whose texts were measured
    int texts = 0;          // texts measured
    int clipped = 0;        // texts that do not fit
    int broken = 0;         // labels broken over lines although they fit one
    int probeFound = -1;    // the probe's faults: 1 found, 0 missed, -1 not measured
    int laidOut = 0;        // dialogs whose layout was checked
    int layoutFaults = 0;   // overlapping or misplaced controls, wrong channel buttons
};
// The layout of an open dialog: its visible controls lie inside the dialog,
// no two overlap unless one is a group box around the other (a control that
// overlaps a group box lies wholly inside it), and, when the text names a
// channel count ("ND6054 15 Digital Input"), the dialog offers no more
// channel buttons than that (buttons in the state "not available" aside). Each fault is a line
// "layout fault: WHERE: ..." on `report`; answers the number of faults.
int CheckDialogLayout(HWND dialog, const std::string& where, const std::string& description,
                      FILE* report);
// Creates a block of every registered class (in registration order) and
// walks its setup dialog; the first setup dialog that offers them opens
// "Measurement" (and its "Copy Parameters from..." when offered) and
// "Watchdog"; then the menu command of the serial ports opens "Configuration
// of Serial Ports" with "COM Port Parameters" (Add) and "RS232 Monitor". Each
// dialog is listed, measured and closed without changing anything but the
// new blocks. A class that hands its messages to the host's default action
// (a type not built yet) opens no dialog and is listed as skipped. With
// `fit`, the Windows build also measures every dialog template of `plugin`.
// 1 when every dialog showed and every text fits.
int WalkDialogs(const WalkOptions& options, HMODULE plugin, WalkResult* result);

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
// Message boxes the plug-in showed, each answered with its default button
// (boxes.cpp). A host that runs without a person (the hostsim program)
// switches answering on before it loads the plug-in; the Linux build's
// headless layer answers every box without a queued answer so.
struct AnsweredBox {
    std::string caption, text;
    int answer = 0; // IDOK, IDYES, ...
};
void AnswerMessageBoxes(bool on);
void AnswerMessageBoxesOf(HMODULE plugin); // LoadPlugin calls it
std::vector<AnsweredBox> AnsweredMessageBoxes();
const char* ButtonName(int id); // "OK", "Yes", ...

// The integer field of a block's parameter record that its schema names
// ("Module_Address", "Module_Address[3]"); 0 when it names none.
int BlockIntegerField(Block* block, const std::string& name, long long* value);

// The simulated modules the blocks of the worksheet talk to: the port and
// address each block's fields name, and a model its type accepts (one that
// the module simulator serves). Blocks that share a module name it once.
struct WorksheetModule {
    int port = 0;
    int address = 0;
    std::string model;
    std::vector<std::string> blocks; // the names of the blocks on it
};
// 0 and the reason when a block names no port or address, or its type has
// no simulated model, or two blocks ask one address for two models.
int WorksheetModules(std::vector<WorksheetModule>* out, std::string* error);

int SaveWorksheet(const char* path, std::string* error);
int LoadWorksheet(const char* path, std::string* error);

} // namespace hostsim

#endif
