// Host actions of a block: the types that offer them announce them, check a
// triggered action's condition and queue its code in three slots of the
// block's runtime record; the block sends the queued codes to its module at
// its next idle turn with blocking queries, and a failed one goes through
// the block's error policy.
#ifndef TELVIO_FRAME_ACTIONS_H
#define TELVIO_FRAME_ACTIONS_H

#include "frame/poll.h"
#include "host/records.h"

#include <stddef.h>

#define ACTION_QUEUE_SLOTS 3

// The queue of a block's runtime record. Codes are taken oldest first;
// Queue_Read and Queue_Write stay in 0..2 and wrap from 2 to 0.
struct ActionQueue {
    int Action_Queue[ACTION_QUEUE_SLOTS];
    int Queue_Count; // 0..3
    int Queue_Read;  // slot of the oldest code
    int Queue_Write; // slot of the next code
};
static_assert(sizeof(ActionQueue) == 24, "ActionQueue is 24 bytes");
static_assert(offsetof(ActionQueue, Action_Queue) == 0, "Action_Queue");
static_assert(offsetof(ActionQueue, Queue_Count) == 12, "Queue_Count");
static_assert(offsetof(ActionQueue, Queue_Read) == 16, "Queue_Read");
static_assert(offsetof(ActionQueue, Queue_Write) == 20, "Queue_Write");

// Empties the queue: when a block is created or loaded. A start keeps it:
// what was queued while no experiment ran goes out at the block's first idle
// turn.
void ActionQueueClear(ActionQueue* queue);
// Appends a code; 0 when the queue is full (the code is dropped).
int ActionQueuePut(ActionQueue* queue, int code);
// Takes the oldest code into *code; 0 when the queue is empty. A queue whose
// count or slots are out of their ranges is emptied, never indexed.
int ActionQueueTake(ActionQueue* queue, int* code);

// The longest persistent name: the field holds 20 characters, and a name
// of 20 ends at the zero word behind it; a longer one is cut to 20.
#define ACTION_NAME_CHARS 20

// An action a type offers.
struct ActionDef {
    int type; // the host's action type
    const char* name;
    UINT stringId; // its display text
};

// The offered action of a type; null when the type offers none of it.
const ActionDef* ActionFind(const ActionDef* defs, int count, int type);
// MODMSG_ACTION_SUPPORTED: 1 for type 0 and every offered type;
// MODMSG_ACTION119: 0.
int ActionQuery(const ActionDef* defs, int count, int msg, const ActionRequest* request);
// MODMSG_ACTION_DESCRIBE: fills the record of an offered type and answers 1;
// 0 and nothing written otherwise.
int ActionDescribe(const ActionDef* defs, int count, ActionInfo* info);

// MODMSG_ACTION_PERFORM of an offered action whose condition holds, whether
// or not an experiment runs: 1 when its code was queued, 0 when the queue is
// full (the action is dropped, not reported as taken); the caller applies the
// action's effect only after 1.
int ActionAccept(ActionQueue* queue, int code);

// The commands one queued code sends (at most ACTION_COMMANDS_MAX, each at
// most ACTION_COMMAND_CHARS characters); the count.
#define ACTION_COMMANDS_MAX 2
#define ACTION_COMMAND_CHARS 23
typedef int (*ActionCommandsProc)(ModuleRecord* module, int code,
                                  char commands[ACTION_COMMANDS_MAX][ACTION_COMMAND_CHARS + 1]);

// Where a block's actions go, and the block under its poll policy.
struct ActionTarget {
    int port;
    int address;
    int checksum;
    const PollBlock* poll;
};

// Sends every queued code, oldest first, each command with a blocking query
// whose reply must begin with '!'. A command that fails is reported with its
// own error text through the block's poll policy, and the next is sent;
// once the policy has stopped the experiment nothing more is sent, the queue
// is emptied and the answer is 0. Otherwise 1.
int SendQueuedActions(ModuleRecord* module, ActionQueue* queue, const ActionTarget* target,
                      ActionCommandsProc commands);

#endif
