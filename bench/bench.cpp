/* Timing benchmark: drives the real viewer from another process and prints
 * how long it takes to show a saver, to restart it after a resize and to
 * stop a well-behaved or a hung one. It reports and does not judge: the
 * exit code is non-zero only when something could not be measured. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/probe_log.h"
#include "window/preview_control.h"

#define WAIT_MS             15000   /* generous: only a broken run takes this long */
#define STARTS              5
#define RESTARTS            20
#define HUNG_STOPS          3
#define SETTINGS_CLOSES     3
#define NOTICES             5
#define SWITCHES            6       /* into the full-screen window and back, alternately */
#define NOTICE_BAND         12      /* rows either side of the middle, where the notice stands */

/* The restarts alternate between two window sizes. */
static const SIZE RESTART_SIZES[2] = {{560, 420}, {480, 360}};

/* The table's rows, in the order printed. */
enum Measurement {
    VIEWER_START,
    RESTART_TOTAL,
    RESTART_OVERHEAD,
    RESTART_RUNNING,
    STOP_ENDED,
    STOP_ANSWERS,
    HANGCLOSE_ENDED,
    HANGCLOSE_ANSWERS,
    IGNORECLOSE_ENDED,
    IGNORECLOSE_ANSWERS,
    SETTINGS_CLOSE,
    NOTICE_SHOWN,
    SWITCH_SHOWN,
    MEASUREMENT_COUNT
};

struct Row {
    const char *name;
    long limit;     /* the aim: under this, or 0 for none */
    int onMedian;   /* 1: the aim holds for the median, else for every sample */
};

static const Row ROWS[MEASUREMENT_COUNT] = {
    {"viewer start -> first saver paint", 0, 1},
    {"restart after resize: total", 0, 1},
    {"restart overhead beyond the 500 ms pause", 150, 1},
    {"restart: resize -> new saver running", 0, 1},
    {"stop probe: saver ended", 0, 1},
    {"stop probe: viewer answers", 0, 1},
    {"stop probe_hangclose: saver ended", 1500, 0},
    {"stop probe_hangclose: viewer answers", 1500, 0},
    {"stop probe_ignoreclose: saver ended", 1500, 0},
    {"stop probe_ignoreclose: viewer answers", 1500, 0},
    {"close during a settings run: viewer gone", 500, 0},
    {"saver's own end -> notice on screen", 500, 0},
    {"full-screen switch -> new saver's window", 0, 1},
};

/* The log's constructor names it in the environment, which every viewer
 * started from here hands on to its savers. */
struct Bench {
    std::string folder;     /* the viewer's copy and its settings file */
    std::string bin;        /* the build's programs: the viewer and the probe savers */
    ProbeLog log;
    std::vector<long> samples[MEASUREMENT_COUNT];
};

struct Viewer {
    PROCESS_INFORMATION process;
    HWND window;
};

/* A fresh viewer with the saver as its first recent entry; the time from
 * just before CreateProcessA to the saver's first `shown` event ("paint",
 * or "exit" for a saver that ends at once), or -1. The viewer's window is
 * the last word of the saver's command line. */
static long StartViewer(Bench *bench, const char *saver, Viewer *viewer, const char *shown = "paint")
{
    std::string ini = bench->folder + "novra.ini";
    std::string program = bench->folder + "novra.exe";
    std::string saverPath = bench->bin + saver;
    STARTUPINFOA startup = {};

    ZeroMemory(viewer, sizeof(*viewer));
    bench->log.Clear();
    DeleteFileA(ini.c_str());
    WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", saverPath.c_str(), ini.c_str());
    startup.cb = sizeof(startup);
    DWORD before = GetTickCount();
    if (!CreateProcessA(program.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, bench->folder.c_str(),
                        &startup, &viewer->process))
        return -1;
    if (!bench->log.WaitFor(shown, 1, WAIT_MS) || !bench->log.WaitFor("start", 1, WAIT_MS))
        return -1;
    std::string line = bench->log.Entries("start")[0].text;
    viewer->window = (HWND)LongToHandle(atol(line.c_str() + line.rfind(' ') + 1));
    return (long)(bench->log.Entries(shown)[0].tick - before);
}

/* Closes the viewer as a user would; whatever is left of it or of its
 * savers is ended by handle, so no run leaves a process behind. */
