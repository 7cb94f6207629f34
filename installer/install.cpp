// The installation itself: where the files go, and putting them there.
#include "installer/install.h"

#include <stdio.h>
#include <string.h>

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// `a` followed by `b` into `out`; 0 when it does not fit.
int joinPath(char* out, size_t size, const char* a, const char* b) {
    int n = snprintf(out, size, "%s%s", a, b);
    return n >= 0 && static_cast<size_t>(n) < size;
}

// 1 when `path` names something that is not a folder.
int isFile(const char* path, DWORD* error) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = GetLastError();
        return 0;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        *error = ERROR_ACCESS_DENIED;
        return 0;
    }
    return 1;
}

// 1 when the file can be opened for writing; nothing is written.
int isWritable(const char* path, DWORD* error) {
    HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return 0;
    }
    CloseHandle(h);
    return 1;
}

// 1 when the missing file can be made in its folder: it is made and removed
// again, so nothing is left.
int isCreatable(const char* path, DWORD* error) {
    HANDLE h =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return 0;
    }
    CloseHandle(h);
    DeleteFileA(path);
    return 1;
}

// Whether the entry can be written into the INI file: one that is there
// must be a file that opens for writing; a missing one is made by the write,
// so its folder must be there and take a new file.
int checkIniFile(const char* path, DWORD* error) {
    if (isFile(path, error)) return isWritable(path, error) ? INSTALL_DONE : INSTALL_INI_READ_ONLY;
    if (*error != ERROR_FILE_NOT_FOUND) return INSTALL_NO_INI_FILE;
    if (isCreatable(path, error)) return INSTALL_DONE;
    return *error == ERROR_PATH_NOT_FOUND ? INSTALL_NO_INI_FILE : INSTALL_INI_READ_ONLY;
}

} // namespace

int InstallTargetFolder(const char* iniFile, char* folder, size_t size) {
    if (folder == nullptr || size == 0) return 0;
    folder[0] = '\0';
    if (iniFile == nullptr) return 0;
    size_t length = strlen(iniFile);
    size_t end = length;
    while (end > 0 && !isSeparator(iniFile[end - 1]))
        --end;
    if (end == 0 || end == length || end >= size) return 0;
    memcpy(folder, iniFile, end);
    folder[end] = '\0';
    return 1;
}

int InstallMakePlan(const char* iniFile, const char* sourceFolder, InstallPlan* plan) {
    if (plan == nullptr) return 0;
    memset(plan, 0, sizeof *plan);
    if (!InstallTargetFolder(iniFile, plan->Folder, sizeof plan->Folder)) return 0;
    if (!joinPath(plan->IniFile, sizeof plan->IniFile, iniFile, "")) return 0;

    char source[MAX_PATH];
    if (sourceFolder == nullptr) sourceFolder = INSTALL_SOURCE_FOLDER;
    size_t length = strlen(sourceFolder);
    if (length == 0) return 0;
    const char* separator = isSeparator(sourceFolder[length - 1]) ? "" : "\\";
    if (!joinPath(source, sizeof source, sourceFolder, separator)) return 0;

    static const char* const kFiles[INSTALL_COPY_COUNT][2] = {
        {INSTALL_PLUGIN_SOURCE, INSTALL_PLUGIN_FILE},
        {INSTALL_HELP_SOURCE, INSTALL_HELP_FILE},
    };
    for (int i = 0; i < INSTALL_COPY_COUNT; ++i) {
        InstallCopy* copy = &plan->Copies[i];
        if (!joinPath(copy->Source, sizeof copy->Source, source, kFiles[i][0]) ||
            !joinPath(copy->Target, sizeof copy->Target, plan->Folder, kFiles[i][1]))
            return 0;
    }
    return 1;
}

int InstallRun(const InstallPlan* plan, const char** failedFile, DWORD* error) {
    const char* failed = "";
    DWORD code = ERROR_SUCCESS;
    int result = INSTALL_DONE;

    // Everything that must be there is looked at before anything changes.
    result = checkIniFile(plan->IniFile, &code);
    if (result != INSTALL_DONE) failed = plan->IniFile;
    for (int i = 0; i < INSTALL_COPY_COUNT && result == INSTALL_DONE; ++i) {
        if (!isFile(plan->Copies[i].Source, &code)) {
            failed = plan->Copies[i].Source;
            result = INSTALL_NO_SOURCE;
        }
    }
    for (int i = 0; i < INSTALL_COPY_COUNT && result == INSTALL_DONE; ++i) {
        if (!CopyFileA(plan->Copies[i].Source, plan->Copies[i].Target, FALSE)) {
            code = GetLastError();
            failed = plan->Copies[i].Target;
            result = INSTALL_COPY_FAILED;
        }
    }
    if (result == INSTALL_DONE && !WritePrivateProfileStringA(INSTALL_INI_SECTION, INSTALL_INI_KEY,
                                                              INSTALL_INI_VALUE, plan->IniFile)) {
        code = GetLastError();
        failed = plan->IniFile;
        result = INSTALL_INI_FAILED;
    }
    if (failedFile) *failedFile = failed;
    if (error) *error = code;
    return result;
}
