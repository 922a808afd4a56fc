#include "viewer/TimelineWidget.h"

#include "viewer/MemoryFileIndex.h"
#include "viewer/RecordTableModel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <limits>

namespace {
// The intervals a bar may stand for, the shortest that keeps the bars to about this many.
constexpr std::array<qint64, 7> Intervals{60, 5 * 60, 15 * 60, 3600, 3 * 3600, 6 * 3600, 86400};
constexpr qint64 MostBars = 240;
}

TimelineWidget::TimelineWidget(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(tr("Records per interval"));
    setMouseTracking(false);
}

TimelineBins TimelineBins::Count(const MemoryFileIndex& index, const std::vector<bool>& uploads)
{
    TimelineBins bins;
    const auto counted = [&](const IndexedRecord& record) {
        return record.stamp != IndexedRecord::NoStamp && size_t(record.upload) < uploads.size() && uploads[size_t(record.upload)];
    };
    qint64 low = std::numeric_limits<qint64>::max(), high = std::numeric_limits<qint64>::min();
    const IndexedRecords& records = index.Records();
    for (size_t i = 0; i < records.size(); ++i)
        if (const IndexedRecord& record = records[i]; counted(record)) {
            low = std::min(low, record.stamp);
            high = std::max(high, record.stamp);
        }
    if (low > high)
        return bins;
    bins.interval = Intervals.back();
    for (const qint64 interval : Intervals)
        if ((high - low + 1) / interval < MostBars) {
            bins.interval = interval;
            break;
        }
    bins.first = low - ((low % bins.interval) + bins.interval) % bins.interval;
    bins.counts.assign(size_t((high - bins.first) / bins.interval + 1), 0);
    for (size_t i = 0; i < records.size(); ++i)
        if (const IndexedRecord& record = records[i]; counted(record))
            ++bins.counts[size_t((record.stamp - bins.first) / bins.interval)];
    return bins;
}

void TimelineWidget::ShowBins(TimelineBins bins)
{
    bins_ = std::move(bins);
    chosenFrom_ = chosenTo_ = -1;
    update();
}

void TimelineWidget::ClearRange()
{
    chosenFrom_ = chosenTo_ = -1;
    update();
}

QSize TimelineWidget::sizeHint() const
{
    return {600, fontMetrics().height() * 5};
}

QSize TimelineWidget::minimumSizeHint() const
{
    return {200, fontMetrics().height() * 4};
}

QRect TimelineWidget::Plot() const
{
    // Room below for the first and last time.
    return rect().adjusted(1, 1, -1, -fontMetrics().height() - 4);
}

int TimelineWidget::BarAt(int x) const
{
    const QRect plot = Plot();
    if (bins_.counts.empty() || x < plot.left() || x > plot.right())
        return -1;
    return std::clamp(int(qint64(x - plot.left()) * qint64(bins_.counts.size()) / std::max(1, plot.width())), 0,
                      int(bins_.counts.size()) - 1);
}

void TimelineWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect plot = Plot();
    painter.fillRect(plot, palette().base());
    painter.setPen(palette().mid().color());
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    if (bins_.counts.empty()) {
        painter.setPen(palette().placeholderText().color());
        painter.drawText(plot, Qt::AlignCenter, tr("No record has a time stamp"));
        return;
    }
    const int highest = std::max(1, *std::max_element(bins_.counts.begin(), bins_.counts.end()));
    const qint64 bars = qint64(bins_.counts.size());
    for (qint64 bar = 0; bar < bars; ++bar) {
        // Whole pixels, so that the bars stay crisp at every scale.
        const int left = plot.left() + int(bar * plot.width() / bars);
        const int right = plot.left() + int((bar + 1) * plot.width() / bars);
        const int height = bins_.counts[size_t(bar)] == 0 ? 0 : std::max(1, bins_.counts[size_t(bar)] * (plot.height() - 2) / highest);
        const bool chosen = chosenFrom_ >= 0 && bar >= chosenFrom_ && bar <= chosenTo_;
        const bool dimmed = chosenFrom_ >= 0 && !chosen;
        painter.fillRect(QRect(left, plot.bottom() - height, std::max(1, right - left - 1), height),
                         dimmed ? palette().mid() : palette().highlight());
    }
    painter.setPen(palette().windowText().color());
    const QRect labels(plot.left(), plot.bottom() + 2, plot.width(), fontMetrics().height() + 2);
    painter.drawText(labels, Qt::AlignLeft | Qt::AlignTop, RecordTableModel::TimeText(bins_.first, false));
    painter.drawText(labels, Qt::AlignRight | Qt::AlignTop,
                     RecordTableModel::TimeText(bins_.first + bars * bins_.interval, false));
}

void TimelineWidget::mousePressEvent(QMouseEvent* event)
{
    pressed_ = BarAt(event->position().toPoint().x());
    chosenFrom_ = chosenTo_ = pressed_;
    update();
}

void TimelineWidget::mouseMoveEvent(QMouseEvent* event)
{
    const int bar = BarAt(event->position().toPoint().x());
    if (pressed_ < 0 || bar < 0)
        return;
    chosenFrom_ = std::min(pressed_, bar);
    chosenTo_ = std::max(pressed_, bar);
    update();
}

void TimelineWidget::mouseReleaseEvent(QMouseEvent*)
{
    if (pressed_ >= 0 && chosenFrom_ >= 0)
        emit RangeChosen(bins_.first + chosenFrom_ * bins_.interval, bins_.first + (chosenTo_ + 1) * bins_.interval);
    pressed_ = -1;
}
