// The file name dialogs: each call records what it asked and takes the next
// queued answer, a file name or Cancel.
#include "internal.h"
#include "winapi_headless.h"

#include <commdlg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <deque>
#include <string>
#include <vector>

static_assert(sizeof(OPENFILENAMEA) == 88, "OPENFILENAMEA size");
static_assert(offsetof(OPENFILENAMEA, hwndOwner) == 4, "hwndOwner");
static_assert(offsetof(OPENFILENAMEA, lpstrFilter) == 12, "lpstrFilter");
static_assert(offsetof(OPENFILENAMEA, nFilterIndex) == 24, "nFilterIndex");
static_assert(offsetof(OPENFILENAMEA, lpstrFile) == 28, "lpstrFile");
static_assert(offsetof(OPENFILENAMEA, nMaxFile) == 32, "nMaxFile");
static_assert(offsetof(OPENFILENAMEA, lpstrFileTitle) == 36, "lpstrFileTitle");
static_assert(offsetof(OPENFILENAMEA, lpstrInitialDir) == 44, "lpstrInitialDir");
static_assert(offsetof(OPENFILENAMEA, lpstrTitle) == 48, "lpstrTitle");
static_assert(offsetof(OPENFILENAMEA, Flags) == 52, "Flags");
static_assert(offsetof(OPENFILENAMEA, nFileOffset) == 56, "nFileOffset");
static_assert(offsetof(OPENFILENAMEA, nFileExtension) == 58, "nFileExtension");
static_assert(offsetof(OPENFILENAMEA, lpstrDefExt) == 60, "lpstrDefExt");
static_assert(offsetof(OPENFILENAMEA, lCustData) == 64, "lCustData");
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) == 72, "lpTemplateName");
static_assert(offsetof(OPENFILENAMEA, FlagsEx) == 84, "FlagsEx");

namespace {

struct Answer {
    bool accept;
    std::string name;
};
std::deque<Answer> answers;
std::vector<WinapiFileDialogCall> calls;
int unanswered = 0;
DWORD lastError = 0;

// The filter's pairs, each terminating null shown as '|', up to the empty
// string that ends the list.
void describeFilter(const char* f, char* out, size_t size) {
    std::string s;
    while (f && *f && s.size() < size) {
        s += f;
        s += '|';
        f += strlen(f) + 1;
    }
    snprintf(out, size, "%s", s.c_str());
}

BOOL fileDialog(LPOPENFILENAMEA ofn, int save) {
    lastError = 0;
    if (ofn == nullptr || (ofn->lStructSize != sizeof(OPENFILENAMEA) &&
                           ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400)) {
        lastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (ofn->lpstrFile == nullptr || ofn->nMaxFile == 0) {
        lastError = CDERR_INITIALIZATION;
        return FALSE;
    }
    WinapiFileDialogCall c;
    memset(&c, 0, sizeof c);
    c.save = save;
    c.owner = ofn->hwndOwner;
    describeFilter(ofn->lpstrFilter, c.filter, sizeof c.filter);
    snprintf(c.initialDir, sizeof c.initialDir, "%s",
             ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "");
    snprintf(c.initialFile, sizeof c.initialFile, "%.*s", static_cast<int>(ofn->nMaxFile),
             ofn->lpstrFile);
    snprintf(c.title, sizeof c.title, "%s", ofn->lpstrTitle ? ofn->lpstrTitle : "");
    snprintf(c.defExt, sizeof c.defExt, "%s", ofn->lpstrDefExt ? ofn->lpstrDefExt : "");
    c.flags = ofn->Flags;
    c.maxFile = ofn->nMaxFile;

    if (answers.empty()) {
        unanswered++;
        fprintf(stderr, "winapi: %s file dialog unanswered: cancelled\n", save ? "save" : "open");
        calls.push_back(c);
        return FALSE;
    }
    Answer a = answers.front();
    answers.pop_front();
    c.answered = 1;
    if (!a.accept) {
        calls.push_back(c);
        return FALSE;
    }
    // The full name as the dialog gives it back.
    std::string name = a.name;
    if (!name.empty() && name[0] == '/') {
        name = winapi::windowsPath(name);
    } else if (name.find('\\') == std::string::npos && name.find(':') == std::string::npos &&
               ofn->lpstrInitialDir && *ofn->lpstrInitialDir) {
        std::string dir = ofn->lpstrInitialDir;
        if (dir.back() != '\\') dir += '\\';
        name = dir + name;
    }
    size_t slash = name.rfind('\\');
    size_t base = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = name.find('.', base);
    if (dot == std::string::npos && ofn->lpstrDefExt && *ofn->lpstrDefExt) {
        name += '.';
        name += ofn->lpstrDefExt;
        dot = name.find('.', base);
    }
    if (name.size() + 1 > ofn->nMaxFile) {
        // The buffer is too small: its first two bytes tell the size needed.
        if (ofn->nMaxFile >= 2) {
            WORD need = static_cast<WORD>(name.size() + 1);
            memcpy(ofn->lpstrFile, &need, 2);
        }
        lastError = FNERR_BUFFERTOOSMALL;
        calls.push_back(c);
        return FALSE;
    }
    memcpy(ofn->lpstrFile, name.c_str(), name.size() + 1);
    ofn->nFileOffset = static_cast<WORD>(base);
    ofn->nFileExtension = static_cast<WORD>(dot == std::string::npos ? name.size() : dot + 1);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0)
        snprintf(ofn->lpstrFileTitle, ofn->nMaxFileTitle, "%s", name.c_str() + base);
    c.accepted = 1;
    snprintf(c.file, sizeof c.file, "%s", name.c_str());
    calls.push_back(c);
    return TRUE;
}

} // namespace

namespace winapi {
void setCommDlgError(DWORD error) {
    lastError = error;
}

void resetFileDialogs() {
    answers.clear();
    calls.clear();
    unanswered = 0;
    lastError = 0;
}
} // namespace winapi

BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn) {
    return fileDialog(ofn, 1);
}

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) {
    return fileDialog(ofn, 0);
}

DWORD WINAPI CommDlgExtendedError(void) {
    return lastError;
}

extern "C" void WinapiQueueFileName(const char* nameOrNull) {
    Answer a;
    a.accept = nameOrNull != nullptr;
    a.name = nameOrNull ? nameOrNull : "";
    answers.push_back(a);
}

extern "C" int WinapiFileDialogCount(void) {
    return static_cast<int>(calls.size());
}

extern "C" int WinapiFileDialogAt(int index, WinapiFileDialogCall* out) {
    if (index < 0 || static_cast<size_t>(index) >= calls.size() || out == nullptr) return 0;
    *out = calls[static_cast<size_t>(index)];
    return 1;
}

extern "C" int WinapiUnansweredFileDialogCount(void) {
    return unanswered;
}
