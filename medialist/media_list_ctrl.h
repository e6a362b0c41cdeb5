// The list every device page shows: one tall row per item with a mark box,
// a thumbnail and a text (the name in bold, then labelled details).
//
// It works in two ways. As a folder view (BrowseFolder) it lists a shell
// folder's sub-folders and media files, reads their details and thumbnails
// on a low-priority worker, and offers play, rename, delete, properties and
// the video editor; the user walks into folders by double-click. As a plain
// list (AddCustomItem) it only draws, marks and tells its page what
// happened; the page does the rest.
//
// The list tells its page through Notify (media_list_notify.h). Window
// thread only.
#pragma once

#include <QList>
#include <QStringList>
#include <QTreeView>
#include <memory>

#include "medialist/media_list_model.h"
#include "medialist/media_row_painter.h"
#include "platform/shell/shell_namespace.h"

class CInfoWorker;
class CMLCEdit;
struct InfoResult;

class CMediaListCtrl : public QTreeView {
    Q_OBJECT

public:
    // What the list shows; set before Create().
    struct Options {
        bool showFolders = true;
        bool showAudio = false;
        bool showVideo = true;
        bool showMarks = true;
        // Files dropped from a file manager are added and marked.
        bool acceptDrops = false;
    };

    explicit CMediaListCtrl(QWidget* parent = nullptr);
    ~CMediaListCtrl() override;

    Options& MutableOptions() { return m_options; }
    // Makes the columns by the options (marks, thumbnail, name).
    void Create();

    // Lists the folder (the empty list: the desktop); false when it could
    // not be read, which leaves the list empty. Marks of files that stay
    // listed are kept when the same folder is listed again.
    bool BrowseFolder(const CNameSpaceItem& folder);
    bool Refresh();
    void UpOneLevel();
    const CNameSpaceItem& Folder() const { return m_folder; }
    QString GetCurrentFolderPath() const;
    // The file path of a file row; false for folders and custom rows.
    bool GetItemPath(int row, QString& path) const;
    // The focused row's path when it is a media file; empty otherwise.
    QString GetFocusedMediaPath() const;

    // The marked rows; with none marked and `ask`, the selected rows when the
    // user agrees (string 293).
    void GetMarkedIndices(QList<int>& indices, bool ask);
    void GetMarkedItems(QStringList& paths);
    void ClearMarks();
    void SetMarked(int row, bool marked);

    // A row that is no shell item (a title, a track, a search result); the
    // list keeps the picture. Returns the row's index.
    int AddCustomItem(int index, const QString& text, const QImage& picture, bool alpha);
    void DeleteAllItems();

    int GetItemCount() const { return m_model.rowCount(); }
    const CMediaRow& Row(int row) const { return m_model.Row(row); }
    QString GetItemText(int row) const { return m_model.Row(row).text; }
    void SetItemText(int row, const QString& text) { m_model.SetText(row, text); }

    // Ends the info worker's hold on this list at once.
    void StopInfoWorker();
    bool IsInfoWorkerRunning() const;

    virtual void ShowContextMenu();
    void PlayFocused();
    void BeginRename();
    void DeleteSelected();
    void ShowProperties();
    void OpenInVideoEditor();
    // Whether a command of menu 348 is available now.
    bool IsCommandEnabled(int command) const;

signals:
    void Notify(int code);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Listing;

    int ThumbnailColumn() const { return m_nMarkCol + 1; }
    int TextColumn() const { return m_nMarkCol + 2; }
    QRect CellRect(int row, int column) const;
    QList<int> SelectedRows() const;
    int FocusedRow() const;

    std::vector<CMediaRow> ListFolder(const CNameSpaceItem& folder) const;
    bool OfferFile(CMediaItem& item, QString& text) const;
    void StartInfoWorker();
    void OnInfoRead(const InfoResult& result);
    void ToggleAllMarks();
    void Activate();
    void RunCommand(int command);
    void AddDroppedFiles(const QStringList& paths);
    QStringList MarkedPaths() const;
    void RestoreMarks(const QStringList& paths);

    void CommitRename();
    void CancelRename();

    Options m_options;
    CShellNamespace m_desktop;
    CMediaListModel m_model;
    std::unique_ptr<MediaRowLook> m_look;
    CNameSpaceItem m_folder;
    QStringList m_videoExts, m_audioExts;
    QStringList m_droppedPaths;  // files dropped here, listed with the folder
    std::unique_ptr<CInfoWorker> m_pWorker;
    CMLCEdit* m_edit = nullptr;
    QString m_renamePath;  // the file whose name is being edited; empty when none
    int m_nMarkCol = -1;
    bool m_bNoFolder = true;
};
