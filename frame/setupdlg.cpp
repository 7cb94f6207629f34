// The setup dialog every block type shares.
#include "frame/setupdlg.h"

#include "frame/chanbar.h"
#include "frame/fields.h"
#include "host/driver.h"
#include "host/host.h"
#include "frame/messparam.h"
#include "frame/moduletest.h"
#include "host/numbers.h"
#include "host/registration.h"
#include "resource.h"
#include "serial/ports.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <ctype.h>

int LastFocusId;

namespace {

// Help topics of the host for the shared fields.
const DWORD kHelpChannelButton = 10030;
const DWORD kHelpBlockName = 13020;
const DWORD kHelpDescription = 13030;
const DWORD kHelpChannelName = 14650;

// The one open setup dialog.
struct OpenSetupDialog {
    const SetupDialogType* dialogType;
    ModuleRecord* module;
    BYTE* work; // the working copy, from NewMemAlloc
    int portWarningShown;
    WORD counted; // the channels in use of a type with a module per channel
};
OpenSetupDialog setup;

const TemplateType* Type() {
    return setup.dialogType->type;
}

char* ChannelName(int ch) {
    return TemplateNameIn(setup.work, ch);
}

char* Unit(int ch) {
    return TemplateUnitIn(Type(), setup.work, ch);
}

BOOL* CopyFlag(int ch) {
    return TemplateCopyFlagIn(Type(), setup.work, ch);
}

int ModulePerChannel() {
    return TemplateModulePerChannel(Type());
}

// A type with a module per channel keeps no mask: the dialog's own set is
// the run from channel 0 the bar shows.
WORD* Mask() {
    return ModulePerChannel() ? &setup.counted : TemplateMaskIn(Type(), setup.work);
}

int InBar(int ch);

// The address of the module the dialog shows: the current channel's for a
// type with a module per channel (null with no current channel).
int* Address() {
    int* address = TemplateAddressIn(Type(), setup.work);
    if (!ModulePerChannel()) return address;
    return InBar(CurrentChannel) ? address + CurrentChannel : nullptr;
}

ComSettings* Com() {
    return TemplateComIn(Type(), setup.work);
}

MessParam* Mess() {
    return TemplateMessIn(Type(), setup.work);
}

int IsOutputType() {
    return Type()->form == TEMPLATE_OUTPUT_FORM;
}

WORD BarBits() {
    return static_cast<WORD>((1u << MaxChannels) - 1);
}

int InBar(int ch) {
    return ch >= 0 && ch < MaxChannels;
}

void BlockName(char* name, int size) {
    TemplateBlockName(setup.module, name, size);
}

void Release() {
    if (setup.work) NewDoMemFree(setup.work, __FILE__, __LINE__);
    setup.work = nullptr;
}

// The channels in use as the bar shows them: a run from channel 0 in the
// dialogs with less and more buttons, the buttons' set in the others, where
// a channel of the type that its template has no button for keeps its bit.
void TakeMaskFromBar(HWND dialog) {
    if (ChannelBarHasLessMore(dialog)) {
        *Mask() = static_cast<WORD>((1u << UsedChannels) - 1);
        return;
    }
    WORD mask = ChannelBarMask(dialog);
    for (int i = 0; i < MaxChannels; i++)
        if (!GetDlgItem(dialog, IDC_CHANNEL_FIRST + i)) mask |= *Mask() & (1u << i);
    *Mask() = mask;
}

void SetButtonState(HWND dialog, int ch, int state) {
    SendDlgItemMessageA(dialog, IDC_CHANNEL_FIRST + ch, CHANBTN_SETSTATE,
                        static_cast<WPARAM>(state), 0);
}

void InitChannels(HWND dialog) {
    MaxChannels = ChannelBarButtons(setup.dialogType->buttons);
    WORD mask = static_cast<WORD>(*Mask() & BarBits());
    if (ChannelBarHasLessMore(dialog)) {
        // The channels in use are the first ones; the count stays.
        mask = static_cast<WORD>((1u << CountBits(mask)) - 1);
    }
    *Mask() = mask;
    UsedChannels = CountBits(mask);
    CurrentChannel = NO_CHANNEL;
    for (int i = 0; i < MaxChannels; i++)
        if (mask & (1u << i)) {
            CurrentChannel = i;
            break;
        }
    if (ChannelBarHasLessMore(dialog)) {
        InitChannelBar(dialog);
        return;
    }
    for (int i = 0; i < CHANNEL_BUTTONS_MAX; i++) {
        int state = i >= MaxChannels         ? CHANNEL_NOT_AVAILABLE
                    : i == CurrentChannel    ? CHANNEL_CURRENT
                    : (mask & (1u << i)) > 0 ? CHANNEL_IN_USE
                                             : CHANNEL_AVAILABLE;
        SetButtonState(dialog, i, state);
    }
}

void FillPortBox(HWND dialog) {
    int selected = -1;
    for (int i = 0; i < NumComPorts && i < MAX_COM_PORTS; i++) {
        char text[16];
        snprintf(text, sizeof text, "COM%d", PortTable[i].Port_Number);
        SendDlgItemMessageA(dialog, IDC_SETUP_PORT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text));
        if (selected < 0 && PortTable[i].Port_Number == Com()->Port_Number) selected = i;
    }
    SendDlgItemMessageA(dialog, IDC_SETUP_PORT, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void SelectAddress(HWND dialog) {
    int* address = Address();
    int selected = address && *address >= MinModuleAddress && *address <= 255
                       ? *address - MinModuleAddress
                       : -1;
    SendDlgItemMessageA(dialog, IDC_SETUP_ADDRESS, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void FillAddressBox(HWND dialog) {
    for (int a = MinModuleAddress; a <= 255; a++) {
        char text[12];
        snprintf(text, sizeof text, "%d", a);
        SendDlgItemMessageA(dialog, IDC_SETUP_ADDRESS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text));
    }
    SelectAddress(dialog);
}

void Disable(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (control) EnableWindow(control, FALSE);
}

void SetCaption(HWND dialog) {
    const char* caption = setup.dialogType->caption[SelectedFamilyIndex()];
    if (caption) SetWindowTextA(dialog, caption);
}

INT_PTR InitDialog(const SetupDialogType* dialogType, HWND dialog) {
    Release();
    setup.dialogType = dialogType;
    setup.module = HostCurrentModule();
    setup.portWarningShown = 0;
    if (!setup.module || !setup.module->pParam || dialogType->paramSize <= 0) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    setup.work = static_cast<BYTE*>(NewMemAlloc(dialogType->paramSize, __FILE__, __LINE__));
    if (!setup.work) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    memcpy(setup.work, setup.module->pParam, static_cast<size_t>(dialogType->paramSize));
    setup.counted = static_cast<WORD>(
        (1u << (setup.module->uInputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                                          : setup.module->uInputs)) -
        1);

    char text[sizeof setup.module->szDescription + 1];
    SendDlgItemMessageA(dialog, IDC_SETUP_NAME, EM_LIMITTEXT, SETUP_NAME_CHARS, 0);
    TemplateBlockName(setup.module, text, sizeof setup.module->szName);
    SetDlgItemTextA(dialog, IDC_SETUP_NAME, text);
    SendDlgItemMessageA(dialog, IDC_SETUP_DESCRIPTION, EM_LIMITTEXT, SETUP_DESCRIPTION_CHARS, 0);
    snprintf(text, sizeof text, "%.*s", static_cast<int>(sizeof setup.module->szDescription - 1),
             setup.module->szDescription);
    SetDlgItemTextA(dialog, IDC_SETUP_DESCRIPTION, text);
    SendDlgItemMessageA(dialog, IDC_SETUP_CHANNEL_NAME, EM_LIMITTEXT, SETUP_CHANNEL_NAME_CHARS, 0);
    SetFocus(GetDlgItem(dialog, IDC_SETUP_NAME));

    LastFocusId = 0;
    InitChannels(dialog);
    CenterDialog(dialog, GetParent(dialog));
    FillPortBox(dialog);
    FillAddressBox(dialog);
    if (dialogType->init) dialogType->init(dialog, setup.work);
    if (bExperimentIsRunning) {
        Disable(dialog, IDC_SETUP_PORT);
        Disable(dialog, IDC_SETUP_ADDRESS);
        Disable(dialog, IDC_SETUP_TEST);
        for (int i = 0; i < SETUP_LOCKED_MAX && dialogType->locked[i]; i++)
            Disable(dialog, dialogType->locked[i]);
    }
    SetupShowChannelFields(dialog, CurrentChannel);
    SetCaption(dialog);
    return FALSE;
}

void Ok(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDOK));
    SetupStoreChannelFields(dialog, CurrentChannel);
    char name[SETUP_NAME_CHARS + 1];
    GetDlgItemTextA(dialog, IDC_SETUP_NAME, name, sizeof name);
    ChangeModuleName(setup.module, name);
    GetDlgItemTextA(dialog, IDC_SETUP_DESCRIPTION, setup.module->szDescription,
                    sizeof setup.module->szDescription);
    // The block has as many channels as the set in use holds, each on the
    // channel of its bit.
    TakeMaskFromBar(dialog);
    WORD mask = *Mask();
    int channels = CountBits(mask);
    if (IsOutputType()) {
        ChangeModuleSize(setup.module, channels, 0);
        if (!ModulePerChannel()) SetInputChannelsFromMask(setup.module, mask);
    } else {
        ChangeModuleSize(setup.module, 0, channels);
        SetOutputChannelsFromMask(setup.module, mask);
    }
    memcpy(setup.module->pParam, setup.work, static_cast<size_t>(setup.dialogType->paramSize));
    Release();
    EndDialog(dialog, 1);
}

void Cancel(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDCANCEL));
    Release();
    EndDialog(dialog, 0);
}

