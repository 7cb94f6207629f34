// Initialization files: GetPrivateProfileStringA, WritePrivateProfileStringA,
// GetPrivateProfileIntA on real files.
//
// Rules: "[section]" lines open sections, "key=value" lines inside them hold
// values, lines starting with ';' are comments. Sections and keys are found
// without regard to case (ASCII), the first of equal names counts. Values
// lose their surrounding blanks, then one pair of matching surrounding quotes
// (' or "). Lines end in CR LF or LF when read; a written file ends every
// line in CR LF and keeps every line it does not change as it was.
#include "handle.h"
#include "internal.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

namespace winapi {

namespace {

std::mutex& profileLock() {
    static std::mutex m;
    return m;
}

typedef std::vector<std::string> Lines;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// 0: neither section nor key line; 1: "[name]"; 2: "name=value".
enum LineKind { LINE_OTHER = 0, LINE_SECTION = 1, LINE_KEY = 2 };

int classify(const std::string& line, std::string* name, std::string* value) {
    size_t b = 0;
    while (b < line.size() && isBlank(line[b]))
        ++b;
    if (b == line.size() || line[b] == ';') return LINE_OTHER;
    if (line[b] == '[') {
        size_t e = line.find(']', b + 1);
        *name = trimmed(line.substr(b + 1, e == std::string::npos ? std::string::npos : e - b - 1));
        return LINE_SECTION;
    }
    size_t eq = line.find('=', b);
    if (eq == std::string::npos) return LINE_OTHER;
    *name = trimmed(line.substr(b, eq - b));
    if (name->empty()) return LINE_OTHER;
    if (value) {
        std::string v = trimmed(line.substr(eq + 1));
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v[v.size() - 1] == v[0])
            v = v.substr(1, v.size() - 2);
        *value = v;
    }
    return LINE_KEY;
}

bool readLines(const std::string& path, Lines* lines) {
    lines->clear();
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t end = nl == std::string::npos ? text.size() : nl;
        size_t len = end - pos;
        if (len > 0 && text[end - 1] == '\r') --len;
        lines->push_back(text.substr(pos, len));
        pos = nl == std::string::npos ? text.size() : nl + 1;
    }
    return true;
}

bool writeLines(const std::string& path, const Lines& lines) {
    std::string text;
    for (const std::string& l : lines) {
        text += l;
        text += "\r\n";
    }
    if (hasReadOnlyAttribute(path)) {
        setLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        setLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : errorFromErrno(errno));
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t r = write(fd, text.data() + done, text.size() - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            setLastError(r < 0 ? errorFromErrno(errno) : ERROR_WRITE_FAULT);
            close(fd);
            return false;
        }
        done += static_cast<size_t>(r);
    }
    if (close(fd) != 0) {
        setLastError(errorFromErrno(errno));
        return false;
    }
    return true;
}

// Index of the first "[section]" line of that name, or -1.
long findSection(const Lines& lines, const std::string& section) {
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i)
        if (classify(lines[i], &name, 0) == LINE_SECTION && sameName(name, section))
            return static_cast<long>(i);
    return -1;
}

// One past the last line of the section whose header is at index h.
size_t sectionEnd(const Lines& lines, long h) {
    std::string name;
    size_t i = static_cast<size_t>(h) + 1;
    while (i < lines.size() && classify(lines[i], &name, 0) != LINE_SECTION)
        ++i;
    return i;
}

// Index of the key's line in the section whose header is at index h, or -1.
long findKey(const Lines& lines, long h, const std::string& key, std::string* value) {
    std::string name;
    size_t end = sectionEnd(lines, h);
    for (size_t i = static_cast<size_t>(h) + 1; i < end; ++i)
        if (classify(lines[i], &name, value) == LINE_KEY && sameName(name, key))
            return static_cast<long>(i);
    return -1;
}

// One string: at most size - 1 characters and a null.
DWORD copyString(const std::string& s, char* out, DWORD size) {
    if (size == 0) return 0;
    size_t len = s.size() < size - 1 ? s.size() : size - 1;
    memcpy(out, s.data(), len);
    out[len] = '\0';
    return static_cast<DWORD>(len);
}

// A list: each name ends in a null, the list in a second one. A list too
// long for the buffer is cut, its last string ends in two nulls, and the
// result is size - 2.
DWORD copyList(const Lines& names, char* out, DWORD size) {
    if (size == 0) return 0;
    if (size == 1) {
        out[0] = '\0';
        return 0;
    }
    std::string s;
    for (const std::string& n : names) {
        s += n;
        s += '\0';
    }
    if (s.size() + 1 <= size) {
        memcpy(out, s.data(), s.size());
        out[s.size()] = '\0';
        if (s.empty()) out[1] = '\0';
        return static_cast<DWORD>(s.size());
    }
    memcpy(out, s.data(), size - 2);
    out[size - 2] = '\0';
    out[size - 1] = '\0';
    return size - 2;
}

