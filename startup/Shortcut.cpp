/*
 * Shortcut files through the shell's link object, and wrapping a shortcut
 * so that it starts its program through Zarn.
 *
 * A wrapped shortcut's arguments are "/J \"C\"" with C the former command
 * line (the target, quoted when it holds a blank, then a blank and the
 * arguments). Zarn takes its argument 2 as the command, so C is escaped by
 * the run-time's own splitting rules: a quote gets a backslash, and a run of
 * backslashes is doubled where it stands before a quote or at the end.
 */
#include "Shortcut.h"
#include <shlobj.h>
#include <shellapi.h>
#include <string.h>

ShortcutInfo::ShortcutInfo() : wrapped(false), iconIndex(-1), icon(NULL), imageIndex(-1) {}

ShortcutInfo::~ShortcutInfo()
{
    if (icon)
        DestroyIcon(icon);
}

static bool ContainsNoCase(const CString &text, LPCSTR lowerAscii)
{
    CString lower(text);
    lower.MakeLower();
    return lower.Find(lowerAscii) >= 0;
}

static CString LinkFileName(const CString &linkPath)
{
    return ContainsNoCase(linkPath, ".lnk") ? linkPath : linkPath + ".lnk";
}

/* The wide name for Load and Save; false when it does not fit MAX_PATH. */
static bool WideFileName(const CString &fileName, WCHAR wide[MAX_PATH])
{
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, fileName, -1, wide, MAX_PATH) > 0;
}

/* A value fetched into a field buffer: the shell may fill a short buffer
   to the brim without a terminator, and a cut may leave half a character. */
static CString FieldText(char *buffer)
{
    buffer[SHORTCUT_FIELD_SIZE - 1] = 0;
    int end = 0;
    for (int i = 0; buffer[i]; ) {
        int n = CString::CharLength(buffer + i);
        if (n == 1 && IsDBCSLeadByte((BYTE)buffer[i]))
            break;   /* a lead byte whose trail was cut off */
        i += n;
        end = i;
    }
    return CString(buffer, end);
}

/* The link object with its file interface, released together. */
struct LinkFile {
    IShellLinkA *link = NULL;
    IPersistFile *file = NULL;
    WCHAR name[MAX_PATH];

    ~LinkFile()
    {
        if (file)
            file->Release();
        if (link)
            link->Release();
    }
    bool Open(const CString &fileName)
    {
        if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    (void **)&link))) {
            link = NULL;
            return false;
        }
        if (FAILED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
            file = NULL;
            return false;
        }
        if (!WideFileName(fileName, name))
            return false;
        return SUCCEEDED(file->Load(name, STGM_READ));
    }
};

/* The file name without its last four characters (normally ".lnk"). */
static CString DisplayName(const CString &linkPath)
{
    CString name = linkPath.Mid(linkPath.ReverseFind('\\') + 1);
    int starts[4] = {0, 0, 0, 0};   /* where each of the last four characters starts */
    int count = 0;
    for (int i = 0; i < name.GetLength(); count++) {
        for (int k = 3; k > 0; k--)
            starts[k] = starts[k - 1];
        starts[0] = i;
        i += CString::CharLength((LPCSTR)name + i);
    }
    return count > 4 ? name.Left(starts[3]) : CString();
}

int ReadShortcut(CString linkPath, ShortcutInfo *info)
{
    CString fileName = LinkFileName(linkPath);

    info->wrapped = false;
    info->linkPath = linkPath;
    info->target.Empty();
    info->arguments.Empty();
    info->displayName.Empty();
    info->iconPath.Empty();
    info->workingDirectory.Empty();
    if (info->icon)
        DestroyIcon(info->icon);
    info->icon = NULL;
    info->iconIndex = -1;
    info->imageIndex = -1;

    LinkFile lf;
    if (!lf.Open(fileName))
        return 0;

    char buffer[SHORTCUT_FIELD_SIZE];
    buffer[0] = 0;
    lf.link->GetPath(buffer, sizeof buffer, NULL, SLGP_UNCPRIORITY);
    info->target = FieldText(buffer);

    CString lower(info->target);
    lower.MakeLower();
    if (lower.Find("zarn.exe") >= 0)
        info->wrapped = true;
    if (lower.Find(".exe") < 0 && lower.Find(".com") < 0)
        return 0;

    buffer[0] = 0;
    lf.link->GetArguments(buffer, sizeof buffer);
    info->arguments = FieldText(buffer);

    info->displayName = DisplayName(info->linkPath);

    buffer[0] = 0;
    lf.link->GetIconLocation(buffer, sizeof buffer, &info->iconIndex);
    info->iconPath = FieldText(buffer);

    SHFILEINFOA sfi;
    memset(&sfi, 0, sizeof sfi);
    /* A failed call may leave something in hIcon; only a success gives an icon. */
    if (SHGetFileInfoA(info->iconPath.IsEmpty() ? info->target : info->iconPath, 0, &sfi, sizeof sfi,
                       SHGFI_ICON))
        info->icon = sfi.hIcon;

    buffer[0] = 0;
    lf.link->GetWorkingDirectory(buffer, sizeof buffer);
    info->workingDirectory = FieldText(buffer);
    return 1;
}

int WriteShortcut(CString linkPath, const ShortcutInfo *info)
{
    LinkFile lf;
    if (!lf.Open(LinkFileName(linkPath)))
        return 0;   /* only an existing shortcut is changed, none is created */
    lf.link->SetPath(info->target);
    lf.link->SetArguments(info->arguments);
    lf.link->SetIconLocation(info->iconPath, info->iconIndex);
    lf.link->SetWorkingDirectory(info->workingDirectory);
    return SUCCEEDED(lf.file->Save(lf.name, TRUE)) ? 1 : 0;
}

