// Writes its run-time argument vector (as Zarn reads it: __argv of a
// Windows program) to the file named by ZARN_ARGECHO_OUT, each argument
// after the program followed by a zero byte.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char out[MAX_PATH];
    if (!GetEnvironmentVariableA("ZARN_ARGECHO_OUT", out, sizeof out))
        return 2;
    HANDLE f = CreateFileA(out, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 3;
    for (int i = 1; i < __argc; i++) {
        DWORD written;
        WriteFile(f, __argv[i], (DWORD)strlen(__argv[i]) + 1, &written, NULL);
    }
    CloseHandle(f);
    return 0;
}
