// The real Zarninst.exe under Wine, with shortcut files placed in the
// prefix's common and user Startup folders. Its list view lives in another
// process, so items are read and set through memory allocated there.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "LinkFiles.h"
#include "Support.h"
#include "ComApartment.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

const int IDC_SHORTCUTS = 1001;
const wchar_t ABOUT_CAPTION[] = L"Zarninstのﾊﾞｰｼﾞｮﾝ情報";

std::string FolderPath(int csidl, bool create)
{
    char path[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(NULL, path, csidl, create))
        return "";
    return std::string(path) + "\\";
}

std::vector<std::string> FolderEntries(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, ".."))
            names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

void EmptyFolder(const std::string &dir)
{
    for (const std::string &name : FolderEntries(dir)) {
        std::string path = dir + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path.c_str()))
            RemoveTree(path);
    }
}

FILETIME WriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME &a, const FILETIME &b) { return CompareFileTime(&a, &b) == 0; }

std::wstring WindowTextW(HWND w)
{
    wchar_t text[256] = L"";
    GetWindowTextW(w, text, 256);
    return text;
}

struct WindowSearch {
    DWORD pid;
    std::wstring title;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND w, LPARAM lp)
{
    WindowSearch *s = (WindowSearch *)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if ((s->pid && pid != s->pid) || WindowTextW(w) != s->title)
        return TRUE;
    s->found = w;
    return FALSE;
}

// A top-level window with that title (of that process, unless pid is 0).
HWND FindTitledWindow(DWORD pid, const std::wstring &title)
{
    WindowSearch s{pid, title, nullptr};
    EnumWindows(FindTitled, (LPARAM)&s);
    return s.found;
}

// One list item as Zarninst shows it.
struct Item {
    std::string text;
    int image = -1;
    bool checked = false;
    LPARAM data = 0;
};

// The list view of another process, read and changed through a block of
// that process's memory.
class RemoteList {
public:
    HWND list = nullptr;

    ~RemoteList() { Close(); }
    bool Open(HWND listView)
    {
        Close();
        list = listView;
        DWORD pid = 0;
        GetWindowThreadProcessId(list, &pid);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process)
            memory = (BYTE *)VirtualAllocEx(process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE);
        return memory != nullptr;
    }
    void Close()
    {
        if (memory)
            VirtualFreeEx(process, memory, 0, MEM_RELEASE);
        if (process)
            CloseHandle(process);
        memory = nullptr;
        process = nullptr;
    }
    int Count() const { return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
    std::vector<Item> Items() const
    {
        std::vector<Item> items;
        for (int i = 0, n = Count(); i < n; i++) {
            LVITEMA it{};
            it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
            it.iItem = i;
            it.stateMask = LVIS_STATEIMAGEMASK;
            it.pszText = (LPSTR)(memory + TEXT_OFFSET);
            it.cchTextMax = 1024;
            Put(&it);
            SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)memory);
            Get(&it);
            char text[1024] = "";
            ReadProcessMemory(process, memory + TEXT_OFFSET, text, sizeof text - 1, NULL);
            Item item;
            item.text = text;
            item.image = it.iImage;
            item.checked = (it.state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
            item.data = it.lParam;
            items.push_back(item);
        }
        return items;
    }
    void SetState(int index, UINT state, UINT mask) const
    {
        LVITEMA it{};
        it.state = state;
        it.stateMask = mask;
        Put(&it);
        SendMessageA(list, LVM_SETITEMSTATE, index, (LPARAM)memory);
    }
    void SetCheck(int index, bool check) const
    {
        SetState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    HIMAGELIST ImageList() const { return (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0); }

private:
    static const int TEXT_OFFSET = 1024;
    HANDLE process = nullptr;
    BYTE *memory = nullptr;

    void Put(const LVITEMA *it) const { WriteProcessMemory(process, memory, it, sizeof *it, NULL); }
    void Get(LVITEMA *it) const { ReadProcessMemory(process, memory, it, sizeof *it, NULL); }
};

