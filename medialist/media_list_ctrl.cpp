#include "medialist/media_list_ctrl.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>

#include "medialist/info_worker.h"
#include "medialist/media_list_notify.h"
#include "medialist/mlc_edit.h"
#include "medialist/properties_dlg.h"
#include "res/menus.h"
#include "res/string_table.h"
#include "ui/context_menu.h"
#include "ui/messages.h"
#include "ui/sibling_programs.h"
#include "ui/wait_cursor.h"

namespace {

constexpr int kMarkColumnWidth = 36;
constexpr int kThumbnailColumnWidth = 76;
constexpr int kTextColumnWidth = 300;
constexpr int kFolderPicture = 341;

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// "Clip" for "/videos/Clip.mp4"; a name without a dot (a folder) is whole.
QString NameWithoutExtension(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot <= 0 ? name : name.left(dot);
}

// The new path for a rename, or empty when the typed name cannot be a file
// name in the same folder.
QString RenamedPath(const QString& oldPath, const QString& typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/'))
        return {};
    const qsizetype slash = oldPath.lastIndexOf(u'/');
    const QString oldName = oldPath.mid(slash + 1);
    const qsizetype dot = oldName.lastIndexOf(u'.');
    const QString extension = dot <= 0 ? QString() : oldName.mid(dot);
    return oldPath.left(slash + 1) + name + extension;
}

}  // namespace

CMediaListCtrl::CMediaListCtrl(QWidget* parent) : QTreeView(parent), m_desktop(ShellPlaces::Current())
{
    GetSupportedExtensions(m_videoExts, m_audioExts);
}

CMediaListCtrl::~CMediaListCtrl()
{
    StopInfoWorker();
}

void CMediaListCtrl::Create()
{
    QStringList headers;
    if (m_options.showMarks)
        headers << LoadString(252);
    headers << LoadString(223) << LoadString(IDS_NAME);
    m_nMarkCol = m_options.showMarks ? 0 : -1;
    m_model.SetHeaders(headers);
    setModel(&m_model);
    m_look = std::make_unique<MediaRowLook>(font());

    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAcceptDrops(m_options.acceptDrops);
    setDropIndicatorShown(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the text column takes what is left

    QHeaderView* head = header();
    head->setStretchLastSection(true);
    head->setSectionsMovable(false);
    head->setSectionsClickable(true);
    if (m_nMarkCol >= 0)
        head->resizeSection(m_nMarkCol, kMarkColumnWidth);
    head->resizeSection(ThumbnailColumn(), kThumbnailColumnWidth);
    head->resizeSection(TextColumn(), kTextColumnWidth);
    connect(head, &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == 0 && m_nMarkCol == 0)
            ToggleAllMarks();
    });
}

// ---- listing ----

