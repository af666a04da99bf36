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
#include "window/preview_control.h"

namespace {

const DWORD kWaitMs = 15000;        // generous: only a broken run takes this long
const int kStarts = 5;
const int kRestarts = 20;
const int kHungStops = 3;
const int kSettingsCloses = 3;

struct Event {
    DWORD tick;
    DWORD pid;
    std::string text;
};

struct Viewer {
    PROCESS_INFORMATION process;
    HWND window;
};

std::string g_folder;
std::string g_bin;
std::string g_log;

// The probes' log events whose text starts with prefix, in file order.
std::vector<Event> Events(const char *prefix)
{
    std::vector<Event> found;
    HANDLE file = CreateFileA(g_log.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return found;
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    // A probe may be writing its last line right now: complete lines only.
    size_t at = 0;
    size_t end;
    for (; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = text.substr(at, end - at);
        unsigned long tick;
        unsigned long pid;
        int used = 0;
        if (sscanf(line.c_str(), "%lu %lu %n", &tick, &pid, &used) < 2 || used == 0)
            continue;
        std::string rest = line.substr(used, line.find_last_not_of('\r') + 1 - used);
        if (rest.compare(0, strlen(prefix), prefix) == 0)
            found.push_back(Event{(DWORD)tick, (DWORD)pid, rest});
    }
    return found;
}

// Waits for the count-th event starting with prefix.
bool WaitEvent(const char *prefix, size_t count, Event *out)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(1)) {
        std::vector<Event> found = Events(prefix);
        if (found.size() >= count) {
            *out = found[count - 1];
            return true;
        }
    }
    return false;
}

// A fresh viewer with the saver as its first recent entry; the time from
// just before CreateProcessA to the saver's first paint, or -1.
long StartViewer(const char *saver, Viewer *viewer)
{
    std::string ini = g_folder + "novra.ini";
    std::string program = g_folder + "novra.exe";
    ZeroMemory(viewer, sizeof(*viewer));
    DeleteFileA(g_log.c_str());
    DeleteFileA(ini.c_str());
    WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", (g_bin + saver).c_str(), ini.c_str());

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    DWORD before = GetTickCount();
    if (!CreateProcessA(program.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, g_folder.c_str(),
                        &startup, &viewer->process))
        return -1;
    Event paint;
    Event mode;
    if (!WaitEvent("paint", 1, &paint) || !WaitEvent("mode p parent ", 1, &mode))
        return -1;
    viewer->window = (HWND)(INT_PTR)atol(mode.text.c_str() + strlen("mode p parent "));
    return (long)(paint.tick - before);
}

// Closes the viewer as a user would; whatever is left of it or of its
// savers is ended by handle, so no run leaves a process behind.
void CloseViewer(Viewer *viewer)
{
    if (viewer->process.hProcess == NULL)
        return;
    if (viewer->window != NULL)
        PostMessageA(viewer->window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(viewer->process.hProcess, kWaitMs) != WAIT_OBJECT_0) {
        printf("  (viewer did not close: terminated)\n");
        TerminateProcess(viewer->process.hProcess, 1);
        WaitForSingleObject(viewer->process.hProcess, kWaitMs);
    }
    for (const Event &e : Events("start")) {
        HANDLE probe = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, e.pid);
        if (probe != NULL && WaitForSingleObject(probe, 1000) != WAIT_OBJECT_0) {
            printf("  (saver %lu outlived the viewer: terminated)\n", (unsigned long)e.pid);
            TerminateProcess(probe, 1);
            WaitForSingleObject(probe, kWaitMs);
        }
        if (probe != NULL)
            CloseHandle(probe);
    }
    CloseHandle(viewer->process.hThread);
    CloseHandle(viewer->process.hProcess);
    viewer->process.hProcess = NULL;
}

