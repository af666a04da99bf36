#include "host_window.h"

#define HOST_CLASS "NovraCheckHost"
#define POLL_MS 15

static HWND CreateCheckerWindow(const char *title, int left, int width, int height)
{
    WNDCLASSA windowClass;

    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = HOST_CLASS;
    /* Fails harmlessly from the second window on: the class is registered. */
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, HOST_CLASS, title, WS_POPUP | WS_VISIBLE, left, 40, width, height, NULL, NULL,
                           windowClass.hInstance, NULL);
}

HWND CreateHostWindow(int width, int height)
{
    return CreateCheckerWindow("novracheck", 40, width, height);
}

HWND CreateFrontWindow(void)
{
    HWND window = CreateCheckerWindow("novracheck (in front)", 400, 160, 120);

    if (window != NULL)
        SetForegroundWindow(window);
    return window;
}

DWORD ElapsedMs(DWORD start)
{
    return GetTickCount() - start;
}

DWORD RemainingMs(DWORD start, DWORD boundMs)
{
    DWORD elapsed = GetTickCount() - start;

    return elapsed < boundMs ? boundMs - elapsed : 0;
}

static void DispatchWaiting(void)
{
    MSG message;

    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

/* A window appearing signals nothing, so the wait also polls. */
int PumpUntil(int (*done)(void *context), void *context, HANDLE handle, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    DWORD handleCount = handle != NULL ? 1 : 0;

    for (;;) {
        DispatchWaiting();
        if (done(context) == 1)
            return 1;
        if (RemainingMs(start, timeoutMs) == 0)
            return 0;
        MsgWaitForMultipleObjects(handleCount, &handle, FALSE, POLL_MS, QS_ALLINPUT);
    }
}
