/* The viewer's one state record. Every module reaches it through GetState;
 * nothing keeps a copy of a field. */
#ifndef NOVRA_STATE_H
#define NOVRA_STATE_H

#include <windows.h>

enum PlayState {
    PLAY_NONE = 0,      /* record not initialised yet */
    PLAY_READY = 1,     /* initialised, no preview started yet */
    PLAY_PREVIEW = 2,   /* a preview process was started last */
    PLAY_STOPPED = 3    /* the user stopped the preview */
};

#define RECENT_COUNT    5
#define PATH_BUFFER     (MAX_PATH + 1)

struct ViewerState {
    HWND mainWindow;
    HINSTANCE instance;
    HCURSOR linkCursor;
    HMENU mainMenu;
    union {                         /* slot 0 is the saver being previewed */
        char recent[RECENT_COUNT][PATH_BUFFER];
        char currentSaver[PATH_BUFFER];
    };
    STARTUPINFOA startupInfo;
    PROCESS_INFORMATION processInfo;
    int playState;
    int startPlayState;
    int windowX;
    int windowY;
    int windowWidth;
    int windowHeight;
    int fullScreenWindow;
    int alwaysOnTop;

    /* Run-time bookkeeping that is never saved. */
    int modalRun;           /* 1 while a settings or full-screen child is held */
    int titleDue;           /* the saver changed during the modal run */
    int sizeMoveLoop;       /* 1 while the user drags the frame */
    int restartDue;         /* a WM_SIZE arrived during the drag */
};

/* The window rectangle from before a size preset or full-screen mode. */
extern RECT savedWindowRect;

ViewerState *GetState(void);
void InitState(HWND window);

#endif
