// What Inilink does, apart from asking: the folder of the host's INI file,
// the plan of the two copies from the installation source folder, and the
// whole installation (copies, then the plug-in's entry in the INI file).
#ifndef TELVIO_INSTALLER_INSTALL_H
#define TELVIO_INSTALLER_INSTALL_H

#include <windows.h>

#include <stddef.h>

// The installation source folder as shipped, and the files below it.
#define INSTALL_SOURCE_FOLDER "C:\\Ardane\\TRAX Varnix\\"
#define INSTALL_PLUGIN_SOURCE "Driver\\Telvio.dll"
#define INSTALL_HELP_SOURCE "Manual\\EVEHZEM.HLP"

// The names the copies take beside the host.
#define INSTALL_PLUGIN_FILE "Telvio.dll"
#define INSTALL_HELP_FILE "EVEHZEM.HLP"

// The host loads the plug-in named under this key.
#define INSTALL_INI_SECTION "Extend"
#define INSTALL_INI_KEY "DLL8"
#define INSTALL_INI_VALUE "Telvio.DLL"

#define INSTALL_COPY_COUNT 2

struct InstallCopy {
    char Source[MAX_PATH];
    char Target[MAX_PATH];
};

struct InstallPlan {
    char IniFile[MAX_PATH];
    char Folder[MAX_PATH];                  // the INI file's folder, with its final separator
    InstallCopy Copies[INSTALL_COPY_COUNT]; // the plug-in, then its help file
};

// Results of InstallRun.
enum InstallResult {
    INSTALL_DONE = 0,
    INSTALL_NO_INI_FILE = 1,  // the INI file is a folder, or its folder is missing: nothing done
    INSTALL_NO_SOURCE = 2,    // a source file is missing: nothing done
    INSTALL_COPY_FAILED = 3,  // a copy failed; the copies before it stay
    INSTALL_INI_FAILED = 4,   // the entry could not be written; the copies stay
    INSTALL_INI_READ_ONLY = 5 // the INI file cannot be written: nothing done
};

// The folder of `iniFile`: everything up to and with its last path separator
// ('\\' or '/'). The file's name itself does not matter, in whatever case.
// 0 when `iniFile` has no separator (a bare name would send the copies to the
// current folder and the entry to the system's folder), ends in one (a
// folder, no file), or the folder does not fit `size`.
int InstallTargetFolder(const char* iniFile, char* folder, size_t size);

// The plan for `iniFile` with the files of `sourceFolder` (null for
// INSTALL_SOURCE_FOLDER; a separator is added when it has none). 0 when the
// INI file has no folder (InstallTargetFolder) or a path does not fit
// MAX_PATH.
int InstallMakePlan(const char* iniFile, const char* sourceFolder, InstallPlan* plan);

// Carries the plan out: checks that the INI file can be written (a missing
// one is made by the write: its folder must be there and take a new file)
// and that both sources are there, copies the plug-in and the help file
// (replacing older copies), then writes INSTALL_INI_KEY=INSTALL_INI_VALUE
// into section INSTALL_INI_SECTION of the INI file (an earlier value of the
// key is replaced, the rest of the file kept). Answers an InstallResult; `failedFile`, when not
// null, takes the file the failure concerns ("" on success) and `error` the system's error code.
int InstallRun(const InstallPlan* plan, const char** failedFile, DWORD* error);

#endif
