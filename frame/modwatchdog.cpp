// The modules' own output watchdogs: the set-up sequences of both module
// series.
#include "frame/modwatchdog.h"
#include "frame/fields.h"
#include "frame/start.h"
#include "serial/modtable.h"
#include "serial/watchdog.h"

#include "resource.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

int SendStep(const TemplateType* type, ModuleRecord* module, int checksum,
             const WatchdogStep& step) {
    char text[TEMPLATE_QUERY_SIZE];
    memcpy(text, step.text, sizeof text);
    text[sizeof text - 1] = 0;
    if (text[0] == 0) return TemplateStepFailed(module, IDS_COMM_PROBLEM);
    return TemplateSendAndExpect(type, module, text, step.expected, checksum, step.waitMs);
}

int FormatStep(WatchdogStep* step, char expected, int waitMs, const char* format, va_list args) {
    step->expected = expected;
    step->waitMs = waitMs;
    int n = vsnprintf(step->text, sizeof step->text, format, args);
    if (n < 0 || n >= static_cast<int>(sizeof step->text)) {
        // Cut short, it would tell the module something else: send nothing.
        step->text[0] = 0;
        return 0;
    }
    return 1;
}

// A block of a type with a module watchdog, in the worksheet.
struct Noted {
    ModuleRecord* module;
    const TemplateType* type;
    int armedPort; // the port its start armed, 0 for none
};
Noted noted[MODULE_TABLE_SIZE];
int notedCount;

Noted* Find(const ModuleRecord* module) {
    for (int i = 0; i < notedCount; i++)
        if (noted[i].module == module) return &noted[i];
    return nullptr;
}

int Rank(const TemplateType* type) {
    return type->form == TEMPLATE_OUTPUT_FORM ? 2 : 1;
}

int Arm(const TemplateType* type, ModuleRecord* module, const MessParam* watch) {
    int port = TemplateCom(module, type)->Port_Number;
    if (WatchdogArm(port, watch)) {
        Noted* n = Find(module);
        if (n) n->armedPort = port;
    }
    return 1;
}

} // namespace

void ModuleWatchdogEnter(const TemplateType* type, ModuleRecord* module) {
    if (!type || !module || Find(module) || notedCount >= MODULE_TABLE_SIZE) return;
    noted[notedCount++] = Noted{module, type, 0};
}

void ModuleWatchdogLeave(ModuleRecord* module) {
    Noted* n = Find(module);
    if (!n) return;
    int at = static_cast<int>(n - noted);
    for (int i = at; i + 1 < notedCount; i++)
        noted[i] = noted[i + 1];
    notedCount--;
}

int ModuleWatchdogOwner(const TemplateType* type, ModuleRecord* module, int address) {
    const Noted* self = Find(module);
    if (!self) return 1;
    int port = TemplateCom(module, type)->Port_Number;
    for (int i = 0; i < notedCount; i++) {
        const Noted& other = noted[i];
        if (other.module == module || !other.module->pParam) continue;
        if (TemplateCom(other.module, other.type)->Port_Number != port ||
            (*TemplateAddress(other.module, other.type) & 0xFF) != (address & 0xFF))
            continue;
        int rank = Rank(other.type);
        if (rank > Rank(type) || (rank == Rank(type) && &other < self)) return 0;
    }
    return 1;
}

void ModuleWatchdogStopped(ModuleRecord* module) {
    Noted* n = Find(module);
    if (!n || !n->armedPort) return;
    WatchdogDisarm(n->armedPort);
    n->armedPort = 0;
}

int WatchdogTimeoutCode(int seconds, int unitMs) {
    if (unitMs <= 0) return 255;
    long long t = static_cast<long long>(seconds) * 1000 / unitMs;
    if (t >= 255) return 255;
    if (t <= 1) return 1;
    return static_cast<int>(t);
}

int WatchdogStepFormat(WatchdogStep* step, char expected, int waitMs, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int ok = FormatStep(step, expected, waitMs, format, args);
    va_end(args);
    return ok;
}

int WatchdogCommand(const TemplateType* type, ModuleRecord* module, int checksum, char expected,
                    int waitMs, const char* format, ...) {
    WatchdogStep step;
    va_list args;
    va_start(args, format);
    FormatStep(&step, expected, waitMs, format, args);
    va_end(args);
    return SendStep(type, module, checksum, step);
}

int Watchdog6000Code(const TemplateType* type, ModuleRecord* module, int checksum, int address,
                     int seconds, int* code) {
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02XF", address & 0xFF);
    if (!TemplateSendAndExpect(type, module, text, '!', checksum, 0)) return 0;
    *code = WatchdogTimeoutCode(seconds, text[4] == '1' ? 53 : 100);
    return 1;
}

int ModuleWatchdog6000(const TemplateType* type, ModuleRecord* module, int checksum, int address,
                       const MessParam* watch, const char* onSafe, int onWaitMs,
                       const char* offTail, int offWaitMs) {
    const int a = address & 0xFF;
    if (!ModuleWatchdogOwner(type, module, a)) return 1;
    if (!watch->Watchdog_On)
        return WatchdogCommand(type, module, checksum, '!', offWaitMs, "~%02X20%s", a,
                               offTail ? offTail : "");
    Arm(type, module, watch);
    int code = 0;
    if (!Watchdog6000Code(type, module, checksum, a, watch->Watchdog_Time, &code)) return 0;
    return WatchdogCommand(type, module, checksum, '!', onWaitMs, "~%02X21%02X%s", a, code,
                           onSafe ? onSafe : "");
}

int ModuleWatchdog7000(const TemplateType* type, ModuleRecord* module, int checksum, int address,
                       const MessParam* watch, int flags, const WatchdogStep* safe, int safeCount,
                       int offWaitMs) {
    const int a = address & 0xFF;
    if (!ModuleWatchdogOwner(type, module, a)) return 1;
    if ((flags & WATCHDOG7_CLEAR_FIRST) &&
        !WatchdogCommand(type, module, checksum, '!', 0, "~%02X1", a)) {
        return 0;
    }
    if (!watch->Watchdog_On)
        return WatchdogCommand(type, module, checksum, '!', offWaitMs, "~%02X3000", a);
    Arm(type, module, watch);
    const int code = WatchdogTimeoutCode(watch->Watchdog_Time, 100);
    if ((flags & WATCHDOG7_TIMEOUT_FIRST) &&
        !WatchdogCommand(type, module, checksum, '!', 0, "~%02X31%02X", a, code)) {
        return 0;
    }
    for (int i = 0; i < safeCount; i++)
        if (!SendStep(type, module, checksum, safe[i])) return 0;
    if (!(flags & WATCHDOG7_TIMEOUT_FIRST))
        return WatchdogCommand(type, module, checksum, '!', 0, "~%02X31%02X", a, code);
    return 1;
}
