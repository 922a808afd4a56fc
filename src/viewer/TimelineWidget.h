// How many records fall into each interval of their time span, as bars; a click on a bar or a
// drag across several chooses that time range.
#pragma once

#include <QWidget>

#include <vector>

class MemoryFileIndex;

// Records per interval, the interval chosen from their span, a minute to a day.
struct TimelineBins {
    qint64 first = 0; // the start of the first interval, in StampReader's seconds
    qint64 interval = 60;
    std::vector<int> counts;

    // The stamped records of the chosen uploads; a worker may count them.
    static TimelineBins Count(const MemoryFileIndex& index, const std::vector<bool>& uploads);
};

class TimelineWidget : public QWidget {
    Q_OBJECT

public:
    explicit TimelineWidget(QWidget* parent = nullptr);

    void ShowBins(TimelineBins bins);
    void ClearRange();

    qint64 Interval() const { return bins_.interval; }
    const std::vector<int>& Counts() const { return bins_.counts; }
    // The bar under a point of the widget, or -1.
    int BarAt(int x) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The stamps in [from, to) were chosen.
    void RangeChosen(qint64 from, qint64 to);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect Plot() const;

    TimelineBins bins_;
    int chosenFrom_ = -1, chosenTo_ = -1; // bars, inclusive
    int pressed_ = -1;
};
