// Stand-in handler for web and mail links: registered for a protocol, it is
// started by the shell with the link target as its one argument, and appends
// that argument as a line to the file named by NOVRA_URL_LOG.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("NOVRA_URL_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path || __argc < 2) return 1;
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(f, __argv[1], (DWORD)strlen(__argv[1]), &written, NULL);
    WriteFile(f, "\r\n", 2, &written, NULL);
    CloseHandle(f);
    return 0;
}
