// Texts and paths: parts of texts, escapes, and the final backslash of a
// folder. Every function keeps within the `size` it is given, terminator
// included.
#ifndef TELVIO_HOST_TEXTS_H
#define TELVIO_HOST_TEXTS_H

#include <stddef.h>

// `count` characters of `text` from `offset` into `out`, terminated; fewer
// when the text ends first or `out` is smaller. A negative offset or count,
// or an offset beyond the end, gives an empty text. The number of characters
// copied.
int CopySubstring(char* out, size_t size, const char* text, int offset, int count);

// Copies `text` with its backslash escapes replaced: \" \, \? \\ \a \b \f \n
// \r \t \v, exactly three octal digits up to \377, and \x or \X with exactly
// two hexadecimal digits of either case. Any other backslash stays as it is;
// an escape of the value 0 ends the text. `out` may be `text` itself. 1, or 0
// when `out` was too small and the text was cut.
int DecodeEscapes(char* out, size_t size, const char* text);

// Moves `text` right and writes `front` before it. 0, with `text` unchanged,
// when both do not fit `size`.
int InsertAtFront(char* text, size_t size, const char* front);

// Appends "\" to a path of two or more characters that does not end with one.
// 0, with the path unchanged, when there is no room for it.
int AddBackslash(char* path, size_t size);
// Removes the final "\" of a path of two or more characters.
void RemoveBackslash(char* path);

#endif
