// Warnings by string id and the wait cursor.
#include "host/warnings.h"
#include "host/driver.h"
#include "host/host.h"

namespace {

void LoadText(UINT id, char* buffer, int size) {
    if (LoadStringA(hInstDriver, id, buffer, size) <= 0) buffer[0] = 0;
}

} // namespace

void ShowWarningByIds(UINT captionId, UINT textId) {
    char caption[30];
    char text[250];
    LoadText(captionId, caption, sizeof caption);
    LoadText(textId, text, sizeof text);
    ShowWarning(caption, text);
}

void ShowWarningById(const char* caption, UINT textId) {
    char text[250];
    LoadText(textId, text, sizeof text);
    ShowWarning(caption ? caption : "", text);
}

void BeginWaitCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void EndWaitCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
