#include "platform/shell/shell_namespace.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/shell/user_folders.h"

namespace fs = std::filesystem;

namespace {

enum IdKind : char { kComputer = 'C', kHome = 'H', kVolume = 'V', kSegment = 'S' };

std::string Id(IdKind kind, const std::string& name = {})
{
    return std::string(1, kind) + name;
}

IdKind KindOf(std::string_view id)
{
    return id.empty() ? kSegment : static_cast<IdKind>(id.front());
}

std::string NameOf(std::string_view id)
{
    return id.empty() ? std::string() : std::string(id.substr(1));
}

bool IsDrive(const MountedVolume& volume)
{
    return volume.mountPoint == "/" || volume.removable || volume.optical;
}

// The folder's entries sorted by name, without hidden ones.
std::vector<CNameSpaceItem> ListFolder(const std::string& path, bool foldersOnly)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.')
            continue;
        std::error_code typeError;
        if (!foldersOnly || it->is_directory(typeError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<CNameSpaceItem> children;
    for (const std::string& name : names) {
        CNameSpaceItem child;
        child.AppendId(Id(kSegment, name));
        children.push_back(child);
    }
    return children;
}

// The segments of `path` below `root`, or false when it is not below it.
bool SegmentsBelow(const fs::path& path, const fs::path& root, std::vector<std::string>& segments)
{
    auto at = path.begin();
    for (auto rootPart = root.begin(); rootPart != root.end(); ++rootPart, ++at) {
        if (rootPart->empty())
            continue;  // the empty last part of a root with a trailing "/"
        if (at == path.end() || *at != *rootPart)
            return false;
    }
    segments.clear();
    for (; at != path.end(); ++at) {
        if (!at->empty())
            segments.push_back(at->string());
    }
    return true;
}

}  // namespace

ShellPlaces ShellPlaces::Current()
{
    return {UserEnvironment::Current().home, SpecialFolderPath(SpecialFolder::Desktop), ListMountedVolumes()};
}

CShellNamespace::CShellNamespace(ShellPlaces places) : m_places(std::move(places)) {}

CNameSpaceItem CShellNamespace::Computer()
{
    CNameSpaceItem computer;
    computer.AppendId(Id(kComputer));
    return computer;
}

std::vector<const MountedVolume*> CShellNamespace::Drives() const
{
    std::vector<const MountedVolume*> drives;
    for (const MountedVolume& volume : m_places.volumes) {
        if (IsDrive(volume))
            drives.push_back(&volume);
    }
    return drives;
}

std::vector<CNameSpaceItem> CShellNamespace::EnumObjects(const CNameSpaceItem& folder, bool foldersOnly) const
{
    if (folder.GetDepth() == 0) {
        std::vector<CNameSpaceItem> children{Computer(), CNameSpaceItem()};
        children.back().AppendId(Id(kHome));
        for (CNameSpaceItem& entry : ListFolder(m_places.desktopFolder, foldersOnly))
            children.push_back(std::move(entry));
        return children;
    }
    if (folder.IsEqual(Computer().Get())) {
        std::vector<CNameSpaceItem> children;
        for (const MountedVolume* drive : Drives()) {
            children.emplace_back();
            children.back().AppendId(Id(kVolume, drive->mountPoint));
        }
        return children;
    }
    const std::string path = GetPath(folder);
    return path.empty() ? std::vector<CNameSpaceItem>() : ListFolder(path, foldersOnly);
}

std::string CShellNamespace::GetDisplayName(const CNameSpaceItem& item) const
{
    const std::vector<std::string_view> ids = item.Ids();
    if (ids.empty())
        return "Desktop";
    const std::string_view last = ids.back();
    switch (KindOf(last)) {
    case kComputer:
        return "My Computer";
    case kHome:
        return fs::path(m_places.home).filename().string();
    case kVolume:
        for (const MountedVolume* drive : Drives()) {
            if (drive->mountPoint == NameOf(last))
                return drive->label;
        }
        return NameOf(last);
    case kSegment:
        break;
    }
    return NameOf(last);
}

uint32_t CShellNamespace::GetAttributes(const CNameSpaceItem& item) const
{
    if (item.GetDepth() == 0 || item.IsEqual(Computer().Get()))
        return SFGAO_FOLDER | (item.GetDepth() == 0 ? SFGAO_FILESYSTEM : 0);
    const std::string path = GetPath(item);
    if (path.empty())
        return 0;
    std::error_code error;
    return SFGAO_FILESYSTEM | (fs::is_directory(path, error) ? SFGAO_FOLDER : 0);
}

std::string CShellNamespace::GetPath(const CNameSpaceItem& item) const
{
    const std::vector<std::string_view> ids = item.Ids();
    if (ids.empty())
        return m_places.desktopFolder;
    fs::path path;
    switch (KindOf(ids.front())) {
    case kComputer:
        if (ids.size() == 1 || KindOf(ids[1]) != kVolume)
            return {};
        path = NameOf(ids[1]);
        break;
    case kHome:
        path = m_places.home;
        break;
    case kSegment:
        path = fs::path(m_places.desktopFolder) / NameOf(ids.front());
        break;
    case kVolume:
        return {};
    }
    const size_t firstSegment = KindOf(ids.front()) == kComputer ? 2 : 1;
    for (size_t i = firstSegment; i < ids.size(); ++i) {
        if (KindOf(ids[i]) != kSegment)
            return {};
        path /= NameOf(ids[i]);
    }
    return path.string();
}

CNameSpaceItem CShellNamespace::FromPath(const std::string& path) const
{
    const fs::path normal = fs::path(path).lexically_normal();
    if (!normal.is_absolute())
        return {};
    CNameSpaceItem item;
    std::vector<std::string> segments;
    const MountedVolume* holder = nullptr;
    size_t holderLength = 0;
    for (const MountedVolume* drive : Drives()) {
        std::vector<std::string> below;
        if (SegmentsBelow(normal, drive->mountPoint, below) && (!holder || drive->mountPoint.size() > holderLength)) {
            holder = drive;
            holderLength = drive->mountPoint.size();
            segments = below;
        }
    }
    if (holder) {
        item = Computer();
        item.AppendId(Id(kVolume, holder->mountPoint));
    } else if (SegmentsBelow(normal, m_places.home, segments)) {
        item.AppendId(Id(kHome));
    } else {
        return {};
    }
    for (const std::string& segment : segments)
        item.AppendId(Id(kSegment, segment));
    return item;
}
