// The folder combo above a media list: where the list is in the shell
// namespace. It shows the desktop, its children, "My Computer" with its
// drives, and the chain of folders down to the current one, indented by
// depth; choosing an entry tells the page (Notify(FCN_SELCHANGE)), which
// lists that folder.
#pragma once

#include <QComboBox>
#include <vector>

#include "platform/shell/shell_namespace.h"

class CFolderCombo : public QComboBox {
    Q_OBJECT

public:
    explicit CFolderCombo(QWidget* parent = nullptr);

    // Fills the combo for the folder and selects it.
    void SetFolder(const CNameSpaceItem& folder);
    // The entries for a folder, in order.
    std::vector<CNameSpaceItem> BuildFolderList(const CNameSpaceItem& target) const;
    // Appends one entry; a negative indent is the folder's depth.
    void AddFolderItem(const CNameSpaceItem& folder, int indent);
    // The folder shown as chosen.
    const CNameSpaceItem& Current() const { return m_current; }
    void SetCurrent(const CNameSpaceItem& folder) { m_current = folder; }
    // The folder of entry `index`.
    CNameSpaceItem FolderAt(int index) const;

signals:
    void Notify(int code);

private:
    // Inserts the sub-folders of `parent` after entry `after` of `list`.
    void AddChildFolders(std::vector<CNameSpaceItem>& list, const CNameSpaceItem& parent, size_t after) const;
    void OnActivated(int index);

    CShellNamespace m_desktop;
    CNameSpaceItem m_current;
};
