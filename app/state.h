/* The viewer's one state record. Every module reaches it through GetState;
 * nothing keeps a copy of a field. This module calls nothing: it sits at
 * the bottom, and InitState (app/init) fills it. */
#ifndef NOVRA_STATE_H
#define NOVRA_STATE_H

#include <windows.h>

/* Zero, the value of static storage, means the record is not initialised. */
enum PlayState : int {
    PLAY_READY = 1,     /* initialised, no preview started yet */
    PLAY_PREVIEW = 2,   /* a preview process was started last */
    PLAY_STOPPED = 3    /* the user stopped the preview */
};

#define RECENT_COUNT    5
#define PATH_BUFFER     (MAX_PATH + 1)
#define NOTICE_BUFFER   256
#define INSTALLED_COUNT     64      /* entries of the installed savers' popup */
#define SAVER_NAME_BUFFER   128

/* A saver found in the system's folders, as its popup entry names it. */
struct InstalledSaver {
    char path[PATH_BUFFER];
    char name[SAVER_NAME_BUFFER];   /* its string resource 1, or its file name */
};

struct ViewerState {
    HWND mainWindow;
    HINSTANCE instance;
    HCURSOR linkCursor;
    HMENU mainMenu;
    /* currentSaver is slot 0 itself, so the two can never disagree. */
    union {
        char recent[RECENT_COUNT][PATH_BUFFER];
        char currentSaver[PATH_BUFFER];
    };
    STARTUPINFOA startupInfo;       /* touched by the launcher only */
    PROCESS_INFORMATION processInfo;    /* handles NULL while no child is held */
    HANDLE saverJob;        /* every process of the held child's run; NULL if none holds them */
    PlayState playState;
    int startPlayState;
    int windowX;
    int windowY;
    int windowWidth;
    int windowHeight;
    int fullScreenWindow;
    int alwaysOnTop;

    /* Run-time bookkeeping that is never saved. */
    RECT savedWindowRect;   /* the window before a size preset or full-screen mode */
    int modalRun;           /* 1 while a settings or full-screen child is held */
    int restartsHeld;       /* > 0 while the window changes in several steps */
    int restartDue;         /* the client area changed while restarts were held */
    /* Children started so far: a stop can tell whether the child it began
     * with is still the one held, which a reused process id cannot. */
    unsigned int childStarts;
    char saverNotice[NOTICE_BUFFER];    /* why no preview runs; empty otherwise */
    /* The installed savers' popup as last built: what its entries open. */
    InstalledSaver installed[INSTALLED_COUNT];
    int installedCount;
};

ViewerState *GetState(void);

#endif
