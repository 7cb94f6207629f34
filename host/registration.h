// Registration of the block types: one row describes a type's module class
// in every family (the rows of all types are in modules/types.cpp), and
// RegisterBlockType hands it to the host.
#ifndef TELVIO_HOST_REGISTRATION_H
#define TELVIO_HOST_REGISTRATION_H

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
};

// Registers the type in the selected family; 0 when it does not register
// there, else the host's answer. The default name (DEFAULT_NAME_CHARS + 1)
// and the description (DESCRIPTION_CHARS + 1) are written to buffers the
// host may keep for the life of the library.
int RegisterBlockType(const BlockTypeRow& row, char* nameBuffer, char* descriptionBuffer);

#endif
