// The installer's one form: the file-open dialog, the installation, the
// error message.
#include "installer/inilink.h"

#include "installer/install.h"

#include <commdlg.h>
#include <stdio.h>
#include <string.h>

namespace {

const char kDialogTitle[] = "Please select the \"Varnix.ini\"  in Varnix directory ...      ";
const char kDialogFile[] = "Varnix.ini";
const char kDialogFilter[] = "Varnix.ini\0Varnix.ini\0"; // and the final null of the text
const char kDialogFolder[] = "C:\\Program Files\\";
const char kDialogDefaultExtension[] = "exe";

typedef BOOL(WINAPI* OpenFileNameProc)(LPOPENFILENAMEA);
typedef DWORD(WINAPI* DialogErrorProc)(void);

const char* const kInstallFailures[] = {
    "",
    "the INI file is a folder, or its folder is missing",
    "a source file is missing",
    "a copy failed",
    "the INI file could not be written",
    "the INI file cannot be written",
};
static_assert(sizeof kInstallFailures / sizeof *kInstallFailures == INSTALL_INI_READ_ONLY + 1,
              "a text for every result of InstallRun");

// A failure, once: in the message box, or on standard error when the program
// runs unattended.
void reportFailure(int unattended, const char* what, const char* file, DWORD error) {
    if (unattended) {
        fprintf(stderr, "%s %s\n", INILINK_ERROR_CAPTION, INILINK_ERROR_TEXT);
        fprintf(stderr, "Inilink: %s: %s (error %lu)\n", what, file,
                static_cast<unsigned long>(error));
        return;
    }
    MessageBoxA(NULL, INILINK_ERROR_TEXT, INILINK_ERROR_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

int InilinkParseArgs(int argc, char** argv, InilinkArgs* args) {
    args->IniFile = nullptr;
    args->SourceFolder = nullptr;
    args->Wrong = nullptr;
    for (int i = 0; i < argc; i += 2) {
        args->Wrong = argv[i];
        if (i + 1 >= argc || argv[i + 1][0] == '\0') return 0;
        if (strcmp(argv[i], "--ini") == 0 && args->IniFile == nullptr)
            args->IniFile = argv[i + 1];
        else if (strcmp(argv[i], "--source") == 0 && args->SourceFolder == nullptr)
            args->SourceFolder = argv[i + 1];
        else
            return 0;
    }
    args->Wrong = nullptr;
    return 1;
}

int CommonDialog1_ShowOpen(char* file, DWORD size, DWORD* error) {
    *error = 0;
    if (file == nullptr || size < sizeof kDialogFile) return -1;
    memcpy(file, kDialogFile, sizeof kDialogFile);
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = kDialogFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = size;
    ofn.lpstrInitialDir = kDialogFolder;
    ofn.lpstrTitle = kDialogTitle;
    ofn.lpstrDefExt = kDialogDefaultExtension;
    // A name that is not there yet may be chosen: the entry makes the file.
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;

    // The common dialogs' library is loaded for the dialog alone: a run that
    // names the INI file starts without it, which is much sooner where
    // Windows is emulated.
    HMODULE library = LoadLibraryA("comdlg32.dll");
    if (library == NULL) {
        *error = GetLastError();
        return -1;
    }
    OpenFileNameProc open = reinterpret_cast<OpenFileNameProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetOpenFileNameA")));
    DialogErrorProc dialogError = reinterpret_cast<DialogErrorProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "CommDlgExtendedError")));
    int result = -1;
    if (open == nullptr || dialogError == nullptr)
        *error = GetLastError();
    else if (open(&ofn))
        result = 1;
    else {
        *error = dialogError();
        result = *error == 0 ? 0 : -1; // no error: cancelled
    }
    FreeLibrary(library);
    return result;
}

int Form_Load(const InilinkArgs* args) {
    int unattended = args->IniFile != nullptr;
    char chosen[MAX_PATH];
    const char* iniFile = args->IniFile;
    if (!unattended) {
        DWORD error = 0;
        int chose = CommonDialog1_ShowOpen(chosen, sizeof chosen, &error);
        // Without a chosen file there is nothing to install beside: the user
        // is told so, and nothing changes.
        if (chose == 0) {
            reportFailure(unattended, "the file dialog was cancelled", "", 0);
            return INILINK_CANCELLED;
        }
        if (chose < 0) {
            reportFailure(unattended, "the file dialog failed", "", error);
            return INILINK_FAILED;
        }
        iniFile = chosen;
    }

    InstallPlan plan;
    if (!InstallMakePlan(iniFile, args->SourceFolder, &plan)) {
        reportFailure(unattended, "no folder, or a name too long", iniFile,
                      ERROR_FILENAME_EXCED_RANGE);
        return INILINK_FAILED;
    }
    if (unattended) {
        for (int i = 0; i < INSTALL_COPY_COUNT; ++i)
            printf("will copy %s to %s\n", plan.Copies[i].Source, plan.Copies[i].Target);
        printf("will write %s=%s in [%s] of %s\n", INSTALL_INI_KEY, INSTALL_INI_VALUE,
               INSTALL_INI_SECTION, plan.IniFile);
        fflush(stdout);
    }
    const char* file = "";
    DWORD error = 0;
    int result = InstallRun(&plan, &file, &error);
    if (result != INSTALL_DONE) {
        reportFailure(unattended, kInstallFailures[result], file, error);
        return INILINK_FAILED;
    }
    if (unattended) printf("installed\n");
    return INILINK_INSTALLED;
}