static void CloseViewer(Bench *bench, Viewer *viewer)
{
    if (viewer->process.hProcess == NULL)
        return;
    if (viewer->window != NULL)
        PostMessageA(viewer->window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(viewer->process.hProcess, WAIT_MS) != WAIT_OBJECT_0) {
        printf("  (viewer did not close: terminated)\n");
        TerminateProcess(viewer->process.hProcess, 1);
        WaitForSingleObject(viewer->process.hProcess, WAIT_MS);
    }
    for (const ProbeEvent &start : bench->log.Entries("start")) {
        HANDLE probe = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, start.pid);
        if (probe == NULL)
            continue;
        if (WaitForSingleObject(probe, 1000) != WAIT_OBJECT_0) {
            printf("  (saver %lu outlived the viewer: terminated)\n", (unsigned long)start.pid);
            TerminateProcess(probe, 1);
            WaitForSingleObject(probe, WAIT_MS);
        }
        CloseHandle(probe);
    }
    CloseHandle(viewer->process.hThread);
    CloseHandle(viewer->process.hProcess);
    viewer->process.hProcess = NULL;
}

/* Resizes the viewer from outside (a plain SetWindowPos would block until
 * the viewer has restarted) and records the times to the new saver's first
 * log line and first paint. 1 when both came. */
static int MeasureRestart(Bench *bench, const Viewer &viewer, SIZE size)
{
    size_t painted = bench->log.Entries("paint").size();
    size_t started = bench->log.Entries("start").size();
    DWORD before = GetTickCount();

    SetWindowPos(viewer.window, NULL, 0, 0, size.cx, size.cy,
                 SWP_ASYNCWINDOWPOS | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!bench->log.WaitFor("paint", painted + 1, WAIT_MS) ||
        !bench->log.WaitFor("start", started + 1, WAIT_MS))
        return 0;
    long total = (long)(bench->log.Entries("paint")[painted].tick - before);
    long running = (long)(bench->log.Entries("start")[started].tick - before);
    bench->samples[RESTART_TOTAL].push_back(total);
    bench->samples[RESTART_OVERHEAD].push_back(total - RESTART_PAUSE_MS);
    bench->samples[RESTART_RUNNING].push_back(running);
    return 1;
}

/* Closes the viewer while the saver's settings run is open, and records
 * the time from WM_CLOSE until the viewer's process has ended. */
static void MeasureSettingsClose(Bench *bench, const Viewer &viewer)
{
    size_t runs = bench->log.Entries("mode c").size();

    PostMessageA(viewer.window, WM_COMMAND, IDM_SAVER_SETTINGS, 0);
    if (!bench->log.WaitFor("window", 2, WAIT_MS) || bench->log.Entries("mode c").size() != runs + 1)
        return;
    DWORD before = GetTickCount();
    PostMessageA(viewer.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(viewer.process.hProcess, WAIT_MS) == WAIT_OBJECT_0)
        bench->samples[SETTINGS_CLOSE].push_back((long)(GetTickCount() - before));
}

/* Stops the preview and records the times until the saver has ended, and
 * until the viewer has finished the command (its title is bare again) and
 * answers. */
static void MeasureStop(Bench *bench, const Viewer &viewer, Measurement ended, Measurement answers)
{
    std::vector<ProbeEvent> started = bench->log.Entries("start");
    HANDLE saver = started.empty() ? NULL : OpenProcess(SYNCHRONIZE, FALSE, started.back().pid);
    char title[512];
    DWORD_PTR result;

    if (saver == NULL)
        return;
    DWORD before = GetTickCount();
    PostMessageA(viewer.window, WM_COMMAND, IDM_STOP, 0);
    DWORD gone = WaitForSingleObject(saver, WAIT_MS);
    long endedMs = (long)(GetTickCount() - before);
    CloseHandle(saver);
    /* The viewer keeps answering sent messages while it waits for a saver,
     * so a WM_NULL alone could come back from inside the stop. The title of
     * another process's window is read without a message. */
    while (GetWindowTextA(viewer.window, title, sizeof(title)) > 0 && strchr(title, '[') != NULL &&
           GetTickCount() - before < WAIT_MS)
        Sleep(1);
    if (gone != WAIT_OBJECT_0 ||
        SendMessageTimeoutA(viewer.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) == 0)
        return;
    bench->samples[ended].push_back(endedMs);
    bench->samples[answers].push_back((long)(GetTickCount() - before));
}

static void MeasureStarts(Bench *bench)
{
    Viewer viewer;

    printf("viewer starts and stops with probe.scr (%d)...\n", STARTS);
    for (int run = 0; run < STARTS; run++) {
        long shown = StartViewer(bench, "probe.scr", &viewer);
        if (shown >= 0) {
            bench->samples[VIEWER_START].push_back(shown);
            MeasureStop(bench, viewer, STOP_ENDED, STOP_ANSWERS);
        }
        CloseViewer(bench, &viewer);
    }
}

