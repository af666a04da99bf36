#include "commands.h"

#include <stdio.h>

#include "about/about.h"
#include "app/state.h"
#include "host/modal.h"
#include "res/resource.h"
#include "res/version.h"
#include "settings/path.h"
#include "settings/open_dialog.h"
#include "settings/recent.h"
#include "settings/recent_menu.h"
#include "settings/saver_folder.h"
#include "settings/system_saver.h"
#include "window/drop.h"
#include "window/preview_control.h"
#include "window/saver_notice.h"
#include "window/sizing.h"

/* Reset, Stop and the modal runs act only on a running preview, and not
 * while a modal run holds the child slot. */
static int PreviewIsRunning(void)
{
    ViewerState *state = GetState();

    return state->playState == PLAY_PREVIEW && state->modalRun != 1;
}

/* After a new current saver: during a modal run the start after the run
 * takes it up. */
static void PreviewNewSaver(void)
{
    if (GetState()->modalRun != 1)
        RestartPreview();
}

static void OpenSaver(void)
{
    if (ChooseSaverFile(GetState()) == 1)
        PreviewNewSaver();
}

/* As the open dialog takes a file: the saver goes to the front of the
 * recent list and is previewed. */
static void OpenSaverPath(const char *path)
{
    AddRecent(path);
    RebuildRecentMenu();
    PreviewNewSaver();
}

void OpenDroppedSaver(HDROP drop)
{
    char path[PATH_BUFFER];

    if (TakeDroppedSaver(drop, path, sizeof(path)) == 1)
        OpenSaverPath(path);
}

/* Also from a key, with the menu out of reach (in full-screen-window mode)
 * and so not greyed: the folder decides here again. */
static void OpenNeighbourSaver(int step)
{
    char path[PATH_BUFFER];

    if (FindNeighbourSaver(GetState()->currentSaver, step, path, sizeof(path)) == 1)
        OpenSaverPath(path);
}

static void OpenInstalledSaver(UINT id)
{
    ViewerState *state = GetState();
    int entry = (int)(id - IDM_INSTALLED_FIRST);

    if (id >= IDM_INSTALLED_FIRST && entry < state->installedCount)
        OpenSaverPath(state->installed[entry].path);
}

/* The one message box of the viewer: the user asked for a change to the
 * system, and must learn that it did not happen. */
static void SetSystemSaver(void)
{
    ViewerState *state = GetState();
    char format[128];
    char reason[192];
    char text[384];

    if (state->currentSaver[0] == '\0' || MakeSystemSaver(state->currentSaver) == 1)
        return;
    DescribeError(GetLastError(), reason, sizeof(reason));
    if (LoadStringA(state->instance, IDS_SYSTEM_SAVER_FAILED, format, sizeof(format)) == 0)
        format[0] = '\0';
    snprintf(text, sizeof(text), format, reason);
    MessageBoxA(state->mainWindow, text, NOVRA_NAME, MB_OK | MB_ICONERROR);
}

static void ChooseRecent(int slot)
{
    PromoteRecent(GetState()->recent[slot]);
    RebuildRecentMenu();
    PreviewNewSaver();
}

static void ResetPreview(void)
{
    if (PreviewIsRunning() == 1)
        RestartPreview();
}

static void StopPreviewCommand(void)
{
    if (PreviewIsRunning() != 1)
        return;
    StopPreviewAndWatch();
    SetBareTitle();
    EnablePreviewCommands(MF_GRAYED);
    GetState()->playState = PLAY_STOPPED;
}

static void RunModalCommand(int (*run)(void))
{
    ViewerState *state = GetState();

    if (PreviewIsRunning() != 1)
        return;
    if (StopBeforeNextStart() != 1)
        return;
    Sleep(RESTART_PAUSE_MS);
    run();
    /* Closed during the run: no preview for a destroyed window. */
    if (!IsWindow(state->mainWindow))
        return;
    /* A settings dialog disables its owner and enables it again only when
     * it closes normally: one that crashed or was killed never does. */
    EnableWindow(state->mainWindow, TRUE);
    SetForegroundWindow(state->mainWindow);
    if (StartPreviewStep() == 1)
        EnablePreviewCommands(MF_ENABLED);
}

static void ShowAbout(void)
{
    ViewerState *state = GetState();

    DialogBoxParamA(state->instance, MAKEINTRESOURCEA(IDD_ABOUT), state->mainWindow,
                    AboutDlgProc, 0);
}

/* The WinHelp file beside the executable where there is one; otherwise the
 * help page, in the user's browser: Windows 10 and later have no WinHelp. */
static void OpenHelp(HWND window)
{
    char helpFile[PATH_BUFFER];

    if (PathBesideProgram("NOVRA.hlp", helpFile, sizeof(helpFile)) != 1)
        return;
    if (IsPlainFile(helpFile) == 1) {
        WinHelpA(window, helpFile, HELP_CONTENTS, 0);
        return;
    }
    if (PathBesideProgram("NOVRA.html", helpFile, sizeof(helpFile)) == 1)
        ShellExecuteA(window, NULL, helpFile, NULL, NULL, SW_SHOWNORMAL);
}

static void EnterFullScreenCommand(void)
{
    ViewerState *state = GetState();

    state->fullScreenWindow = 1;
    EnterFullScreenWindow(state->mainWindow);
}

void DispatchCommand(HWND window, UINT id)
{
    switch (id) {
    case IDM_EXIT:              SendMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_RECENT_1:
    case IDM_RECENT_2:
    case IDM_RECENT_3:
    case IDM_RECENT_4:
    case IDM_RECENT_5:          ChooseRecent((int)(id - IDM_RECENT_1)); break;
    case IDM_OPEN:              OpenSaver(); break;
    case IDM_RESET:             ResetPreview(); break;
    case IDM_STOP:              StopPreviewCommand(); break;
    case IDM_SAVER_SETTINGS:    RunModalCommand(RunSaverSettings); break;
    case IDM_START_SAVER:       RunModalCommand(RunSaverFullScreen); break;
    case IDM_NEXT_SAVER:        OpenNeighbourSaver(1); break;
    case IDM_PREVIOUS_SAVER:    OpenNeighbourSaver(-1); break;
    case IDM_SET_SYSTEM_SAVER:  SetSystemSaver(); break;
    case IDM_ABOUT:             ShowAbout(); break;
    case IDM_HELP:              OpenHelp(window); break;
    case IDM_TOPMOST:           ToggleAlwaysOnTop(); break;
    case IDM_SIZE_QVGA:         ApplySizePreset(320, 240); break;
    case IDM_SIZE_VGA:          ApplySizePreset(640, 480); break;
    case IDM_SIZE_SVGA:         ApplySizePreset(800, 600); break;
    case IDM_SIZE_XGA:          ApplySizePreset(1024, 768); break;
    case IDM_FULL_SCREEN:       EnterFullScreenCommand(); break;
    case IDM_RESTORE_SIZE:      RestoreWindowSize(window); break;
    default:                    OpenInstalledSaver(id); break;
    }
}
