// Warnings by string id and the wait cursor, for every layer of the plug-in.
#ifndef TELVIO_HOST_WARNINGS_H
#define TELVIO_HOST_WARNINGS_H

#include <windows.h>

// Caption (at most 29 characters) and text (at most 249) from the string
// table, shown with ShowWarning.
void ShowWarningByIds(UINT captionId, UINT textId);
void ShowWarningById(const char* caption, UINT textId);

void BeginWaitCursor();
void EndWaitCursor();

#endif
