#include "medialist/folder_link.h"

#include <QFileInfo>

#include "medialist/folder_combo.h"
#include "medialist/media_list_ctrl.h"
#include "medialist/media_list_notify.h"
#include "platform/shell/shell_namespace.h"
#include "platform/shell/user_folders.h"
#include "ui/dialog_units.h"
#include "ui/flat_button.h"

void LinkFolderComboAndList(CFolderCombo& combo, CMediaListCtrl& list, std::function<void()> filesChanged)
{
    QObject::connect(&list, &CMediaListCtrl::Notify, &combo, [&combo, &list, filesChanged](int code) {
        if (code == MLCN_FOLDERCHANGED)
            combo.SetFolder(list.Folder());
        else if (code == MLCN_DELETED || code == MLCN_RENAMED)
            filesChanged();
    });
    QObject::connect(&combo, &CFolderCombo::Notify, &list, [&combo, &list](int code) {
        if (code == FCN_SELCHANGE)
            list.BrowseFolder(combo.Current());
    });
}

CFlatButton* AddUpButton(QWidget* page, int id, const QRect& units, CMediaListCtrl& list)
{
    constexpr int kUpPicture = 372;
    CFlatButton* button = PlaceControl(new CFlatButton(page), id, units);
    button->SetImageId(kUpPicture);
    QObject::connect(button, &QPushButton::clicked, &list, &CMediaListCtrl::UpOneLevel);
    return button;
}

void ShowFolder(CFolderCombo& combo, CMediaListCtrl& list, const CNameSpaceItem& folder)
{
    list.BrowseFolder(folder);
    combo.SetFolder(folder);
}

CNameSpaceItem UserVideosFolder()
{
    const std::string videos = SpecialFolderPath(SpecialFolder::Videos);
    if (videos.empty() || !QFileInfo(QString::fromStdString(videos)).isDir())
        return {};
    return CShellNamespace().FromPath(videos);
}
