// The rows of a media list: each a CMediaItem, the text the row shows and
// its mark. Window thread only; the info worker never touches a row, it
// sends finished pictures and texts back by row id (info_worker.h), and a
// result for a row that is gone is dropped.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <vector>

#include "medialist/media_item.h"

struct CMediaRow {
    quint64 id = 0;  // unique for the list's life; rows are found by it, not by index
    CMediaItem item;
    QString text;
    bool marked = false;
};

class CMediaListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit CMediaListModel(QObject* parent = nullptr);
    // The column headers, left to right; the marks column (when present) is first.
    void SetHeaders(QStringList headers);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const CMediaRow& Row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    // -1 when no row has that id.
    int IndexOf(quint64 id) const;

    // Inserts at `index` (clamped to the rows) and returns where it went.
    int Insert(int index, CMediaItem item, const QString& text);
    // Replaces every row at once (a folder listing); ids are given here.
    void Assign(std::vector<CMediaRow> rows);
    void Clear();
    void SetText(int index, const QString& text);
    // The row's details have been read.
    void SetInfo(int index, const CBitmapImage& picture, const QString& text);
    void SetMarked(int index, bool marked);

private:
    void RowChanged(int index);

    QStringList m_headers;
    std::vector<CMediaRow> m_rows;
    // Row index by id; rebuilt after rows move.
    mutable QHash<quint64, int> m_indexById;
    mutable bool m_indexStale = true;
    quint64 m_nextId = 1;
};
