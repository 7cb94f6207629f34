// Removes a test's temporary folder with everything in it, in-process: a
// test never forks a shell for it (forking a program with threads is slow
// and, emulated, not always safe).
#ifndef TESTS_COMMON_REMOVE_TREE_H
#define TESTS_COMMON_REMOVE_TREE_H

#include <ftw.h>
#include <stdio.h>

#include <string>

inline int RemoveTreeEntry(const char* path, const struct stat*, int, struct FTW*) {
    remove(path);
    return 0;
}

inline void RemoveTree(const std::string& dir) {
    if (!dir.empty()) nftw(dir.c_str(), RemoveTreeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

#endif
