/* The version stamped into zarn.exe and ZarnDLL.DLL. */
#ifndef ZARN_VERSION_H
#define ZARN_VERSION_H
#define ZARN_VERSION_BIN  1,0,0,0
#define ZARN_VERSION_TEXT "1, 0, 0, 0"
#endif
