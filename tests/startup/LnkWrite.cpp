// Writes shortcut files with Zarninst's own code into the folder given as
// argument 1, for a parser of another origin (lnkinfo) to read back:
// plain.lnk as made by the shell's link object, wrapped.lnk after wrapping,
// unwrapped.lnk after wrapping and unwrapping. expected.txt lists, in UTF-8,
// what Zarninst's reader finds in each: "file|field|value" per line.
// Run it from a copy named Zarninst.exe: wrapping targets zarn.exe beside it.
#include <windows.h>
#include <objbase.h>
#include <stdio.h>
#include <string>
#include "LinkFiles.h"
#include "Shortcut.h"

static std::string Utf8(const char *ansi)
{
    WCHAR wide[4096];
    char utf8[8192];
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 4096);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, NULL, NULL);
    return utf8;
}

static bool Expect(FILE *out, const std::string &dir, const char *name)
{
    ShortcutInfo info;
    if (!ReadShortcut((dir + name).c_str(), &info))
        return false;
    fprintf(out, "%s|Local path|%s\n", name, Utf8(info.target).c_str());
    fprintf(out, "%s|Command line arguments|%s\n", name, Utf8(info.arguments).c_str());
    fprintf(out, "%s|Icon location|%s\n", name, Utf8(info.iconPath).c_str());
    fprintf(out, "%s|Icon index|%d\n", name, info.iconIndex);
    fprintf(out, "%s|Working directory|%s\n", name, Utf8(info.workingDirectory).c_str());
    fprintf(out, "%s|Description|Zarninst\n", name);   /* never touched */
    return true;
}

int main(int argc, char **argv)
{
    if (argc < 2 || FAILED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED)))
        return 2;
    std::string dir = std::string(argv[1]) + "\\";
    std::string folder = dir + HYO " " SO;   // a blank and trail bytes 0x5C
    std::string target = folder + "\\" A_KANA "Tool.exe";
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    if (!CreateDirectoryA(folder.c_str(), NULL) || !CopyFileA(self, target.c_str(), FALSE))
        return 3;

    LinkProps plain;
    plain.target = target;
    plain.arguments = "-open \"my file.txt\" " SO " C:\\Data\\";
    plain.workingDirectory = folder;
    plain.description = "Zarninst";
    for (const char *name : {"plain.lnk", "wrapped.lnk", "unwrapped.lnk"})
        if (!MakeLink(dir + name, plain))
            return 4;

    ShortcutInfo info;
    if (!ReadShortcut((dir + "wrapped.lnk").c_str(), &info))
        return 5;
    WrapShortcut(&info);
    if (!ReadShortcut((dir + "unwrapped.lnk").c_str(), &info))
        return 5;
    WrapShortcut(&info);
    if (!ReadShortcut((dir + "unwrapped.lnk").c_str(), &info))
        return 5;
    UnwrapShortcut(&info);

    FILE *out = fopen((dir + "expected.txt").c_str(), "wb");
    if (!out)
        return 6;
    bool ok = Expect(out, dir, "plain.lnk") && Expect(out, dir, "wrapped.lnk") &&
              Expect(out, dir, "unwrapped.lnk");
    fclose(out);
    CoUninitialize();
    return ok ? 0 : 7;
}
