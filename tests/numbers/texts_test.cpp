// Parts of texts, every escape form, texts put in front, and the final
// backslash of folders, each within the buffer it is given.
#include "host/texts.h"
#include "host_fixture.h"

#include <string.h>

#include <string>

namespace {

using numberstest::HostTest;

class Texts : public HostTest {};

TEST_F(Texts, Substrings) {
    struct {
        const char* text;
        int offset;
        int count;
        size_t size;
        const char* out;
        int copied;
    } cases[] = {
        {"Telvio", 1, 3, 16, "elv", 3}, {"Telvio", 4, 10, 16, "io", 2},
        {"Telvio", 6, 1, 16, "", 0},    {"Telvio", 9, 1, 16, "", 0},
        {"Telvio", -1, 2, 16, "", 0},   {"Telvio", 0, -2, 16, "", 0},
        {"Telvio", 0, 6, 4, "Tel", 3},  {"Telvio", 2, 0, 16, "", 0},
    };
    for (const auto& c : cases) {
        char out[16];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(c.copied, CopySubstring(out, c.size, c.text, c.offset, c.count)) << c.offset;
        EXPECT_STREQ(c.out, out) << c.offset << ", " << c.count;
    }
}

TEST_F(Texts, EveryEscapeForm) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"a\\\"b", "a\"b"},      {"a\\,b", "a,b"},
        {"a\\?b", "a?b"},        {"a\\\\b", "a\\b"},
        {"\\a\\b\\f", "\a\b\f"}, {"\\n\\r\\t\\v", "\n\r\t\v"},
        {"\\101\\102", "AB"},    {"\\x41\\X4a\\x4A", "AJJ"},
        {"\\377", "\377"},       {"\\400", "\\400"}, // beyond a byte: stays
        {"\\12x", "\\12x"},                          // two octal digits: stays
        {"\\x4", "\\x4"},                            // one hexadecimal digit: stays
        {"\\xg1", "\\xg1"},      {"\\q\\'", "\\q\\'"},
        {"end\\", "end\\"},      {"a\\000b", "a"}, // a zero ends the text
        {"a\\x00b", "a"},        {"", ""},
    };
    for (const auto& c : cases) {
        char out[32];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(1, DecodeEscapes(out, sizeof out, c.in)) << c.in;
        EXPECT_STREQ(c.out, out) << c.in;
    }
    // In place, and cut to a small buffer.
    char text[] = "tab\\there\\x21";
    EXPECT_EQ(1, DecodeEscapes(text, sizeof text, text));
    EXPECT_STREQ("tab\there!", text);
    char small[4];
    EXPECT_EQ(0, DecodeEscapes(small, sizeof small, "\\x41BCDE"));
    EXPECT_STREQ("ABC", small);
}

TEST_F(Texts, InsertAtFront) {
    char text[12] = "world";
    EXPECT_EQ(1, InsertAtFront(text, sizeof text, "hello "));
    EXPECT_STREQ("hello world", text);
    EXPECT_EQ(0, InsertAtFront(text, sizeof text, "!"));
    EXPECT_STREQ("hello world", text);
    char empty[4] = "";
    EXPECT_EQ(1, InsertAtFront(empty, sizeof empty, "abc"));
    EXPECT_STREQ("abc", empty);
}

TEST_F(Texts, FinalBackslashOfFolders) {
    struct {
        const char* in;
        size_t size;
        int answer;
        const char* added;
        const char* removed;
    } cases[] = {
        {"C:", 8, 1, "C:\\", "C:"},
        {"C:\\", 8, 1, "C:\\", "C:"},
        {"C:\\dir", 8, 1, "C:\\dir\\", "C:\\dir"},
        {"C:\\dir\\", 8, 1, "C:\\dir\\", "C:\\dir"},
        {"\\", 8, 1, "\\", "\\"}, // one character: left alone
        {"", 8, 1, "", ""},
        {"C:\\dirs", 8, 0, "C:\\dirs", "C:\\dirs"}, // no room for the backslash
    };
    for (const auto& c : cases) {
        char path[16];
        strcpy(path, c.in);
        EXPECT_EQ(c.answer, AddBackslash(path, c.size)) << c.in;
        EXPECT_STREQ(c.added, path) << c.in;
        strcpy(path, c.in);
        RemoveBackslash(path);
        EXPECT_STREQ(c.removed, path) << c.in;
    }
}

} // namespace
