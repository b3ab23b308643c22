// What the built files are: machine type, ZarnDLL's exports and imports,
// its shared section, and Zarn's icon. The x86 files are only inspected.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "Support.h"

namespace {

struct PeFile {
    std::string bytes;
    const IMAGE_NT_HEADERS32 *nt32 = nullptr;
    const IMAGE_NT_HEADERS64 *nt64 = nullptr;
    const IMAGE_SECTION_HEADER *sections = nullptr;
    int nsections = 0;

    bool Load(const std::string &path)
    {
        bytes = ReadTextFile(path);
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return false;
        auto dos = (const IMAGE_DOS_HEADER *)bytes.data();
        if (dos->e_magic != IMAGE_DOS_SIGNATURE || (size_t)dos->e_lfanew + 256 > bytes.size())
            return false;
        auto nt = (const IMAGE_NT_HEADERS32 *)(bytes.data() + dos->e_lfanew);
        if (nt->Signature != IMAGE_NT_SIGNATURE)
            return false;
        if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
            nt64 = (const IMAGE_NT_HEADERS64 *)nt;
        else
            nt32 = nt;
        sections = IMAGE_FIRST_SECTION(nt);
        nsections = nt->FileHeader.NumberOfSections;
        return true;
    }
    WORD Machine() const { return nt32 ? nt32->FileHeader.Machine : nt64->FileHeader.Machine; }
    IMAGE_DATA_DIRECTORY Dir(int i) const
    {
        return nt32 ? nt32->OptionalHeader.DataDirectory[i] : nt64->OptionalHeader.DataDirectory[i];
    }
    const char *At(DWORD rva) const
    {
        for (int i = 0; i < nsections; i++) {
            const IMAGE_SECTION_HEADER &s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return bytes.data() + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return nullptr;
    }
    const IMAGE_SECTION_HEADER *Section(const char *name) const
    {
        for (int i = 0; i < nsections; i++)
            if (strncmp((const char *)sections[i].Name, name, 8) == 0)
                return &sections[i];
        return nullptr;
    }
    std::map<std::string, DWORD> Exports() const   // name -> ordinal
    {
        std::map<std::string, DWORD> out;
        IMAGE_DATA_DIRECTORY d = Dir(IMAGE_DIRECTORY_ENTRY_EXPORT);
        auto ed = (const IMAGE_EXPORT_DIRECTORY *)At(d.VirtualAddress);
        if (!ed)
            return out;
        auto names = (const DWORD *)At(ed->AddressOfNames);
        auto ords = (const WORD *)At(ed->AddressOfNameOrdinals);
        for (DWORD i = 0; i < ed->NumberOfNames; i++)
            out[At(names[i])] = ed->Base + ords[i];
        out["#count"] = ed->NumberOfFunctions;
        out["#base"] = ed->Base;
        return out;
    }
    std::vector<std::string> Imports() const
    {
        std::vector<std::string> out;
        IMAGE_DATA_DIRECTORY d = Dir(IMAGE_DIRECTORY_ENTRY_IMPORT);
        for (auto id = (const IMAGE_IMPORT_DESCRIPTOR *)At(d.VirtualAddress); id && id->Name; id++) {
            std::string n = At(id->Name);
            std::transform(n.begin(), n.end(), n.begin(), ::tolower);
            out.push_back(n);
        }
        return out;
    }
};

std::string BuildBin(const char *arch, const char *file)
{
    // bin is build\x64\bin; the x86 build sits beside it.
    std::string x64 = BinDir();
    if (std::string(arch) == "x64")
        return x64 + file;
    return x64 + "..\\..\\x86\\bin\\" + file;
}

struct ArchCase {
    const char *arch;
    WORD machine;
    bool pe32plus;
};

class Binaries : public ::testing::TestWithParam<ArchCase> {};

TEST_P(Binaries, MachineTypeOfEveryFile)
{
    for (const char *file : {"zarn.exe", "ZarnDLL.DLL"}) {
        PeFile pe;
        ASSERT_TRUE(pe.Load(BuildBin(GetParam().arch, file))) << GetParam().arch << " " << file;
        EXPECT_EQ(GetParam().machine, pe.Machine()) << file;
        EXPECT_EQ(GetParam().pe32plus, pe.nt64 != nullptr) << file;
    }
}

TEST_P(Binaries, HookLibraryExportsAndSharedSection)
{
    PeFile pe;
    ASSERT_TRUE(pe.Load(BuildBin(GetParam().arch, "ZarnDLL.DLL")));
    std::map<std::string, DWORD> ex = pe.Exports();
    EXPECT_EQ(2u, ex["#base"]);      // no ordinal 1
    EXPECT_EQ(3u, ex["#count"]);
    EXPECT_EQ(5u, ex.size());        // exactly three names, undecorated
    EXPECT_EQ(2u, ex["GetMsgProc"]);
    EXPECT_EQ(3u, ex["StartHook"]);
    EXPECT_EQ(4u, ex["EndHook"]);

    const IMAGE_SECTION_HEADER *shared = pe.Section(".shared");
    ASSERT_NE(nullptr, shared);
    EXPECT_TRUE(shared->Characteristics & IMAGE_SCN_MEM_SHARED);
    EXPECT_TRUE(shared->Characteristics & IMAGE_SCN_MEM_READ);
    EXPECT_TRUE(shared->Characteristics & IMAGE_SCN_MEM_WRITE);
    EXPECT_GE(shared->Misc.VirtualSize, pe.nt64 ? 8u : 4u);   // one window handle

    for (const std::string &dll : pe.Imports())
        EXPECT_TRUE(dll == "kernel32.dll" || dll == "user32.dll") << "imports " << dll;
}

TEST_P(Binaries, ZarnImportsNoRunTimeDll)
{
    PeFile pe;
    ASSERT_TRUE(pe.Load(BuildBin(GetParam().arch, "zarn.exe")));
    for (const std::string &dll : pe.Imports()) {
        EXPECT_EQ(std::string::npos, dll.find("libgcc")) << dll;
        EXPECT_EQ(std::string::npos, dll.find("libstdc")) << dll;
        EXPECT_EQ(std::string::npos, dll.find("winpthread")) << dll;
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_P(Binaries, ZarnIcon101HasBothSizesIn16Colours)
{
    HMODULE m = LoadLibraryExA(BuildBin(GetParam().arch, "zarn.exe").c_str(), NULL,
                               LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, m);
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(101), RT_GROUP_ICON);
    ASSERT_NE(nullptr, r);
    const BYTE *dir = (const BYTE *)LockResource(LoadResource(m, r));
    WORD count = *(const WORD *)(dir + 4);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; i++) {
        auto e = (const GroupIconEntry *)(dir + 6 + i * sizeof(GroupIconEntry));
        sizes.push_back(e->width);
        EXPECT_EQ(e->width, e->height);
        EXPECT_EQ(4, e->bitCount);   // 16 colours
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ((std::vector<int>{16, 32}), sizes);
    FreeLibrary(m);
}

TEST_P(Binaries, EveryFileCarriesVersionInformation)
{
    for (const char *file : {"zarn.exe", "ZarnDLL.DLL", "Zarninst.exe"}) {
        std::string path = BuildBin(GetParam().arch, file);
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_NE(0u, size) << file;
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO *fixed = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void **)&fixed, &len)) << file;
        EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
        char *name = nullptr;
        EXPECT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041104b0\\ProductName",
                                   (void **)&name, &len)) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, Binaries, ::testing::Values(
    ArchCase{"x86", IMAGE_FILE_MACHINE_I386, false},
    ArchCase{"x64", IMAGE_FILE_MACHINE_AMD64, true}),
    [](const ::testing::TestParamInfo<ArchCase> &i) { return std::string(i.param.arch); });

}  // namespace
