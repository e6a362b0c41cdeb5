#include "platform/shell/item_id_list.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kCountSize = sizeof(uint16_t);
constexpr size_t kLargestId = 0xFFFF - kCountSize;

const uint8_t* BytesOf(LPCITEMIDLIST pidl)
{
    return reinterpret_cast<const uint8_t*>(pidl);
}

// Ids start anywhere in a byte vector, so counts are read without alignment.
uint16_t CountAt(const uint8_t* at)
{
    uint16_t count;
    std::memcpy(&count, at, kCountSize);
    return count;
}

}  // namespace

size_t IdListSize(LPCITEMIDLIST pidl)
{
    if (!pidl)
        return 0;
    const uint8_t* bytes = BytesOf(pidl);
    size_t size = 0;
    // A count below its own size cannot be a step: it ends the list too.
    for (uint16_t count; (count = CountAt(bytes + size)) >= kCountSize;)
        size += count;
    return size + kCountSize;
}

CNameSpaceItem::CNameSpaceItem() : m_pidl(kCountSize, 0) {}

CNameSpaceItem::CNameSpaceItem(LPCITEMIDLIST pidl) : CNameSpaceItem()
{
    SetPidl(pidl);
}

void CNameSpaceItem::SetPidl(LPCITEMIDLIST pidl)
{
    m_pidl.assign(kCountSize, 0);
    Append(pidl);
}

void CNameSpaceItem::Append(LPCITEMIDLIST relative)
{
    const size_t size = IdListSize(relative);
    if (size <= kCountSize)
        return;
    m_pidl.resize(m_pidl.size() - kCountSize);  // the old terminator
    m_pidl.insert(m_pidl.end(), BytesOf(relative), BytesOf(relative) + size);
}

void CNameSpaceItem::AppendId(std::string_view bytes)
{
    const size_t length = std::min(bytes.size(), kLargestId);
    const auto count = static_cast<uint16_t>(length + kCountSize);
    m_pidl.resize(m_pidl.size() - kCountSize);
    const auto* countBytes = reinterpret_cast<const uint8_t*>(&count);
    m_pidl.insert(m_pidl.end(), countBytes, countBytes + kCountSize);
    m_pidl.insert(m_pidl.end(), bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length));
    m_pidl.insert(m_pidl.end(), kCountSize, 0);
}

void CNameSpaceItem::RemoveLast()
{
    const std::vector<std::string_view> ids = Ids();
    if (ids.empty())
        return;
    const auto* lastBytes = reinterpret_cast<const uint8_t*>(ids.back().data());
    m_pidl.resize(static_cast<size_t>(lastBytes - m_pidl.data()) - kCountSize);
    m_pidl.insert(m_pidl.end(), kCountSize, 0);
}

bool CNameSpaceItem::IsEqual(LPCITEMIDLIST pidl) const
{
    if (!pidl)
        return false;
    const size_t size = IdListSize(pidl);
    return size == m_pidl.size() && std::memcmp(BytesOf(pidl), m_pidl.data(), size) == 0;
}

int CNameSpaceItem::GetDepth() const
{
    return static_cast<int>(Ids().size());
}

std::vector<std::string_view> CNameSpaceItem::Ids() const
{
    std::vector<std::string_view> ids;
    size_t at = 0;
    for (uint16_t count; (count = CountAt(m_pidl.data() + at)) >= kCountSize; at += count)
        ids.emplace_back(reinterpret_cast<const char*>(m_pidl.data() + at + kCountSize), count - kCountSize);
    return ids;
}

CNameSpaceItem CNameSpaceItem::Last() const
{
    CNameSpaceItem last;
    const std::vector<std::string_view> ids = Ids();
    if (!ids.empty())
        last.AppendId(ids.back());
    return last;
}