void Help() {
    switch (LastFocusId) {
    case IDC_CHANNEL_FIRST: ShowHostHelp(HELP_CONTEXT, kHelpChannelButton); break;
    case IDC_SETUP_NAME: ShowHostHelp(HELP_CONTEXT, kHelpBlockName); break;
    case IDC_SETUP_DESCRIPTION: ShowHostHelp(HELP_CONTEXT, kHelpDescription); break;
    case IDC_SETUP_CHANNEL_NAME: ShowHostHelp(HELP_CONTEXT, kHelpChannelName); break;
    default: ShowDriverHelp(HELP_CONTEXT, setup.dialogType->helpContext); break;
    }
    LastFocusId = 0;
}

void PortWarning(HWND dialog) {
    if (NumComPorts != 0 || setup.portWarningShown) return;
    setup.portWarningShown = 1;
    char text[160];
    if (LoadStringA(hInstDriver, IDS_NO_SERIAL_PORTS, text, sizeof text) <= 0) text[0] = 0;
    char caption[16];
    BlockName(caption, sizeof caption);
    MessageBoxA(dialog, text, caption, MB_OK | MB_ICONERROR);
}

void PortChosen(HWND dialog) {
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_SETUP_PORT, CB_GETCURSEL, 0, 0);
    if (selected < 0) return;
    // The chosen entry's own text: while the selection changes, the box may
    // still show the entry before.
    char text[16];
    LRESULT length = SendDlgItemMessageA(dialog, IDC_SETUP_PORT, CB_GETLBTEXTLEN,
                                         static_cast<WPARAM>(selected), 0);
    if (length < 0 || length >= static_cast<LRESULT>(sizeof text)) return;
    SendDlgItemMessageA(dialog, IDC_SETUP_PORT, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                        reinterpret_cast<LPARAM>(text));
    if (strncmp(text, "COM", 3) != 0) return;
    int port = atoi(text + 3);
    ClampInt(&port, 1, MAX_COM_PORTS);
    Com()->Port_Number = port;
    ComPortsDefined = port;
}

