// The records of a memory file as a table: upload, record, time and text, each row read from the
// file only when the view shows it.
#pragma once

#include "viewer/MemoryFileIndex.h"

#include <QAbstractTableModel>
#include <QHash>

#include <memory>

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { UploadColumn, RecordColumn, TimeColumn, TextColumn, ColumnCount };

    explicit RecordTableModel(QObject* parent = nullptr);

    // `fd` stays open while the model shows rows of `index`.
    void Show(std::shared_ptr<const MemoryFileIndex> index, int fd, std::vector<qint32> rows);
    void ShowUtc(bool utc);
    // A stamp as a person reads it: ISO 8601 local time with its offset, or UTC.
    static QString TimeText(qint64 stamp, bool utc);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const RecordContent& Content(qint32 record) const;

    std::shared_ptr<const MemoryFileIndex> index_;
    int fd_ = -1;
    std::vector<qint32> rows_;
    bool utc_ = false;
    mutable QHash<qint32, RecordContent> read_; // the rows read lately
};
