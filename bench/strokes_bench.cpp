// Cost of one stroke event in the process: handler, cursor-file check, circles, repaint request;
// the same through a pen event, a touch frame and the flat of a hand, and with a corrupt cursor
// file.
//   build/bench/zav-bench [--benchmark_repetitions=5]
#include "app/program.h"
#include "injector.h"
#include "pictures/cursorloader.h"
#include "pictures/iconfile.h"
#include "resident.h"
#include "widgets/boardwidget.h"

#include <QApplication>
#include <QFile>
#include <QTabletEvent>
#include <QTemporaryDir>
#include <QTouchEvent>
#include <QWindow>
#include <private/qeventpoint_p.h>

#include <benchmark/benchmark.h>

namespace {

// The program as it starts, shared by every benchmark.
Program &program()
{
    static Program *made = [] {
        auto *p = new Program;
        p->start();
        QCoreApplication::processEvents();
        return p;
    }();
    return *made;
}

// The straightforward services: every event's cursor is decoded from its file again, so the
// window sets a new cursor on every event.
class NaiveCursorServices final : public Services
{
public:
    PictureRef LoadPicture(const QByteArray &path, QString *error) override { return CursorLoader().load(path, error); }
};

// A program directory whose chalk cursor file is a corrupt 1 MiB file.
class BadCursorFileServices final : public Services
{
public:
    BadCursorFileServices()
    {
        QFile file(m_directory.filePath(QStringLiteral("チョーク.cur")));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(1 << 20, 'x')) != (1 << 20))
            qFatal("cannot write the bad cursor file");
    }
    QByteArray appPath() const override { return QFile::encodeName(m_directory.path()); }
    void reportError(const QString &) override {}

private:
    QTemporaryDir m_directory;
};