void AddressChosen(HWND dialog) {
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_SETUP_ADDRESS, CB_GETCURSEL, 0, 0);
    if (selected < 0 || selected > 255 - MinModuleAddress || !Address()) return;
    *Address() = static_cast<int>(selected) + MinModuleAddress;
}

// Focus to the block name; a channel-button action is what the dialog then
// remembers for Help.
void AfterChannelAction(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDC_SETUP_NAME));
    LastFocusId = IDC_CHANNEL_FIRST;
}

int IsEditClass(HWND control) {
    char name[16];
    if (!control || GetClassNameA(control, name, sizeof name) != 4) return 0;
    for (int i = 0; i < 4; i++)
        if (toupper(static_cast<unsigned char>(name[i])) != "EDIT"[i]) return 0;
    return 1;
}

// The copy check box of the output types: checked while the channel keeps
// a name of its own, cleared while it takes the name of what feeds it; the
// flag is the record's, the box shows it.
int HasCopyBox(HWND dialog) {
    return IsOutputType() && Type()->copyOffset >= 0 && GetDlgItem(dialog, IDC_SETUP_COPY_NAME);
}

void ToggleCopyFlag(HWND dialog) {
    if (!InBar(CurrentChannel) || !HasCopyBox(dialog)) return;
    SetupStoreChannelFields(dialog, CurrentChannel);
    BOOL* flag = CopyFlag(CurrentChannel);
    *flag = *flag ? 0 : 1;
    SetupShowChannelFields(dialog, CurrentChannel);
}

