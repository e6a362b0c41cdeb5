#include "medialist/folder_combo.h"

#include <QFileIconProvider>
#include <QStyledItemDelegate>
#include <algorithm>

#include "medialist/media_list_notify.h"

namespace {

constexpr int kIndentRole = Qt::UserRole + 1;
constexpr int kFolderRole = Qt::UserRole + 2;
constexpr int kIndentStep = 10;

// Indents each entry of the popup by its depth.
class IndentedEntryDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(index.data(kIndentRole).toInt() * kIndentStep, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

QByteArray BytesOf(const CNameSpaceItem& folder)
{
    return QByteArray(reinterpret_cast<const char*>(folder.Get()), static_cast<qsizetype>(IdListSize(folder.Get())));
}

QIcon IconFor(const CNameSpaceItem& folder)
{
    static const QFileIconProvider icons;
    if (folder.GetDepth() == 0)
        return icons.icon(QFileIconProvider::Desktop);
    if (folder == CShellNamespace::Computer())
        return icons.icon(QFileIconProvider::Computer);
    if (folder.GetDepth() == 2 && folder.Ids().front() == CShellNamespace::Computer().Ids().front())
        return icons.icon(QFileIconProvider::Drive);
    return icons.icon(QFileIconProvider::Folder);
}

}  // namespace

CFolderCombo::CFolderCombo(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new IndentedEntryDelegate(this));
    setMaxVisibleItems(20);
    connect(this, &QComboBox::activated, this, &CFolderCombo::OnActivated);
}

void CFolderCombo::SetFolder(const CNameSpaceItem& folder)
{
    clear();
    m_current = folder;
    for (const CNameSpaceItem& entry : BuildFolderList(folder))
        AddFolderItem(entry, -1);
}

// The desktop, its children, "My Computer" with its drives, then the chain
// down to the target below the nearest entry that is one of its parents.
std::vector<CNameSpaceItem> CFolderCombo::BuildFolderList(const CNameSpaceItem& target) const
{
    std::vector<CNameSpaceItem> list{CNameSpaceItem()};
    AddChildFolders(list, list.front(), 0);
    const CNameSpaceItem computer = CShellNamespace::Computer();
    const auto found = std::find(list.begin(), list.end(), computer);
    const size_t computerAt = found == list.end() ? list.size() - 1 : static_cast<size_t>(found - list.begin());
    AddChildFolders(list, list[computerAt], computerAt);

    std::vector<CNameSpaceItem> chain;  // nearest the target first
    CNameSpaceItem at = target;
    auto equal = std::find(list.begin(), list.end(), at);
    while (equal == list.end()) {
        chain.push_back(at);
        at.RemoveLast();
        equal = std::find(list.begin(), list.end(), at);
    }
    list.insert(equal + 1, chain.rbegin(), chain.rend());
    return list;
}

void CFolderCombo::AddChildFolders(std::vector<CNameSpaceItem>& list, const CNameSpaceItem& parent,
                                   size_t after) const
{
    const CNameSpaceItem base = parent;  // `parent` may lie in `list`, which grows
    size_t at = after;
    for (const CNameSpaceItem& child : m_desktop.EnumObjects(base, true)) {
        CNameSpaceItem full = base;
        full.Append(child.Get());
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(++at), std::move(full));
    }
}

void CFolderCombo::AddFolderItem(const CNameSpaceItem& folder, int indent)
{
    const int index = count();
    addItem(IconFor(folder), QString::fromStdString(m_desktop.GetDisplayName(folder)));
    setItemData(index, indent < 0 ? folder.GetDepth() : indent, kIndentRole);
    setItemData(index, BytesOf(folder), kFolderRole);
    if (folder == m_current)
        setCurrentIndex(index);
}

CNameSpaceItem CFolderCombo::FolderAt(int index) const
{
    const QByteArray bytes = itemData(index, kFolderRole).toByteArray();
    if (bytes.isEmpty())
        return {};
    return CNameSpaceItem(reinterpret_cast<LPCITEMIDLIST>(bytes.constData()));
}

void CFolderCombo::OnActivated(int index)
{
    m_current = FolderAt(index);
    emit Notify(FCN_SELCHANGE);
}
