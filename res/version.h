/* The program's name and version, for the title bar and the version block. */
#ifndef NOVRA_VERSION_H
#define NOVRA_VERSION_H

#define NOVRA_VERSION_BINARY    1,0,3,0
#define NOVRA_VERSION_TEXT      "1, 0, 3, 0"
#define NOVRA_NAME              "NOVRA"
#define NOVRA_TITLE             "NOVRA Ver 1.03"
#define NOVRA_ABOUT_TEXT        "NOVRA  Ver 1.03"

#endif
