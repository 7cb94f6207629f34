// A temporary folder of a test's own, removed with everything in it.
#ifndef TESTS_WINAPI_KERNEL32_TEMP_DIR_H
#define TESTS_WINAPI_KERNEL32_TEMP_DIR_H

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

class TempDir {
  public:
    TempDir() {
        const char* base = getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/telvio-k32-XXXXXX";
        char buf[512];
        snprintf(buf, sizeof(buf), "%s", tmpl.c_str());
        if (mkdtemp(buf)) path_ = buf;
    }
    ~TempDir() {
        if (!path_.empty()) nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    static int removeEntry(const char* p, const struct stat*, int, struct FTW*) {
        remove(p);
        return 0;
    }
    std::string path_;
};

// The whole content of a file ("" when it cannot be read).
inline std::string fileText(const std::string& path) {
    std::string s;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        s.append(buf, n);
    fclose(f);
    return s;
}

inline void writeText(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

#endif
