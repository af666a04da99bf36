// Probe screen saver: a stand-in saver for the viewer's tests. It appends what
// it was started with, and what happened to its windows, to the log named by
// NOVRA_PROBE_LOG. PROBE_MODE picks one misbehaviour per executable.
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#define PROBE_NORMAL 0
#define PROBE_IGNORECLOSE 1
#define PROBE_HANGCLOSE 2
#define PROBE_EXITNOW 3
#define PROBE_CHILDREN 4
#ifndef PROBE_MODE
#define PROBE_MODE PROBE_NORMAL
#endif

namespace {

const int kPreviewExitCode = 7;
const int kExitNowCode = 3;
const int kDefaultExitCode = 5;
const UINT_PTR kExitTimer = 1;

struct Args {
    char mode;   // 'p', 'c' or 's'
    HWND hwnd;   // parent (p) or owner (c); NULL if none was given
};

int g_exitCode = kPreviewExitCode;
bool g_painted = false;

// One CreateFile/WriteFile/CloseHandle per line: with FILE_APPEND_DATA each
// write lands at the current end of file, so several probes (and the viewer's
// test) can share one log without interleaving inside a line.
void LogLine(const char *fmt, ...) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("NOVRA_PROBE_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    char line[2048];
    int len = snprintf(line, sizeof line, "%lu %lu ",
                       (unsigned long)GetTickCount(), (unsigned long)GetCurrentProcessId());
    if (len < 0) return;
    va_list ap;
    va_start(ap, fmt);
    int body = vsnprintf(line + len, sizeof line - len, fmt, ap);
    va_end(ap);
    if (body < 0) return;
    len += body;
    const int maxText = (int)sizeof line - 3;  // room for CR LF NUL
    if (len > maxText) len = maxText;          // over-long command lines get cut
    line[len++] = '\r';
    line[len++] = '\n';
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, line, (DWORD)len, &written, NULL);
    CloseHandle(f);
}

// Handles are logged sign-extended, the way a 64-bit host would see them too.
long HandleValue(HWND h) { return (long)(LONG_PTR)h; }

// Returns the variable as a number, or `fallback` when unset or not numeric.
long EnvNumber(const char *name, long fallback) {
    char buf[32];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return fallback;
    char *end = NULL;
    long v = strtol(buf, &end, 10);
    return end == buf ? fallback : v;
}

