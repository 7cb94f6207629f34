// The setup dialog every block type shares: the working copy of the block's
// parameter record, the block name and description, the port and address
// boxes, the module test, the measurement settings, the channel bar with its
// selection and range gestures, the copy of a channel's name to the other
// channels in use, help, OK and Cancel. A type's dialog procedure hands every
// message to SetupDialogProc with its SetupDialogType, which names the type's
// own controls and steps.
//
// One setup dialog is open at a time; its state is driver-wide.
#ifndef TELVIO_FRAME_SETUPDLG_H
#define TELVIO_FRAME_SETUPDLG_H

#include "host/registration.h"
#include "frame/template.h"

#include <windows.h>

// Messages the host sends to the open setup dialog.
#define DLGMSG_COPY_NAME_FOCUSED 1031 // copy what the last focused field holds
#define DLGMSG_COPY_NAME_ALL 1032     // copy the current channel's name

// Longest texts the dialog takes.
#define SETUP_NAME_CHARS 12
#define SETUP_DESCRIPTION_CHARS 40
#define SETUP_CHANNEL_NAME_CHARS 20
#define SETUP_UNIT_CHARS 63

#define SETUP_LOCKED_MAX 4

// What a type adds to the shared dialog. Every hook may be null; `work` is
// the working copy of the parameter record.
struct SetupDialogType {
    const TemplateType* type; // record layout, form
    int paramSize;            // bytes of the parameter record
    int buttons;              // channel buttons (MaxChannels), at most 16
    DWORD helpContext;        // the type's own help topic
    // Caption by family (FamilyIndex); null keeps the template's.
    const char* caption[FAMILY_INDEX_COUNT];
    // The type's own controls disabled while an experiment runs; 0 ends.
    int locked[SETUP_LOCKED_MAX];
    // The type's own boxes, filled when the dialog starts.
    void (*init)(HWND dialog, void* work);
    // The type's own commands: 1 when handled (the dialog answers TRUE).
    // OK is offered first, before the dialog stores and closes.
    int (*command)(HWND dialog, void* work, int id, int code);
    // The type's own per-channel fields of channel `ch` (0..15).
    void (*storeChannel)(HWND dialog, void* work, int ch);
    void (*showChannel)(HWND dialog, void* work, int ch);
    // 1: a double click on a channel button only brings that channel into
    // use (a right one takes it out), Ctrl held or not.
    int plainDoubleClicks = 0;
    // The type's own per-channel fields while no channel is current.
    void (*showNoChannel)(HWND dialog, void* work) = nullptr;
};

// The setup dialog of a type by its channel buttons, help topic and captions
// by family (null keeps the template's), with no controls or roles of its
// own; a type that has some sets them on the result.
constexpr SetupDialogType SetupDialogOf(const TemplateType* type, int paramSize, int buttons,
                                        DWORD helpContext, const char* const* caption) {
    SetupDialogType d = {type,         paramSize, buttons, helpContext, {},
                         {0, 0, 0, 0}, nullptr,   nullptr, nullptr,     nullptr};
    for (int f = 0; f < FAMILY_INDEX_COUNT; f++)
        d.caption[f] = caption[f];
    return d;
}

// Id of the control that last reported EN_SETFOCUS, IDC_CHANNEL_FIRST after
// a channel-button action, IDC_SETUP_COPY_NAME after a click on the copy
// check box, 0 after Help and when a dialog starts.
extern int LastFocusId;

// The dialog procedure of every setup dialog, on the type's values.
INT_PTR SetupDialogProc(const SetupDialogType* dialogType, HWND dialog, UINT msg, WPARAM wParam,
                        LPARAM lParam);

// The type of the dialog that is open; null when none is.
const TemplateType* SetupDialogTemplateType();

// The fields of channel `ch` of the open dialog: the name, the unit and the
// type's own. In the output types with the copy check box the box shows the
// channel's copy flag (checked while the channel keeps a name of its own, a
// click turns the flag over) and a channel that takes the name of what
// feeds it keeps that name. Nothing for a channel outside 0..15.
void SetupStoreChannelFields(HWND dialog, int ch);
void SetupShowChannelFields(HWND dialog, int ch);

#endif
