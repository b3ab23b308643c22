// Windows of the test's own for the in-process registry tests.
#ifndef ZARN_TRAY_TEST_UTIL_H
#define ZARN_TRAY_TEST_UTIL_H
#include <windows.h>
#include <string>

inline const char *OwnWindowClass()
{
    static bool registered;
    if (!registered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
        wc.hIconSm = LoadIconA(NULL, (LPCSTR)IDI_QUESTION);
        wc.lpszClassName = "ZarnTrayTestWindow";
        RegisterClassExA(&wc);
        registered = true;
    }
    return "ZarnTrayTestWindow";
}

inline HWND MakeWindow(const std::string &title, DWORD style = WS_OVERLAPPEDWINDOW)
{
    return CreateWindowExA(0, OwnWindowClass(), title.c_str(), style, 50, 50, 200, 120,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
}

#endif
