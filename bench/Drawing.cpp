// Drawing figures, timed by Google Benchmark: the paint of an LED with its caption, divided by a
// plain widget painting the same glyph and caption with QPainter; and ToBMP recolouring a
// 1000 × 1000 bitmap, divided by a plain scanline loop that makes the same two colour exchanges.
#include "Measurements.h"

#include "widgets/VrClassesPalette.h"
#include "widgets/VrLeds.h"

#include <QPainter>
#include <QWidget>
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

const QSize kLedSize(90, 20);
const QString kLedCaption = QStringLiteral("Online");

void ledPaint(benchmark::State& state)
{
    TVrLed led;
    led.resize(kLedSize);
    led.SetCaption(kLedCaption);
    led.SetActive(true);
    QImage target(kLedSize, QImage::Format_RGB32);
    for (auto _ : state) {
        led.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

// What a widget without the library would do: draw the lit glyph and the caption beside it.
class PlainLed : public QWidget {
public:
    explicit PlainLed(QImage glyph) : glyph_(std::move(glyph)) { resize(kLedSize); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawImage(0, (height() - glyph_.height()) / 2, glyph_);
        painter.drawText(rect().adjusted(glyph_.width() + 5, 0, 0, 0), Qt::AlignVCenter | Qt::TextSingleLine, kLedCaption);
    }

private:
    QImage glyph_;
};

void plainPaint(benchmark::State& state)
{
    TVrLed led;
    const QImage& frames = led.GlyphBitmap();
    PlainLed plain(frames.copy(frames.width() / 2, 0, frames.width() / 2, frames.height()));
    QImage target(kLedSize, QImage::Format_RGB32);
    for (auto _ : state) {
        plain.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
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
    timed("led", ledPaint);
    timed("plain", plainPaint);
    timed("ToBMP", toBmp);
    timed("scanline", scanlineRecolour);
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::ClearRegisteredBenchmarks();
    for (const char* name : {"led", "plain", "ToBMP", "scanline"}) {
        if (!collector.seconds.count(name)) {
            run.table.note(QStringLiteral("Drawing: Google Benchmark reported no result for %1").arg(QLatin1String(name)));
            return;
        }
    }
    const auto add = [&](const QString& what, const char* name, const QString& reference, const char* referenceName) {
        const double seconds = collector.seconds[name];
        const double referenceSeconds = collector.seconds[referenceName];
        run.table.add({what, formatSeconds(seconds), reference.arg(formatSeconds(referenceSeconds)),
                       seconds / referenceSeconds});
    };
    add(QStringLiteral("LED paint, %1 × %2 with caption, median").arg(kLedSize.width()).arg(kLedSize.height()), "led",
        QStringLiteral("plain QPainter widget %1"), "plain");
    add(QStringLiteral("ToBMP on a 1000 × 1000 bitmap, median"), "ToBMP", QStringLiteral("scanline recolouring %1"),
        "scanline");
}

} // namespace bench
