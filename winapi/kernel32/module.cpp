// Module loading on dlopen: a library's file name, its DllMain and its
// embedded resources behave as on Windows.
#include "internal.h"
#include "winapi_headless.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include <mutex>
#include <set>

namespace winapi {

namespace {
thread_local DWORD lastError = 0;
std::mutex modulesLock;
std::set<Module*> modules;

Module& program() {
    static Module m;
    if (m.hostPath.empty()) {
        char buf[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        m.hostPath = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("/program");
        m.refs = 1;
    }
    return m;
}

typedef BOOL(WINAPI* DllEntry)(HINSTANCE, DWORD, LPVOID);
typedef const unsigned char* (*ResourceExport)(unsigned*);

// The system libraries this layer stands in for, by name with or without
// ".dll", in any case: loading one gives the layer itself, whose exports are
// their functions.
bool isSystemLibrary(const char* name) {
    static const char* const kNames[] = {"kernel32", "user32", "gdi32", "comdlg32"};
    size_t n = strlen(name);
    if (n > 4 && strcasecmp(name + n - 4, ".dll") == 0) n -= 4;
    for (const char* k : kNames)
        if (strlen(k) == n && strncasecmp(name, k, n) == 0) return true;
    return false;
}
} // namespace

void setLastError(DWORD e) {
    lastError = e;
}

Module* programModule() {
    return &program();
}

Module* moduleFromHandle(HINSTANCE h) {
    if (h == nullptr) return &program();
    Module* m = reinterpret_cast<Module*>(h);
    if (m == &program()) return m;
    std::lock_guard<std::mutex> g(modulesLock);
    return modules.count(m) ? m : nullptr;
}

std::string windowsPath(const std::string& host) {
    std::string out;
    if (!host.empty() && host[0] == '/') out = "Z:";
    for (char c : host)
        out += (c == '/') ? '\\' : c;
    return out;
}

std::string hostPath(const char* path) {
    if (path == nullptr) return std::string();
    std::string p(path);
    if (p.size() >= 2 && p[1] == ':' && (p[0] == 'Z' || p[0] == 'z')) p = p.substr(2);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}

} // namespace winapi

using namespace winapi;

extern "C" void WinapiSetProgramResources(const unsigned char* data, unsigned size) {
    Module& m = program();
    m.res = data;
    m.resSize = size;
}

extern "C" void WinapiSetProgramPath(const char* path) {
    Module& m = program();
    if (path && *path) m.hostPath = hostPath(path);
}

extern "C" void WinapiToHostPath(const char* windowsPathText, char* out, unsigned outSize) {
    if (out == nullptr || outSize == 0) return;
    std::string p = hostPath(windowsPathText);
    snprintf(out, outSize, "%s", p.c_str());
}

HMODULE WINAPI LoadLibraryA(LPCSTR name) {
    if (name == nullptr || *name == 0) {
        setLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::string path = hostPath(name);
    Dl_info self;
    if (isSystemLibrary(name) && dladdr(reinterpret_cast<void*>(&LoadLibraryA), &self) != 0 &&
        self.dli_fname != nullptr)
        path = self.dli_fname;
    else if (path.find('/') == std::string::npos)
        path = "./" + path;
    char full[PATH_MAX];
    if (realpath(path.c_str(), full) == nullptr) {
        setLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> g(modulesLock);
        for (Module* m : modules) {
            if (m->hostPath == full) {
                m->refs++;
                return reinterpret_cast<HMODULE>(m);
            }
        }
    }
    void* dl = dlopen(full, RTLD_NOW | RTLD_LOCAL);
    if (dl == nullptr) {
        fprintf(stderr, "LoadLibraryA: %s\n", dlerror());
        setLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    Module* m = new Module;
    m->dl = dl;
    m->hostPath = full;
    m->refs = 1;
    if (ResourceExport res = reinterpret_cast<ResourceExport>(dlsym(dl, "WinapiModuleResources"))) {
        m->res = res(&m->resSize);
    }
    {
        std::lock_guard<std::mutex> g(modulesLock);
        modules.insert(m);
    }
    if (DllEntry entry = reinterpret_cast<DllEntry>(dlsym(dl, "DllMain"))) {
        if (!entry(reinterpret_cast<HINSTANCE>(m), DLL_PROCESS_ATTACH, nullptr)) {
            {
                std::lock_guard<std::mutex> g(modulesLock);
                modules.erase(m);
            }
            dlclose(dl);
            delete m;
            setLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
    }
    return reinterpret_cast<HMODULE>(m);
}

BOOL WINAPI FreeLibrary(HMODULE h) {
    Module* m = moduleFromHandle(h);
    if (m == nullptr || m == &program()) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--m->refs > 0) return TRUE;
    if (DllEntry entry = reinterpret_cast<DllEntry>(dlsym(m->dl, "DllMain"))) {
        entry(h, DLL_PROCESS_DETACH, nullptr);
    }
    {
        std::lock_guard<std::mutex> g(modulesLock);
        modules.erase(m);
    }
    dlclose(m->dl);
    delete m;
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE h, LPCSTR name) {
    Module* m = moduleFromHandle(h);
    if (m == nullptr || name == nullptr || IS_INTRESOURCE(name)) {
        setLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* dl = m->dl ? m->dl : dlopen(nullptr, RTLD_NOW);
    void* p = dlsym(dl, name);
    if (p == nullptr) setLastError(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(p);
}

// As Windows Vista and later: a name that does not fit is cut, terminated,
// and reported with nSize and ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE h, LPSTR buf, DWORD size) {
    Module* m = moduleFromHandle(h);
    if (m == nullptr) {
        setLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (buf == nullptr || size == 0) {
        setLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::string w = windowsPath(m->hostPath);
    if (w.size() >= size) {
        memcpy(buf, w.data(), size - 1);
        buf[size - 1] = 0;
        setLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(buf, w.c_str(), w.size() + 1);
    setLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(w.size());
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (name == nullptr) return reinterpret_cast<HMODULE>(&program());
    std::string want = hostPath(name);
    std::lock_guard<std::mutex> g(modulesLock);
    for (Module* m : modules) {
        const std::string& p = m->hostPath;
        if (p == want ||
            (p.size() > want.size() && p.compare(p.size() - want.size(), want.size(), want) == 0 &&
             p[p.size() - want.size() - 1] == '/')) {
            return reinterpret_cast<HMODULE>(m);
        }
    }
    setLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI GetLastError(void) {
    return lastError;
}
void WINAPI SetLastError(DWORD e) {
    lastError = e;
}

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (getenv("WINAPI_DEBUG_OUTPUT") && text) fprintf(stderr, "%s", text);
}
