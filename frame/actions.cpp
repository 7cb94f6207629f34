// Host actions: the queue, the answers to the host's action messages and
// the sending of queued actions.
#include "frame/actions.h"

#include "host/driver.h"
#include "host/host.h"
#include "serial/sercomm.h"

#include <stdio.h>
#include <string.h>

namespace {

// Room for a command and for the longest reply a query takes.
const int kQuerySize = 400;

int Valid(const ActionQueue* q) {
    return q->Queue_Count >= 0 && q->Queue_Count <= ACTION_QUEUE_SLOTS && q->Queue_Read >= 0 &&
           q->Queue_Read < ACTION_QUEUE_SLOTS && q->Queue_Write >= 0 &&
           q->Queue_Write < ACTION_QUEUE_SLOTS;
}

int NextSlot(int slot) {
    return slot + 1 < ACTION_QUEUE_SLOTS ? slot + 1 : 0;
}

} // namespace

void ActionQueueClear(ActionQueue* queue) {
    if (queue) memset(queue, 0, sizeof *queue);
}

int ActionQueuePut(ActionQueue* queue, int code) {
    if (!queue) return 0;
    if (!Valid(queue)) ActionQueueClear(queue);
    if (queue->Queue_Count >= ACTION_QUEUE_SLOTS) return 0;
    queue->Action_Queue[queue->Queue_Write] = code;
    queue->Queue_Write = NextSlot(queue->Queue_Write);
    queue->Queue_Count++;
    return 1;
}

int ActionQueueTake(ActionQueue* queue, int* code) {
    if (!queue) return 0;
    if (!Valid(queue)) ActionQueueClear(queue);
    if (queue->Queue_Count <= 0) return 0;
    *code = queue->Action_Queue[queue->Queue_Read];
    queue->Queue_Read = NextSlot(queue->Queue_Read);
    queue->Queue_Count--;
    return 1;
}

const ActionDef* ActionFind(const ActionDef* defs, int count, int type) {
    for (int i = 0; defs && i < count; i++)
        if (defs[i].type == type) return &defs[i];
    return nullptr;
}

int ActionQuery(const ActionDef* defs, int count, int msg, const ActionRequest* request) {
    if (msg != MODMSG_ACTION_SUPPORTED || !request) return 0;
    return request->iActionType == 0 || ActionFind(defs, count, request->iActionType) ? 1 : 0;
}

int ActionDescribe(const ActionDef* defs, int count, ActionInfo* info) {
    if (!info) return 0;
    const ActionDef* def = ActionFind(defs, count, info->iActionType);
    if (!def) return 0;
    info->hInstance = hInstDriver;
    // The name in its 20 characters, the rest of the field zero; a longer
    // name is cut there. The word behind the field is 0, so a name of 20
    // characters ends there.
    memset(info->szActionName, 0, sizeof info->szActionName);
    size_t length = strlen(def->name);
    if (length > ACTION_NAME_CHARS) length = ACTION_NAME_CHARS;
    memcpy(info->szActionName, def->name, length);
    info->dwReserved1C = 0;
    info->uActionStringId = def->stringId;
    info->dwReserved24 = 0;
    info->dwReserved34 = 0;
    return 1;
}

int ActionAccept(ActionQueue* queue, int code) {
    return ActionQueuePut(queue, code);
}

int SendQueuedActions(ModuleRecord* module, ActionQueue* queue, const ActionTarget* target,
                      ActionCommandsProc commands) {
    int code = 0;
    while (ActionQueueTake(queue, &code)) {
        char lines[ACTION_COMMANDS_MAX][ACTION_COMMAND_CHARS + 1];
        int n = commands ? commands(module, code, lines) : 0;
        for (int i = 0; i < n && i < ACTION_COMMANDS_MAX; i++) {
            char text[kQuerySize];
            snprintf(text, sizeof text, "%.*s", ACTION_COMMAND_CHARS, lines[i]);
            double begun = CurrentExperimentTime(1);
            int result = QueryCom(target->port, text, sizeof text, target->checksum, 0);
            if (result == COM_OK && text[0] == '!') continue;
            if (PollQueryFailed(target->poll, target->port, target->address, result, begun) ==
                POLL_STOPPED) {
                ActionQueueClear(queue);
                return 0;
            }
        }
    }
    return 1;
}