const char *SkipBlanks(const char *p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// The program name may be quoted and contain blanks; skip it as the C runtime
// would, since GetCommandLineA hands us the raw line.
const char *SkipProgramName(const char *p) {
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    return SkipBlanks(p);
}

// Accepts "/p 123", "-P:123", "/s"; a bare name means configure, unowned.
Args ParseArgs(const char *cmdLine) {
    Args a = {'c', NULL};
    const char *p = SkipProgramName(cmdLine);
    if (*p != '/' && *p != '-') return a;
    char sw = (char)(p[1] | 0x20);
    if (sw == 'p' || sw == 's') a.mode = sw;
    p = p[1] ? p + 2 : p + 1;
    if (*p == ':') ++p;
    p = SkipBlanks(p);
    // Hosts pass the handle as an unsigned number; parse it that wide so
    // "high" handle values survive the round trip.
    a.hwnd = (HWND)(ULONG_PTR)strtoul(p, NULL, 10);
    return a;
}

void PaintSolid(HWND hwnd, COLORREF colour) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    int id = GetDlgCtrlID(hwnd);
    if (msg == WM_CLOSE) LogLine("WM_CLOSE child %d", id);
    if (msg == WM_PAINT) {
        PaintSolid(hwnd, id == 1 ? RGB(200, 60, 60) : RGB(60, 160, 60));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT OnClose(HWND hwnd) {
    LogLine("WM_CLOSE");
#if PROBE_MODE == PROBE_IGNORECLOSE
    (void)hwnd;
#elif PROBE_MODE == PROBE_HANGCLOSE
    (void)hwnd;
    Sleep(INFINITE);
#else
    DestroyWindow(hwnd);
#endif
    return 0;
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        if (!g_painted) LogLine("paint");
        g_painted = true;
        PaintSolid(hwnd, RGB(30, 60, 160));
        return 0;
    case WM_TIMER:
        if (wp == kExitTimer) DestroyWindow(hwnd);
        return 0;
    case WM_CLOSE:
        return OnClose(hwnd);
    case WM_DESTROY:
        PostQuitMessage(g_exitCode);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void RegisterClassNamed(HINSTANCE inst, const char *name, WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

void CreateChildren(HINSTANCE inst, HWND parent, int w, int h) {
    RegisterClassNamed(inst, "NovraProbeChild", ChildProc);
    for (int id = 1; id <= 2; ++id) {
        int x = id == 1 ? 0 : w / 2;
        int cw = id == 1 ? w / 2 : w - w / 2;
        CreateWindowExA(0, "NovraProbeChild", "", WS_CHILD | WS_VISIBLE, x, 0, cw, h,
                        parent, (HMENU)(INT_PTR)id, inst, NULL);
    }
}

HWND CreatePreview(HINSTANCE inst, HWND parent) {
    RECT rc;
    if (!GetClientRect(parent, &rc)) return NULL;
    LogLine("client %ld %ld", rc.right, rc.bottom);
    RegisterClassNamed(inst, "NovraProbe", ProbeProc);
    HWND w = CreateWindowExA(0, "NovraProbe", "Probe", WS_CHILD | WS_VISIBLE, 0, 0,
                             rc.right, rc.bottom, parent, NULL, inst, NULL);
    if (w && PROBE_MODE == PROBE_CHILDREN) CreateChildren(inst, w, rc.right, rc.bottom);
    return w;
}

HWND CreateConfig(HINSTANCE inst, HWND owner) {
    RegisterClassNamed(inst, "NovraProbeConfig", ProbeProc);
    // A non-child window with a parent handle becomes owned, not a child.
    return CreateWindowExA(0, "NovraProbeConfig", "Probe settings",
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, 260, 140, owner, NULL, inst, NULL);
}

HWND CreateFull(HINSTANCE inst) {
    RegisterClassNamed(inst, "NovraProbeFull", ProbeProc);
    return CreateWindowExA(WS_EX_TOPMOST, "NovraProbeFull", "Probe", WS_POPUP | WS_VISIBLE,
                           0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                           NULL, NULL, inst, NULL);
}

int Finish(int code) {
    LogLine("exit %d", code);
    return code;
}

HWND CreateForMode(HINSTANCE inst, const Args &a) {
    if (a.mode == 'p') return CreatePreview(inst, a.hwnd);
    g_exitCode = (int)EnvNumber("NOVRA_PROBE_EXIT_CODE", kDefaultExitCode);
    HWND w = a.mode == 's' ? CreateFull(inst) : CreateConfig(inst, a.hwnd);
    long ms = EnvNumber("NOVRA_PROBE_EXIT_MS", -1);
    if (w && ms >= 0) SetTimer(w, kExitTimer, (UINT)ms, NULL);
    return w;
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    const char *cmdLine = GetCommandLineA();
    LogLine("start %s", cmdLine);
    if (PROBE_MODE == PROBE_EXITNOW) return Finish(kExitNowCode);

    Args a = ParseArgs(cmdLine);
    LogLine("mode %c parent %ld", a.mode, HandleValue(a.hwnd));
    long sleepMs = EnvNumber("NOVRA_PROBE_SLEEP_MS", 0);
    if (sleepMs > 0) Sleep((DWORD)sleepMs);
    // A preview without a live parent has nowhere to draw.
    if (a.mode == 'p' && !IsWindow(a.hwnd)) return Finish(1);

    HWND w = CreateForMode(inst, a);
    if (!w) return Finish(2);
    LogLine("window %ld", HandleValue(w));

    MSG msg = {};
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return Finish((int)msg.wParam);
}