bool CMediaListCtrl::BrowseFolder(const CNameSpaceItem& folder)
{
    CWaitCursor wait;
    const bool sameFolder = !m_bNoFolder && folder == m_folder;
    const QStringList marked = sameFolder ? MarkedPaths() : QStringList();
    if (!sameFolder)
        m_droppedPaths.clear();
    m_bNoFolder = false;
    StopInfoWorker();
    m_model.Clear();
    m_folder = folder;

    const QString path = FromUtf8(m_desktop.GetPath(m_folder));
    const bool readable = m_folder.GetDepth() <= 1 || QFileInfo(path).isReadable();
    if (!readable)
        return false;
    m_model.Assign(ListFolder(m_folder));
    AddDroppedFiles({});
    RestoreMarks(marked);
    if (m_model.rowCount() > 0)
        selectionModel()->select(m_model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    StartInfoWorker();
    return true;
}

// Sub-folders first, then the media files, each in the namespace's order.
std::vector<CMediaRow> CMediaListCtrl::ListFolder(const CNameSpaceItem& folder) const
{
    std::vector<CMediaRow> folders, files;
    for (const CNameSpaceItem& child : m_desktop.EnumObjects(folder, false)) {
        CNameSpaceItem full = folder;
        full.Append(child.Get());
        const uint32_t attributes = m_desktop.GetAttributes(full);
        if (!(attributes & SFGAO_FILESYSTEM))
            continue;
        CMediaRow row;
        row.item.m_pRelId = std::make_unique<CNameSpaceItem>(child);
        row.item.m_strName = FromUtf8(m_desktop.GetDisplayName(full));
        row.item.m_strPath = FromUtf8(m_desktop.GetPath(full));
        if ((attributes & SFGAO_FOLDER) && m_options.showFolders) {
            row.item.m_nKind = MK_FOLDER;
            row.item.m_image.LoadFromResource(kFolderPicture);
            row.text = FormatString(224, {row.item.m_strName});
            folders.push_back(std::move(row));
        } else if (OfferFile(row.item, row.text)) {
            files.push_back(std::move(row));
        }
    }
    std::move(files.begin(), files.end(), std::back_inserter(folders));
    return folders;
}

// Whether a file is listed, by its kind and the options; fills its first text.
bool CMediaListCtrl::OfferFile(CMediaItem& item, QString& text) const
{
    const MediaKind kind = GetFileKind(item.m_strPath, m_videoExts, m_audioExts);
    if (kind == MK_NONE || QFileInfo(item.m_strPath).isDir())
        return false;
    SetDefaultInfo(m_videoExts, m_audioExts, item, text);
    item.m_bNeedsInfo = true;
    return (kind == MK_AUDIO && m_options.showAudio) || (kind == MK_VIDEO && m_options.showVideo);
}

bool CMediaListCtrl::Refresh()
{
    const CNameSpaceItem folder = m_folder;
    return BrowseFolder(folder);
}

void CMediaListCtrl::UpOneLevel()
{
    CNameSpaceItem parent = m_folder;
    parent.RemoveLast();
    BrowseFolder(parent);
    emit Notify(MLCN_FOLDERCHANGED);
}

QString CMediaListCtrl::GetCurrentFolderPath() const
{
    return FromUtf8(m_desktop.GetPath(m_folder));
}

bool CMediaListCtrl::GetItemPath(int row, QString& path) const
{
    if (row < 0 || row >= m_model.rowCount())
        return false;
    const CMediaItem& item = m_model.Row(row).item;
    if (item.m_nKind == MK_FOLDER || item.m_nKind == MK_CUSTOM || item.m_strPath.isEmpty())
        return false;
    path = item.m_strPath;
    return true;
}

QString CMediaListCtrl::GetFocusedMediaPath() const
{
    QString path;
    if (!GetItemPath(FocusedRow(), path) || GetFileKind(path, m_videoExts, m_audioExts) == MK_NONE)
        return {};
    return path;
}

int CMediaListCtrl::FocusedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

QList<int> CMediaListCtrl::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

// ---- marks ----

void CMediaListCtrl::GetMarkedIndices(QList<int>& indices, bool ask)
{
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.Row(row).marked)
            indices << row;
    }
    if (indices.isEmpty() && ask && AskYesNo(LoadString(IDS_NONE_MARKED), MessageIcon::Warning))
        indices = SelectedRows();
}

void CMediaListCtrl::GetMarkedItems(QStringList& paths)
{
    QList<int> indices;
    GetMarkedIndices(indices, true);
    for (int row : indices) {
        QString path;
        if (GetItemPath(row, path))
            paths << path;
    }
}

QStringList CMediaListCtrl::MarkedPaths() const
{
    QStringList paths;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.Row(row).marked)
            paths << m_model.Row(row).item.m_strPath;
    }
    return paths;
}

void CMediaListCtrl::RestoreMarks(const QStringList& paths)
{
    const QSet<QString> marked(paths.begin(), paths.end());
    for (int row = 0; row < m_model.rowCount() && !marked.isEmpty(); ++row) {
        if (marked.contains(m_model.Row(row).item.m_strPath))
            m_model.SetMarked(row, true);
    }
}

void CMediaListCtrl::ClearMarks()
{
    for (int row = 0; row < m_model.rowCount(); ++row)
        m_model.SetMarked(row, false);
}

void CMediaListCtrl::SetMarked(int row, bool marked)
{
    m_model.SetMarked(row, marked);
}

// All file rows marked: unmark them; otherwise mark them. Folders keep theirs.
void CMediaListCtrl::ToggleAllMarks()
{
    bool allMarked = true;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.Row(row).item.m_nKind != MK_FOLDER && !m_model.Row(row).marked)
            allMarked = false;
    }
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.Row(row).item.m_nKind != MK_FOLDER)
            m_model.SetMarked(row, !allMarked);
    }
}

// ---- custom rows ----

int CMediaListCtrl::AddCustomItem(int index, const QString& text, const QImage& picture, bool alpha)
{
    CMediaItem item;
    item.m_nKind = MK_CUSTOM;
    if (!picture.isNull())
        item.m_image.SetPicture(picture, alpha);
    return m_model.Insert(index, std::move(item), text);
}

