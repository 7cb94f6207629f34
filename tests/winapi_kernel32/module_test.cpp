// LoadLibraryA of the system libraries the layer stands in for.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

namespace {

typedef DWORD(WINAPI* DialogErrorProc)(void);

TEST(Module, SystemLibrariesLoadByNameAndOfferTheirFunctions) {
    const char* const names[] = {"comdlg32.dll", "COMDLG32.DLL", "comdlg32",
                                 "user32.dll",   "Kernel32.dll", "gdi32.dll"};
    for (const char* name : names) {
        HMODULE library = LoadLibraryA(name);
        ASSERT_NE(nullptr, library) << name;
        EXPECT_NE(nullptr, GetProcAddress(library, "GetTickCount")) << name;
        EXPECT_TRUE(FreeLibrary(library)) << name;
    }
    HMODULE comdlg = LoadLibraryA("comdlg32.dll");
    ASSERT_NE(nullptr, comdlg);
    DialogErrorProc dialogError = reinterpret_cast<DialogErrorProc>(
        reinterpret_cast<void*>(GetProcAddress(comdlg, "CommDlgExtendedError")));
    ASSERT_NE(nullptr, dialogError);
    EXPECT_EQ(reinterpret_cast<void*>(&CommDlgExtendedError), reinterpret_cast<void*>(dialogError));
    EXPECT_EQ(nullptr, GetProcAddress(comdlg, "NoSuchFunction"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    EXPECT_TRUE(FreeLibrary(comdlg));
}

TEST(Module, OtherNamesWithoutAFileAreNotFound) {
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryA("comdlg33.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

} // namespace
