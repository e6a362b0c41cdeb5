// Item id lists: where a place lies in the shell namespace, as the steps
// from the desktop down to it. Each step is one item id: a 16-bit byte
// count (which counts itself) and then the step's own bytes; a 16-bit zero
// ends the list. The empty list, the zero alone, is the desktop. What the
// bytes of a step mean is the namespace's business (shell_namespace.h);
// here a list is only bytes.
//
// Lists are contiguous and built only through CNameSpaceItem, so a list
// always ends; CNameSpaceItem never reads past the terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct ITEMIDLIST;  // the first byte of a list; never defined
using LPCITEMIDLIST = const ITEMIDLIST*;

// One id list, owned. Copies copy the list.
class CNameSpaceItem {
public:
    CNameSpaceItem();  // the desktop
    explicit CNameSpaceItem(LPCITEMIDLIST pidl);

    // Replaces the list by a copy of `pidl`; null gives the empty list.
    void SetPidl(LPCITEMIDLIST pidl);
    // Appends the ids of a relative list.
    void Append(LPCITEMIDLIST relative);
    // Appends one id with these bytes (at most 65533 of them; longer ones
    // are cut).
    void AppendId(std::string_view bytes);
    // Drops the last id; the desktop stays the desktop.
    void RemoveLast();
    // Same ids with the same bytes, ending at the same point. Null equals
    // nothing, since this list is never null.
    bool IsEqual(LPCITEMIDLIST pidl) const;
    // The number of ids: 0 for the desktop.
    int GetDepth() const;

    LPCITEMIDLIST Get() const { return reinterpret_cast<LPCITEMIDLIST>(m_pidl.data()); }
    // The bytes of each id, from the desktop down.
    std::vector<std::string_view> Ids() const;
    // The list of the last id alone (the desktop for the desktop).
    CNameSpaceItem Last() const;

    bool operator==(const CNameSpaceItem& other) const { return m_pidl == other.m_pidl; }

private:
    // The ids and the terminator.
    std::vector<uint8_t> m_pidl;
};

// The size of a list in bytes, terminator included.
size_t IdListSize(LPCITEMIDLIST pidl);