INT_PTR Command(HWND dialog, int id, int code, HWND control) {
    if (code == EN_SETFOCUS && id != IDHELP) {
        LastFocusId = id;
        if (IsEditClass(control)) SendMessageA(control, EM_SETSEL, 0, -1);
        return TRUE;
    }
    switch (id) {
    case IDOK:
        if (code != BN_CLICKED) return TRUE;
        // The type settles its own fields first (their answer is not used).
        if (setup.dialogType->command) setup.dialogType->command(dialog, setup.work, id, code);
        Ok(dialog);
        return TRUE;
    case IDCANCEL:
        if (code == BN_CLICKED) Cancel(dialog);
        return TRUE;
    case IDHELP:
        if (code == BN_CLICKED) Help();
        return TRUE;
    case IDC_SETUP_MEASUREMENT:
        if (code == BN_CLICKED) MessParamDialog(Mess());
        return TRUE;
    case IDC_SETUP_PORT:
        if (code == CBN_SETFOCUS) PortWarning(dialog);
        if (code == CBN_SELCHANGE) PortChosen(dialog);
        return TRUE;
    case IDC_SETUP_ADDRESS:
        if (code == CBN_SELCHANGE) AddressChosen(dialog);
        return TRUE;
    case IDC_SETUP_TEST:
        if (code == BN_CLICKED && Address())
            TestModule(Com()->Port_Number, *Address(), setup.dialogType->type->models,
                       setup.dialogType->type->modelCount);
        return TRUE;
    case IDC_LESS:
    case IDC_MORE:
        SetupStoreChannelFields(dialog, CurrentChannel);
        ChangeChannelCount(dialog, id);
        TakeMaskFromBar(dialog);
        SetupShowChannelFields(dialog, CurrentChannel);
        AfterChannelAction(dialog);
        return TRUE;
    case IDC_SETUP_COPY_NAME:
        if (code == BN_CLICKED && IsOutputType()) {
            LastFocusId = IDC_SETUP_COPY_NAME;
            ToggleCopyFlag(dialog);
        }
        return TRUE;
    default: break;
    }
    const SetupDialogType* dialogType = setup.dialogType;
    if (dialogType->command && dialogType->command(dialog, setup.work, id, code)) return TRUE;
    return FALSE;
}

// The button a channel-button message names: one of this dialog's buttons
// below MaxChannels, or null.
HWND ChannelButton(HWND dialog, WPARAM wParam) {
    HWND button = reinterpret_cast<HWND>(wParam);
    if (!button || GetParent(button) != dialog) return nullptr;
    return InBar(GetDlgCtrlID(button) - IDC_CHANNEL_FIRST) ? button : nullptr;
}

void ChannelDown(HWND dialog, HWND button, int state) {
    if (button && state == CHANNEL_IN_USE) {
        SetupStoreChannelFields(dialog, CurrentChannel);
        SelectChannelButton(dialog, button);
        SetupShowChannelFields(dialog, CurrentChannel);
    }
    AfterChannelAction(dialog);
}

void ChannelDoubleClick(HWND dialog, HWND button, int right) {
    if (button) {
        SetupStoreChannelFields(dialog, CurrentChannel);
        int plain = setup.dialogType->plainDoubleClicks;
        if (right)
            plain ? ChannelBarPlainRightDoubleClick(dialog, button)
                  : ChannelBarRightDoubleClick(dialog, button);
        else
            plain ? ChannelBarPlainDoubleClick(dialog, button)
                  : ChannelBarDoubleClick(dialog, button);
        TakeMaskFromBar(dialog);
        SetupShowChannelFields(dialog, CurrentChannel);
    }
    if (!right) LastFocusId = IDC_CHANNEL_FIRST;
}

// The current channel's name (and in the output types its copy flag) into
// every other channel in use. `focused`: only what the last focused field
// holds.
void CopyToChannelsInUse(int focused) {
    if (!InBar(CurrentChannel)) return;
    int names = !focused || LastFocusId == IDC_SETUP_CHANNEL_NAME;
    int flags = IsOutputType() && Type()->copyOffset >= 0 &&
                (!focused || LastFocusId == IDC_SETUP_COPY_NAME);
    if (focused && flags) names = 0;
    char name[TEMPLATE_NAME_CHARS];
    snprintf(name, sizeof name, "%.*s", TEMPLATE_NAME_CHARS - 1, ChannelName(CurrentChannel));
    WORD mask = *Mask();
    for (int i = 0; i < CHANNEL_BUTTONS_MAX; i++) {
        if (i == CurrentChannel || !(mask & (1u << i))) continue;
        if (names) memcpy(ChannelName(i), name, sizeof name);
        if (flags) *CopyFlag(i) = *CopyFlag(CurrentChannel);
    }
}

} // namespace