void runStrokes(benchmark::State &state, Runtime &runtime, std::int16_t button)
{
    frmMain form(program().window(), runtime);
    form.Form_Load();
    QCoreApplication::processEvents();
    long rssAfterWarmUp = 0;
    std::int64_t n = 0;
    for (auto _ : state) {
        // Across the board and back, one pixel a step, as a steady drag does.
        const float x = 150.0f + 15.0f * static_cast<float>(n % 480);
        const float y = 150.0f + 15.0f * static_cast<float>((n / 480) % 360);
        form.書ける_MouseMove(button, 0, x, y);
        if (++n % 64 == 0) {
            // Let the event loop paint, as it would between real events; not timed.
            state.PauseTiming();
            QCoreApplication::processEvents();
            if (n >= 10'000 && rssAfterWarmUp == 0)
                rssAfterWarmUp = residentKiB();
            state.ResumeTiming();
        }
    }
    QCoreApplication::processEvents();
    if (rssAfterWarmUp)
        state.counters["rss_growth_KiB"] = static_cast<double>(residentKiB() - rssAfterWarmUp);
}

void BM_ChalkEvent(benchmark::State &state)
{
    runStrokes(state, program().services(), 1);
}

void BM_EraserEvent(benchmark::State &state)
{
    runStrokes(state, program().services(), 2);
}

void BM_ChalkEventNaiveCursor(benchmark::State &state)
{
    NaiveCursorServices naive;
    runStrokes(state, naive, 1);
}

void BM_ChalkEventBadCursorFile(benchmark::State &state)
{
    BadCursorFileServices bad;
    runStrokes(state, bad, 1);
}

// Pen and touch: the event as Qt hands it to the board, through to the handler and the image.
// Each finger moves one pixel a frame; `spread` sets them apart as separate hands are, or side
// by side, so that the frame touches as much of the image as one finger's path does.
QPointF strokePoint(std::int64_t n, int finger, bool spread = true)
{
    if (!spread)
        return QPointF(10 + (n + finger) % 480, 10 + (n / 480) % 370);
    return QPointF(10 + (n + 37 * finger) % 480, 10 + (n / 480 + 31 * finger) % 370);
}

// The window as the program leaves it after Form_Load, for events sent to its widgets.
struct Attached
{
    BlackboardWindow &forms = program().window();
    Attached()
    {
        program().form().Form_Load();
        QCoreApplication::processEvents();
    }
    ~Attached() { QCoreApplication::processEvents(); }
};

void BM_PenEvent(benchmark::State &state)
{
    Attached attached;
    BoardWidget *board = attached.forms.board();
    const QPointingDevice *pen = inject::pen(QPointingDevice::PointerType::Pen);
    std::int64_t n = 0;
    for (auto _ : state) {
        const QPointF at = strokePoint(n, 0);
        QTabletEvent event(QEvent::TabletMove, pen, at, board->mapToGlobal(at), 0.5, 0, 0, 0, 0, 0, Qt::NoModifier,
                           Qt::NoButton, Qt::LeftButton);
        QCoreApplication::sendEvent(board, &event);
        if (++n % 64 == 0) {
            state.PauseTiming();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    // The tip lifted again: a tip held down keeps touch from the board (the benchmarks after this
    // one share the window).
    const QPointF at = strokePoint(n, 0);
    QTabletEvent lift(QEvent::TabletRelease, pen, at, board->mapToGlobal(at), 0, 0, 0, 0, 0, 0, Qt::NoModifier,
                      Qt::LeftButton, Qt::NoButton);
    QCoreApplication::sendEvent(board, &lift);
}

void touchFrames(benchmark::State &state, bool spread)
{
    Attached attached;
    BoardWidget *board = attached.forms.board();
    const auto fingers = static_cast<int>(state.range(0));
    std::int64_t n = 0;
    int dabs = 0;
    QList<QEventPoint> points(fingers);
    for (int i = 0; i < fingers; ++i) {
        const QPointF at = strokePoint(n, i, spread);
        points[i]
            = QMutableEventPoint::withTimeStamp(0, i, QEventPoint::State::Pressed, at, at, board->mapToGlobal(at));
    }
    // Qt passes updates only to a widget that took the touch's beginning.
    QTouchEvent begin(QEvent::TouchBegin, inject::touchScreen(), Qt::NoModifier, points);
    QCoreApplication::sendEvent(board, &begin);
    // The points are kept from frame to frame, as Qt keeps a device's points.
    for (QEventPoint &point : points)
        QMutableEventPoint::setState(point, QEventPoint::State::Updated);
    for (auto _ : state) {
        for (int i = 0; i < fingers; ++i) {
            const QPointF at = strokePoint(n, i, spread);
            QMutableEventPoint::setPosition(points[i], at);
            QMutableEventPoint::setScenePosition(points[i], at);
            QMutableEventPoint::setGlobalPosition(points[i], board->mapToGlobal(at));
        }
        QTouchEvent event(QEvent::TouchUpdate, inject::touchScreen(), Qt::NoModifier, points);
        QCoreApplication::sendEvent(board, &event);
        ++n;
        // A paint after every 64 dabs, as in the chalk benchmark.
        dabs += fingers;
        if (dabs >= 64) {
            dabs = 0;
            state.PauseTiming();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    for (QEventPoint &point : points)
        QMutableEventPoint::setState(point, QEventPoint::State::Released);
    QTouchEvent end(QEvent::TouchEnd, inject::touchScreen(), Qt::NoModifier, points);
    QCoreApplication::sendEvent(board, &end);
}

void BM_TouchFrame(benchmark::State &state)
{
    touchFrames(state, true);
}

void BM_TouchFrameSideBySide(benchmark::State &state)
{
    touchFrames(state, false);
}

// The flat of a hand, 100 mm across, sliding a pixel a frame along the middle of the board: one
// touch update, on a screen of the given density (dots per inch). Its cost must not grow with the
// density.
void BM_PalmFrame(benchmark::State &state)
{
    Attached attached;
    BoardWidget *board = attached.forms.board();
    const auto dpi = static_cast<double>(state.range(0));
    board->setDotsPerInch(dpi);
    const double across = 100 / 25.4 * dpi;
    std::int64_t n = 0;
    const auto contact = [&](QEventPoint::State pointState) {
        const QPointF at(10 + n % 480, 196);
        QEventPoint point = QMutableEventPoint::withTimeStamp(0, 1, pointState, at, at, board->mapToGlobal(at));
        QMutableEventPoint::setEllipseDiameters(point, QSizeF(across, across));
        return point;
    };
    QTouchEvent begin(QEvent::TouchBegin, inject::touchScreen(), Qt::NoModifier,
                      {contact(QEventPoint::State::Pressed)});
    QCoreApplication::sendEvent(board, &begin);
    for (auto _ : state) {
        ++n;
        QTouchEvent event(QEvent::TouchUpdate, inject::touchScreen(), Qt::NoModifier,
                          {contact(QEventPoint::State::Updated)});
        QCoreApplication::sendEvent(board, &event);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    QTouchEvent end(QEvent::TouchEnd, inject::touchScreen(), Qt::NoModifier, {contact(QEventPoint::State::Released)});
    QCoreApplication::sendEvent(board, &end);
    board->setDotsPerInch(0);
}

} // namespace

// The chalk cursor file beside the benchmark.
QByteArray chalkCursorPath()
{
    return program().services().appPath() + QByteArrayLiteral("/チョーク.cur");
}

// A cursor file that has changed since the last event: read and decoded again, the cursor
// made anew. BM_DecodeCursorFile is the decoding alone, from bytes already read.
void BM_LoadChangedCursorFile(benchmark::State &state)
{
    const QByteArray path = chalkCursorPath();
    for (auto _ : state) {
        CursorLoader loader;
        QString error;
        benchmark::DoNotOptimize(loader.load(path, &error));
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
}

void BM_DecodeCursorFile(benchmark::State &state)
{
    QFile file(QFile::decodeName(chalkCursorPath()));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no cursor file beside the benchmark");
        return;
    }
    const QByteArray bytes = file.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeIconFile(bytes));
}

BENCHMARK(BM_ChalkEvent);
BENCHMARK(BM_EraserEvent);
BENCHMARK(BM_LoadChangedCursorFile);
BENCHMARK(BM_DecodeCursorFile);
BENCHMARK(BM_ChalkEventNaiveCursor);
BENCHMARK(BM_ChalkEventBadCursorFile);
BENCHMARK(BM_PenEvent);
BENCHMARK(BM_TouchFrame)->Arg(1)->Arg(10);
BENCHMARK(BM_TouchFrameSideBySide)->Arg(10);
BENCHMARK(BM_PalmFrame)->Arg(96)->Arg(300);
// A million events: resident memory after them against after the first ten thousand.
BENCHMARK(BM_ChalkEvent)->Name("BM_ChalkEvent/1M")->Iterations(1'000'000);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
