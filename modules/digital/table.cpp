// The digital input, output and relay types: one row a type, and what every
// type is built from its row, written once: its descriptor, its start steps,
// its setup dialog and its three procedures.
#include "frame/loops.h"
#include "frame/moduletest.h"
#include "frame/setupdlg.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/registration.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

#include <limits.h>

namespace {

enum DigitalTypeIndex {
#define DIGITAL_INDEX(T) DIGITAL_##T,
    DIGITAL_TYPES(DIGITAL_INDEX)
#undef DIGITAL_INDEX
        DIGITAL_TYPE_COUNT
};

// The families whose dialog shows the watchdog button.
constexpr int kXX03Telv = DIGITAL_FAMILY(FAMILY_INDEX_XX03) | DIGITAL_FAMILY(FAMILY_INDEX_TELV);
constexpr int kTelv = DIGITAL_FAMILY(FAMILY_INDEX_TELV);
constexpr int kND = DIGITAL_FAMILY(FAMILY_INDEX_ND);
constexpr int kNDXX03Telv = DIGITAL_FAMILIES_ND_XX03_TELV;

// How a start meets a module that does not answer or is not one of the
// type's models.
// A silent or wrong module stops the experiment.
constexpr TemplateStartPolicy kStop = {};
// The same; a number that cannot be read is shown as no reply.
constexpr TemplateStartPolicy kStopNoReply = {.badNumberText = IDS_MODULE_NO_REPLY};
// A silent module refuses the start without stopping the experiment; a
// number that cannot be read is shown as no reply.
constexpr TemplateStartPolicy kSilentFails = {.silent = TEMPLATE_SILENT_FAIL,
                                              .badNumberText = IDS_MODULE_NO_REPLY};
// A wrong module refuses the start without stopping the experiment.
constexpr TemplateStartPolicy kWrongFails = {.wrong = TEMPLATE_WRONG_FAIL};
// A silent module may be started without, at the user's word; a wrong one
// refuses the start without stopping the experiment.
constexpr TemplateStartPolicy kSilentAsks = {.silent = TEMPLATE_SILENT_ASK,
                                             .wrong = TEMPLATE_WRONG_FAIL};

// The models each type accepts at the start.
constexpr int k6041[] = {6041, 4041, 7041, 8041, 0};
constexpr int k6042[] = {6042, 4042, 7042, 0};
constexpr int k6043[] = {6043, 4043, 7043, 0};
constexpr int k6044[] = {6044, 4044, 7044, 0};
constexpr int k6050[] = {6050, 4050, 7050, 8050, 0};
constexpr int k6052[] = {6052, 4052, 7052, 8052, 0};
constexpr int k6053[] = {6053, 4053, 7053, 8053, 0};
constexpr int k6054[] = {6054, 4053, 0};
constexpr int k6055[] = {6055, 4055, 7055, 8055, 0};
// A module without a readable name, and every model whose number ends in 056.
constexpr int k6056[] = {0, MODEL_ENDING_IN(56, 3)};
constexpr int k6060I[] = {6060, 7060};
constexpr int k6060O[] = {6060, 4060, 7060, 8060, 0};
constexpr int k6063[] = {6063, 4063, 7063, 0};
constexpr int k6063I[] = {7063};
constexpr int k6065I[] = {7065};
constexpr int k6065O[] = {7065, 0};
constexpr int k6067[] = {6067, 4067, 7067, 8067, 0};
constexpr int k6751[] = {6751, 4751, 7751, 87051, 0};
constexpr int k6757[] = {6757, 4757, 7757, 87057, 0};
#define MODELS(list) .models = list, .modelCount = static_cast<int>(sizeof list / sizeof list[0])

constexpr int kIn = TEMPLATE_INPUT_FORM;
constexpr int kOut = TEMPLATE_OUTPUT_FORM;

// clang-format off
constexpr DigitalTypeRow kRows[] = {
    // inputs
    {.own = {.type = "ND6041I", .form = kIn, .maxChannels = 14, .channelLimit = 14, .model = 6041,
             MODELS(k6041), .namedChannels = 14, .restartNote = "Restart 6041",
             .dialogTemplate = "DLG_ND6041I", .addSweepRequest = ND6041I_AddRequest, .start = kStopNoReply,
             .anyVersion = 1},
     .helpContext = 1200, .caption = {.xx03 = "XX03-7041-I", .xx06 = "YY06-8041-I", .telv = "ZEMX-7041-I"},
     .steps = &ND6041I_Steps},
    {.own = {.type = "ND6044I", .form = kIn, .maxChannels = 4, .channelLimit = 4, .model = 6044, MODELS(k6044),
             .namedChannels = 4, .restartNote = "Restart 6044", .dialogTemplate = "DLG_ND6044I",
             .addSweepRequest = DigitalAddDiRead, .start = kStopNoReply, .anyVersion = 1},
     .helpContext = 1195, .caption = {.xx03 = "XX03-7044-I", .telv = "ZEMX-7044-I"},
     .steps = &DigitalInput8Steps, .inputWatchdogModel = 7044, .watchdogFamilies = kTelv, .watchdogLines = 2},
    {.own = {.type = "ND6050I", .form = kIn, .maxChannels = 8, .channelLimit = 7, .model = 6050, MODELS(k6050),
             .namedChannels = 8, .restartNote = "Restart 6050", .dialogTemplate = "DLG_ND6050I",
             .addSweepRequest = DigitalAddDiRead, .start = kStopNoReply},
     .helpContext = 1130,
     .caption = {.xx01 = "XX01-4050 Input", .xx03 = "XX03-7050-I", .xx05 = "ZAV-6050 Input", .xx06 = "YY06-8050 Input", .telv = "ZEMX-7050-I"},
     .steps = &DigitalInput8Steps, .inputWatchdogModel = 7050, .watchdogFamilies = kTelv, .watchdogLines = 2},
    {.own = {.type = "ND6052", .form = kIn, .maxChannels = 8, .channelLimit = 8, .model = 6052, MODELS(k6052),
             .namedChannels = 16, .restartNote = "Restart 6052", .dialogTemplate = "DLG_ND6052",
             .defaults = DigitalNamesVinOutsideTelv, .addSweepRequest = DigitalAddDiRead6052,
             .start = kSilentFails},
     .helpContext = 1135,
     .caption = {.xx01 = "XX01-4052", .xx04 = "YY04 PAD-DI8", .xx03 = "XX03-7052", .xx05 = "ZAV-6052", .xx06 = "YY06-8052", .telv = "ZEMX-7052"},
     .steps = &DigitalInput8Steps},
    {.own = {.type = "ND6053", .form = kIn, .maxChannels = 16, .channelLimit = 16, .model = 6053,
             MODELS(k6053), .namedChannels = 16, .restartNote = "Restart 6053",
             .dialogTemplate = "DLG_ND6053", .defaults = DigitalNamesVinOutsideTelv,
             .addSweepRequest = DigitalAddDi16Read, .start = kSilentFails},
     .helpContext = 1160,
     .caption = {.xx01 = "XX01-4053", .xx03 = "XX03-7053-I", .xx05 = "ZAV-6053", .xx06 = "YY06-8053", .telv = "ZEMX-7053-I"},
     .steps = &DigitalInput16Steps},
    {.own = {.type = "ND6054", .form = kIn, .maxChannels = 15, .channelLimit = 15, .model = 6054,
             MODELS(k6054), .namedChannels = 16, .restartNote = "Restart 6054",
             .dialogTemplate = "DLG_ND6054", .defaults = DigitalNamesVin,
             .addSweepRequest = DigitalAddDi16Read, .start = kSilentFails},
     .helpContext = 1165, .caption = {.xx05 = "ZAV-6054"}, .steps = &DigitalInput16Steps},
    {.own = {.type = "ND6055I", .form = kIn, .maxChannels = 8, .channelLimit = 7, .model = 6055, MODELS(k6055),
             .namedChannels = 8, .restartNote = "Restart 6055", .dialogTemplate = "DLG_ND6055I",
             .addSweepRequest = DigitalAddDiRead, .start = kStopNoReply},
     .helpContext = 1137,
     .caption = {.xx01 = "XX01-4055 Input", .xx03 = "XX03-7055-I", .xx05 = "ZAV-6055 Input", .xx06 = "YY06-8055 Input", .telv = "ZEMX-7055-I"},
     .steps = &DigitalInput8Steps, .inputWatchdogModel = 7055, .watchdogFamilies = kTelv, .watchdogLines = 2},
    {.own = {.type = "ND6060I", .form = kIn, .maxChannels = 8, .channelLimit = 4, .model = 6060,
             MODELS(k6060I), .namedChannels = 4, .restartNote = "Restart 6060",
             .dialogTemplate = "DLG_ND6060I", .addSweepRequest = DigitalAddDiRead, .start = kWrongFails},
     .helpContext = 1140,
     .caption = {.xx03 = "XX03-7060 Input", .xx05 = "ZAV-6060 Input", .xx06 = "YY06-8060 Input", .telv = "ZEMX-7060 Input"},
     .steps = &DigitalInput8Steps},
    {.own = {.type = "ND6063I", .form = kIn, .maxChannels = 8, .channelLimit = 4, .model = 6063,
             MODELS(k6063I), .namedChannels = 8, .restartNote = "Restart 6063",
             .dialogTemplate = "DLG_ND6063I", .addSweepRequest = DigitalAddDiRead, .start = kWrongFails},
     .helpContext = 1180, .caption = {.telv = "ZEMX-7063 Input"}, .steps = &DigitalInput8Steps},
    {.own = {.type = "ND6065I", .form = kIn, .maxChannels = 8, .channelLimit = 4, .model = 6065,
             MODELS(k6065I), .namedChannels = 4, .restartNote = "Restart 6065",
             .dialogTemplate = "DLG_ND6065I", .addSweepRequest = DigitalAddDiRead, .start = kWrongFails},
     .helpContext = 1230, .caption = {.telv = "ZEMX-7065 Input"}, .steps = &DigitalInput8Steps},
    {.own = {.type = "ND6751", .form = kIn, .maxChannels = 16, .channelLimit = 16, .model = 6751,
             MODELS(k6751), .namedChannels = 16, .restartNote = "Restart 6751",
             .dialogTemplate = "DLG_ND6751", .defaults = DigitalNamesVinOutsideTelv,
             .addSweepRequest = DigitalAddDi16Read, .start = kSilentFails},
     .helpContext = 1132,
     .caption = {.xx01 = "XX01-4751", .xx03 = "XX03-7751-I", .xx05 = "ZAV-6751", .xx06 = "YY06-8751", .telv = "ZEMX-7751-I"},
     .steps = &DigitalInput16Steps},
    // outputs and relays
    {.own = {.type = "ND6042O", .form = kOut, .maxChannels = 13, .channelLimit = 13, .model = 6150,
             MODELS(k6042), .namedChannels = 13, .restartNote = "Restart 6042",
             .dialogTemplate = "DLG_ND6042O", .addSweepRequest = DigitalAddDo16Write6042O,
             .start = kStopNoReply},
     .helpContext = 1205, .caption = {.xx03 = "XX03-7042-O", .telv = "ZEMX-7042-O"},
     .steps = &DigitalOutput16Steps, .configure = ND6042O_Configure, .watchdogFamilies = kXX03Telv,
     .watchdogLines = 13},
    {.own = {.type = "ND6043O", .form = kOut, .maxChannels = 16, .channelLimit = INT_MAX, .model = 6150,
             MODELS(k6043), .namedChannels = 16, .restartNote = "Restart 6043",
             .dialogTemplate = "DLG_ND6043O", .addSweepRequest = DigitalAddDo16Write, .start = kStopNoReply},
     .helpContext = 1210, .caption = {.xx03 = "XX03-7043-O", .telv = "ZEMX-7043-O"},
     .steps = &DigitalOutput16Steps, .watchdog6000 = 6043, .watchdog7000 = 7043, .watchdogFamilies = kXX03Telv,
     .watchdogLines = 16},
    {.own = {.type = "ND6044O", .form = kOut, .maxChannels = 8, .channelLimit = 8, .model = 6150,
             MODELS(k6044), .namedChannels = 8, .restartNote = "Restart 6044",
             .dialogTemplate = "DLG_ND6044O", .addSweepRequest = DigitalAddDoWrite, .start = kStopNoReply},
     .helpContext = 1195, .caption = {.xx03 = "XX03-7044-O", .telv = "ZEMX-7044-O"},
     .steps = &DigitalOutput8Steps, .watchdog6000 = 6044, .watchdog7000 = 7044, .watchdogFamilies = kXX03Telv,
     .watchdogLines = 8},
    {.own = {.type = "ND6050O", .form = kOut, .maxChannels = 8, .channelLimit = 8, .model = 6150,
             MODELS(k6050), .namedChannels = 8, .restartNote = "Restart 6050",
             .dialogTemplate = "DLG_ND6050O", .addSweepRequest = DigitalAddDoWrite, .start = kStopNoReply},
     .helpContext = 1130,
     .caption = {.xx01 = "XX01-4050 Output", .xx04 = "YY04 PAD-DO7", .xx03 = "XX03-7050-O", .xx05 = "ZAV-6050 Output", .xx06 = "YY06-8050 Output", .telv = "ZEMX-7050-O"},
     .steps = &DigitalOutput8Steps, .watchdog6000 = 6050, .watchdog7000 = 7050,
     .watchdogFamilies = kNDXX03Telv, .watchdogLines = 8, .sevenOutputsInXX04 = 1},
    {.own = {.type = "ND6055O", .form = kOut, .maxChannels = 8, .channelLimit = 8, .model = 6155,
             MODELS(k6055), .namedChannels = 8, .restartNote = "Restart 6055",
             .dialogTemplate = "DLG_ND6055O", .addSweepRequest = DigitalAddDoWrite, .start = kStopNoReply},
     .helpContext = 1137,
     .caption = {.xx01 = "XX01-4055 Output", .xx04 = "YY04 PAD-DO7", .xx03 = "XX03-7055-O", .xx05 = "ZAV-6055 Output", .xx06 = "YY06-8055 Output", .telv = "ZEMX-7055-O"},
     .steps = &DigitalOutput8Steps, .watchdog6000 = 6055, .watchdog7000 = 7055,
     .watchdogFamilies = kNDXX03Telv, .watchdogLines = 8, .sevenOutputsInXX04 = 1},
    {.own = {.type = "ND6056", .form = kOut, .maxChannels = 16, .channelLimit = 15, .model = 6160,
             MODELS(k6056), .namedChannels = 16, .restartNote = "Restart 6056",
             .dialogTemplate = "DLG_ND6056", .addSweepRequest = ND6056_AddRequest, .start = kStop},
     .helpContext = 1170, .caption = {.xx05 = "ZAV-6056 Output"}, .steps = &DigitalOutput16Steps,
     .configure = ND6056_Configure, .watchdogFamilies = kND, .watchdogLines = 15},
    {.own = {.type = "ND6060O", .form = kOut, .maxChannels = 8, .channelLimit = 4, .model = 6160,
             MODELS(k6060O), .namedChannels = 16, .restartNote = "Restart 6060",
             .dialogTemplate = "DLG_ND6060O", .addSweepRequest = DigitalAddDoWriteShown, .start = kSilentAsks},
     .helpContext = 1140,
     .caption = {.xx01 = "XX01-4060 Output", .xx03 = "XX03-7060 Output", .xx05 = "ZAV-6060 Output", .xx06 = "YY06-8060 Output", .telv = "ZEMX-7060 Output"},
     .steps = &DigitalChangeSteps, .configure = ND6060O_Configure, .writesOnChange = 1,
     .watchdogFamilies = kNDXX03Telv, .watchdogLines = 4},
    {.own = {.type = "ND6063", .form = kOut, .maxChannels = 8, .channelLimit = 8, .model = 6063, MODELS(k6063),
             .namedChannels = 8, .restartNote = "Restart 6063", .dialogTemplate = "DLG_ND6063",
             .addSweepRequest = ND6063_AddRequest, .start = kStopNoReply},
     .helpContext = 1180, .caption = {.telv = "ZEM-7063 Output"}, .steps = &DigitalOutput8Steps,
     .configure = ND6063_Configure, .init = ND6063_InitDialog, .command = ND6063_Command},
    {.own = {.type = "ND6065O", .form = kOut, .maxChannels = 8, .channelLimit = 5, .model = 6160,
             MODELS(k6065O), .namedChannels = 16, .restartNote = "Restart 6065",
             .dialogTemplate = "DLG_ND6065O", .addSweepRequest = DigitalAddDoWriteShown, .start = kSilentAsks},
     .helpContext = 1230, .caption = {.telv = "ZEMX-7065 Output"}, .steps = &DigitalChangeSteps,
     .changeSeries = 7000, .writesOnChange = 1, .watchdogFamilies = kNDXX03Telv, .watchdogLines = 5},
    {.own = {.type = "ND6067", .form = kOut, .maxChannels = 7, .channelLimit = 7, .model = 6067, MODELS(k6067),
             .namedChannels = 7, .restartNote = "Restart 6067", .dialogTemplate = "DLG_ND6067O",
             .addSweepRequest = DigitalAddDoWrite, .start = kStopNoReply},
     .helpContext = 1215,
     .caption = {.xx03 = "XX03-7067-O", .xx06 = "YY06-8067 Output", .telv = "ZEMX-7067-O"},
     .steps = &DigitalOutput8Steps, .configure = ND6067_Configure, .watchdogFamilies = kXX03Telv,
     .watchdogLines = 7, .hostNamedChannels = 7},
    {.own = {.type = "ND6757O", .form = kOut, .maxChannels = 16, .channelLimit = INT_MAX, .model = 6150,
             MODELS(k6757), .namedChannels = 16, .restartNote = "Restart 6757",
             .dialogTemplate = "DLG_ND6757O", .addSweepRequest = DigitalAddDo16Write, .start = kStopNoReply},
     .helpContext = 1231, .caption = {.xx03 = "XX03-7757-O", .telv = "ZEMX-87057-O"},
     .steps = &DigitalOutput16Steps, .watchdog6000 = 6757, .watchdog7000 = 7757, .watchdogFamilies = kXX03Telv,
     .watchdogLines = 16},
};
// clang-format on
#undef MODELS

constexpr int SameText(const char* a, const char* b) {
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return *a == *b;
}

static_assert(sizeof kRows / sizeof kRows[0] == DIGITAL_TYPE_COUNT, "a row a type");
#define DIGITAL_ROW_IN_PLACE(T)                                                                    \
    static_assert(SameText(kRows[DIGITAL_##T].own.type, #T), "the rows stand in the list's "       \
                                                             "order");
DIGITAL_TYPES(DIGITAL_ROW_IN_PLACE)
#undef DIGITAL_ROW_IN_PLACE

// The descriptor of a row. The input types that set up their module's
// watchdog store its rows twice and keep the port's keep-alive at the idle
// turns in the family TELV, where they set it up; the output types keep it
// in every family, and a stop of an output type disarms every port's
// keep-alive. One request serves all lines.
constexpr TemplateType Descriptor(const DigitalTypeRow& r, DLGPROC setupDlgProc) {
    TemplateType t = r.own;
    const int output = t.form == TEMPLATE_OUTPUT_FORM;
    t.nameFormat = output ? "DO %d" : "DI %d";
    t.unit = "V";
    t.schema = r.inputWatchdogModel ? DigitalParamSchemaWatchdog : DigitalParamSchema;
    t.addressOffset = offsetof(DigitalParam, Module_Address);
    t.maskOffset = offsetof(DigitalParam, Channel_Mask);
    t.comOffset = offsetof(DigitalParam, Com);
    t.messOffset = offsetof(DigitalParam, Mess);
    t.unitOffset = offsetof(DigitalParam, Unit);
    t.copyOffset = offsetof(DigitalParam, Copy_Channel_Name);
    t.setupDlgProc = setupDlgProc;
    t.watchdogTick = output                 ? TEMPLATE_TICK_ALWAYS
                     : r.inputWatchdogModel ? TEMPLATE_TICK_TELV
                                            : TEMPLATE_TICK_NONE;
    t.watchdogResetAtStop = output;
    return t;
}

// The type's own configuration step where it has one, else the module's
// watchdog by the row's models or series; nothing to do without either.
// The choice is made here rather than in the constant descriptors: whether
// a function's address is null is not a constant in every build.
// A row as the steps read it when they run.
const DigitalTypeRow& RowOf(int i) {
    return kRows[i];
}

template <int I> int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    const DigitalTypeRow& r = RowOf(I);
    if (r.configure) return r.configure(module, type, model);
    if (r.inputWatchdogModel)
        return DigitalInputWatchdog(module, type, model, r.inputWatchdogModel);
    if (r.changeSeries) return DigitalChangeWatchdog(module, type, r.changeSeries);
    if (r.watchdog6000 || r.watchdog7000)
        return DigitalOutputWatchdog(module, type, model, r.watchdog6000, r.watchdog7000, nullptr);
    return 1;
}

template <int I> constexpr TemplateStartSteps StartSteps() {
    return TemplateStartSteps{
        .configure = Configure<I>,
        .finish = kRows[I].writesOnChange ? DigitalChangeStart : nullptr,
    };
}

// The type's own dialog steps where it has them, else the watchdog button
// where the row names its families.
template <int I> void InitDialog(HWND dialog, void* work) {
    const DigitalTypeRow& r = RowOf(I);
    if (r.init) return r.init(dialog, work);
    if (!r.watchdogFamilies) return;
    DigitalShowWatchdogButton(dialog, r.watchdogFamilies);
    if (r.sevenOutputsInXX04 && FAMILY_XX04) DigitalHideChannel(dialog, 7, IDC_DIGITAL_LABEL7);
}

template <int I> int Command(HWND dialog, void* work, int id, int code) {
    const DigitalTypeRow& r = RowOf(I);
    if (r.command) return r.command(dialog, work, id, code);
    if (!r.watchdogFamilies) return 0;
    return DigitalWatchdogButton(dialog, work, id, code, r.watchdogLines);
}

// The dialog of a row: a channel button a line, the watchdog button where
// the row names its families.
template <int I> constexpr SetupDialogType Dialog(const TemplateType* type) {
    const DigitalTypeRow& r = kRows[I];
    const DigitalCaptions& c = r.caption;
    return SetupDialogType{
        type,
        sizeof(DigitalParam),
        r.own.maxChannels,
        r.helpContext,
        {c.nd, c.xx01, c.xx04, c.xx03, c.xx05, c.xx06, c.telv},
        {0, 0, 0, 0},
        InitDialog<I>,
        Command<I>,
        nullptr,
        nullptr,
    };
}

#define DIGITAL_DESCRIPTOR(T) Descriptor(kRows[DIGITAL_##T], T##_SetupDlgProc),
constexpr TemplateType kTypes[] = {DIGITAL_TYPES(DIGITAL_DESCRIPTOR)};
#undef DIGITAL_DESCRIPTOR

#define DIGITAL_START_STEPS(T) StartSteps<DIGITAL_##T>(),
constexpr TemplateStartSteps kStartSteps[] = {DIGITAL_TYPES(DIGITAL_START_STEPS)};
#undef DIGITAL_START_STEPS

#define DIGITAL_DIALOG(T) Dialog<DIGITAL_##T>(&kTypes[DIGITAL_##T]),
constexpr SetupDialogType kDialogs[] = {DIGITAL_TYPES(DIGITAL_DIALOG)};
#undef DIGITAL_DIALOG

// The template's class procedure with the row's start steps. A type whose
// host-named channels are fewer than its lines leaves the names of the
// others and their copy flags to the host's default action.
int ClassProc(int i, ModuleRecord* module, int msg, int wParam, int lParam) {
    const int named = kRows[i].hostNamedChannels;
    if (named && msg == MODMSG_INPUT_NAME && (wParam < 0 || wParam >= named))
        return PerformDefaultAction(module, msg, wParam, lParam);
    if (named && msg == MODMSG_SET_NAME_COPY) {
        for (int c = 0; c < named; c++)
            DigitalParamOf(module)->Copy_Channel_Name[c] = wParam;
        return PerformDefaultAction(module, msg, wParam, lParam);
    }
    if (msg == MODMSG_START)
        return TemplateStartMeasurementWith(&kTypes[i], module, &kStartSteps[i]);
    return TemplateClassProc(&kTypes[i], module, msg, wParam, lParam);
}

} // namespace

#define DIGITAL_PROCS(T)                                                                           \
    BLOCK_TYPE_PROCS(T, SetupDialogProc(&kDialogs[DIGITAL_##T], dialog, msg, wParam, lParam),      \
                     ClassProc(DIGITAL_##T, module, msg, wParam, lParam),                          \
                     TemplateProcessSweep(&kTypes[DIGITAL_##T], module, kRows[DIGITAL_##T].steps))
DIGITAL_TYPES(DIGITAL_PROCS)
#undef DIGITAL_PROCS
