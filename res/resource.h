/* Command and resource identifiers, shared by the resource script and the
 * code. Nothing but #defines: windres reads this file too. Grouped by kind,
 * each kind in ascending order. */
#ifndef NOVRA_RESOURCE_H
#define NOVRA_RESOURCE_H

/* Dialogs */
#define IDD_ABOUT           129

/* Menus and the keys of the main window */
#define IDR_MAIN_MENU       130
#define IDR_ACCELERATORS    134
#define IDR_CONTEXT_MENU    201

/* Icons */
#define IDI_APP             133

/* Cursors */
#define IDC_LINK_CURSOR     131

/* Controls of the About box */
#define IDC_LINK_WEB        2001
#define IDC_LINK_MAIL       2002

/* Commands: File menu */
#define IDM_EXIT            102
#define IDM_RECENT_1        202
#define IDM_RECENT_2        203
#define IDM_RECENT_3        204
#define IDM_RECENT_4        205
#define IDM_RECENT_5        206
#define IDM_OPEN            32773

/* Commands: Operation and Settings menus */
#define IDM_RESET           32777
#define IDM_STOP            32778
#define IDM_SAVER_SETTINGS  32779
#define IDM_START_SAVER     32781
#define IDM_NEXT_SAVER      32793
#define IDM_PREVIOUS_SAVER  32794
#define IDM_SET_SYSTEM_SAVER 32795
#define IDM_INSTALLED_FIRST 33000   /* the installed savers' entries, */
#define IDM_INSTALLED_LAST  33063   /* one per saver, 64 at most */

/* Commands: View menu and context menu */
#define IDM_TOPMOST         32783
#define IDM_SIZE_VGA        32784
#define IDM_SIZE_SVGA       32785
#define IDM_SIZE_XGA        32786
#define IDM_SIZE_QVGA       32788
#define IDM_FULL_SCREEN     32791
#define IDM_RESTORE_SIZE    32792

/* Commands: Help menu */
#define IDM_ABOUT           32780
#define IDM_HELP            32787

/* Strings: the notice shown when the preview's saver is not running */
#define IDS_SAVER_ENDED             1001
#define IDS_SAVER_CRASHED_NAMED     1003
#define IDS_START_FAILED            1004
#define IDS_ELEVATION_REQUIRED      1005

/* Strings: the names of exceptions and loader failures */
#define IDS_ACCESS_VIOLATION        1011
#define IDS_INT_DIVIDE_BY_ZERO      1012
#define IDS_STACK_OVERFLOW          1013
#define IDS_DLL_NOT_FOUND           1014
#define IDS_ILLEGAL_INSTRUCTION     1015
#define IDS_IN_PAGE_ERROR           1016
#define IDS_INVALID_HANDLE          1017
#define IDS_NO_MEMORY               1018
#define IDS_NONCONTINUABLE          1019
#define IDS_ARRAY_BOUNDS            1020
#define IDS_FLT_DIVIDE_BY_ZERO      1021
#define IDS_FLT_INVALID             1022
#define IDS_INT_OVERFLOW            1023
#define IDS_PRIVILEGED_INSTRUCTION  1024
#define IDS_HEAP_CORRUPTION         1025
#define IDS_STACK_BUFFER_OVERRUN    1026
#define IDS_ASSERTION_FAILURE       1027
#define IDS_MISALIGNMENT            1028
#define IDS_BREAKPOINT              1029
#define IDS_CPP_EXCEPTION           1030
#define IDS_ENTRY_POINT_MISSING     1031
#define IDS_DLL_INIT_FAILED         1032
#define IDS_INVALID_IMAGE           1033

/* Strings: the Operation menu's savers */
#define IDS_NO_INSTALLED_SAVERS     1041
#define IDS_SYSTEM_SAVER_FAILED     1042

#endif
