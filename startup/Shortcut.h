/*
 * Zarninst's shortcut files: one ShortcutInfo per shortcut, read and
 * written through the shell's link object, and the rewriting that makes a
 * shortcut start its program through Zarn ("zarn.exe /J \"command\"").
 * COM must be initialised (single-threaded apartment) on the calling thread.
 */
#ifndef ZARN_STARTUP_SHORTCUT_H
#define ZARN_STARTUP_SHORTCUT_H
#include <windows.h>
#include "ZString.h"

/* Every value read from a link is fetched into a buffer of this size. */
#define SHORTCUT_FIELD_SIZE 1024

/* One shortcut file. The record owns its strings and its icon. */
struct ShortcutInfo {
    bool wrapped;               /* the target names zarn.exe */
    CString linkPath;           /* the path as the caller passed it */
    CString target;
    CString arguments;
    CString displayName;        /* file name without its last four characters */
    CString iconPath;           /* empty when the link names no icon */
    int iconIndex;
    HICON icon;                 /* the shell's large icon, or null */
    int imageIndex;             /* position in the dialog's image list */
    CString workingDirectory;

    ShortcutInfo();
    ~ShortcutInfo();
    ShortcutInfo(const ShortcutInfo &) = delete;
    ShortcutInfo &operator=(const ShortcutInfo &) = delete;
};

/* Reads the link into info; 1 when it loaded and its target names an
   ".exe" or ".com" file, else 0. */
int ReadShortcut(CString linkPath, ShortcutInfo *info);

/* Stores target, arguments, icon location and working directory into the
   existing link file; 1 when saved. Never creates a file. */
int WriteShortcut(CString linkPath, const ShortcutInfo *info);

/* Rewrites a plain shortcut to start through zarn.exe beside this program. */
void WrapShortcut(ShortcutInfo *info);

/* Restores the plain shortcut from a wrapped one. */
void UnwrapShortcut(ShortcutInfo *info);

#endif
