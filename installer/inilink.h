// Inilink, the plug-in's installer: it asks for the host's INI file, copies
// the plug-in and its help file beside it and registers the plug-in there.
//
//   Inilink [--ini FILE] [--source FOLDER]
//
// Without arguments it asks for the INI file in a file-open dialog and
// reports a failure in a message box. --ini names the INI file and skips the
// dialog: nothing is asked or shown; the plan goes to standard output, then
// "installed", or the error message to standard error. --source names the
// installation source folder in place of "C:\Ardane\TRAX Varnix" (the
// plug-in in its Driver folder, the help file in its Manual folder).
#ifndef TELVIO_INSTALLER_INILINK_H
#define TELVIO_INSTALLER_INILINK_H

#include <windows.h>

// Exit codes of the program and answers of Form_Load.
enum InilinkResult {
    INILINK_INSTALLED = 0,
    INILINK_FAILED = 1,   // the error message was shown; the plug-in is not registered
    INILINK_USAGE = 2,    // unknown arguments: nothing done
    INILINK_CANCELLED = 3 // the dialog was cancelled: the error message was shown, nothing done
};

#define INILINK_ERROR_CAPTION "Fatal Error!!"
#define INILINK_ERROR_TEXT                                                                         \
    "Driver cannt find the Varnix.ini .Please modify the file in correct directory by manual"

struct InilinkArgs {
    const char* IniFile;      // --ini, or null to ask
    const char* SourceFolder; // --source, or null for the shipped folder
    const char* Wrong;        // the argument not understood, or null
};

// 1 when the arguments (without the program's name) are understood; else 0
// with the first argument not understood in `Wrong`.
int InilinkParseArgs(int argc, char** argv, InilinkArgs* args);

// Asks for the host's INI file in the file-open dialog, set up with the
// installer's texts. 1 with the chosen name in `file`, 0 when cancelled, -1
// when the dialog failed (its error code in `error`).
int CommonDialog1_ShowOpen(char* file, DWORD size, DWORD* error);

// The whole program: the INI file from the arguments or the dialog, the
// installation, and the report of a failure. Answers an InilinkResult.
int Form_Load(const InilinkArgs* args);

#endif
