#include "viewer/RecordTableModel.h"

#include "module/MemoryRecords.h"

namespace {
// Rows kept read: a few screens full, so that scrolling back reads nothing again.
constexpr qsizetype KeptRows = 4096;
}

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTableModel::Show(std::shared_ptr<const MemoryFileIndex> index, int fd, std::vector<qint32> rows)
{
    beginResetModel();
    index_ = std::move(index);
    fd_ = fd;
    rows_ = std::move(rows);
    read_.clear();
    endResetModel();
}

void RecordTableModel::ShowUtc(bool utc)
{
    utc_ = utc;
    if (!rows_.empty())
        emit dataChanged(index(0, TimeColumn), index(rowCount() - 1, TimeColumn), {Qt::DisplayRole});
}

QString RecordTableModel::TimeText(qint64 stamp, bool utc)
{
    if (stamp == IndexedRecord::NoStamp)
        return {};
    const QDateTime local = StampReader::LocalTime(stamp);
    return (utc ? local.toUTC() : local.toOffsetFromUtc(local.offsetFromUtc())).toString(Qt::ISODate);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const RecordContent& RecordTableModel::Content(qint32 record) const
{
    const auto found = read_.constFind(record);
    if (found != read_.constEnd())
        return *found;
    if (read_.size() >= KeptRows)
        read_.clear();
    const IndexedRecord& indexed = index_->Records()[size_t(record)];
    return *read_.insert(record, ReadRecord(fd_, indexed, index_->Uploads()[size_t(indexed.upload)].format));
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= rows_.size() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const qint32 record = rows_[size_t(index.row())];
    const IndexedRecord& indexed = index_->Records()[size_t(record)];
    switch (index.column()) {
    case UploadColumn: return indexed.upload + 1;
    case RecordColumn: {
        const qint64 number = index_->NumberOf(size_t(record));
        return number == 0 ? tr("configuration") : QVariant(number);
    }
    case TimeColumn: return TimeText(indexed.stamp, utc_);
    default: return QString::fromLatin1(Content(record).text);
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case UploadColumn: return tr("Upload");
    case RecordColumn: return tr("Record");
    case TimeColumn: return tr("Time");
    default: return tr("Text");
    }
}