/* One resize must cost one saver run, not one per size message: the
 * savers started are counted once the last restart has settled. */
static void MeasureRestarts(Bench *bench)
{
    Viewer viewer;

    printf("restarts by resizing from outside (%d)...\n", RESTARTS);
    if (StartViewer(bench, "probe.scr", &viewer) >= 0) {
        for (int run = 0; run < RESTARTS; run++) {
            if (MeasureRestart(bench, viewer, RESTART_SIZES[run % 2]) != 1)
                break;
        }
        Sleep(2 * RESTART_PAUSE_MS);
        printf("  %d resizes started %d savers\n", (int)bench->samples[RESTART_TOTAL].size(),
               (int)bench->log.Entries("start").size() - 1);
    }
    CloseViewer(bench, &viewer);
}

static void MeasureHungStops(Bench *bench, const char *saver, Measurement ended, Measurement answers)
{
    Viewer viewer;

    printf("stops of %s (%d, a fresh viewer each)...\n", saver, HUNG_STOPS);
    for (int run = 0; run < HUNG_STOPS; run++) {
        if (StartViewer(bench, saver, &viewer) >= 0)
            MeasureStop(bench, viewer, ended, answers);
        CloseViewer(bench, &viewer);
    }
}

static void MeasureSettingsCloses(Bench *bench)
{
    Viewer viewer;

    printf("closes during a settings run (%d, a fresh viewer each)...\n", SETTINGS_CLOSES);
    for (int run = 0; run < SETTINGS_CLOSES; run++) {
        if (StartViewer(bench, "probe.scr", &viewer) >= 0)
            MeasureSettingsClose(bench, viewer);
        CloseViewer(bench, &viewer);
    }
}

/* Whether anything but the black background shows across the middle of
 * the client area, where the notice is centred: read from the screen, as
 * the viewer draws the notice itself (under Wine too). */
static int ShowsNotice(HWND window)
{
    BITMAPINFO info = {};
    RECT client;
    DWORD *pixels = NULL;
    int lit = 0;

    GetClientRect(window, &client);
    POINT origin = {0, client.bottom / 2 - NOTICE_BAND};
    ClientToScreen(window, &origin);
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -2 * NOTICE_BAND;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP band = CreateDIBSection(memory, &info, DIB_RGB_COLORS, (void **)&pixels, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, band);
    BitBlt(memory, 0, 0, client.right, 2 * NOTICE_BAND, screen, origin.x, origin.y, SRCCOPY);
    for (long index = 0; pixels != NULL && index < client.right * 2 * NOTICE_BAND && lit == 0; index++)
        lit = (pixels[index] & 0xFFFFFF) != 0;
    SelectObject(memory, previous);
    DeleteObject(band);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return lit;
}

/* From the saver's own end (its last log line) to the notice on screen. */
static void MeasureNotices(Bench *bench)
{
    Viewer viewer;

    printf("notices of probe_exitnow.scr (%d, a fresh viewer each)...\n", NOTICES);
    for (int run = 0; run < NOTICES; run++) {
        if (StartViewer(bench, "probe_exitnow.scr", &viewer, "exit") >= 0) {
            DWORD ended = bench->log.Entries("exit")[0].tick;
            while (ShowsNotice(viewer.window) == 0 && GetTickCount() - ended < WAIT_MS)
                Sleep(1);
            if (GetTickCount() - ended < WAIT_MS)
                bench->samples[NOTICE_SHOWN].push_back((long)(GetTickCount() - ended));
        }
        CloseViewer(bench, &viewer);
    }
}

/* Enters or leaves the full-screen window, and records the time from the
 * command to the window of the saver that fills the new client area. */
static int MeasureSwitch(Bench *bench, const Viewer &viewer, UINT command, SIZE client)
{
    std::string filled = "client " + std::to_string(client.cx) + " " + std::to_string(client.cy);
    size_t before = bench->log.Entries(filled).size();
    DWORD start = GetTickCount();

    PostMessageA(viewer.window, WM_COMMAND, command, 0);
    if (!bench->log.WaitFor(filled, before + 1, WAIT_MS))
        return 0;
    DWORD saver = bench->log.Entries(filled)[before].pid;
    DWORD shown = 0;
    PumpUntil([&] {
        for (const ProbeEvent &window : bench->log.Entries("window"))
            shown = window.pid == saver ? window.tick : shown;
        return shown != 0;
    }, WAIT_MS);
    if (shown == 0)
        return 0;
    bench->samples[SWITCH_SHOWN].push_back((long)(shown - start));
    return 1;
}

/* Each switch changes the client area twice (the menu bar, then the
 * size): it should still cost one saver run. */
