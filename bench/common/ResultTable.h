// The one table a benchmark run prints: every figure beside the reference measured in the same
// run and their ratio, so that the noise of a shared machine cancels out.
#pragma once

#include <QString>

#include <vector>

namespace bench {

struct Result {
    QString measurement;
    QString figure;    // e.g. "41.3 s"
    QString reference; // what the figure is divided by, with its value
    double ratio = 0;
};

class ResultTable {
public:
    void add(Result result);
    void note(const QString& text); // a line under the table, e.g. a measurement that was skipped

    QString text() const;     // aligned columns for a terminal
    QString markdown() const; // a Markdown table with the notes as a list

private:
    std::vector<Result> results_;
    std::vector<QString> notes_;
};

// "12.3 µs", "4.56 ms", "41.2 s": three significant digits in a fitting unit.
QString formatSeconds(double seconds);
QString formatRatio(double ratio);

} // namespace bench
