// Shortcut files made and inspected through the shell's own link object,
// independently of the code under test.
#ifndef ZARN_TEST_LINKFILES_H
#define ZARN_TEST_LINKFILES_H
#include <windows.h>
#include <string>

struct LinkProps {
    std::string target, arguments, iconPath, workingDirectory, description;
    int iconIndex = 0;
    WORD hotkey = 0;
    int showCmd = SW_SHOWNORMAL;
};

bool operator==(const LinkProps &a, const LinkProps &b);
std::ostream &operator<<(std::ostream &os, const LinkProps &p);

/* Creates (or overwrites) the link file with every property set. */
bool MakeLink(const std::string &file, const LinkProps &props);
/* Reads every property back; false when the file does not load. */
bool ReadLink(const std::string &file, LinkProps *props);

/* Code page 932 text, written as bytes: trail bytes 0x5C and capitals. */
#define SO "\x83\x5c"      /* katakana so: trail byte is a backslash */
#define HYO "\x95\x5c"     /* "table": trail byte is a backslash */
#define A_KANA "\x83\x41"  /* katakana a: trail byte is a capital A */
#define ZENKAKU_A "\x82\x60"   /* full-width capital A */
#define ZENKAKU_a "\x82\x81"   /* full-width small a */

#endif
