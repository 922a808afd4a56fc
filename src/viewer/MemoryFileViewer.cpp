#include "viewer/MemoryFileViewer.h"

#include "contract/ModuleParameters.h"
#include "module/MemoryRecords.h"
#include "module/ModuleIdentity.h"
#include "module/RecordedMemoryFile.h"
#include "platform/FileName.h"
#include "viewer/RecordTableModel.h"
#include "viewer/TimelineWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <fcntl.h>
#include <unistd.h>

namespace {

enum UploadColumns { TimeColumn, NodeColumn, SerialColumn, BytesColumn, CheckColumn, UploadColumnCount };
// Typing in the filter box selects again once the typing pauses.
constexpr int TypingPauseMs = 250;


}  // namespace

void BackgroundTask::Run(std::function<void(const std::atomic<bool>& cancel)> work)
{
    Stop();
    cancel_ = false;
    done_ = false;
    thread_ = std::thread([this, work = std::move(work)] {
        work(cancel_);
        done_ = true;
    });
}

void BackgroundTask::Stop()
{
    cancel_ = true;
    if (thread_.joinable())
        thread_.join();
}

MemoryFileViewer::MemoryFileViewer(const QString& memoryFile, const RecordFormat& unrecordedFormat, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(memoryFile), unrecordedFormat_(unrecordedFormat),
      fd_(::open(platform::FileNameBytes(memoryFile).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)),
      from_(IndexedRecord::NoStamp), to_(IndexedRecord::NoStamp), uploads_(new QTableWidget(0, UploadColumnCount, this)),
      formatRow_(new QWidget(this)), filter_(new QLineEdit(this)), utc_(new QCheckBox(tr("&UTC"), this)),
      allTimes_(new QPushButton(tr("&All Times"), this)), timeline_(new TimelineWidget(this)), records_(new QTableView(this)),
      model_(new RecordTableModel(this)), status_(new QLabel(this)), typing_(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Memory File - %1").arg(QFileInfo(memoryFile).fileName()));

    uploads_->setHorizontalHeaderLabels({tr("Uploaded (UTC)"), tr("Node-ID"), tr("Serial Number"), tr("Bytes"), tr("Check")});
    uploads_->setAccessibleName(tr("Uploads"));
    uploads_->verticalHeader()->hide();
    uploads_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    uploads_->setSelectionBehavior(QAbstractItemView::SelectRows);
    uploads_->horizontalHeader()->setStretchLastSection(true);
    uploads_->setMaximumHeight(uploads_->horizontalHeader()->sizeHint().height() + 5 * uploads_->verticalHeader()->defaultSectionSize() + 4);
    connect(uploads_, &QTableWidget::itemSelectionChanged, this, [this] {
        from_ = to_ = IndexedRecord::NoStamp;
        Select(true);
    });

    BuildFormatRow(formatRow_);
    formatRow_->hide();

    filter_->setPlaceholderText(tr("Filter: text in the records"));
    filter_->setAccessibleName(tr("Filter"));
    filter_->setClearButtonEnabled(true);
    typing_->setSingleShot(true);
    typing_->setInterval(TypingPauseMs);
    connect(typing_, &QTimer::timeout, this, [this] { Select(); });
    connect(filter_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    connect(utc_, &QCheckBox::toggled, model_, &RecordTableModel::ShowUtc);
    connect(allTimes_, &QPushButton::clicked, this, [this] {
        timeline_->ClearRange();
        from_ = to_ = IndexedRecord::NoStamp;
        Select();
    });
    connect(timeline_, &TimelineWidget::RangeChosen, this, [this](qint64 from, qint64 to) {
        from_ = from;
        to_ = to;
        Select();
    });

    records_->setModel(model_);
    records_->setAccessibleName(tr("Records"));
    records_->verticalHeader()->hide();
    // Rows of one height: the view then never measures a million of them.
    records_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    records_->verticalHeader()->setDefaultSectionSize(records_->fontMetrics().height() + 6);
    records_->horizontalHeader()->setStretchLastSection(true);
    records_->setSelectionBehavior(QAbstractItemView::SelectRows);
    records_->setWordWrap(false);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filter_, 1);
    filterRow->addWidget(utc_);
    filterRow->addWidget(allTimes_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(uploads_);
    layout->addWidget(formatRow_);
    layout->addLayout(filterRow);
    layout->addWidget(timeline_);
    layout->addWidget(records_, 1);
    layout->addWidget(status_);
    resize(900, 640);
    Index();
}

void MemoryFileViewer::Post(std::function<void()> result)
{
    {
        const std::lock_guard<std::mutex> lock(postedMutex_);
        posted_.push_back(std::move(result));
    }
    QMetaObject::invokeMethod(this, &MemoryFileViewer::RunPosted, Qt::QueuedConnection);
}

void MemoryFileViewer::RunPosted()
{
    std::vector<std::function<void()>> results;
    {
        const std::lock_guard<std::mutex> lock(postedMutex_);
        results.swap(posted_);
    }
    for (std::function<void()>& result : results)
        result();
}

MemoryFileViewer::~MemoryFileViewer()
{
    selecting_.Stop();
    indexing_.Stop();
    if (fd_ >= 0)
        ::close(fd_);
}

void MemoryFileViewer::BuildFormatRow(QWidget* row)
{
    memoryMode_ = new QComboBox(row);
    for (int mode = 0; mode < int(driver::MemoryModes.size()); ++mode)
        memoryMode_->addItem(MemoryModeText(mode));
    delimiter_ = new QSpinBox(row);
    delimiter_->setRange(0, 255);
    delimiter_->setDisplayIntegerBase(16);
    fixedLength_ = new QSpinBox(row);
    fixedLength_->setRange(0, 255);
    stamp_ = new QComboBox(row);
    stamp_->addItem(tr("none"));
    for (const std::string_view form : driver::StampFormats)
        stamp_->addItem(QString::fromLatin1(form.data(), form.size()));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const QString& label, QWidget* field) {
        auto* caption = new QLabel(label, row);
        caption->setBuddy(field);
        layout->addWidget(caption);
        layout->addWidget(field);
    };
    add(tr("No upload record; read as &Memory Mode:"), memoryMode_);
    add(tr("&Delimeter:"), delimiter_);
    add(tr("&Fixed Length:"), fixedLength_);
    add(tr("&Stamp:"), stamp_);
    layout->addStretch(1);
    memoryMode_->setCurrentIndex(unrecordedFormat_.memoryMode.value_or(1));
    delimiter_->setValue(unrecordedFormat_.delimiter.value_or('\n'));
    fixedLength_->setValue(unrecordedFormat_.fixedLength.value_or(0));
    stamp_->setCurrentIndex(unrecordedFormat_.autoTimeStamp.value_or(0));
    for (QComboBox* list : {memoryMode_, stamp_})
        connect(list, &QComboBox::activated, this, [this] {
            unrecordedFormat_ = ChosenFormat();
            Index();
        });
    for (QSpinBox* number : {delimiter_, fixedLength_})
        connect(number, &QSpinBox::editingFinished, this, [this] {
            unrecordedFormat_ = ChosenFormat();
            Index();
        });
}

RecordFormat MemoryFileViewer::ChosenFormat() const
{
    RecordFormat format = unrecordedFormat_;
    format.memoryMode = memoryMode_->currentIndex();
    format.delimiter = delimiter_->value();
    format.fixedLength = fixedLength_->value();
    format.autoTimeStamp = stamp_->currentIndex();
    return format;
}

void MemoryFileViewer::Index()
{
    selecting_.Stop();
    status_->setText(tr("Reading %1 ...").arg(file_));
    const QString file = file_;
    const RecordFormat format = unrecordedFormat_;
    indexing_.Run([this, file, format](const std::atomic<bool>& cancel) {
        QString fault;
        const auto progress = [this](int share) {
            Post([this, share] { status_->setText(tr("Reading ... %1 %").arg(share / 10)); });
        };
        std::optional<MemoryFileIndex> built = MemoryFileIndex::Build(file, format, cancel, progress, fault);
        std::shared_ptr<const MemoryFileIndex> index;
        if (built)
            index = std::make_shared<const MemoryFileIndex>(std::move(*built));
        Post([this, index, fault] { Indexed(index, fault); });
        if (!index)
            return;
        const RecordedMemoryFile checked(file, stderr);
        for (size_t i = 0; i < index->Uploads().size() && !cancel; ++i) {
            if (!index->Uploads()[i].recorded)
                continue;
            const QString difference = checked.Difference(index->Uploads()[i].entry);
            Post([this, i, difference] { Checked(int(i), difference); });
        }
    });
}

void MemoryFileViewer::Indexed(std::shared_ptr<const MemoryFileIndex> index, const QString& fault)
{
    if (!index) {
        if (fault != QLatin1String("cancelled"))
            status_->setText(tr("%1 cannot be read: %2").arg(file_, fault));
        return;
    }
    index_ = std::move(index);
    const QSignalBlocker quiet(uploads_);
    uploads_->setRowCount(int(index_->Uploads().size()));
    for (int row = 0; row < uploads_->rowCount(); ++row) {
        const IndexedUpload& upload = index_->Uploads()[size_t(row)];
        const QString texts[UploadColumnCount] = {
            upload.recorded ? upload.entry.time.toString(Qt::ISODate) : tr("no upload record"),
            upload.recorded ? QString::number(upload.entry.nodeId) : QString(),
            upload.entry.serialNumber ? HexWord(*upload.entry.serialNumber) : QString(), QString::number(upload.entry.length),
            upload.recorded ? tr("checking ...") : tr("not recorded: read as one upload")};
        for (int column = 0; column < UploadColumnCount; ++column)
            uploads_->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    uploads_->resizeColumnsToContents();
    formatRow_->setVisible(index_->Uploads().size() == 1 && !index_->Uploads().front().recorded);
    Select(true);
}

void MemoryFileViewer::Checked(int upload, const QString& difference)
{
    if (QTableWidgetItem* item = uploads_->item(upload, CheckColumn))
        item->setText(difference.isEmpty() ? tr("ok") : difference);
}

// The uploads chosen in the list; all when none is.
std::vector<bool> MemoryFileViewer::ChosenUploads() const
{
    const QModelIndexList chosen = uploads_->selectionModel()->selectedRows();
    std::vector<bool> uploads(index_->Uploads().size(), chosen.isEmpty());
    for (const QModelIndex& row : chosen)
        uploads[size_t(row.row())] = true;
    return uploads;
}

void MemoryFileViewer::Select(bool uploadsChanged)
{
    if (!index_)
        return;
    MemoryFileIndex::Filter filter;
    filter.uploads = ChosenUploads();
    filter.text = filter_->text().toLatin1();
    filter.from = from_;
    filter.to = to_;
    // Counted again until an answer with the counts is shown, whatever selection came after.
    timelineStale_ |= uploadsChanged;
    const bool count = timelineStale_;
    const quint64 generation = ++generation_;
    status_->setText(tr("Selecting ..."));
    selecting_.Run([this, index = index_, fd = fd_, filter, generation, count](const std::atomic<bool>& cancel) {
        std::optional<TimelineBins> bins;
        if (count)
            bins = TimelineBins::Count(*index, filter.uploads);
        std::vector<qint32> rows = index->Select(fd, filter, cancel);
        if (!cancel)
            Post([this, rows = std::move(rows), bins = std::move(bins), generation]() mutable {
                Selected(std::move(rows), std::move(bins), generation);
            });
    });
}

void MemoryFileViewer::Selected(std::vector<qint32> rows, std::optional<TimelineBins> bins, quint64 generation)
{
    if (generation != generation_)
        return;
    if (bins) {
        timeline_->ShowBins(std::move(*bins));
        timelineStale_ = false;
    }
    const qsizetype shown = qsizetype(rows.size());
    model_->Show(index_, fd_, std::move(rows));
    records_->resizeColumnToContents(RecordTableModel::UploadColumn);
    records_->resizeColumnToContents(RecordTableModel::RecordColumn);
    records_->setColumnWidth(RecordTableModel::TimeColumn,
                             records_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00T00:00:00+00:00")) + 12);
    status_->setText(tr("%1 of %2 records").arg(shown).arg(index_->Records().size()));
}
