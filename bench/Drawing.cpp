// Drawing figures, timed by Google Benchmark: ToBMP recolouring a 1000 × 1000 bitmap, divided by
// a plain scanline loop that makes the same two colour exchanges.
#include "Measurements.h"

#include "widgets/VrClassesPalette.h"

#include <QPainter>
#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace bench {

namespace {

constexpr TColor kExchangeLow = clRed;
constexpr TColor kExchangeHigh = clBlue;

QRgb rgbOf(TColor color) { return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

// Rings in both exchange colours on grey, like an enlarged LED glyph.
QImage ringBitmap()
{
    QImage bitmap(1000, 1000, QImage::Format_RGB32);
    bitmap.fill(Qt::gray);
    QPainter painter(&bitmap);
    painter.setPen(Qt::NoPen);
    for (int ring = 0; ring < 10; ++ring) {
        painter.setBrush(QColor(rgbOf(ring % 2 ? kExchangeHigh : kExchangeLow)));
        const int inset = ring * 50;
        painter.drawEllipse(inset, inset, 1000 - 2 * inset, 1000 - 2 * inset);
    }
    return bitmap;
}

void toBmp(benchmark::State& state)
{
    const QImage source = ringBitmap();
    TVrPalette palette;
    for (auto _ : state) {
        QImage bitmap = source;
        palette.ToBMP(bitmap, kExchangeLow, kExchangeHigh);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
}

void scanlineRecolour(benchmark::State& state)
{
    const QImage source = ringBitmap();
    const TVrPalette palette;
    const QRgb fromLow = rgbOf(kExchangeLow), fromHigh = rgbOf(kExchangeHigh);
    const QRgb toLow = rgbOf(palette.Low()), toHigh = rgbOf(palette.High());
    for (auto _ : state) {
        QImage bitmap = source;
        for (int y = 0; y < bitmap.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
            for (int x = 0; x < bitmap.width(); ++x) {
                const QRgb pixel = line[x] | 0xFF000000;
                line[x] = pixel == fromHigh ? toHigh : pixel == fromLow ? toLow : line[x];
            }
        }
        benchmark::DoNotOptimize(bitmap.constBits());
    }
}

// Keeps the median real time per iteration of every benchmark, by name.
class MedianCollector : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.aggregate_name == "median")
                seconds[r.run_name.function_name] = r.GetAdjustedRealTime() / 1e9;
    }
    std::map<std::string, double> seconds;
};

benchmark::internal::Benchmark* timed(const char* name, void (*function)(benchmark::State&))
{
    return benchmark::RegisterBenchmark(name, function)
        ->Unit(benchmark::kNanosecond)
        ->MinTime(0.3)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

} // namespace

void measureDrawing(BenchRun& run)
{
    timed("ToBMP", toBmp);
    timed("scanline", scanlineRecolour);
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::ClearRegisteredBenchmarks();
    if (!collector.seconds.count("ToBMP") || !collector.seconds.count("scanline")) {
        run.table.note(QStringLiteral("Drawing: Google Benchmark reported no result"));
        return;
    }
    const double toBmpSeconds = collector.seconds["ToBMP"];
    const double scanlineSeconds = collector.seconds["scanline"];
    run.table.add({QStringLiteral("ToBMP on a 1000 × 1000 bitmap, median"), formatSeconds(toBmpSeconds),
                   QStringLiteral("scanline recolouring %1").arg(formatSeconds(scanlineSeconds)),
                   toBmpSeconds / scanlineSeconds});
}

} // namespace bench