std::vector<std::string> Texts(const std::vector<Item> &items)
{
    std::vector<std::string> texts;
    for (const Item &i : items)
        texts.push_back(i.text);
    return texts;
}

int IndexOf(const std::vector<Item> &items, const std::string &text)
{
    for (size_t i = 0; i < items.size(); i++)
        if (items[i].text == text)
            return (int)i;
    return -1;
}

enum class Check { Message, SpaceKey };
enum class Apply { Button, EnterKey };

// Zarninst.exe, zarn.exe and ZarnDLL.DLL together in a fresh folder, and the
// two Startup folders emptied before and after.
class ZarninstE2E : public ::testing::Test {
protected:
    std::string box, common, user, tool;
    Process inst;
    HWND dlg = nullptr;
    RemoteList list;

    void SetUp() override
    {
        box = MakeTempDir("inst");
        ASSERT_FALSE(box.empty());
        for (const char *file : {"Zarninst.exe", "zarn.exe", "ZarnDLL.DLL"})
            ASSERT_TRUE(CopyFileA(BinPath(file).c_str(), (box + file).c_str(), FALSE)) << file;
        CreateDirectoryA((box + "Test Apps").c_str(), NULL);
        tool = box + "Test Apps\\tool.exe";
        ASSERT_TRUE(CopyFileA(BinPath("testwin.exe").c_str(), tool.c_str(), FALSE));
        common = FolderPath(CSIDL_COMMON_STARTUP, true);
        user = FolderPath(CSIDL_STARTUP, true);
        ASSERT_FALSE(common.empty());
        ASSERT_FALSE(user.empty());
        ASSERT_NE(common, user);
        EmptyFolder(common);
        EmptyFolder(user);
    }
    void TearDown() override
    {
        list.Close();
        inst.Kill();
        EmptyFolder(FolderPath(CSIDL_COMMON_STARTUP, true));
        EmptyFolder(FolderPath(CSIDL_STARTUP, true));
        RemoveTree(box);
    }

    std::string Link(const std::string &path, const std::string &target, const std::string &args = "")
    {
        LinkProps p;
        p.target = target;
        p.arguments = args;
        EXPECT_TRUE(MakeLink(path, p)) << path;
        return path;
    }
    std::string Wrapped(const std::string &path)
    {
        LinkProps p;
        p.target = box + "zarn.exe";
        p.arguments = "/J \"" + tool + "\"";
        p.iconPath = tool;
        EXPECT_TRUE(MakeLink(path, p)) << path;
        return path;
    }

    // Starts Zarninst and waits until its dialog has filled its list.
    bool Open()
    {
        if (!inst.Start("\"" + box + "Zarninst.exe\"", box.c_str()))
            return false;
        WaitForInputIdle(inst.pi.hProcess, 10000);
        dlg = WaitForProcessWindow(inst.Pid(), "#32770");
        if (!dlg || !WaitUntil([&] { return IsWindowVisible(dlg) != FALSE; }))
            return false;
        return list.Open(GetDlgItem(dlg, IDC_SHORTCUTS));
    }

    void SetCheck(int index, bool check, Check how)
    {
        if (how == Check::Message) {
            list.SetCheck(index, check);
            return;
        }
        list.SetState(index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        FocusWindow(dlg);
        SetFocusOnList();
        PressKey(0, VK_SPACE);
        EXPECT_TRUE(WaitUntil([&] { return list.Items()[index].checked == check; }));
    }
    void SetFocusOnList()
    {
        DWORD self = GetCurrentThreadId(), other = GetWindowThreadProcessId(dlg, NULL);
        AttachThreadInput(self, other, TRUE);
        SetFocus(list.list);
        AttachThreadInput(self, other, FALSE);
    }
    // "適用" or Enter; returns once the dialog has handled it (a button
    // press) or the list was filled anew (Enter, which must change things).
    void ApplyChanges(Apply how)
    {
        HIMAGELIST before = list.ImageList();
        if (how == Apply::Button) {
            HWND button = GetDlgItem(dlg, IDOK);
            DWORD_PTR r;
            SendMessageTimeoutA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)button, SMTO_NORMAL,
                                20000, &r);
        } else {
            FocusWindow(dlg);
            SetFocusOnList();
            PressKey(0, VK_RETURN);
            EXPECT_TRUE(WaitUntil([&] { return list.ImageList() != before; }, 20000)) << "no refill";
        }
    }
    bool Closed(DWORD *code = nullptr)
    {
        DWORD c = inst.Wait(10000);
        if (code)
            *code = c;
        return c != STILL_ACTIVE;
    }
};