void CMediaListCtrl::DeleteAllItems()
{
    StopInfoWorker();
    m_model.Clear();
}

// ---- the info worker ----

void CMediaListCtrl::StartInfoWorker()
{
    std::vector<InfoJob> jobs;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const CMediaRow& listed = m_model.Row(row);
        if (listed.item.m_bNeedsInfo)
            jobs.push_back(InfoJob{listed.id, listed.item});
    }
    if (jobs.empty())
        return;
    m_pWorker = std::make_unique<CInfoWorker>(std::move(jobs), this,
                                              [this](const InfoResult& result) { OnInfoRead(result); });
}

void CMediaListCtrl::OnInfoRead(const InfoResult& result)
{
    const int row = m_model.IndexOf(result.rowId);
    if (row >= 0)
        m_model.SetInfo(row, result.picture, result.text);
}

void CMediaListCtrl::StopInfoWorker()
{
    m_pWorker.reset();
}

bool CMediaListCtrl::IsInfoWorkerRunning() const
{
    return m_pWorker && m_pWorker->IsRunning();
}

// ---- drawing ----

QRect CMediaListCtrl::CellRect(int row, int column) const
{
    const QRect rowRect = visualRect(m_model.index(row, 0));
    const int left = column == 0 ? 0 : columnViewportPosition(column);
    return QRect(left, rowRect.top(), columnViewportPosition(column) + columnWidth(column) - left, rowRect.height());
}

void CMediaListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int row = index.row();
    MediaRowCells cells;
    cells.row = QRect(0, option.rect.top(), viewport()->width(), option.rect.height());
    if (m_nMarkCol >= 0)
        cells.marks = CellRect(row, m_nMarkCol);
    cells.thumbnail = CellRect(row, ThumbnailColumn());
    cells.text = CellRect(row, TextColumn());
    const MediaRowState state{selectionModel()->isRowSelected(row, {}), hasFocus()};
    PaintMediaRow(*painter, *m_look, cells, m_model.Row(row), state);
}

// ---- mouse and keys ----

void CMediaListCtrl::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    if (m_nMarkCol >= 0 && event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && CellRect(index.row(), m_nMarkCol).contains(event->position().toPoint()) &&
            m_model.Row(index.row()).item.m_nKind != MK_FOLDER)
            m_model.SetMarked(index.row(), !m_model.Row(index.row()).marked);
    }
    if (event->button() == Qt::LeftButton)
        emit Notify(MLCN_CLICK);
}

void CMediaListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Activate();
}

// A folder is walked into, a file played; a custom row goes to the page.
void CMediaListCtrl::Activate()
{
    const int row = FocusedRow();
    if (row < 0)
        return;
    const CMediaItem& item = m_model.Row(row).item;
    if (item.m_nKind == MK_CUSTOM) {
        emit Notify(MLCN_ACTIVATE);
        return;
    }
    if (item.m_nKind == MK_FOLDER && item.m_pRelId) {
        CNameSpaceItem child = m_folder;
        child.Append(item.m_pRelId->Get());
        BrowseFolder(child);
        emit Notify(MLCN_FOLDERCHANGED);
    } else if (!m_bNoFolder) {
        PlayFocused();
    }
}

void CMediaListCtrl::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
        DeleteSelected();
        break;
    case Qt::Key_Menu:
        ShowContextMenu();
        break;
    case Qt::Key_F2:
        BeginRename();
        break;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
}

void CMediaListCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    ShowContextMenu();
}

// ---- commands ----

bool CMediaListCtrl::IsCommandEnabled(int command) const
{
    if (command == ID_SHOW_PROPERTIES)
        return selectionModel()->hasSelection();
    return !GetFocusedMediaPath().isEmpty();
}

void CMediaListCtrl::ShowContextMenu()
{
    if (m_bNoFolder) {
        emit Notify(MLCN_CONTEXTMENU);
        return;
    }
    std::unique_ptr<QMenu> menu(LoadContextMenu(IDR_MEDIA_LIST, this));
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        action->setEnabled(IsCommandEnabled(action->data().toInt()));
        if (action->data().toInt() == ID_PLAY_FOCUSED)
            menu->setDefaultAction(action);
    }
    if (QAction* chosen = menu->exec(QCursor::pos()))
        RunCommand(chosen->data().toInt());
}

