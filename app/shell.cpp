#include "shell.h"

#include "app/state.h"
#include "res/resource.h"
#include "res/version.h"
#include "window/main_window.h"

DWORD RegisterMainClass(HINSTANCE instance, const char *className)
{
    WNDCLASSEXA windowClass;

    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass);
}

/* The creation handler runs inside CreateWindowExA: state, settings, the
 * saver handed over, recent menu, placement, and possibly the first
 * preview. */
int CreateMainWindow(HINSTANCE instance, const char *className, int showCommand, const char *saver)
{
    HWND window = CreateWindowExA(0, className, NOVRA_TITLE, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  NULL, NULL, instance, (LPVOID)saver);
    if (window == NULL)
        return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return 1;
}

/* Keys are translated here, before they are dispatched to the window
 * that has the focus; the table loaded from the resources lives as long
 * as the process. */
int RunMessageLoop(HINSTANCE instance)
{
    HACCEL keys = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message;

    /* Should the very first GetMessage fail, the record holds no message:
     * start it zeroed so the exit code is 0. */
    ZeroMemory(&message, sizeof(message));
    while (GetMessageA(&message, NULL, 0, 0) == TRUE) {
        if (keys != NULL && TranslateAcceleratorA(GetState()->mainWindow, keys, &message) != 0)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
