#include "LinkFiles.h"
#include <shlobj.h>
#include <ostream>

bool operator==(const LinkProps &a, const LinkProps &b)
{
    return a.target == b.target && a.arguments == b.arguments && a.iconPath == b.iconPath &&
           a.workingDirectory == b.workingDirectory && a.description == b.description &&
           a.iconIndex == b.iconIndex && a.hotkey == b.hotkey && a.showCmd == b.showCmd;
}

std::ostream &operator<<(std::ostream &os, const LinkProps &p)
{
    return os << "{target=" << p.target << " args=" << p.arguments << " icon=" << p.iconPath << ","
              << p.iconIndex << " dir=" << p.workingDirectory << " desc=" << p.description
              << " hotkey=" << p.hotkey << " show=" << p.showCmd << "}";
}

namespace {
struct Link {
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    WCHAR name[1024];
    explicit Link(const std::string &path)
    {
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, name, 1024);
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       (void **)&link)))
            link->QueryInterface(IID_IPersistFile, (void **)&file);
    }
    ~Link()
    {
        if (file)
            file->Release();
        if (link)
            link->Release();
    }
};
}

bool MakeLink(const std::string &file, const LinkProps &p)
{
    Link l(file);
    if (!l.file)
        return false;
    l.link->SetPath(p.target.c_str());
    l.link->SetArguments(p.arguments.c_str());
    l.link->SetIconLocation(p.iconPath.c_str(), p.iconIndex);
    l.link->SetWorkingDirectory(p.workingDirectory.c_str());
    l.link->SetDescription(p.description.c_str());
    l.link->SetHotkey(p.hotkey);
    l.link->SetShowCmd(p.showCmd);
    return SUCCEEDED(l.file->Save(l.name, TRUE));
}

bool ReadLink(const std::string &file, LinkProps *p)
{
    Link l(file);
    if (!l.file || FAILED(l.file->Load(l.name, STGM_READ)))
        return false;
    static char buf[8192];
    buf[0] = 0;
    l.link->GetPath(buf, sizeof buf, NULL, SLGP_UNCPRIORITY);
    p->target = buf;
    buf[0] = 0;
    l.link->GetArguments(buf, sizeof buf);
    p->arguments = buf;
    buf[0] = 0;
    l.link->GetIconLocation(buf, sizeof buf, &p->iconIndex);
    p->iconPath = buf;
    buf[0] = 0;
    l.link->GetWorkingDirectory(buf, sizeof buf);
    p->workingDirectory = buf;
    buf[0] = 0;
    l.link->GetDescription(buf, sizeof buf);
    p->description = buf;
    l.link->GetHotkey(&p->hotkey);
    l.link->GetShowCmd(&p->showCmd);
    return true;
}
