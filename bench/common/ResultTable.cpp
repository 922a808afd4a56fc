#include "common/ResultTable.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

QStringList cells(const Result& result)
{
    return {result.measurement, result.figure, result.reference, formatRatio(result.ratio)};
}

const QStringList kHeadings{QStringLiteral("Measurement"), QStringLiteral("Figure"), QStringLiteral("Reference"),
                            QStringLiteral("Ratio")};

} // namespace

void ResultTable::add(Result result) { results_.push_back(std::move(result)); }

void ResultTable::note(const QString& text) { notes_.push_back(text); }

QString ResultTable::text() const
{
    std::vector<QStringList> rows{kHeadings};
    for (const Result& result : results_)
        rows.push_back(cells(result));
    std::vector<qsizetype> widths(kHeadings.size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[size_t(column)] = std::max(widths[size_t(column)], row[column].size());
    QString out;
    for (const QStringList& row : rows) {
        QStringList padded;
        for (qsizetype column = 0; column < row.size(); ++column) {
            const qsizetype width = widths[size_t(column)];
            // The ratio column is numeric: right-aligned.
            padded << (column + 1 == row.size() ? row[column].rightJustified(width) : row[column].leftJustified(width));
        }
        out += padded.join(QStringLiteral("  ")) + u'\n';
    }
    for (const QString& note : notes_)
        out += QStringLiteral("* ") + note + u'\n';
    return out;
}

QString ResultTable::markdown() const
{
    QString out = QStringLiteral("| ") + kHeadings.join(QStringLiteral(" | ")) + QStringLiteral(" |\n|---|---|---|---:|\n");
    for (const Result& result : results_)
        out += QStringLiteral("| ") + cells(result).join(QStringLiteral(" | ")) + QStringLiteral(" |\n");
    if (!notes_.empty()) {
        out += u'\n';
        for (const QString& note : notes_)
            out += QStringLiteral("- ") + note + u'\n';
    }
    return out;
}

QString formatSeconds(double seconds)
{
    struct Unit {
        double scale;
        const char* name;
    };
    static const Unit units[] = {{1, "s"}, {1e-3, "ms"}, {1e-6, "µs"}, {1e-9, "ns"}};
    for (const Unit& unit : units)
        if (std::abs(seconds) >= unit.scale || unit.scale == 1e-9)
            return QStringLiteral("%1 %2").arg(seconds / unit.scale, 0, 'g', 3).arg(QString::fromUtf8(unit.name));
    return {};
}

QString formatRatio(double ratio)
{
    return ratio >= 100 ? QString::number(ratio, 'f', 0) : QString::number(ratio, 'f', ratio >= 10 ? 1 : 3);
}

} // namespace bench
