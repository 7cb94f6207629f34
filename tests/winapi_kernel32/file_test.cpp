// CreateFileA, ReadFile, WriteFile, CloseHandle, CopyFileA, DeleteFileA and
// GetFileAttributesA on ordinary files.
#include <windows.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "temp_dir.h"

namespace {

HANDLE create(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileA(path.c_str(), access, 0, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
}

TEST(File, CreateAlwaysMakesOrEmptiesTheFileAndTellsWhichWithTheLastError) {
    TempDir dir;
    std::string path = dir.file("Logfile0.txt");
    SetLastError(1234);
    HANDLE h = create(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    const char text[] = "1:\tCOM1 \t0.00 sec\t+ #012B6\r\n";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, text, sizeof(text) - 1, &written, NULL));
    EXPECT_EQ(sizeof(text) - 1, written);
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ(std::string(text), fileText(path));

    h = create(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ("", fileText(path));
}

TEST(File, ReadFileGivesTheBytesThenZeroAtTheEnd) {
    TempDir dir;
    std::string path = dir.file("data.bin");
    writeText(path, std::string("ab\r\n\xff\0z", 7));
    HANDLE h = create(path, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    char buf[16];
    DWORD got = 99;
    ASSERT_TRUE(ReadFile(h, buf, sizeof(buf), &got, NULL));
    ASSERT_EQ(7u, got);
    EXPECT_EQ(std::string("ab\r\n\xff\0z", 7), std::string(buf, got));
    ASSERT_TRUE(ReadFile(h, buf, sizeof(buf), &got, NULL));
    EXPECT_EQ(0u, got);
    EXPECT_TRUE(CloseHandle(h));
}

struct OpenFailure {
    const char* name; // under the test folder
    DWORD access;
    DWORD disposition;
    DWORD error;
};

const OpenFailure kOpenFailures[] = {
    {"absent.txt", GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
    {"absent.txt", GENERIC_WRITE, TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
    {"no/such/dir/f.txt", GENERIC_WRITE, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
    {"present.txt", GENERIC_WRITE, CREATE_NEW, ERROR_FILE_EXISTS},
    {"sub", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED}, // a folder
    {"present.txt", GENERIC_READ, 0, ERROR_INVALID_PARAMETER},
};

TEST(File, OpenFailuresGiveTheDocumentedErrors) {
    TempDir dir;
    writeText(dir.file("present.txt"), "x");
    ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0755));
    for (const OpenFailure& f : kOpenFailures) {
        SetLastError(0);
        HANDLE h = create(dir.file(f.name), f.access, f.disposition);
        EXPECT_EQ(INVALID_HANDLE_VALUE, h) << f.name;
        EXPECT_EQ(f.error, GetLastError()) << f.name;
    }
}

TEST(File, OpenAlwaysKeepsTheContentAndWindowsPathsWork) {
    TempDir dir;
    writeText(dir.file("keep.txt"), "kept");
    std::string winPath = "Z:" + dir.file("keep.txt");
    for (char& c : winPath)
        if (c == '/') c = '\\';
    HANDLE h = create(winPath, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    char buf[8];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(h, buf, sizeof(buf), &got, NULL));
    EXPECT_EQ("kept", std::string(buf, got));
    EXPECT_TRUE(CloseHandle(h));
}

TEST(File, AReadOnlyFileOpensForReadingOnly) {
    TempDir dir;
    std::string path = dir.file("locked.txt");
    writeText(path, "kept");
    ASSERT_EQ(0, chmod(path.c_str(), 0444));
    const DWORD changing[][2] = {{GENERIC_WRITE, OPEN_EXISTING},
                                 {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS},
                                 {GENERIC_READ, CREATE_ALWAYS},
                                 {GENERIC_WRITE, TRUNCATE_EXISTING}};
    for (const DWORD* c : changing) {
        SetLastError(0);
        EXPECT_EQ(INVALID_HANDLE_VALUE, create(path, c[0], c[1])) << c[0] << " " << c[1];
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    }
    HANDLE h = create(path, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ("kept", fileText(path));
}

TEST(File, AttributesTellFolderReadOnlyAndNormalFiles) {
    TempDir dir;
    writeText(dir.file("plain.txt"), "x");
    writeText(dir.file("locked.txt"), "x");
    ASSERT_EQ(0, chmod(dir.file("locked.txt").c_str(), 0444));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesA(dir.path().c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL),
              GetFileAttributesA(dir.file("plain.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA(dir.file("locked.txt").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.file("absent.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.file("no/such/f.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST(File, CopyFileCopiesEveryByteAndReplacesAnOlderCopy) {
    TempDir dir;
    const std::string bytes("MZ\x90\0\r\n\x1a\xff end", 12);
    writeText(dir.file("new.dll"), bytes);
    writeText(dir.file("old.dll"), "an older and longer copy of the library");
    std::string target = "Z:" + dir.file("old.dll");
    for (char& c : target)
        if (c == '/') c = '\\';
    ASSERT_TRUE(CopyFileA(dir.file("new.dll").c_str(), target.c_str(), FALSE));
    EXPECT_EQ(bytes, fileText(dir.file("old.dll")));
    ASSERT_TRUE(CopyFileA(dir.file("new.dll").c_str(), dir.file("fresh.dll").c_str(), TRUE));
    EXPECT_EQ(bytes, fileText(dir.file("fresh.dll")));
}

TEST(File, CopyFileFailuresGiveTheDocumentedErrorsAndLeaveTheTarget) {
    TempDir dir;
    writeText(dir.file("src.txt"), "new");
    writeText(dir.file("kept.txt"), "kept");
    writeText(dir.file("locked.txt"), "kept");
    ASSERT_EQ(0, chmod(dir.file("locked.txt").c_str(), 0444));
    ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0755));
    struct Case {
        const char* from;
        const char* to;
        BOOL failIfExists;
        DWORD error;
    } const cases[] = {
        {"absent.txt", "out.txt", FALSE, ERROR_FILE_NOT_FOUND},
        {"no/such/src.txt", "out.txt", FALSE, ERROR_PATH_NOT_FOUND},
        {"src.txt", "no/such/out.txt", FALSE, ERROR_PATH_NOT_FOUND},
        {"src.txt", "kept.txt", TRUE, ERROR_FILE_EXISTS},
        {"src.txt", "locked.txt", FALSE, ERROR_ACCESS_DENIED},
        {"src.txt", "sub", FALSE, ERROR_ACCESS_DENIED},
        {"sub", "out.txt", FALSE, ERROR_ACCESS_DENIED},
        {"kept.txt", "kept.txt", FALSE, ERROR_SHARING_VIOLATION},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(CopyFileA(dir.file(c.from).c_str(), dir.file(c.to).c_str(), c.failIfExists))
            << c.from << " to " << c.to;
        EXPECT_EQ(c.error, GetLastError()) << c.from << " to " << c.to;
    }
    EXPECT_EQ("kept", fileText(dir.file("kept.txt")));
    EXPECT_EQ("kept", fileText(dir.file("locked.txt")));
    EXPECT_NE(0, access(dir.file("out.txt").c_str(), F_OK));
}

TEST(File, DeleteFileRemovesAFileAndRefusesWhatItMayNot) {
    TempDir dir;
    writeText(dir.file("gone.txt"), "x");
    writeText(dir.file("locked.txt"), "kept");
    ASSERT_EQ(0, chmod(dir.file("locked.txt").c_str(), 0444));
    ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0755));
    EXPECT_TRUE(DeleteFileA(dir.file("gone.txt").c_str()));
    EXPECT_NE(0, access(dir.file("gone.txt").c_str(), F_OK));
    struct Case {
        const char* name;
        DWORD error;
    } const cases[] = {
        {"gone.txt", ERROR_FILE_NOT_FOUND},
        {"no/such/f.txt", ERROR_PATH_NOT_FOUND},
        {"locked.txt", ERROR_ACCESS_DENIED},
        {"sub", ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(DeleteFileA(dir.file(c.name).c_str())) << c.name;
        EXPECT_EQ(c.error, GetLastError()) << c.name;
    }
    EXPECT_EQ("kept", fileText(dir.file("locked.txt")));
    EXPECT_EQ(0, access(dir.file("sub").c_str(), F_OK));
}

TEST(File, ClosedOrForeignHandlesAreInvalid) {
    TempDir dir;
    HANDLE h = create(dir.file("f.txt"), GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    ASSERT_TRUE(CloseHandle(h));
    int local = 0;
    HANDLE bad[] = {h, INVALID_HANDLE_VALUE, NULL, &local};
    for (HANDLE b : bad) {
        char c = 0;
        DWORD n = 77;
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(b));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
        EXPECT_FALSE(WriteFile(b, &c, 1, &n, NULL));
        EXPECT_EQ(0u, n);
        EXPECT_FALSE(ReadFile(b, &c, 1, &n, NULL));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    }
}

} // namespace