TEST_F(ZarninstE2E, ListsTheShortcutsOfBothFoldersUserFirstEachReversed)
{
    const std::string soft = "\x83\x5c\x83\x74\x83\x67";   // "ソフト": a trail byte is a backslash
    Link(common + "Alpha.lnk", tool);
    Wrapped(common + "Wrapped.lnk");
    Link(common + "Both.lnk", tool, "-c");
    WriteTextFile(common + "readme.txt", "not a shortcut");
    WriteTextFile(box + "notes.txt", "a document");
    Link(common + "Document.lnk", box + "notes.txt");
    CreateDirectoryA((common + "Folder").c_str(), NULL);
    Link(user + "Beta.lnk", tool, "-x");
    Link(user + "Ghost.lnk", "C:\\nowhere\\ghost.exe");
    Link(user + "Both.lnk", tool, "-u");
    Link(user + soft + ".lnk", tool);
    Wrapped(user + "Zed.lnk");

    // Expected: the folders as their own search finds them, listable ones only.
    const std::vector<std::string> listable = {"Alpha", "Wrapped", "Both", "Beta", "Ghost", soft, "Zed"};
    std::vector<std::string> expected;
    for (const std::string &dir : {user, common}) {
        std::vector<std::string> names = FolderEntries(dir);
        std::reverse(names.begin(), names.end());
        for (std::string name : names) {
            if (name.size() > 4 && name.substr(name.size() - 4) == ".lnk")
                name.resize(name.size() - 4);
            if (std::find(listable.begin(), listable.end(), name) != listable.end())
                expected.push_back(name);
        }
    }

    ASSERT_TRUE(Open());
    std::vector<Item> items = list.Items();
    EXPECT_EQ(expected, Texts(items));
    EXPECT_EQ(2, std::count(expected.begin(), expected.end(), "Both"));

    std::vector<int> images;
    for (const Item &item : items) {
        SCOPED_TRACE(item.text);
        EXPECT_EQ(item.text == "Wrapped" || item.text == "Zed", item.checked);
        EXPECT_NE(0, item.data) << "each item carries its record";
        if (item.text == "Ghost") {
            EXPECT_EQ(-1, item.image) << "a missing program has no icon";
        } else {
            EXPECT_GE(item.image, 0);
            images.push_back(item.image);
        }
    }
    std::sort(images.begin(), images.end());
    EXPECT_EQ(images.end(), std::unique(images.begin(), images.end())) << "one image per shortcut";
    EXPECT_TRUE(list.ImageList());
}

TEST_F(ZarninstE2E, CollectsAtMostAHundredCommonFolderFirst)
{
    for (int i = 0; i < 3; i++)
        Link(common + "Common" + std::to_string(i) + ".lnk", tool);
    for (int i = 0; i < 102; i++)
        Link(user + "User" + std::to_string(i) + ".lnk", "C:\\nowhere\\tool" + std::to_string(i) + ".exe");
    ASSERT_TRUE(Open());
    std::vector<std::string> texts = Texts(list.Items());
    EXPECT_EQ(100u, texts.size());
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(1, std::count(texts.begin(), texts.end(), "Common" + std::to_string(i)));
    EXPECT_TRUE(texts.back().rfind("Common", 0) == 0) << "the common folder's shortcuts come last";
}

