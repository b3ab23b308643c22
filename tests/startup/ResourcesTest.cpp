// Zarninst.exe's resources as built: the dialog templates, the about item's
// string, the icon and the version block, in Japanese and with their
// Japanese texts intact, and the manifest that selects common controls 6.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "Support.h"

namespace {

const WORD JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

struct Control {
    DWORD exStyle = 0, style = 0, id = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring cls, text;   // an ordinal class or text reads as "#n"
};

struct Dialog {
    DWORD exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption, font;
    WORD pointSize = 0;
    std::vector<Control> controls;
};

class Reader {
public:
    explicit Reader(const BYTE *p) : p_(p), start_(p) {}
    WORD Word() { WORD w; memcpy(&w, p_, 2); p_ += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, p_, 4); p_ += 4; return d; }
    short Short() { return (short)Word(); }
    BYTE Byte() { return *p_++; }
    std::wstring SzOrOrd()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring s;
        for (WORD c = first; c; c = Word())
            s += (wchar_t)c;
        return s;
    }
    void AlignDword() { p_ = start_ + ((p_ - start_ + 3) & ~3); }
    void Skip(size_t n) { p_ += n; }

private:
    const BYTE *p_;
    const BYTE *start_;
};

bool ParseDialog(const BYTE *data, Dialog *d)
{
    Reader r(data);
    if (r.Word() != 1 || r.Word() != 0xFFFF)
        return false;   // not an extended template
    r.Dword();          // help id
    d->exStyle = r.Dword();
    d->style = r.Dword();
    WORD count = r.Word();
    d->x = r.Short(), d->y = r.Short(), d->cx = r.Short(), d->cy = r.Short();
    r.SzOrOrd();   // menu
    r.SzOrOrd();   // class
    d->caption = r.SzOrOrd();
    if (d->style & (DS_SETFONT | DS_SHELLFONT)) {
        d->pointSize = r.Word();
        r.Word();
        r.Byte();
        r.Byte();
        d->font = r.SzOrOrd();
    }
    for (WORD i = 0; i < count; i++) {
        r.AlignDword();
        Control c;
        r.Dword();
        c.exStyle = r.Dword();
        c.style = r.Dword();
        c.x = r.Short(), c.y = r.Short(), c.cx = r.Short(), c.cy = r.Short();
        c.id = r.Dword();
        c.cls = r.SzOrOrd();
        c.text = r.SzOrOrd();
        r.Skip(r.Word());
        d->controls.push_back(c);
    }
    return true;
}

std::wstring Lower(std::wstring s)
{
    for (auto &c : s)
        c = (wchar_t)towlower(c);
    return s;
}