static void MeasureSwitches(Bench *bench)
{
    Viewer viewer;
    RECT framed;
    SIZE screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};

    printf("switches into the full-screen window and back (%d)...\n", SWITCHES);
    if (StartViewer(bench, "probe.scr", &viewer) >= 0 && GetClientRect(viewer.window, &framed)) {
        SIZE back = {framed.right, framed.bottom};
        size_t started = bench->log.Entries("start").size();
        for (int run = 0; run < SWITCHES; run++) {
            int entering = run % 2 == 0;
            if (MeasureSwitch(bench, viewer, entering ? IDM_FULL_SCREEN : IDM_RESTORE_SIZE,
                              entering ? screen : back) != 1)
                break;
        }
        Sleep(2 * RESTART_PAUSE_MS);
        printf("  %d switches started %d savers\n", (int)bench->samples[SWITCH_SHOWN].size(),
               (int)(bench->log.Entries("start").size() - started));
    }
    CloseViewer(bench, &viewer);
}

static long Median(const std::vector<long> &sorted)
{
    size_t middle = sorted.size() / 2;

    return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

/* 1 when every row has a sample. */
static int PrintTable(const Bench *bench)
{
    int complete = 1;

    printf("\n%-40s %3s %7s %6s %6s  %s\n", "measurement (ms)", "n", "median", "min", "max", "aim");
    for (int index = 0; index < MEASUREMENT_COUNT; index++) {
        const Row *row = &ROWS[index];
        std::vector<long> sorted = bench->samples[index];
        if (sorted.empty()) {
            printf("%-40s   0  not measured\n", row->name);
            complete = 0;
            continue;
        }
        std::sort(sorted.begin(), sorted.end());
        long median = Median(sorted);
        long measured = row->onMedian == 1 ? median : sorted.back();
        printf("%-40s %3d %7ld %6ld %6ld", row->name, (int)sorted.size(), median, sorted.front(),
               sorted.back());
        if (row->limit > 0)
            printf("  %s < %ld: %s", row->onMedian == 1 ? "median" : "max", row->limit,
                   measured < row->limit ? "met" : "MISSED");
        printf("\n");
    }
    return complete;
}

static void PrintSamples(const Bench *bench)
{
    printf("\nsamples (ms), in order:\n");
    for (int row = 0; row < MEASUREMENT_COUNT; row++) {
        printf("  %-40s", ROWS[row].name);
        for (long sample : bench->samples[row])
            printf(" %ld", sample);
        printf("\n");
    }
}

/* The viewer runs from a folder of its own, where it keeps its settings. */
static int PrepareFolder(Bench *bench)
{
    char path[MAX_PATH];
    char temp[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));

    if (length == 0 || length >= sizeof(path) || GetTempPathA(sizeof(temp), temp) == 0)
        return 0;
    bench->bin.assign(path, strrchr(path, '\\') + 1);
    bench->folder = std::string(temp) + "novra_bench_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(bench->folder.c_str(), NULL);
    if (!CopyFileA((bench->bin + "novra.exe").c_str(), (bench->folder + "novra.exe").c_str(), FALSE)) {
        printf("bench: cannot copy novra.exe from %s\n", bench->bin.c_str());
        return 0;
    }
    return 1;
}

static void RemoveFolder(const Bench *bench)
{
    DeleteFileA((bench->folder + "novra.ini").c_str());
    DeleteFileA((bench->folder + "novra.exe").c_str());
    RemoveDirectoryA(bench->folder.c_str());
}

int main()
{
    Bench bench;

    if (PrepareFolder(&bench) != 1)
        return 2;
    setvbuf(stdout, NULL, _IONBF, 0);
    printf("NOVRA benchmark: the real viewer driven from outside; GetTickCount milliseconds\n");
    MeasureStarts(&bench);
    if (bench.samples[VIEWER_START].empty()) {
        printf("bench: no saver was ever shown; nothing measured\n");
        RemoveFolder(&bench);
        return 1;
    }
    MeasureRestarts(&bench);
    MeasureHungStops(&bench, "probe_hangclose.scr", HANGCLOSE_ENDED, HANGCLOSE_ANSWERS);
    MeasureHungStops(&bench, "probe_ignoreclose.scr", IGNORECLOSE_ENDED, IGNORECLOSE_ANSWERS);
    MeasureSettingsCloses(&bench);
    MeasureNotices(&bench);
    MeasureSwitches(&bench);
    int complete = PrintTable(&bench);
    PrintSamples(&bench);
    RemoveFolder(&bench);
    return complete == 1 ? 0 : 1;
}
