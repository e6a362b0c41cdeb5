#include "medialist/media_list_model.h"

#include <QSize>
#include <algorithm>

namespace {
constexpr int kRowHeight = 60;
}

CMediaListModel::CMediaListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CMediaListModel::SetHeaders(QStringList headers)
{
    beginResetModel();
    m_headers = std::move(headers);
    endResetModel();
}

int CMediaListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CMediaListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CMediaListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::SizeHintRole)
        return QSize(0, kRowHeight);
    // Accessibility and tests read the row's text and mark through the roles.
    if (role == Qt::DisplayRole && index.column() == columnCount() - 1)
        return Row(index.row()).text;
    if (role == Qt::CheckStateRole && index.column() == 0)
        return Row(index.row()).marked ? Qt::Checked : Qt::Unchecked;
    return {};
}

QVariant CMediaListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_headers[section];
    if (role == Qt::TextAlignmentRole)
        return section == m_headers.size() - 1 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    return {};
}

int CMediaListModel::IndexOf(quint64 id) const
{
    if (m_indexStale) {
        m_indexById.clear();
        for (size_t i = 0; i < m_rows.size(); ++i)
            m_indexById.insert(m_rows[i].id, static_cast<int>(i));
        m_indexStale = false;
    }
    return m_indexById.value(id, -1);
}

int CMediaListModel::Insert(int index, CMediaItem item, const QString& text)
{
    const int at = std::clamp(index, 0, rowCount());
    beginInsertRows({}, at, at);
    m_rows.insert(m_rows.begin() + at, CMediaRow{m_nextId++, std::move(item), text, false});
    m_indexStale = true;
    endInsertRows();
    return at;
}

void CMediaListModel::Assign(std::vector<CMediaRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    for (CMediaRow& row : m_rows)
        row.id = m_nextId++;
    m_indexStale = true;
    endResetModel();
}

void CMediaListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    m_indexStale = true;
    endResetModel();
}

void CMediaListModel::SetText(int index, const QString& text)
{
    m_rows[static_cast<size_t>(index)].text = text;
    RowChanged(index);
}

void CMediaListModel::SetInfo(int index, const CBitmapImage& picture, const QString& text)
{
    CMediaRow& row = m_rows[static_cast<size_t>(index)];
    row.item.m_image = picture;
    row.item.m_bNeedsInfo = false;
    row.text = text;
    RowChanged(index);
}

void CMediaListModel::SetMarked(int index, bool marked)
{
    CMediaRow& row = m_rows[static_cast<size_t>(index)];
    if (row.marked == marked)
        return;
    row.marked = marked;
    RowChanged(index);
}

void CMediaListModel::RowChanged(int index)
{
    emit dataChanged(this->index(index, 0), this->index(index, columnCount() - 1));
}
