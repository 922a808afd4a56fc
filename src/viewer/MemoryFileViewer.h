// A window of its own on one memory file: its uploads from the record, the records of the chosen
// uploads as the module logged them, a filter by text and time, and a timeline of when the
// records were logged. It only reads; the file is indexed on a worker, so the window never waits.
#pragma once

#include "module/UploadRecord.h"
#include "viewer/MemoryFileIndex.h"
#include "viewer/TimelineWidget.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;
class QTimer;
class RecordTableModel;

// Work on a thread of its own, one piece at a time: a new piece first stops the one before.
class BackgroundTask {
public:
    ~BackgroundTask() { Stop(); }
    void Run(std::function<void(const std::atomic<bool>& cancel)> work);
    void Stop();
    bool Running() const { return thread_.joinable() && !done_; }

private:
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{true};
};

class MemoryFileViewer : public QWidget {
    Q_OBJECT

public:
    // `unrecordedFormat`: how to read a file without an upload record (the connected module's
    // settings, say); what it leaves unknown is guessed.
    MemoryFileViewer(const QString& memoryFile, const RecordFormat& unrecordedFormat, QWidget* parent = nullptr);
    ~MemoryFileViewer() override;

    // For those who check what is shown.
    QTableWidget* UploadList() const { return uploads_; }
    QTableView* RecordTable() const { return records_; }
    QLineEdit* FilterEdit() const { return filter_; }
    QCheckBox* UtcSwitch() const { return utc_; }
    TimelineWidget* Timeline() const { return timeline_; }
    QLabel* Status() const { return status_; }
    bool Busy() const { return indexing_.Running() || selecting_.Running(); }

private:
    void Index();
    void Indexed(std::shared_ptr<const MemoryFileIndex> index, const QString& fault);
    void Checked(int upload, const QString& difference);
    // `uploadsChanged`: the timeline is counted again too.
    void Select(bool uploadsChanged = false);
    void Selected(std::vector<qint32> rows, std::optional<TimelineBins> bins, quint64 generation);
    std::vector<bool> ChosenUploads() const;
    // From a worker: `result` runs on the window's thread. The hand-over goes through a lock of
    // ours rather than only through Qt's event queue, whose locking the thread checker cannot see.
    void Post(std::function<void()> result);
    void RunPosted();
    void BuildFormatRow(QWidget* row);
    RecordFormat ChosenFormat() const;

    QString file_;
    RecordFormat unrecordedFormat_;
    int fd_ = -1;
    std::shared_ptr<const MemoryFileIndex> index_;
    std::mutex postedMutex_;
    std::vector<std::function<void()>> posted_;
    BackgroundTask indexing_;  // the index, then the check of each upload
    BackgroundTask selecting_; // the rows that pass the filter
    quint64 generation_ = 0; // of the selection shown; older answers are dropped
    bool timelineStale_ = false;
    qint64 from_, to_;

    QTableWidget* uploads_;
    QWidget* formatRow_;
    QComboBox* memoryMode_ = nullptr;
    QSpinBox* delimiter_ = nullptr;
    QSpinBox* fixedLength_ = nullptr;
    QComboBox* stamp_ = nullptr;
    QLineEdit* filter_;
    QCheckBox* utc_;
    QPushButton* allTimes_;
    TimelineWidget* timeline_;
    QTableView* records_;
    RecordTableModel* model_;
    QLabel* status_;
    QTimer* typing_;
};