// The value of a key; false when the file, the section or the key is missing.
bool lookUp(const char* app, const char* key, const char* file, std::string* value,
            bool* fileFound) {
    Lines lines;
    *fileFound = readLines(hostPath(file), &lines);
    if (!*fileFound) return false;
    long h = findSection(lines, trimmed(app));
    if (h < 0) return false;
    return findKey(lines, h, trimmed(key), value) >= 0;
}

} // namespace

} // namespace winapi

using namespace winapi;

WINUSERAPI DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                 LPCSTR lpDefault, LPSTR lpReturnedString,
                                                 DWORD nSize, LPCSTR lpFileName) {
    if (!lpReturnedString || !lpFileName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> lock(profileLock());
    if (!lpAppName || !lpKeyName) {
        Lines lines, names;
        bool found = readLines(hostPath(lpFileName), &lines);
        std::string name;
        if (!lpAppName) { // every section
            for (const std::string& l : lines)
                if (classify(l, &name, 0) == LINE_SECTION) names.push_back(name);
        } else { // every key of one section
            long h = findSection(lines, trimmed(lpAppName));
            if (h >= 0) {
                size_t end = sectionEnd(lines, h);
                for (size_t i = static_cast<size_t>(h) + 1; i < end; ++i)
                    if (classify(lines[i], &name, 0) == LINE_KEY) names.push_back(name);
            }
        }
        setLastError(found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
        return copyList(names, lpReturnedString, nSize);
    }
    std::string value;
    bool fileFound = false;
    if (lookUp(lpAppName, lpKeyName, lpFileName, &value, &fileFound)) {
        setLastError(ERROR_SUCCESS);
        return copyString(value, lpReturnedString, nSize);
    }
    // The default loses its trailing blanks.
    std::string def = lpDefault ? lpDefault : "";
    while (!def.empty() && isBlank(def[def.size() - 1]))
        def.erase(def.size() - 1);
    setLastError(fileFound ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    return copyString(def, lpReturnedString, nSize);
}

WINUSERAPI UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                             LPCSTR lpFileName) {
    if (!lpAppName || !lpKeyName || !lpFileName) return static_cast<UINT>(nDefault);
    std::string value;
    bool fileFound = false;
    {
        std::lock_guard<std::mutex> lock(profileLock());
        if (!lookUp(lpAppName, lpKeyName, lpFileName, &value, &fileFound) || value.empty()) {
            setLastError(fileFound ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
            return static_cast<UINT>(nDefault);
        }
    }
    // Decimal digits after an optional sign, up to the first other character.
    size_t i = 0;
    bool negative = false;
    if (value[i] == '-' || value[i] == '+') negative = value[i++] == '-';
    UINT n = 0;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9')
        n = n * 10u + static_cast<UINT>(value[i++] - '0');
    setLastError(ERROR_SUCCESS);
    return negative ? 0u - n : n;
}

WINUSERAPI BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                  LPCSTR lpString, LPCSTR lpFileName) {
    if (!lpAppName) {
        // (NULL, NULL, NULL, file) flushes a cache; writes here are never cached.
        if (!lpKeyName && !lpString) return TRUE;
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!lpFileName || !*lpFileName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(profileLock());
    std::string path = hostPath(lpFileName);
    Lines lines;
    // A missing file is an empty one; one that cannot be read is not
    // overwritten.
    if (!readLines(path, &lines) && errno != ENOENT) {
        setLastError(errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : errorFromErrno(errno));
        return FALSE;
    }
    std::string section = trimmed(lpAppName);
    bool changed = false;

    if (!lpKeyName) { // delete the section with all its lines
        long h;
        while ((h = findSection(lines, section)) >= 0) {
            size_t end = sectionEnd(lines, h);
            lines.erase(lines.begin() + h, lines.begin() + static_cast<long>(end));
            changed = true;
        }
    } else {
        std::string key = trimmed(lpKeyName);
        long h = findSection(lines, section);
        if (!lpString) { // delete the key
            long k;
            while (h >= 0 && (k = findKey(lines, h, key, 0)) >= 0) {
                lines.erase(lines.begin() + k);
                changed = true;
            }
        } else if (h < 0) { // a new section at the end
            lines.push_back("[" + std::string(lpAppName) + "]");
            lines.push_back(key + "=" + lpString);
            changed = true;
        } else {
            long k = findKey(lines, h, key, 0);
            if (k >= 0) { // in place, under the name the file spells
                std::string name;
                classify(lines[static_cast<size_t>(k)], &name, 0);
                lines[static_cast<size_t>(k)] = name + "=" + lpString;
            } else { // after the section's last line that is not blank
                size_t at = sectionEnd(lines, h);
                while (at > static_cast<size_t>(h) + 1 && trimmed(lines[at - 1]).empty())
                    --at;
                lines.insert(lines.begin() + static_cast<long>(at), key + "=" + lpString);
            }
            changed = true;
        }
    }
    if (!changed) return TRUE;
    if (!writeLines(path, lines)) return FALSE;
    return TRUE;
}