/* text with each quote escaped by a backslash and each run of backslashes
   before a quote doubled; also the run at the end when the text ends the
   quoted argument. */
static CString EscapeForArgument(const CString &text, bool endsArgument)
{
    CString out;
    LPCSTR s = text;
    char *d = out.GetBuffer(text.GetLength() * 2 + 1);
    int slashes = 0;
    for (int i = 0; s[i]; ) {
        int n = CString::CharLength(s + i);
        if (n == 1 && s[i] == '\\') {
            slashes++;
        } else {
            if (n == 1 && s[i] == '"') {
                for (; slashes > 0; slashes--)
                    *d++ = '\\';
                *d++ = '\\';
            }
            slashes = 0;
        }
        memcpy(d, s + i, n);
        d += n;
        i += n;
    }
    if (endsArgument)
        for (; slashes > 0; slashes--)
            *d++ = '\\';
    out.ReleaseBuffer((int)(d - (LPCSTR)out));
    return out;
}

void WrapShortcut(ShortcutInfo *info)
{
    CString plainTarget = info->target;
    if (ContainsNoCase(info->target, "zarn.exe"))
        return;

    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, module, sizeof module);
    if (!length || length >= sizeof module)
        return;   /* a cut path would name some other folder */
    CString self(module, (int)length);
    int slash = self.ReverseFind('\\');
    if (slash < 0)
        return;

    CString escapedArgs = EscapeForArgument(info->arguments, true);
    CString targetPart;
    if (plainTarget.Find(' ') >= 0)
        targetPart.Format("\\\"%s\\\"", (LPCSTR)EscapeForArgument(plainTarget, true));
    else
        targetPart = EscapeForArgument(plainTarget, escapedArgs.IsEmpty());

    info->target = self.Left(slash) + "\\zarn.exe";
    if (escapedArgs.IsEmpty())
        info->arguments.Format("/J \"%s\"", (LPCSTR)targetPart);
    else
        info->arguments.Format("/J \"%s %s\"", (LPCSTR)targetPart, (LPCSTR)escapedArgs);
    if (info->iconPath.IsEmpty()) {
        info->iconPath = plainTarget;
        info->iconIndex = 0;
    }
    WriteShortcut(info->linkPath, info);
}

/* Position of the quote that ends the quoted argument starting at text, as
   the run-time finds it (a quote after an even run of backslashes), or -1. */
static int FindClosingQuote(const CString &text)
{
    LPCSTR s = text;
    int slashes = 0;
    for (int i = 0; s[i]; ) {
        int n = CString::CharLength(s + i);
        if (n == 1 && s[i] == '\\') {
            slashes++;
        } else {
            if (n == 1 && s[i] == '"' && !(slashes & 1))
                return i;
            slashes = 0;
        }
        i += n;
    }
    return -1;
}

/* Undoes EscapeForArgument for the text before a closing quote. */
static CString UnescapeArgument(const CString &text)
{
    CString out;
    LPCSTR s = text;
    char *d = out.GetBuffer(text.GetLength());
    int slashes = 0;
    for (int i = 0; s[i]; ) {
        int n = CString::CharLength(s + i);
        if (n == 1 && s[i] == '\\') {
            slashes++;
            i++;
            continue;
        }
        /* an odd run before a quote: half of it, the rest escaped the quote */
        for (int k = (n == 1 && s[i] == '"') ? slashes / 2 : slashes; k > 0; k--)
            *d++ = '\\';
        slashes = 0;
        memcpy(d, s + i, n);
        d += n;
        i += n;
    }
    for (int k = slashes / 2; k > 0; k--)   /* the run before the closing quote */
        *d++ = '\\';
    out.ReleaseBuffer((int)(d - (LPCSTR)out));
    return out;
}

void UnwrapShortcut(ShortcutInfo *info)
{
    if (!ContainsNoCase(info->target, "zarn.exe"))
        return;
    CString lower(info->arguments);
    lower.MakeLower();
    int option = lower.Find("/j ");
    if (option < 0)
        return;

    CString rest = info->arguments.Mid(option + 3);
    rest.TrimLeft();
    CString target, arguments;
    if (rest.GetLength() == 0 || rest.GetAt(0) != '"') {
        target = rest;   /* written by hand without quotes: the whole text */
    } else {
        rest = rest.Mid(1);
        int close = FindClosingQuote(rest);
        if (close < 0)
            return;
        CString command = UnescapeArgument(rest.Left(close));
        if (command.GetLength() && command.GetAt(0) == '"') {
            int end = command.Find('"', 1);
            if (end < 0)
                return;
            target = command.Mid(1, end - 1);
            arguments = command.Mid(end + 1);
        } else {
            int blank = command.Find(' ');
            if (blank < 0) {
                target = command;
            } else {
                target = command.Left(blank);
                arguments = command.Mid(blank + 1);
            }
        }
        arguments.Trim();
    }
    if (target.IsEmpty())
        return;   /* nothing to start: keep the shortcut as it is */

    CString lowerIcon(info->iconPath), lowerTarget(target);
    lowerIcon.MakeLower();
    lowerTarget.MakeLower();
    if (info->iconIndex == 0 && lowerIcon == lowerTarget)
        info->iconPath.Empty();
    info->target = target;
    info->arguments = arguments;
    WriteShortcut(info->linkPath, info);
}
