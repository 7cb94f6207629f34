// Kernel objects behind the HANDLEs of CreateFileA: open files and
// communication devices, each with its host descriptor. Shared by file.cpp
// (the object table, CreateFileA, ReadFile, WriteFile, CloseHandle) and
// serial.cpp (the COM ports and the comm functions).
#ifndef WINAPI_KERNEL32_HANDLE_H
#define WINAPI_KERNEL32_HANDLE_H

#include <windows.h>

#include <string>

namespace winapi {

enum ObjectKind { OBJECT_FILE = 1, OBJECT_COMM = 2 };

struct KernelObject {
    unsigned magic; // kObjectMagic while the object lives
    int kind;       // ObjectKind
    int fd;         // host descriptor
    int port;       // COM number 1..16 of an OBJECT_COMM, else 0
};

// Registers a new object for an open descriptor; its address is the handle.
HANDLE newKernelObject(int kind, int fd, int port);
// The live object a handle names, of the given kind (0: any); 0 and
// ERROR_INVALID_HANDLE for anything else.
KernelObject* kernelObject(HANDLE h, int kind);

// Win32 error code for a host errno.
DWORD errorFromErrno(int err);

// The read-only attribute of an existing host file: no write permission bit
// at all. Windows refuses to write such a file to everyone, and so do we,
// whatever the rights of the process.
bool hasReadOnlyAttribute(const std::string& hostPath);

// serial.cpp: COM port names and opening ("COM3", "\\.\COM12", "COM1:")
// give the port number 1..16; anything else 0.
int commPortNumber(const char* name);
HANDLE openCommPort(int port);
void closeCommPort(KernelObject* obj); // before the descriptor is closed
BOOL readComm(KernelObject* obj, void* buf, DWORD n, DWORD* got);
BOOL writeComm(KernelObject* obj, const void* buf, DWORD n, DWORD* done);

} // namespace winapi

#endif
