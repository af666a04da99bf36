#include "probe_log.h"

#include <stdio.h>

bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            /* A closed viewer's quit: the tests own the loop. */
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpMessages(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

ProbeLog::ProbeLog()
{
    char folder[MAX_PATH + 1];
    char file[MAX_PATH + 1];
    GetTempPathA(sizeof(folder), folder);
    GetTempFileNameA(folder, "prb", 0, file);
    path = file;
    SetEnvironmentVariableA("NOVRA_PROBE_LOG", path.c_str());
}

ProbeLog::~ProbeLog()
{
    SetEnvironmentVariableA("NOVRA_PROBE_LOG", NULL);
    DeleteFileA(path.c_str());
}

void ProbeLog::Clear()
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

/* Shared for writing: the probes keep appending while it is read. */
static std::string ReadShared(const std::string &path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    char chunk[4096];
    DWORD got = 0;
    if (file == INVALID_HANDLE_VALUE)
        return text;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    return text;
}

std::vector<ProbeEvent> ProbeLog::Entries(const std::string &prefix) const
{
    std::vector<ProbeEvent> found;
    std::string text = ReadShared(path);
    size_t end;
    for (size_t at = 0; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = text.substr(at, end - at);
        unsigned long tick;
        unsigned long pid;
        int used = 0;
        if (sscanf(line.c_str(), "%lu %lu %n", &tick, &pid, &used) < 2 || used == 0)
            continue;
        std::string event = line.substr(used, line.find_last_not_of('\r') + 1 - used);
        if (event.compare(0, prefix.size(), prefix) == 0)
            found.push_back(ProbeEvent{(DWORD)tick, (DWORD)pid, event});
    }
    return found;
}

Strings ProbeLog::Events(const std::string &prefix) const
{
    Strings events;
    for (const ProbeEvent &entry : Entries(prefix))
        events.push_back(entry.text);
    return events;
}

Strings ProbeLog::Trail() const
{
    Strings trail;
    for (const std::string &event : Events("")) {
        if (event.compare(0, 6, "start ") == 0 || event.compare(0, 8, "WM_CLOSE") == 0 ||
            event.compare(0, 5, "exit ") == 0)
            trail.push_back(event);
    }
    return trail;
}

bool ProbeLog::WaitFor(const std::string &prefix, size_t count, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Entries(prefix).size() >= count; }, timeoutMs);
}
