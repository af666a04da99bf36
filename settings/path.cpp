#include "path.h"

#include <string.h>
#include <windows.h>

static int IsLeadByte(char c)
{
    return IsDBCSLeadByte((BYTE)c) ? 1 : 0;
}

/* Copies at most `length` bytes of `text` (or all of it, if shorter). */
static void CopyRange(char *buffer, size_t size, const char *text, size_t length)
{
    size_t cut = 0;

    /* Step by characters, so that a double-byte pair is kept or dropped
     * whole when the buffer is full. */
    while (cut < length) {
        size_t step = (IsLeadByte(text[cut]) && cut + 1 < length) ? 2 : 1;
        if (cut + step >= size)
            break;
        cut += step;
    }
    memcpy(buffer, text, cut);
    buffer[cut] = '\0';
}

int CopyText(char *buffer, size_t size, const char *text)
{
    size_t length = strlen(text);

    if (size == 0)
        return 0;
    CopyRange(buffer, size, text, length);
    return strlen(buffer) == length;
}

void SplitPath(const char *path, PathParts *parts)
{
    const char *rest = path;
    const char *lastSeparator = NULL;
    const char *lastDot = NULL;
    const char *p;

    parts->drive[0] = '\0';
    if (path[0] != '\0' && !IsLeadByte(path[0]) && path[1] == ':') {
        CopyRange(parts->drive, sizeof(parts->drive), path, 2);
        rest = path + 2;
    }

    /* A trail byte may have the value of '\\' (0x5C) under code page 932:
     * skip it together with its lead byte. */
    for (p = rest; *p != '\0'; p++) {
        if (IsLeadByte(*p) && p[1] != '\0') {
            p++;
            continue;
        }
        if (*p == '\\' || *p == '/')
            lastSeparator = p;
        else if (*p == '.')
            lastDot = p;
    }

    const char *name = lastSeparator ? lastSeparator + 1 : rest;
    if (lastDot != NULL && lastDot < name)
        lastDot = NULL;
    const char *end = lastDot ? lastDot : p;

    CopyRange(parts->directory, sizeof(parts->directory), rest, (size_t)(name - rest));
    CopyRange(parts->name, sizeof(parts->name), name, (size_t)(end - name));
    CopyRange(parts->extension, sizeof(parts->extension), end, (size_t)(p - end));
}

int IsSoundPath(const char *path)
{
    for (const char *p = path; *p != '\0'; p++) {
        if (IsLeadByte(*p) && p[1] != '\0') {
            p++;
            continue;
        }
        if ((unsigned char)*p < 0x20 || strchr("\"<>|*?", *p) != NULL)
            return 0;
    }
    return 1;
}

int GetProgramPath(char *buffer, size_t size)
{
    DWORD length = GetModuleFileNameA(NULL, buffer, (DWORD)size);

    /* A path that fills the buffer was cut (and may lack its terminator on
     * older systems): building the settings path from it would name some
     * other file. */
    if (length == 0 || length >= size) {
        if (size > 0)
            buffer[0] = '\0';
        return 0;
    }
    return 1;
}
