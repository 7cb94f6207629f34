// Registration of the block types: each type file holds one row that
// describes its module class in every family, and its <type>_Register hands
// the row to RegisterBlockType.
#ifndef TELVIO_FRAME_REGISTRATION_H
#define TELVIO_FRAME_REGISTRATION_H

#include "host/records.h"

// Families in the order of a row's per-family columns.
enum FamilyIndex {
    FAMILY_INDEX_ND,
    FAMILY_INDEX_XX01,
    FAMILY_INDEX_XX04,
    FAMILY_INDEX_XX03,
    FAMILY_INDEX_XX05,
    FAMILY_INDEX_XX06,
    FAMILY_INDEX_TELV,
    FAMILY_INDEX_COUNT
};

// The selected family as a column index.
int SelectedFamilyIndex();

#define DEFAULT_NAME_CHARS 12
#define DESCRIPTION_CHARS 40

struct BlockTypeRow {
    const char* type; // type identifier
    int paramSize;
    int runtimeSize;
    int channelDataSize;
    int menuId;
    DWORD helpContext;
    // Class name by family; 0 where the type does not register.
    const char* className[FAMILY_INDEX_COUNT];
    // Fixed default names of every family but the default one, which loads
    // nameString instead.
    const char* defaultName[FAMILY_INDEX_COUNT];
    UINT nameString;
    UINT descriptionString;     // every family but XX03
    UINT descriptionStringXX03; // XX03
    const char* icon;
    const char* symbol; // TELV only
    ModuleClassProc classProc;
    ModuleProcessProc process;
    char* nameBuffer;        // DEFAULT_NAME_CHARS + 1, kept for the life of the library
    char* descriptionBuffer; // DESCRIPTION_CHARS + 1, kept for the life of the library
};

// Registers the type in the selected family; 0 when it does not register
// there, else the host's answer.
int RegisterBlockType(const BlockTypeRow& row);

// The 42 registration functions, in the order InitDriver calls them.
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
    int type##_Register();                                                                         \
    int MODULE_CALL type##_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam);       \
    int MODULE_CALL type##_Process(ModuleRecord* module);
BLOCK_TYPES(DECLARE_BLOCK_TYPE_ENTRIES)
#undef DECLARE_BLOCK_TYPE_ENTRIES

// Runs every type's registration in the fixed order.
void RegisterBlockTypes();

#endif
