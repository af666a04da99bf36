// Control ids of the stars settings dialog. The dialog itself, the
// description string and the app name use the ids fixed by <scrnsave.h>.
#ifndef NOVRA_STARS_RESOURCE_H
#define NOVRA_STARS_RESOURCE_H

#define IDC_STAR_COUNT 101
#define IDC_STAR_SPEED 102

#endif