TEST_F(ZarninstE2E, EmptyOrMissingFoldersGiveAnEmptyListAndApplyDoesNothing)
{
    for (bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "folders missing" : "folders empty");
        if (missing) {
            RemoveTree(common);
            RemoveTree(user);
            ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(user.c_str()));
        }
        ASSERT_TRUE(Open());
        EXPECT_EQ(0, list.Count());
        HIMAGELIST images = list.ImageList();
        ApplyChanges(Apply::Button);
        EXPECT_EQ(images, list.ImageList()) << "the list was not filled again";
        EXPECT_EQ(0, list.Count());
        EXPECT_TRUE(inst.Running());
        PostMessageA(dlg, WM_CLOSE, 0, 0);
        EXPECT_TRUE(Closed());
    }
}

class ZarninstApply : public ZarninstE2E, public ::testing::WithParamInterface<std::pair<Check, Apply>> {};

TEST_P(ZarninstApply, CheckingWrapsUncheckingUnwrapsAndTheDialogStays)
{
    LinkProps plain;
    plain.target = tool;
    plain.arguments = "-min \"My File.txt\"";
    plain.workingDirectory = box;
    plain.description = "a tool";
    plain.hotkey = MAKEWORD('T', HOTKEYF_CONTROL | HOTKEYF_ALT);
    plain.showCmd = SW_SHOWMINNOACTIVE;
    std::string path = user + "Tool.lnk";
    ASSERT_TRUE(MakeLink(path, plain));
    ASSERT_TRUE(ReadLink(path, &plain));   // as the link object keeps it (Wine drops the show command)
    std::string other = Link(common + "Other.lnk", tool);
    FILETIME otherTime = WriteTime(other);

    ASSERT_TRUE(Open());
    int index = IndexOf(list.Items(), "Tool");
    ASSERT_GE(index, 0);
    ASSERT_FALSE(list.Items()[index].checked);
    HIMAGELIST before = list.ImageList();

    SetCheck(index, true, GetParam().first);
    ApplyChanges(GetParam().second);
    EXPECT_NE(before, list.ImageList()) << "the list was filled again";
    EXPECT_TRUE(inst.Running()) << "applying keeps the dialog open";
    std::vector<Item> items = list.Items();
    ASSERT_EQ(2u, items.size());
    index = IndexOf(items, "Tool");
    ASSERT_GE(index, 0);
    EXPECT_TRUE(items[index].checked);
    EXPECT_FALSE(items[IndexOf(items, "Other")].checked);

    LinkProps wrapped;
    ASSERT_TRUE(ReadLink(path, &wrapped));
    EXPECT_TRUE(lstrcmpiA((box + "zarn.exe").c_str(), wrapped.target.c_str()) == 0) << wrapped.target;
    EXPECT_EQ(0u, wrapped.arguments.rfind("/J \"", 0)) << wrapped.arguments;
    EXPECT_EQ(plain.workingDirectory, wrapped.workingDirectory);
    EXPECT_EQ(plain.description, wrapped.description);
    EXPECT_EQ(plain.hotkey, wrapped.hotkey);
    EXPECT_TRUE(SameTime(otherTime, WriteTime(other))) << "an unchanged shortcut is not written";

    before = list.ImageList();
    SetCheck(index, false, GetParam().first);
    ApplyChanges(GetParam().second);
    EXPECT_NE(before, list.ImageList());
    items = list.Items();
    ASSERT_EQ(2u, items.size());
    EXPECT_FALSE(items[IndexOf(items, "Tool")].checked);
    LinkProps restored;
    ASSERT_TRUE(ReadLink(path, &restored));
    EXPECT_EQ(plain, restored);
    EXPECT_TRUE(inst.Running());
}

INSTANTIATE_TEST_SUITE_P(Ways, ZarninstApply,
                         ::testing::Values(std::make_pair(Check::Message, Apply::Button),
                                           std::make_pair(Check::SpaceKey, Apply::EnterKey)),
                         [](const ::testing::TestParamInfo<std::pair<Check, Apply>> &info) {
                             return std::string(info.param.first == Check::Message ? "Message" : "SpaceKey") +
                                    (info.param.second == Apply::Button ? "Button" : "Enter");
                         });

