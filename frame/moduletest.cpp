// The module test, the probes and the small helpers around them.
#include "frame/moduletest.h"
#include "host/driver.h"
#include "host/host.h"
#include "serial/sercomm.h"

#include "resource.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The host's channel table lies in its packed record, not always at an
// address an int may be stored at: each number is copied in byte by byte.
void ChannelsFromMask(void* channels, UINT count, WORD mask) {
    if (count > 16) count = 16;
    int bit = 0;
    for (UINT j = 0; j < count; j++) {
        while (bit < 15 && !(mask & (1u << bit)))
            bit++;
        int channel = bit + 1;
        memcpy(static_cast<BYTE*>(channels) + j * sizeof channel, &channel, sizeof channel);
        bit++;
    }
}

void LoadText(UINT id, char* buffer, int size) {
    if (LoadStringA(hInstDriver, id, buffer, size) <= 0) buffer[0] = 0;
}

// One blocking query of a fresh copy of the command.
int Query(int port, const char* command, char* buffer, int size, int checksum) {
    snprintf(buffer, static_cast<size_t>(size), "%s", command);
    return QueryCom(port, buffer, size, checksum, 0);
}

// A query of the probe; notes in *unreadable a reply that came but could not
// be read: a line too long for the buffer (what came of it is left there) or
// one whose checksum fails.
int ProbeQuery(int port, const char* command, char* reply, int size, int checksum,
               int* unreadable) {
    int result = Query(port, command, reply, size, checksum);
    // Another module's answer is none from this one.
    if ((result == COM_OK || result == COM_CHECKSUM) && !ReplyFromAddress(command, reply)) {
        reply[0] = 0;
        return COM_FAILED;
    }
    if (result == COM_CHECKSUM || (result == COM_FAILED && reply[0] != 0)) *unreadable = 1;
    return result;
}

} // namespace

int ReplyAddressOf(const char* command) {
    if (command == nullptr || strlen(command) < 4) return -1;
    BYTE address = 0;
    size_t length = strlen(command);
    if (command[0] == '%') return ParseHexByteAt(command, length, 3, &address) ? address : -1;
    if (command[0] != '$' || !strchr("2MF", command[3]) || command[4]) return -1;
    return ParseHexByteAt(command, length, 1, &address) ? address : -1;
}

int ReplyFromAddress(const char* command, const char* reply) {
    int address = ReplyAddressOf(command);
    if (address < 0 || reply == nullptr || (reply[0] != '!' && reply[0] != '?')) return 1;
    BYTE answered = 0;
    return ParseHexByteAt(reply, strlen(reply), 1, &answered) && answered == address;
}

void SetInputChannelsFromMask(ModuleRecord* module, WORD mask) {
    if (module) ChannelsFromMask(module->aiInputChannel, module->uInputs, mask);
}

void SetOutputChannelsFromMask(ModuleRecord* module, WORD mask) {
    if (module) ChannelsFromMask(module->aiOutputChannel, module->uOutputs, mask);
}

int ProbeChecksum(int port, int address) {
    char command[8];
    snprintf(command, sizeof command, "$%02X2", address & 0xFF);
    char reply[20];
    int unreadable = 0;
    int result = ProbeQuery(port, command, reply, sizeof reply, 0, &unreadable);
    if (result != COM_OK) result = ProbeQuery(port, command, reply, sizeof reply, 0, &unreadable);
    if (result == COM_OK && reply[0] != '?') return PROBE_PLAIN;
    result = ProbeQuery(port, command, reply, sizeof reply, 1, &unreadable);
    if (result != COM_OK) result = ProbeQuery(port, command, reply, sizeof reply, 1, &unreadable);
    if (result == COM_OK) return PROBE_CHECKSUMS;
    return unreadable ? PROBE_UNREADABLE : PROBE_NO_REPLY;
}

int ReadModuleName(int port, int address, int checksum) {
    char command[8];
    snprintf(command, sizeof command, "$%02XM", address & 0xFF);
    char reply[30];
    // Only a clean reply names the model: a checksum error is no number.
    if (!ReplyMatches(reply, Query(port, command, reply, sizeof reply, checksum), '!')) return 0;
    if (!ReplyFromAddress(command, reply)) return -1;
    reply[8] = 0;
    if (strlen(reply) < 4) return 0;
    int model = atoi(reply + 3);
    return model > 99999 ? -2 : model;
}

int ModelAccepted(const int* models, int count, int model) {
    for (int i = 0; models && i < count; i++) {
        int m = models[i];
        if (m == model) return 1;
        if (m < MODEL_ENDING_IN(0, 2) || model <= 0) continue;
        int digits = m / 100000;
        int modulo = digits == 2 ? 100 : digits == 3 ? 1000 : 0;
        if (modulo && model % modulo == m % 100000) return 1;
    }
    return 0;
}

int TestModule(int port, int address, const int* models, int count) {
    if (bExperimentIsRunning) return 0;
    if (port < 1 || port > 16) {
        ShowWarningById(" ?", IDS_TEST_BAD_PORT);
        return 0;
    }
    if (address < MinModuleAddress) {
        ShowWarningById(" ?", IDS_TEST_BAD_ADDRESS);
        return 0;
    }
    BeginWaitCursor();
    char format[64];
    LoadText(IDS_TEST_CAPTION, format, sizeof format);
    char caption[96];
    snprintf(caption, sizeof caption, format, port, address);
    if (!OpenCom(port, caption)) {
        EndWaitCursor();
        return 0;
    }
    int probe = ProbeChecksum(port, address);
    char text[320];
    if (probe != PROBE_CHECKSUMS && probe != PROBE_PLAIN) {
        CloseCom(port);
        EndWaitCursor();
        LoadText(probe == PROBE_UNREADABLE ? IDS_REPLY_UNREADABLE : IDS_TEST_NO_REPLY, text,
                 sizeof text);
        MessageBoxA(GetActiveWindow(), text, caption, MB_OK | MB_ICONERROR);
        return 0;
    }
    int model = ReadModuleName(port, address, probe == PROBE_CHECKSUMS);
    CloseCom(port);

    // The same acceptance as the start of the type: a model the start would
    // refuse is never reported as okay.
    UINT id;
    UINT icon = MB_ICONERROR;
    int okay = 0;
    if (model == 0 && ModelAccepted(models, count, model)) {
        id = IDS_TEST_UNKNOWN;
        icon = MB_ICONINFORMATION;
    } else if (model == 0) {
        // The module names no model, and the type's start takes none such.
        id = IDS_WRONG_MODULE;
    } else if (ModelAccepted(models, count, model)) {
        id = IDS_TEST_OKAY;
        icon = MB_ICONINFORMATION;
        okay = 1;
    } else if (model < 0) {
        id = model == -2 ? IDS_USES_CHECKSUMS : IDS_TEST_NO_REPLY;
    } else {
        id = IDS_TEST_WRONG_TYPE;
    }
    char textFormat[250];
    LoadText(id, textFormat, sizeof textFormat);
    snprintf(text, sizeof text, textFormat, model);
    if (id == IDS_TEST_OKAY || id == IDS_TEST_UNKNOWN) {
        char line[80];
        LoadText(probe == PROBE_CHECKSUMS ? IDS_TEST_WITH_CHECKSUMS : IDS_TEST_NO_CHECKSUMS, line,
                 sizeof line);
        size_t used = strlen(text);
        snprintf(text + used, sizeof text - used, "\n%s", line);
    }
    MessageBoxA(GetActiveWindow(), text, caption, MB_OK | icon);
    EndWaitCursor();
    return okay;
}
