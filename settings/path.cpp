#include "path.h"

#include <stdio.h>
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

static int HasDrive(const char *path)
{
    return path[0] != '\0' && !IsLeadByte(path[0]) && path[1] == ':';
}

/* A trail byte may have the value of '\\' (0x5C) under code page 932:
 * skip it together with its lead byte. */
const char *FindFileName(const char *path)
{
    const char *name = HasDrive(path) ? path + 2 : path;

    for (const char *p = name; *p != '\0'; p++) {
        if (IsLeadByte(*p) && p[1] != '\0') {
            p++;
            continue;
        }
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    return name;
}

/* No trail byte has the value of '.', so the last dot is found plainly. */
void SplitPath(const char *path, PathParts *parts)
{
    const char *rest = HasDrive(path) ? path + 2 : path;
    const char *name = FindFileName(path);
    const char *end = strrchr(name, '.');

    if (end == NULL)
        end = name + strlen(name);
    CopyRange(parts->drive, sizeof(parts->drive), path, (size_t)(rest - path));
    CopyRange(parts->directory, sizeof(parts->directory), rest, (size_t)(name - rest));
    CopyRange(parts->name, sizeof(parts->name), name, (size_t)(end - name));
    CopyRange(parts->extension, sizeof(parts->extension), end, strlen(end));
}

int IsSaverPath(const char *path)
{
    const char *dot = strrchr(FindFileName(path), '.');

    return dot != NULL && lstrcmpiA(dot, ".scr") == 0;
}

int IsPlainFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);

    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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

int PathBesideProgram(const char *fileName, char *buffer, size_t size)
{
    char program[MAX_PATH + 1];

    if (GetProgramPath(program, sizeof(program)) != 1)
        return 0;
    int folder = (int)(FindFileName(program) - program);
    int length = snprintf(buffer, size, "%.*s%s", folder, program, fileName);
    return length > 0 && (size_t)length < size;
}