class ZarninstResources : public ::testing::Test {
protected:
    static HMODULE module;
    static void SetUpTestSuite()
    {
        module = LoadLibraryExA(BinPath("Zarninst.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() { FreeLibrary(module); }

    const BYTE *Resource(LPCSTR type, LPCSTR name, DWORD *size = nullptr, WORD lang = JAPANESE)
    {
        HRSRC res = FindResourceExA(module, type, name, lang);
        if (!res)
            return nullptr;
        if (size)
            *size = SizeofResource(module, res);
        return (const BYTE *)LockResource(LoadResource(module, res));
    }
    Dialog LoadDialog(int id)
    {
        Dialog d;
        const BYTE *data = Resource(RT_DIALOG, MAKEINTRESOURCEA(id));
        EXPECT_TRUE(data) << "dialog " << id << " in Japanese";
        if (data) {
            EXPECT_TRUE(ParseDialog(data, &d));
        }
        return d;
    }
};
HMODULE ZarninstResources::module;

}  // namespace

TEST_F(ZarninstResources, MainDialog)
{
    ASSERT_TRUE(module);
    Dialog d = LoadDialog(102);
    EXPECT_EQ(L"Zarninst", d.caption);
    EXPECT_EQ(L"ＭＳ Ｐゴシック", d.font);
    EXPECT_EQ(9, d.pointSize);
    EXPECT_EQ(0, d.x);
    EXPECT_EQ(0, d.y);
    EXPECT_EQ(183, d.cx);
    EXPECT_EQ(177, d.cy);
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(style, d.style & style);
    EXPECT_EQ(0u, d.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(d.exStyle & WS_EX_APPWINDOW);

    ASSERT_EQ(3u, d.controls.size());
    const Control &list = d.controls[0];
    EXPECT_EQ(L"syslistview32", Lower(list.cls));
    EXPECT_EQ(1001u, list.id);
    EXPECT_EQ((std::vector<short>{7, 25, 169, 125}), (std::vector<short>{list.x, list.y, list.cx, list.cy}));
    const DWORD listStyle = LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER | WS_TABSTOP | WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(listStyle, list.style & listStyle);
    EXPECT_EQ(0u, list.style & (LVS_SHAREIMAGELISTS | LVS_SORTASCENDING | LVS_SORTDESCENDING));
    EXPECT_TRUE(list.exStyle & WS_EX_CLIENTEDGE);

    const Control &apply = d.controls[1];
    EXPECT_EQ(L"#128", apply.cls);   // button
    EXPECT_EQ((DWORD)IDOK, apply.id);
    EXPECT_EQ(L"適用", apply.text);
    EXPECT_EQ((DWORD)BS_DEFPUSHBUTTON, apply.style & 0xF);
    EXPECT_TRUE(apply.style & WS_TABSTOP);
    EXPECT_EQ((std::vector<short>{126, 156, 50, 14}), (std::vector<short>{apply.x, apply.y, apply.cx, apply.cy}));

    const Control &label = d.controls[2];
    EXPECT_EQ(L"#130", label.cls);   // static
    EXPECT_EQ((DWORD)-1, label.id);
    EXPECT_EQ(L"スタートアップでZarnに入れるものをチェックしてください。", label.text);
    EXPECT_EQ((std::vector<short>{7, 7, 169, 13}), (std::vector<short>{label.x, label.y, label.cx, label.cy}));
}

TEST_F(ZarninstResources, AboutBoxAndItsMenuItem)
{
    ASSERT_TRUE(module);
    Dialog d = LoadDialog(100);
    EXPECT_EQ(L"Zarninstのﾊﾞｰｼﾞｮﾝ情報", d.caption);
    EXPECT_EQ(L"ＭＳ Ｐゴシック", d.font);
    EXPECT_EQ(9, d.pointSize);
    EXPECT_EQ(235, d.cx);
    EXPECT_EQ(55, d.cy);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(style, d.style & style);

    ASSERT_EQ(4u, d.controls.size());
    EXPECT_EQ((DWORD)SS_ICON, d.controls[0].style & SS_TYPEMASK);
    EXPECT_EQ(L"#128", d.controls[0].text);   // icon 128
    EXPECT_EQ((std::vector<short>{11, 17}), (std::vector<short>{d.controls[0].x, d.controls[0].y}));
    EXPECT_EQ(L"Zarninst Version 1.0a", d.controls[1].text);
    EXPECT_TRUE(d.controls[1].style & SS_NOPREFIX);
    EXPECT_EQ((std::vector<short>{40, 10, 119, 8}),
              (std::vector<short>{d.controls[1].x, d.controls[1].y, d.controls[1].cx, d.controls[1].cy}));
    EXPECT_EQ((std::vector<short>{40, 25, 119, 8}),
              (std::vector<short>{d.controls[2].x, d.controls[2].y, d.controls[2].cx, d.controls[2].cy}));
    EXPECT_FALSE(d.controls[2].text.empty());
    EXPECT_EQ((DWORD)IDOK, d.controls[3].id);
    EXPECT_EQ(L"OK", d.controls[3].text);
    EXPECT_EQ((DWORD)BS_DEFPUSHBUTTON, d.controls[3].style & 0xF);
    EXPECT_EQ((std::vector<short>{178, 7, 50, 14}),
              (std::vector<short>{d.controls[3].x, d.controls[3].y, d.controls[3].cx, d.controls[3].cy}));

    EXPECT_TRUE(Resource(RT_STRING, MAKEINTRESOURCEA(101 / 16 + 1))) << "string 101 in Japanese";
    WCHAR text[128] = L"";
    LoadStringW(module, 101, text, 128);
    EXPECT_STREQ(L"Zarninst のﾊﾞｰｼﾞｮﾝ情報(&A)...", text);
}

TEST_F(ZarninstResources, IconHasLargeAndSmall16ColourImages)
{
    ASSERT_TRUE(module);
    const BYTE *group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(128));
    ASSERT_TRUE(group);
    WORD count;
    memcpy(&count, group + 4, 2);
    std::vector<std::string> images;
    for (WORD i = 0; i < count; i++) {
        const BYTE *e = group + 6 + 14 * i;   // width, height, colours, 0, planes, bit count, ...
        WORD bits;
        memcpy(&bits, e + 6, 2);
        images.push_back(std::to_string(e[0]) + "x" + std::to_string(e[1]) + "/" + std::to_string(e[2]) + "/" +
                         std::to_string(bits));
    }
    std::sort(images.begin(), images.end());
    EXPECT_EQ((std::vector<std::string>{"16x16/16/4", "32x32/16/4"}), images);
}

TEST_F(ZarninstResources, VersionBlock)
{
    std::string path = BinPath("Zarninst.exe");
    DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
    EXPECT_TRUE(Resource(RT_VERSION, MAKEINTRESOURCEA(1))) << "in Japanese";

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", (void **)&fixed, &len));
    EXPECT_EQ(0x00000000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000003u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00000000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000003u, fixed->dwProductVersionLS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);

    WORD *translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", (void **)&translation, &len));
    ASSERT_EQ(4u, len);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(1200, translation[1]);

    struct {
        const wchar_t *key, *value;
    } strings[] = {
        {L"FileDescription", L"Zarninst"},     {L"InternalName", L"Zarninst"},
        {L"OriginalFilename", L"Zarninst.EXE"}, {L"ProductName", L"Zarn スタートアップショートカットマネージャ"},
        {L"FileVersion", L"0, 0, 0, 3"},       {L"ProductVersion", L"0, 0, 0, 3"},
    };
    for (auto &s : strings) {
        std::wstring key = std::wstring(L"\\StringFileInfo\\041104b0\\") + s.key;
        wchar_t *value = nullptr;
        EXPECT_TRUE(VerQueryValueW(data.data(), key.c_str(), (void **)&value, &len));
        if (value) {
            EXPECT_STREQ(s.value, value);
        }
    }
}

TEST_F(ZarninstResources, ManifestSelectsCommonControls6)
{
    ASSERT_TRUE(module);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(res);
    std::string manifest((const char *)LockResource(LoadResource(module, res)), SizeofResource(module, res));
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
}