// Resizes the viewer from outside (a plain SetWindowPos would block until
// the viewer has restarted). The time to the new saver's first paint, or
// -1; in *running the time to the new saver's first log line.
long Restart(const Viewer &viewer, int width, int height, long *running)
{
    size_t painted = Events("paint").size(), started = Events("start").size();
    DWORD before = GetTickCount();
    SetWindowPos(viewer.window, NULL, 0, 0, width, height,
                 SWP_ASYNCWINDOWPOS | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Event paint;
    Event start;
    if (!WaitEvent("paint", painted + 1, &paint) || !WaitEvent("start", started + 1, &start))
        return -1;
    *running = (long)(start.tick - before);
    return (long)(paint.tick - before);
}

// Closes the viewer while the saver's settings run is open: the time from
// WM_CLOSE until the viewer's process has ended, or -1.
long CloseDuringSettings(Viewer *viewer)
{
    size_t runs = Events("mode c").size();
    Event settings;

    PostMessageA(viewer->window, WM_COMMAND, IDM_SAVER_SETTINGS, 0);
    if (!WaitEvent("window", 2, &settings) || Events("mode c").size() != runs + 1)
        return -1;
    DWORD before = GetTickCount();
    PostMessageA(viewer->window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(viewer->process.hProcess, kWaitMs) != WAIT_OBJECT_0)
        return -1;
    return (long)(GetTickCount() - before);
}

// Stops the preview: the times until the saver has ended, and until the
// viewer has finished the command (its title is bare again) and answers.
bool Stop(const Viewer &viewer, long *ended, long *answers)
{
    std::vector<Event> started = Events("start");
    HANDLE saver = started.empty() ? NULL : OpenProcess(SYNCHRONIZE, FALSE, started.back().pid);
    if (saver == NULL)
        return false;
    DWORD before = GetTickCount();
    PostMessageA(viewer.window, WM_COMMAND, IDM_STOP, 0);
    bool ok = WaitForSingleObject(saver, kWaitMs) == WAIT_OBJECT_0;
    *ended = (long)(GetTickCount() - before);
    CloseHandle(saver);
    // The viewer keeps answering sent messages while it waits for a saver,
    // so a WM_NULL alone could come back from inside the stop. The title of
    // another process's window is read without a message.
    char title[512];
    while (GetWindowTextA(viewer.window, title, sizeof(title)) > 0 && strchr(title, '[') != NULL &&
           GetTickCount() - before < kWaitMs)
        Sleep(1);
    DWORD_PTR result;
    ok = ok && SendMessageTimeoutA(viewer.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    *answers = (long)(GetTickCount() - before);
    return ok;
}

struct Row {
    const char *name;
    long limit;     // the aim: under this, or 0 for none
    bool onMedian;  // the aim holds for the median, else for every sample
    std::vector<long> samples;
};

bool PrintRows(std::vector<Row> &rows)
{
    bool complete = true;
    printf("\n%-40s %3s %7s %6s %6s  %s\n", "measurement (ms)", "n", "median", "min", "max", "aim");
    for (Row &row : rows) {
        std::vector<long> v = row.samples;
        if (v.empty()) {
            printf("%-40s   0  not measured\n", row.name);
            complete = false;
            continue;
        }
        std::sort(v.begin(), v.end());
        long median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
        printf("%-40s %3d %7ld %6ld %6ld", row.name, (int)v.size(), median, v.front(), v.back());
        if (row.limit > 0)
            printf("  %s < %ld: %s", row.onMedian ? "median" : "max", row.limit,
                   (row.onMedian ? median : v.back()) < row.limit ? "met" : "MISSED");
        printf("\n");
    }
    printf("\nsamples (ms), in order:\n");
    for (const Row &row : rows) {
        printf("  %-40s", row.name);
        for (long s : row.samples)
            printf(" %ld", s);
        printf("\n");
    }
    return complete;
}

}  // namespace

int main()
{
    char path[MAX_PATH];
    char temp[MAX_PATH];
    char folder[MAX_PATH + 32];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    if (length == 0 || length >= sizeof(path) || GetTempPathA(sizeof(temp), temp) == 0)
        return 2;
    g_bin.assign(path, strrchr(path, '\\') + 1);
    snprintf(folder, sizeof(folder), "%snovra_bench_%lu\\", temp, (unsigned long)GetCurrentProcessId());
    g_folder = folder;
    g_log = g_folder + "probe.log";
    CreateDirectoryA(g_folder.c_str(), NULL);
    if (!CopyFileA((g_bin + "novra.exe").c_str(), (g_folder + "novra.exe").c_str(), FALSE)) {
        printf("bench: cannot copy novra.exe from %s\n", g_bin.c_str());
        return 2;
    }
    // The viewer passes its environment on to the savers it starts.
    SetEnvironmentVariableA("NOVRA_PROBE_LOG", g_log.c_str());
    setvbuf(stdout, NULL, _IONBF, 0);
    printf("NOVRA benchmark: the real viewer driven from outside; GetTickCount milliseconds\n");

    std::vector<Row> rows = {
        {"viewer start -> first saver paint", 0, true, {}},
        {"restart after resize: total", 0, true, {}},
        {"restart overhead beyond the 500 ms pause", 150, true, {}},
        {"restart: resize -> new saver running", 0, true, {}},
        {"stop probe: saver ended", 0, true, {}},
        {"stop probe: viewer answers", 0, true, {}},
        {"stop probe_hangclose: saver ended", 1500, false, {}},
        {"stop probe_hangclose: viewer answers", 1500, false, {}},
        {"stop probe_ignoreclose: saver ended", 1500, false, {}},
        {"stop probe_ignoreclose: viewer answers", 1500, false, {}},
        {"close during a settings run: viewer gone", 500, false, {}},
    };
    Viewer viewer;
    long ended;
    long answers;

    printf("viewer starts and stops with probe.scr (%d)...\n", kStarts);
    for (int i = 0; i < kStarts; i++) {
        long shown = StartViewer("probe.scr", &viewer);
        if (shown >= 0)
            rows[0].samples.push_back(shown);
        if (shown >= 0 && Stop(viewer, &ended, &answers)) {
            rows[4].samples.push_back(ended);
            rows[5].samples.push_back(answers);
        }
        CloseViewer(&viewer);
    }
    if (rows[0].samples.empty()) {
        printf("bench: no saver was ever shown; nothing measured\n");
        return 1;
    }

    printf("restarts by resizing from outside (%d)...\n", kRestarts);
    if (StartViewer("probe.scr", &viewer) >= 0) {
        for (int i = 0; i < kRestarts; i++) {
            long running = 0;
            long total = Restart(viewer, i % 2 ? 480 : 560, i % 2 ? 360 : 420, &running);
            if (total < 0)
                break;
            rows[1].samples.push_back(total);
            rows[2].samples.push_back(total - RESTART_PAUSE_MS);
            rows[3].samples.push_back(running);
        }
        // One resize must cost one saver run, not one per size message.
        Sleep(2 * RESTART_PAUSE_MS);
        printf("  %d resizes started %d savers\n", (int)rows[1].samples.size(),
               (int)Events("start").size() - 1);
    }
    CloseViewer(&viewer);

    const char *hung[] = {"probe_hangclose.scr", "probe_ignoreclose.scr"};
    for (int h = 0; h < 2; h++) {
        printf("stops of %s (%d, a fresh viewer each)...\n", hung[h], kHungStops);
        for (int i = 0; i < kHungStops; i++) {
            if (StartViewer(hung[h], &viewer) >= 0 && Stop(viewer, &ended, &answers)) {
                rows[6 + 2 * h].samples.push_back(ended);
                rows[7 + 2 * h].samples.push_back(answers);
            }
            CloseViewer(&viewer);
        }
    }

    printf("closes during a settings run (%d, a fresh viewer each)...\n", kSettingsCloses);
    for (int i = 0; i < kSettingsCloses; i++) {
        if (StartViewer("probe.scr", &viewer) >= 0) {
            long gone = CloseDuringSettings(&viewer);
            if (gone >= 0)
                rows[10].samples.push_back(gone);
        }
        CloseViewer(&viewer);
    }

    bool complete = PrintRows(rows);
    DeleteFileA(g_log.c_str());
    DeleteFileA((g_folder + "novra.ini").c_str());
    DeleteFileA((g_folder + "novra.exe").c_str());
    RemoveDirectoryA(g_folder.c_str());
    return complete ? 0 : 1;
}