void CMediaListCtrl::RunCommand(int command)
{
    if (!IsCommandEnabled(command))
        return;
    switch (command) {
    case ID_PLAY_FOCUSED:
        PlayFocused();
        break;
    case ID_RENAME:
        BeginRename();
        break;
    case ID_DELETE_SELECTED:
        DeleteSelected();
        break;
    case ID_SHOW_PROPERTIES:
        ShowProperties();
        break;
    case ID_OPEN_IN_VIDEO_EDITOR:
        OpenInVideoEditor();
        break;
    default:
        break;
    }
}

void CMediaListCtrl::PlayFocused()
{
    const QString path = GetFocusedMediaPath();
    if (!path.isEmpty())
        PlayMediaFile(path);
}

void CMediaListCtrl::OpenInVideoEditor()
{
    LaunchVideoEditor(GetFocusedMediaPath());
}

void CMediaListCtrl::ShowProperties()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        return;
    CPropertiesDlg dialog(this);
    AddFileProperties(m_model.Row(rows.first()).item, dialog);
    dialog.exec();
}

// Files go to the desktop's trash; where a volume has none they are deleted,
// as the user has just agreed to. Folders are never deleted.
void CMediaListCtrl::DeleteSelected()
{
    if (m_bNoFolder) {
        emit Notify(MLCN_DELETEREQUEST);
        return;
    }
    if (!AskYesNo(LoadString(228), MessageIcon::Error))
        return;
    StopInfoWorker();
    for (int row : SelectedRows()) {
        QString path;
        if (!GetItemPath(row, path))
            continue;
        if (!QFile::moveToTrash(path))
            QFile::remove(path);
        m_droppedPaths.removeAll(path);
    }
    Refresh();
    emit Notify(MLCN_DELETED);
}

// ---- rename ----

void CMediaListCtrl::BeginRename()
{
    if (IsInfoWorkerRunning())
        return;
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty() || m_bNoFolder)
        return;
    const int row = rows.first();
    const CMediaItem& item = m_model.Row(row).item;
    if (item.m_strPath.isEmpty())
        return;
    if (!m_edit) {
        m_edit = new CMLCEdit(viewport());
        connect(m_edit, &CMLCEdit::Return, this, &CMediaListCtrl::CommitRename);
        connect(m_edit, &CMLCEdit::Escape, this, &CMediaListCtrl::CancelRename);
    }
    m_renamePath = item.m_strPath;
    StopInfoWorker();
    m_edit->setGeometry(CellRect(row, TextColumn()).adjusted(2, 2, -2, -2));
    m_edit->setText(NameWithoutExtension(item.m_strPath));
    m_edit->show();
    m_edit->selectAll();
    m_edit->setFocus();
}

// The file chosen when the edit opened is renamed, never another that a
// re-list moved into its row, and an existing file is never replaced.
void CMediaListCtrl::CommitRename()
{
    if (m_renamePath.isEmpty())
        return;
    const QString oldPath = std::exchange(m_renamePath, QString());
    m_edit->hide();
    viewport()->update();
    const QString newPath = RenamedPath(oldPath, m_edit->text());
    if (!newPath.isEmpty() && newPath != oldPath && !QFileInfo::exists(newPath))
        QFile::rename(oldPath, newPath);
    Refresh();
    emit Notify(MLCN_RENAMED);
}

void CMediaListCtrl::CancelRename()
{
    m_renamePath.clear();
    m_edit->hide();
    viewport()->update();
    setFocus();
}

// ---- dropped files ----

void CMediaListCtrl::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_options.acceptDrops && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMediaListCtrl::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_options.acceptDrops && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMediaListCtrl::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    AddDroppedFiles(paths);
    StartInfoWorker();
}

// Media files dropped here are marked; those of other folders are listed
// too, and stay listed while this folder is shown. With no argument the
// files dropped before are listed again (after a re-list).
void CMediaListCtrl::AddDroppedFiles(const QStringList& paths)
{
    const QStringList wanted = paths.isEmpty() ? m_droppedPaths : paths;
    for (const QString& path : wanted) {
        const QString clean = QDir::cleanPath(path);
        int row = 0;
        while (row < m_model.rowCount() && m_model.Row(row).item.m_strPath != clean)
            ++row;
        if (row == m_model.rowCount()) {
            CMediaItem item;
            item.m_strPath = clean;
            item.m_strName = QFileInfo(clean).fileName();
            QString text;
            if (!OfferFile(item, text))
                continue;
            row = m_model.Insert(row, std::move(item), text);
            if (!m_droppedPaths.contains(clean))
                m_droppedPaths << clean;
        }
        if (!paths.isEmpty())
            m_model.SetMarked(row, true);
    }
}