TEST_F(ZarninstE2E, ApplyWithoutChangeWritesNothingAndKeepsTheList)
{
    std::vector<std::string> paths = {Link(user + "Plain.lnk", tool), Wrapped(user + "Wrapped.lnk"),
                                      Link(common + "Flipped.lnk", tool)};
    std::vector<FILETIME> times;
    for (const std::string &p : paths)
        times.push_back(WriteTime(p));
    Sleep(1100);   // so that any rewrite would show in the write times

    ASSERT_TRUE(Open());
    std::vector<Item> before = list.Items();
    HIMAGELIST images = list.ImageList();
    int flipped = IndexOf(before, "Flipped");
    list.SetCheck(flipped, true);   // changed and changed back: no change
    list.SetCheck(flipped, false);
    ApplyChanges(Apply::Button);

    EXPECT_EQ(images, list.ImageList()) << "the list was filled again";
    std::vector<Item> after = list.Items();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); i++) {
        EXPECT_EQ(before[i].data, after[i].data) << before[i].text;
        EXPECT_EQ(before[i].checked, after[i].checked) << before[i].text;
    }
    for (size_t i = 0; i < paths.size(); i++)
        EXPECT_TRUE(SameTime(times[i], WriteTime(paths[i]))) << paths[i];
}

// A file that another program holds open for reading only can be read but
// not saved. (A read-only attribute would not do here: Wine leaves that to
// the file's Unix permissions, which do not stop the root user.)
TEST_F(ZarninstE2E, ShortcutThatCannotBeWrittenShowsItsOldStateAgain)
{
    std::string locked = Link(user + "Locked.lnk", tool);
    std::string open = Link(user + "Open.lnk", tool);
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    std::unique_ptr<void, BOOL (*)(HANDLE)> release(hold, CloseHandle);
    LinkProps lockedBefore;
    ASSERT_TRUE(ReadLink(locked, &lockedBefore));

    ASSERT_TRUE(Open());
    std::vector<Item> items = list.Items();
    list.SetCheck(IndexOf(items, "Locked"), true);
    list.SetCheck(IndexOf(items, "Open"), true);
    HIMAGELIST images = list.ImageList();
    ApplyChanges(Apply::Button);

    EXPECT_NE(images, list.ImageList()) << "the list was filled again";
    items = list.Items();
    ASSERT_EQ(2u, items.size());
    EXPECT_FALSE(items[IndexOf(items, "Locked")].checked);
    EXPECT_TRUE(items[IndexOf(items, "Open")].checked);
    LinkProps lockedAfter;
    ASSERT_TRUE(ReadLink(locked, &lockedAfter));
    EXPECT_EQ(lockedBefore, lockedAfter);
}

TEST_F(ZarninstE2E, OneHeaderlessColumnTwoPixelsNarrowerThanTheList)
{
    Link(user + "Tool.lnk", tool);
    ASSERT_TRUE(Open());
    RECT client;
    GetClientRect(list.list, &client);
    EXPECT_EQ(client.right - 2, SendMessageA(list.list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(0, SendMessageA(list.list, LVM_GETCOLUMNWIDTH, 1, 0)) << "a single column";

    LONG style = GetWindowLongA(list.list, GWL_STYLE);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_NOCOLUMNHEADER);
    HWND header = (HWND)SendMessageA(list.list, LVM_GETHEADER, 0, 0);
    if (header) {
        RECT r;
        GetWindowRect(header, &r);
        EXPECT_TRUE(!IsWindowVisible(header) || r.bottom == r.top) << "the header takes no room";
    }
    DWORD ex = (DWORD)SendMessageA(list.list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ((DWORD)(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT), ex & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    EXPECT_TRUE(GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(L"Zarninst", WindowTextW(dlg));
}

class ZarninstAbout : public ZarninstE2E, public ::testing::WithParamInterface<UINT> {};

TEST_P(ZarninstAbout, SystemCommandOpensTheAboutBoxOwnedByTheDialog)
{
    ASSERT_TRUE(Open());
    PostMessageA(dlg, WM_SYSCOMMAND, GetParam(), 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = FindTitledWindow(inst.Pid(), ABOUT_CAPTION)) != nullptr; }));
    EXPECT_EQ(dlg, GetWindow(about, GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(dlg)) << "modal to the dialog";
    EXPECT_EQ(L"Zarninst Version 1.0a", WindowTextW(FindWindowExW(about, NULL, L"Static", L"Zarninst Version 1.0a")));

    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(about, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dlg) != FALSE; }));
    EXPECT_TRUE(inst.Running());
}

