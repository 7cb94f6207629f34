// Shared state of the headless Win32 layer (one process: one window manager,
// one clock, one module list).
#ifndef WINAPI_INTERNAL_H
#define WINAPI_INTERNAL_H

#include <windows.h>

#include <string>
#include <vector>

namespace winapi {

struct Module {
    void* dl = nullptr;   // dlopen handle, 0 for the program
    std::string hostPath; // the file as the host file system names it
    const unsigned char* res = nullptr;
    unsigned resSize = 0;
    int refs = 0;
};

Module* moduleFromHandle(HINSTANCE h); // 0 when not a module; NULL is the program
Module* programModule();

// Resource lookup in a module's compiled .res data. Names and types are
// ordinals (IS_INTRESOURCE) or texts, compared without case.
struct ResourceData {
    const unsigned char* data;
    unsigned size;
};
bool findResource(HINSTANCE h, LPCSTR type, LPCSTR name, ResourceData* out);

// Text conversion between the resource files' UTF-16 and code page 1252.
std::string utf16ToAnsi(const unsigned char* p, unsigned chars);
char wideToAnsi(unsigned w);

// Windows-style path of a host path ("/a/b" gives "Z:\a\b").
std::string windowsPath(const std::string& hostPath);
std::string hostPath(const char* path);

void setLastError(DWORD e);

// Device contexts (gdi32): one per GetDC or BeginPaint, released by
// ReleaseDC or EndPaint; a memory context (CreateCompatibleDC) has no window.
HDC createDc(HWND window);
bool releaseDc(HWND window, HDC dc);
// The kind of a GDI object as SelectObject takes it (GDI_BRUSH ...), 0 for
// a handle that is none; the object a new context has selected of a kind.
enum { GDI_BRUSH = 1, GDI_PEN = 2, GDI_FONT = 3, GDI_BITMAP = 4 };
int gdiObjectKind(HGDIOBJ h);
HGDIOBJ gdiDefaultObject(int kind);
void resetTextOutput();

// The common dialogs' extended error (comdlg32), and the choosers' records.
void setCommDlgError(DWORD error);
void resetChoosers();

// Font objects (gdi32/font.cpp): the description a font was made from;
// deleting frees it. Both answer false for a handle that is no font.
bool fontDescription(HGDIOBJ h, LOGFONTA* out);
bool deleteFont(HGDIOBJ h);
int liveFonts();

} // namespace winapi

#endif
