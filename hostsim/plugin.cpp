// Loading a plug-in as the host does, and the report of what it registered.
#include "hostsim/internal.h"

#include <stdio.h>
#include <string.h>

namespace hostsim {

namespace {
typedef int(WINAPI* SetupProc)(HWND);
typedef int(WINAPI* FinishProc)(DWORD);

void Indent(std::string* out, int depth) {
    out->append(static_cast<size_t>(depth) * 2, ' ');
}

void MenuLevel(HMENU menu, int depth, std::string* out) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        char text[128];
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        char line[200];
        Indent(out, depth);
        if (sub != nullptr || (state != 0xFFFFFFFFu && (state & MF_POPUP))) {
            snprintf(line, sizeof line, "popup \"%s\"\n", text);
            out->append(line);
            if (sub) MenuLevel(sub, depth + 1, out);
        } else {
            snprintf(line, sizeof line, "%u \"%s\"\n", GetMenuItemID(menu, i), text);
            out->append(line);
        }
    }
}
} // namespace

int LoadPlugin(const char* path, Plugin* out) {
    *out = Plugin();
    out->module = LoadLibraryA(path);
    if (out->module == nullptr) return 0;
    SetupProc setup = reinterpret_cast<SetupProc>(
        reinterpret_cast<void*>(GetProcAddress(out->module, "SetupVarnixDLL")));
    if (setup == nullptr) {
        FreeLibrary(out->module);
        out->module = nullptr;
        return 0;
    }
    AnswerMessageBoxesOf(out->module);
    out->setupResult = setup(MainWindow());
    return 1;
}

namespace {

// The host lets the plug-in go: the worksheet closed first, FinishVarnixDLL
// when `finish`, then the library freed; what the plug-in registered at its
// own addresses is forgotten and what it left on the stack deleted.
void LetGo(Plugin* plugin, bool finish) {
    CloseWorksheet();
    if (finish) {
        FinishProc proc = reinterpret_cast<FinishProc>(
            reinterpret_cast<void*>(GetProcAddress(plugin->module, "FinishVarnixDLL")));
        plugin->finishResult = proc ? proc(0) : 0;
    }
    FreeLibrary(plugin->module);
    plugin->module = nullptr;
    ForgetPluginAddresses();
    ReleaseStackedObjects();
}

} // namespace

int FinishPlugin(Plugin* plugin) {
    if (plugin->module == nullptr) return 0;
    LetGo(plugin, true);
    return plugin->finishResult;
}

void UnloadPlugin(Plugin* plugin) {
    if (plugin->module) LetGo(plugin, false);
}

std::string MenuTree(HMENU menu, int position) {
    std::string out;
    char text[128] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    char line[200];
    HMENU sub = GetSubMenu(menu, position);
    if (sub) {
        snprintf(line, sizeof line, "popup \"%s\"\n", text);
        out.append(line);
        MenuLevel(sub, 1, &out);
    } else {
        snprintf(line, sizeof line, "item \"%s\" (no submenu)\n", text);
        out.append(line);
    }
    return out;
}

std::string BindingReport(const Plugin& plugin) {
    std::string out;
    char line[300];
    snprintf(line, sizeof line, "SetupVarnixDLL: %d\n", plugin.setupResult);
    out += line;
    snprintf(line, sizeof line, "host names asked: %d\n", NamesAsked());
    out += line;
    snprintf(line, sizeof line, "DefineDllModule: %s\n",
             DllModuleDefined() ? "called" : "not called");
    out += line;
    out += "DLL variables:\n";
    for (const DllVariable& v : DllVariables()) {
        snprintf(line, sizeof line, "  %s %d\n", v.name.c_str(), v.size);
        out += line;
    }
    out += "menu commands:";
    for (const MenuEntry& e : MenuEntries()) {
        snprintf(line, sizeof line, " %u", e.id);
        out += line;
    }
    out += "\n";
    snprintf(line, sizeof line, "main menu entries: %d\n", GetMenuItemCount(MainMenu()));
    out += line;
    out += "main menu position 3:\n";
    std::string tree = MenuTree(MainMenu(), 3);
    size_t start = 0;
    while (start < tree.size()) {
        size_t end = tree.find('\n', start);
        out += "  " + tree.substr(start, end - start + 1);
        start = end + 1;
    }
    const char* classes[] = {"VUV:CONTROLKANAL", "VUV:CONTROLLESSMORE"};
    for (const char* c : classes) {
        WNDCLASSA wc;
        int have =
            plugin.module && GetClassInfoA(reinterpret_cast<HINSTANCE>(plugin.module), c, &wc);
        if (have) {
            snprintf(line, sizeof line, "window class %s: style 0x%x, %d window bytes\n", c,
                     wc.style, wc.cbWndExtra);
        } else {
            snprintf(line, sizeof line, "window class %s: not registered\n", c);
        }
        out += line;
    }
    return out;
}

} // namespace hostsim
