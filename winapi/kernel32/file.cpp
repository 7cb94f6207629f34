// Files through HANDLEs: CreateFileA, ReadFile, WriteFile, CloseHandle; and
// whole files: CopyFileA, DeleteFileA, GetFileAttributesA. A COM port name is handed to
// the serial code; everything else is a file on the host file system, named
// as winapi::hostPath translates it.
#include "handle.h"
#include "internal.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace winapi {

namespace {

const unsigned kObjectMagic = 0x4b4f424a; // "KOBJ"

std::mutex& objectLock() {
    static std::mutex m;
    return m;
}

std::vector<KernelObject*>& liveObjects() {
    static std::vector<KernelObject*> v;
    return v;
}

// ENOENT for a file whose folder is missing is "path not found" on Windows.
DWORD notFoundError(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return ERROR_FILE_NOT_FOUND;
    struct stat st;
    std::string dir = path.substr(0, slash);
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
    return ERROR_FILE_NOT_FOUND;
}

// The last error of a failed stat or open of `path`.
void setErrorOf(int err, const std::string& path) {
    setLastError(err == ENOENT ? notFoundError(path) : errorFromErrno(err));
}

HANDLE openFile(const char* name, DWORD access, DWORD disposition) {
    int flags = O_CLOEXEC;
    bool rd = (access & GENERIC_READ) != 0, wr = (access & GENERIC_WRITE) != 0;
    flags |= (rd && wr) ? O_RDWR : wr ? O_WRONLY : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | (wr ? O_TRUNC : 0); break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING:
        if (!wr) {
            setLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        flags |= O_TRUNC;
        break;
    default: setLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
    }

    std::string path = hostPath(name);
    if (path.empty()) {
        setLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    bool existed = stat(path.c_str(), &st) == 0;
    bool changes = wr || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (existed && (S_ISDIR(st.st_mode) ||                      // a folder is no file to open
                    (changes && hasReadOnlyAttribute(path)))) { // nor to write when read-only
        setLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) {
        setErrorOf(errno, path);
        return INVALID_HANDLE_VALUE;
    }
    // CREATE_ALWAYS on a file that exists without write access still empties it.
    if (disposition == CREATE_ALWAYS && existed && !wr) {
        if (ftruncate(fd, 0) != 0) {
            int err = errno;
            close(fd);
            setLastError(errorFromErrno(err));
            return INVALID_HANDLE_VALUE;
        }
    }
    HANDLE h = newKernelObject(OBJECT_FILE, fd, 0);
    if (h == INVALID_HANDLE_VALUE) {
        close(fd);
        return h;
    }
    // CREATE_ALWAYS and OPEN_ALWAYS tell whether the file was there before.
    bool tells = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    setLastError(tells && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

bool copyBytes(int in, int out) {
    char buf[16384];
    for (;;) {
        ssize_t r = read(in, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            setLastError(errorFromErrno(errno));
            return false;
        }
        if (r == 0) return true;
        ssize_t done = 0;
        while (done < r) {
            ssize_t w = write(out, buf + done, static_cast<size_t>(r - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                setLastError(w < 0 ? errorFromErrno(errno) : ERROR_WRITE_FAULT);
                return false;
            }
            done += w;
        }
    }
}

} // namespace

bool hasReadOnlyAttribute(const std::string& hostPath) {
    struct stat st;
    return stat(hostPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
           (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

DWORD errorFromErrno(int err) {
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT:
    case ENXIO:
    case ENODEV: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_GEN_FAILURE;
    }
}

HANDLE newKernelObject(int kind, int fd, int port) {
    KernelObject* obj = new (std::nothrow) KernelObject;
    if (!obj) {
        setLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    obj->magic = kObjectMagic;
    obj->kind = kind;
    obj->fd = fd;
    obj->port = port;
    std::lock_guard<std::mutex> lock(objectLock());
    liveObjects().push_back(obj);
    return obj;
}

KernelObject* kernelObject(HANDLE h, int kind) {
    if (h != NULL && h != INVALID_HANDLE_VALUE) {
        std::lock_guard<std::mutex> lock(objectLock());
        std::vector<KernelObject*>& live = liveObjects();
        KernelObject* obj = static_cast<KernelObject*>(h);
        if (std::find(live.begin(), live.end(), obj) != live.end() && obj->magic == kObjectMagic &&
            (kind == 0 || obj->kind == kind))
            return obj;
    }
    setLastError(ERROR_INVALID_HANDLE);
    return 0;
}

} // namespace winapi

using namespace winapi;

WINUSERAPI HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                     DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                     HANDLE hTemplateFile) {
    (void)dwShareMode;
    (void)lpSecurityAttributes;
    (void)dwFlagsAndAttributes;
    (void)hTemplateFile;
    if (!lpFileName || !*lpFileName) {
        setLastError(lpFileName ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    int port = commPortNumber(lpFileName);
    if (port > 0) {
        // Communication devices exist or not: only OPEN_EXISTING opens them.
        if (dwCreationDisposition != OPEN_EXISTING) {
            setLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        return openCommPort(port);
    }
    if (strncmp(lpFileName, "\\\\.\\", 4) == 0) { // no other devices here
        setLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return openFile(lpFileName, dwDesiredAccess, dwCreationDisposition);
}

WINUSERAPI BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                                LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    (void)lpOverlapped;
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    KernelObject* obj = kernelObject(hFile, 0);
    if (!obj) return FALSE;
    if (!lpBuffer && nNumberOfBytesToRead) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD got = 0;
    BOOL ok;
    if (obj->kind == OBJECT_COMM) {
        ok = readComm(obj, lpBuffer, nNumberOfBytesToRead, &got);
    } else {
        ok = TRUE;
        char* p = static_cast<char*>(lpBuffer);
        while (got < nNumberOfBytesToRead) {
            ssize_t r = read(obj->fd, p + got, nNumberOfBytesToRead - got);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                setLastError(errorFromErrno(errno));
                ok = FALSE;
                break;
            }
            if (r == 0) break; // end of file: success with what was read
            got += static_cast<DWORD>(r);
        }
    }
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = got;
    return ok;
}

WINUSERAPI BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    (void)lpOverlapped;
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    KernelObject* obj = kernelObject(hFile, 0);
    if (!obj) return FALSE;
    if (!lpBuffer && nNumberOfBytesToWrite) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    BOOL ok;
    if (obj->kind == OBJECT_COMM) {
        ok = writeComm(obj, lpBuffer, nNumberOfBytesToWrite, &done);
    } else {
        ok = TRUE;
        const char* p = static_cast<const char*>(lpBuffer);
        while (done < nNumberOfBytesToWrite) {
            ssize_t r = write(obj->fd, p + done, nNumberOfBytesToWrite - done);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) {
                setLastError(r < 0 ? errorFromErrno(errno) : ERROR_WRITE_FAULT);
                ok = FALSE;
                break;
            }
            done += static_cast<DWORD>(r);
        }
    }
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
    return ok;
}

WINUSERAPI BOOL WINAPI CloseHandle(HANDLE hObject) {
    KernelObject* obj;
    {
        std::lock_guard<std::mutex> lock(objectLock());
        std::vector<KernelObject*>& live = liveObjects();
        auto it = std::find(live.begin(), live.end(), static_cast<KernelObject*>(hObject));
        if (hObject == NULL || hObject == INVALID_HANDLE_VALUE || it == live.end()) {
            setLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        obj = *it;
        live.erase(it);
    }
    if (obj->kind == OBJECT_COMM) closeCommPort(obj);
    int r = close(obj->fd);
    int err = errno;
    obj->magic = 0;
    delete obj;
    if (r != 0 && err != EINTR) {
        setLastError(errorFromErrno(err));
        return FALSE;
    }
    return TRUE;
}

// A whole file to another name: the bytes, the permission bits (and with them
// the read-only attribute) and the time of the last write. An existing target
// is overwritten unless bFailIfExists; a read-only one or the source itself
// is not. A copy that fails half-way is removed.
WINUSERAPI BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName,
                                 BOOL bFailIfExists) {
    if (!lpExistingFileName || !lpNewFileName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string from = hostPath(lpExistingFileName), to = hostPath(lpNewFileName);
    if (from.empty() || to.empty()) {
        setLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    struct stat src, dst;
    if (stat(from.c_str(), &src) != 0) {
        setErrorOf(errno, from);
        return FALSE;
    }
    if (S_ISDIR(src.st_mode)) {
        setLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (stat(to.c_str(), &dst) == 0) {
        if (bFailIfExists) {
            setLastError(ERROR_FILE_EXISTS);
            return FALSE;
        }
        if (S_ISDIR(dst.st_mode) || hasReadOnlyAttribute(to)) {
            setLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) { // open for reading
            setLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        setErrorOf(errno, from);
        return FALSE;
    }
    int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (bFailIfExists ? O_EXCL : 0);
    int out = open(to.c_str(), flags, 0600);
    if (out < 0) {
        setErrorOf(errno, to);
        close(in);
        return FALSE;
    }
    bool ok = copyBytes(in, out);
    if (ok && fchmod(out, src.st_mode & 07777) != 0) {
        setLastError(errorFromErrno(errno));
        ok = false;
    }
    struct timespec times[2] = {src.st_atim, src.st_mtim};
    if (ok) futimens(out, times);
    close(in);
    if (close(out) != 0 && ok) {
        setLastError(errorFromErrno(errno));
        ok = false;
    }
    if (!ok) {
        unlink(to.c_str());
        return FALSE;
    }
    return TRUE;
}

// Removes a file; a folder or a read-only file is refused with
// ERROR_ACCESS_DENIED, a missing one with ERROR_FILE_NOT_FOUND (or
// ERROR_PATH_NOT_FOUND when its folder is missing too).
WINUSERAPI BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    if (!lpFileName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = hostPath(lpFileName);
    if (path.empty()) {
        setLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        setErrorOf(errno, path);
        return FALSE;
    }
    if (S_ISDIR(st.st_mode) || hasReadOnlyAttribute(path)) {
        setLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(path.c_str()) != 0) {
        setErrorOf(errno, path);
        return FALSE;
    }
    return TRUE;
}

// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_READONLY for a file
// nobody may write, FILE_ATTRIBUTE_NORMAL for any other file.
WINUSERAPI DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    if (!lpFileName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::string path = hostPath(lpFileName);
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) {
        if (path.empty())
            setLastError(ERROR_PATH_NOT_FOUND);
        else
            setErrorOf(errno, path);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return hasReadOnlyAttribute(path) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}
