// Every block type of the plug-in: its procedures, in the order the start-up
// registers them. The registration rows are in types.cpp.
#ifndef TELVIO_MODULES_TYPES_H
#define TELVIO_MODULES_TYPES_H

#include "host/registration.h"

// The 42 types, in the order InitDriver registers them.
#define BLOCK_TYPES(X)                                                                             \
    X(ND6005)                                                                                      \
    X(ND6005I)                                                                                     \
    X(ND6011)                                                                                      \
    X(ND6011P)                                                                                     \
    X(ND6012)                                                                                      \
    X(ND6013)                                                                                      \
    X(ND6014)                                                                                      \
    X(ND6015)                                                                                      \
    X(ND6017)                                                                                      \
    X(ND6016)                                                                                      \
    X(ND6018)                                                                                      \
    X(ND6018P)                                                                                     \
    X(ND6019)                                                                                      \
    X(ND6021)                                                                                      \
    X(ND6022)                                                                                      \
    X(ND6024)                                                                                      \
    X(ND6024I)                                                                                     \
    X(ND6033)                                                                                      \
    X(ND6041I)                                                                                     \
    X(ND6042O)                                                                                     \
    X(ND6043O)                                                                                     \
    X(ND6044I)                                                                                     \
    X(ND6044O)                                                                                     \
    X(ND6050I)                                                                                     \
    X(ND6050O)                                                                                     \
    X(ND6052)                                                                                      \
    X(ND6053)                                                                                      \
    X(ND6054)                                                                                      \
    X(ND6055I)                                                                                     \
    X(ND6055O)                                                                                     \
    X(ND6056)                                                                                      \
    X(ND6058)                                                                                      \
    X(ND6060I)                                                                                     \
    X(ND6060O)                                                                                     \
    X(ND6065I)                                                                                     \
    X(ND6065O)                                                                                     \
    X(ND6063)                                                                                      \
    X(ND6063I)                                                                                     \
    X(ND6067)                                                                                      \
    X(ND6080)                                                                                      \
    X(ND6757O)                                                                                     \
    X(ND6751)

#define DECLARE_BLOCK_TYPE_ENTRIES(type)                                                           \
    INT_PTR CALLBACK type##_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);     \
    int MODULE_CALL type##_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam);       \
    int MODULE_CALL type##_Process(ModuleRecord* module);
BLOCK_TYPES(DECLARE_BLOCK_TYPE_ENTRIES)
#undef DECLARE_BLOCK_TYPE_ENTRIES

// The three procedures of block type T that the host and the setup dialog
// call. Each hands on to one expression of the type file: DIALOG may use the
// parameters dialog, msg, wParam and lParam; CLASS module, msg, wParam and
// lParam; PROCESS module.
#define BLOCK_TYPE_PROCS(T, DIALOG, CLASS, PROCESS)                                                \
    INT_PTR CALLBACK T##_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {       \
        return DIALOG;                                                                             \
    }                                                                                              \
    int MODULE_CALL T##_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {         \
        return CLASS;                                                                              \
    }                                                                                              \
    int MODULE_CALL T##_Process(ModuleRecord* module) {                                            \
        return PROCESS;                                                                            \
    }

// The procedures of type T that is row k##T of its family's tables: the
// setup dialog of DIALOGS[k##T], and CLASS_PROC and PROCESS on TYPES[k##T].
#define BLOCK_TYPE_ROW_PROCS(T, DIALOGS, TYPES, CLASS_PROC, PROCESS)                               \
    BLOCK_TYPE_PROCS(T, SetupDialogProc(&DIALOGS[k##T], dialog, msg, wParam, lParam),              \
                     CLASS_PROC(&TYPES[k##T], module, msg, wParam, lParam),                        \
                     PROCESS(&TYPES[k##T], module))

// Registers every type in the fixed order, each in the selected family.
void RegisterBlockTypes();

#endif
