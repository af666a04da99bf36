/* The probe savers' log, and waiting on it. Every probe started while a
 * ProbeLog lives appends "<tick> <pid> <event>" lines to its file, which the
 * environment names (the viewer hands its environment on to its savers).
 * The tests and the benchmark read it here, and nowhere else. */
#ifndef NOVRA_PROBE_LOG_H
#define NOVRA_PROBE_LOG_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

typedef std::vector<std::string> Strings;

struct ProbeEvent {
    DWORD tick;         /* the probe's GetTickCount when it wrote the line */
    DWORD pid;
    std::string text;   /* the event: "start ...", "paint", "exit 7" ... */
};

/* Handles this thread's messages until `done` holds (true) or the time is
 * up (false): the viewer and the savers' windows send to this thread while
 * it waits. */
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs);
void PumpMessages(DWORD ms);

class ProbeLog {
public:
    ProbeLog();
    ~ProbeLog();
    ProbeLog(const ProbeLog &) = delete;
    ProbeLog &operator=(const ProbeLog &) = delete;

    void Clear();
    /* The complete lines whose event starts with `prefix`, in file order: a
     * probe may be writing its last line right now. */
    std::vector<ProbeEvent> Entries(const std::string &prefix) const;
    Strings Events(const std::string &prefix) const;
    /* The savers' lives in order: their starts, the WM_CLOSEs they got and
     * their exits. */
    Strings Trail() const;
    bool WaitFor(const std::string &prefix, size_t count, DWORD timeoutMs) const;

private:
    std::string path;
};

#endif
