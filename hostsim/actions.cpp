// The host's side of the actions a block offers: asking whether it offers
// one, its description, and performing it with an argument.
#include "hostsim/internal.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace hostsim {

namespace {

// The host's action record, larger than the part the plug-in fills.
const size_t kRecordSize = 0x40;
const unsigned char kFill = 0xA5;

// Offsets in ActionInfo.
const size_t kName = 0x08;
const size_t kNameRoom = 0x20 - kName;
const size_t kHostBytes = 0x28;
const size_t kHostBytesEnd = 0x34;
const size_t kFilledEnd = 0x38;

DWORD Word(const unsigned char* record, size_t at) {
    DWORD w;
    memcpy(&w, record + at, sizeof w);
    return w;
}

bool Kept(const unsigned char* record, size_t from, size_t to) {
    for (size_t i = from; i < to; i++)
        if (record[i] != kFill) return false;
    return true;
}

} // namespace

int ActionSupported(Block* block, int actionType) {
    ActionRequest request = {actionType};
    return SendClassMessage(block, MODMSG_ACTION_SUPPORTED, 0,
                            static_cast<int>(reinterpret_cast<uintptr_t>(&request)));
}

int DescribeAction(Block* block, int actionType, ActionDescription* out) {
    unsigned char record[kRecordSize];
    memset(record, kFill, sizeof record);
    ActionInfo* info = reinterpret_cast<ActionInfo*>(record);
    info->iActionType = actionType;
    int answer = SendClassMessage(block, MODMSG_ACTION_DESCRIBE, 0,
                                  static_cast<int>(reinterpret_cast<uintptr_t>(record)));
    if (out == nullptr) return answer;
    *out = ActionDescription();
    out->untouched = Kept(record, 0, offsetof(ActionInfo, iActionType)) &&
                     Kept(record, offsetof(ActionInfo, iActionType) + sizeof(int), kRecordSize);
    out->othersKept =
        Kept(record, kHostBytes, kHostBytesEnd) && Kept(record, kFilledEnd, kRecordSize);
    out->instance = info->hInstance;
    const char* name = reinterpret_cast<const char*>(record + kName);
    out->name.assign(name, strnlen(name, kNameRoom));
    out->stringId = info->uActionStringId;
    out->word1C = Word(record, offsetof(ActionInfo, dwReserved1C));
    out->word24 = Word(record, offsetof(ActionInfo, dwReserved24));
    out->word34 = Word(record, offsetof(ActionInfo, dwReserved34));
    if (answer == 1 && !out->untouched) {
        char text[256];
        if (LoadStringA(info->hInstance, info->uActionStringId, text, sizeof text) > 0)
            out->text = text;
    }
    return answer;
}

int PerformAction(Block* block, int actionType, int argument) {
    ActionRequest request = {actionType};
    return SendClassMessage(block, MODMSG_ACTION_PERFORM, argument,
                            static_cast<int>(reinterpret_cast<uintptr_t>(&request)));
}

} // namespace hostsim
