/* The savers installed on the system: the ".scr" files of the system
 * folder and the Windows folder (for a 32-bit viewer on 64-bit Windows, of
 * the real system folder first), each under the name the Display control
 * panel shows, sorted by that name. */
#ifndef NOVRA_INSTALLED_SAVERS_H
#define NOVRA_INSTALLED_SAVERS_H

/* Fills the record's list afresh with the first INSTALLED_COUNT savers by
 * name. A file name found in an earlier folder is not listed again: a
 * 32-bit viewer would otherwise list each of the system's savers twice,
 * once in each width. */
void ListInstalledSavers(void);

#endif
