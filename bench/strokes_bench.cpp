// Cost of one stroke event in the process: handler, cursor-file check, circles, repaint request.
//   build/bench/zav-bench [--benchmark_repetitions=5]
#include "board/frmmain.h"
#include "platform/boardwidget.h"
#include "platform/qtforms.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include "resident.h"

namespace {


// The straightforward runtime: decodes the cursor file and sets a new cursor on every event.
class NaiveCursorForms final : public Forms
{
public:
    explicit NaiveCursorForms(QtForms &forms) : m_forms(forms) {}
    void Unload() override { m_forms.Unload(); }
    void PopupMenu() override { m_forms.PopupMenu(); }
    void setChalkVisible(int index, bool visible) override { m_forms.setChalkVisible(index, visible); }
    void setEraserVisible(bool visible) override { m_forms.setEraserVisible(visible); }
    void setDateCaption(const QString &caption) override { m_forms.setDateCaption(caption); }
    void Cls() override { m_forms.Cls(); }
    void setFillColor(Colour colour) override { m_forms.setFillColor(colour); }
    void Circle(float x, float y, float radius, Colour outline) override { m_forms.Circle(x, y, radius, outline); }
    void setMouseIcon(const PictureRef &picture) override
    {
        if (const auto *cursor = dynamic_cast<const QtPicture *>(picture.get()))
            m_forms.board()->setCursor(cursor->cursor);
    }
    PictureRef LoadPicture(const QByteArray &path, QString *error) override { return CursorLoader().load(path, error); }
    PictureRef builtInCursor(BuiltInCursor which) override { return m_forms.builtInCursor(which); }
    QByteArray appPath() const override { return m_forms.appPath(); }
    void Randomize() override { m_forms.Randomize(); }
    float Rnd() override { return m_forms.Rnd(); }
    QDate today() const override { return m_forms.today(); }
    void reportError(const QString &line) override { m_forms.reportError(line); }

private:
    QtForms &m_forms;
};

void runStrokes(benchmark::State &state, Forms &runtime, std::int16_t button)
{
    frmMain form(runtime);
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

QtForms &window()
{
    static QtForms *forms = [] {
        auto *w = new QtForms;
        w->show();
        QCoreApplication::processEvents();
        return w;
    }();
    return *forms;
}

void BM_ChalkEvent(benchmark::State &state)
{
    runStrokes(state, window(), 1);
}

void BM_EraserEvent(benchmark::State &state)
{
    runStrokes(state, window(), 2);
}

void BM_ChalkEventNaiveCursor(benchmark::State &state)
{
    NaiveCursorForms naive(window());
    runStrokes(state, naive, 1);
}

} // namespace

BENCHMARK(BM_ChalkEvent);
BENCHMARK(BM_EraserEvent);
BENCHMARK(BM_ChalkEventNaiveCursor);
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