const TemplateType* SetupDialogTemplateType() {
    return setup.work && setup.dialogType ? setup.dialogType->type : nullptr;
}

void SetupStoreChannelFields(HWND dialog, int ch) {
    if (!setup.work || ch < 0 || ch >= TEMPLATE_CHANNELS) return;
    // A channel that takes the name of what feeds it keeps that name.
    if (!HasCopyBox(dialog) || !*CopyFlag(ch)) {
        char name[SETUP_CHANNEL_NAME_CHARS + 1];
        GetDlgItemTextA(dialog, IDC_SETUP_CHANNEL_NAME, name, sizeof name);
        snprintf(ChannelName(ch), TEMPLATE_NAME_CHARS, "%s", name);
    }
    HWND unit = GetDlgItem(dialog, IDC_SETUP_UNIT);
    if (unit && Type()->unitOffset >= 0) {
        char text[SETUP_UNIT_CHARS + 1];
        GetWindowTextA(unit, text, sizeof text);
        snprintf(Unit(ch), TEMPLATE_UNIT_CHARS, "%s", text);
    }
    if (setup.dialogType->storeChannel) setup.dialogType->storeChannel(dialog, setup.work, ch);
}

void SetupShowChannelFields(HWND dialog, int ch) {
    if (!setup.work) return;
    if (ch < 0 || ch >= TEMPLATE_CHANNELS) {
        if (setup.dialogType->showNoChannel) setup.dialogType->showNoChannel(dialog, setup.work);
        return;
    }
    // A record from a worksheet need not hold terminated texts.
    char name[TEMPLATE_NAME_CHARS];
    snprintf(name, sizeof name, "%.*s", TEMPLATE_NAME_CHARS - 1, ChannelName(ch));
    SetDlgItemTextA(dialog, IDC_SETUP_CHANNEL_NAME, name);
    if (GetDlgItem(dialog, IDC_SETUP_UNIT) && Type()->unitOffset >= 0) {
        char unit[TEMPLATE_UNIT_CHARS];
        snprintf(unit, sizeof unit, "%.*s", TEMPLATE_UNIT_CHARS - 1, Unit(ch));
        FillUnitList(dialog, IDC_SETUP_UNIT, unit);
    }
    if (HasCopyBox(dialog)) {
        int copying = *CopyFlag(ch) != 0;
        CheckDlgButton(dialog, IDC_SETUP_COPY_NAME, copying ? BST_UNCHECKED : BST_CHECKED);
        EnableWindow(GetDlgItem(dialog, IDC_SETUP_CHANNEL_NAME), copying ? FALSE : TRUE);
    }
    // Each channel's module has its own address.
    if (ModulePerChannel()) SelectAddress(dialog);
    if (setup.dialogType->showChannel) setup.dialogType->showChannel(dialog, setup.work, ch);
}

INT_PTR SetupDialogProc(const SetupDialogType* dialogType, HWND dialog, UINT msg, WPARAM wParam,
                        LPARAM lParam) {
    if (msg == WM_INITDIALOG) return InitDialog(dialogType, dialog);
    // Messages of a dialog whose start failed, or of one already closed.
    if (!setup.work || setup.dialogType != dialogType) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        return Command(dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case CHANBTN_DOWN:
        ChannelDown(dialog, ChannelButton(dialog, wParam), LOWORD(lParam));
        return TRUE;
    case CHANBTN_DBLCLK: ChannelDoubleClick(dialog, ChannelButton(dialog, wParam), 0); return FALSE;
    case CHANBTN_RDBLCLK:
        ChannelDoubleClick(dialog, ChannelButton(dialog, wParam), 1);
        return FALSE;
    case DLGMSG_COPY_NAME_FOCUSED:
        SetupStoreChannelFields(dialog, CurrentChannel);
        CopyToChannelsInUse(1);
        SetupShowChannelFields(dialog, CurrentChannel);
        return FALSE;
    case DLGMSG_COPY_NAME_ALL:
        SetupStoreChannelFields(dialog, CurrentChannel);
        SetupShowChannelFields(dialog, CurrentChannel);
        CopyToChannelsInUse(0);
        return FALSE;
    case WM_DESTROY:
        // Closed some other way than by OK or Cancel: nothing is kept.
        Release();
        return FALSE;
    default: return FALSE;
    }
}
