// The module class record of a block type, filled from the type's row for the
// selected family and handed to the host.
#include "host/registration.h"
#include "host/driver.h"
#include "host/host.h"

#include <stdio.h>
#include <string.h>

int RegisterBlockType(const BlockTypeRow& row, char* nameBuffer, char* descriptionBuffer) {
    const int family = SelectedFamilyIndex();
    const char* className = row.className[family];
    if (className == nullptr) return 0;

    ModuleClassRecord record;
    memset(&record, 0, sizeof record);

    nameBuffer[0] = 0;
    if (row.nameString != 0 &&
        LoadStringA(hInstDriver, row.nameString, nameBuffer, DEFAULT_NAME_CHARS + 1) <= 0) {
        nameBuffer[0] = 0;
    }
    if (family != FAMILY_INDEX_ND && row.defaultName[family] != nullptr)
        snprintf(nameBuffer, DEFAULT_NAME_CHARS + 1, "%s", row.defaultName[family]);

    UINT description =
        family == FAMILY_INDEX_XX03 ? row.descriptionStringXX03 : row.descriptionString;
    if (LoadStringA(hInstDriver, description, descriptionBuffer, DESCRIPTION_CHARS + 1) <= 0)
        descriptionBuffer[0] = 0;

    char helpFile[20];
    if (LoadHelpFileName(helpFile, sizeof helpFile) <= 0) helpFile[0] = 0;

    record.hInstance = hInstDriver;
    record.pszClassName = className;
    record.uParamSize = row.paramSize;
    record.uRuntimeSize = row.runtimeSize;
    record.uChannelDataSize = row.channelDataSize;
    record.uMenuId = row.menuId;
    record.pszDefaultName = nameBuffer;
    record.pszDescription = descriptionBuffer;
    record.dwHelpContext = row.helpContext;
    record.pszHelpFile = helpFile;
    record.dwReserved28 = 0;
    record.hbmIcon = LoadBitmapA(hInstDriver, row.icon);
    record.hbmSymbol =
        (family == FAMILY_INDEX_TELV && row.symbol) ? LoadBitmapA(hInstDriver, row.symbol) : 0;
    record.pfnClassProc = row.classProc;
    record.pfnProcess = row.process;
    return RegisterModuleClass(&record);
}
