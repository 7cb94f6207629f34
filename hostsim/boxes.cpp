// Message boxes the plug-in shows while the host runs without a person: each
// is answered with its default button, as pressing Enter would, and kept so
// the host can say which it answered.
//
// The Linux build's headless layer already answers a box it has no queued
// answer for with its default button and keeps every box; the Windows build
// points the plug-in's import of MessageBoxA at the host, so no box waits on
// a screen nobody watches.
#include "hostsim/internal.h"

#ifndef _WIN32
#include "winapi_headless.h"
#endif

#include <string.h>

namespace hostsim {

namespace {

#ifdef _WIN32
bool answering = false;
std::vector<AnsweredBox> answered;

// The default button of a box of the type: its button 1, 2 or 3 by
// MB_DEFBUTTON*, of the buttons MB_OK ... MB_RETRYCANCEL give.
int DefaultButton(UINT type) {
    static const int buttons[6][3] = {{IDOK, IDOK, IDOK},           {IDOK, IDCANCEL, IDCANCEL},
                                      {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
                                      {IDYES, IDNO, IDNO},          {IDRETRY, IDCANCEL, IDCANCEL}};
    unsigned kind = type & MB_TYPEMASK, which = (type & MB_DEFMASK) >> 8;
    if (kind > 5) kind = 0;
    if (which > 2) which = 0;
    return buttons[kind][which];
}

int WINAPI AnswerMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    AnsweredBox box;
    box.caption = caption ? caption : "Error";
    box.text = text ? text : "";
    box.answer = DefaultButton(type);
    answered.push_back(box);
    return box.answer;
}

// Points the module's import of FUNCTION from DLL at the replacement; 1 when
// the module imports it by name.
int PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return 0;
    int patched = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR* import =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         import->Name != 0; import++) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0) continue;
        DWORD first = import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk;
        const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + first);
        IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const IMAGE_IMPORT_BY_NAME* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD old = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                                &old))
                return 0;
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            patched = 1;
        }
    }
    return patched;
}
#endif

} // namespace

void AnswerMessageBoxes(bool on) {
#ifdef _WIN32
    answering = on;
#else
    (void)on;
#endif
}

void AnswerMessageBoxesOf(HMODULE plugin) {
#ifdef _WIN32
    if (answering && plugin)
        PatchImport(plugin, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(AnswerMessageBox));
#else
    (void)plugin;
#endif
}

std::vector<AnsweredBox> AnsweredMessageBoxes() {
#ifdef _WIN32
    return answered;
#else
    std::vector<AnsweredBox> out;
    for (int i = 0; i < WinapiMessageBoxCount(); i++) {
        WinapiMessageBoxCall call;
        if (!WinapiMessageBoxAt(i, &call)) continue;
        AnsweredBox box;
        box.caption = call.caption;
        box.text = call.text;
        box.answer = call.answer;
        out.push_back(box);
    }
    return out;
#endif
}

const char* ButtonName(int id) {
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    }
    return "?";
}

} // namespace hostsim