INSTANTIATE_TEST_SUITE_P(Ids, ZarninstAbout, ::testing::Values(16u, 31u));

class ZarninstEnd : public ZarninstE2E, public ::testing::WithParamInterface<const char *> {};

TEST_P(ZarninstEnd, EndsTheProgram)
{
    Link(user + "Tool.lnk", tool);
    ASSERT_TRUE(Open());
    std::string how = GetParam();
    if (how == "Escape") {
        FocusWindow(dlg);
        PressKey(0, VK_ESCAPE);
    } else if (how == "CloseBox") {
        PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    }
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(Closed(&code));
    EXPECT_EQ(0u, code);
}

INSTANTIATE_TEST_SUITE_P(Ways, ZarninstEnd, ::testing::Values("Escape", "CloseBox", "WmClose"));

// Zarn's answer to "this window was minimized": 1 only for a window in its
// tray registry.
LRESULT AskRegistered(HWND zarn, HWND w)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(zarn, MSG_WINDOW_MINIMIZED, (WPARAM)w, 0, SMTO_NORMAL, 5000, &result))
        return -1;
    return (LRESULT)result;
}

// A shortcut wrapped by Zarninst and run as the shell runs it starts Zarn,
// which starts the program and trays its window; unwrapping gives back the
// very shortcut the user had.
TEST_F(ZarninstE2E, LogOnRoad)
{
    ASSERT_EQ(nullptr, FindZarnWindow()) << "another Zarn would take the command";
    LinkProps plain;
    plain.target = tool;
    plain.arguments = "\"/title=Logon Road\" /late=100";
    plain.workingDirectory = box + "Test Apps";
    plain.description = "starts at log-on";
    std::string path = user + "Tool.lnk";
    ASSERT_TRUE(MakeLink(path, plain));
    ASSERT_TRUE(ReadLink(path, &plain));

    ASSERT_TRUE(Open());
    list.SetCheck(IndexOf(list.Items(), "Tool"), true);
    ApplyChanges(Apply::Button);
    ASSERT_TRUE(list.Items()[0].checked);
    PostMessageA(dlg, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Closed());

    LinkProps wrapped;
    ASSERT_TRUE(ReadLink(path, &wrapped));
    Process zarn;
    ASSERT_TRUE(zarn.Start("\"" + wrapped.target + "\" " + wrapped.arguments, wrapped.workingDirectory.c_str()));
    HWND zarnWindow = WaitForProcessWindow(zarn.Pid(), ZARN_CLASS_NAME);
    ASSERT_TRUE(zarnWindow);
    HWND w = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (w = FindTitledWindow(0, L"Logon Road")) != nullptr; }, 20000))
        << "Zarn did not start the program";
    if (w) {
        char cls[64] = "";
        GetClassNameA(w, cls, sizeof cls);
        EXPECT_STREQ(TESTWIN_CLASS, cls);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w) && AskRegistered(zarnWindow, w) == 1; }, 20000))
            << "the program's window was not trayed";
    }
    PostMessageA(zarnWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, zarn.Wait(10000));
    if (w) {
        EXPECT_TRUE(IsWindowVisible(w)) << "ending Zarn gives the window back";
        KillWindowProcess(w);
    }

    ASSERT_TRUE(Open());
    list.SetCheck(IndexOf(list.Items(), "Tool"), false);
    ApplyChanges(Apply::Button);
    EXPECT_FALSE(list.Items()[0].checked);
    LinkProps restored;
    ASSERT_TRUE(ReadLink(path, &restored));
    EXPECT_EQ(plain, restored);
}

}  // namespace
