// Replace all in the name editor at 50,000 and 100,000 lines, one occurrence
// a line: through the window's Replace command (plain text and a regular
// expression with groups), the core engine alone, and beside them writing the
// same number of lines into the editor. Times are the thread's CPU time: the
// machine is shared, and its wall time mostly measures the neighbours.
#include "core/editor/searchreplace.h"
#include "support/scriptedprompts.h"
#include "ui/app/tmain.h"
#include "ui/editor/searchdialogs.h"
#include "ui/editor/sesearch.h"
#include "window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <ctime>
#include <malloc.h>
#include <memory>

using namespace vorlane;

namespace {

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The window, its replace dialog answered with these settings.
struct Window : BenchWindow {
    Window(const QString& pattern, const QString& replacement, bool regex)
        : BenchWindow([=](TMain& main) {
              main.search()->beep = [] {};
              main.execDialog = [=](QDialog* d) {
                  auto* r = static_cast<Trd1*>(d);
                  r->cbSearchText->setEditText(pattern);
                  r->cbReplaceText->setEditText(replacement);
                  r->UseRegExCB->setChecked(regex);
                  r->cbPrompt->setChecked(false);
                  r->OKButton->click();
                  return r->result();
              };
          }) {}
};

// Replace1Click with the dialog answered, prompting off, on `lines`.
void replaceInWindow(benchmark::State& s, const QString& pattern, const QString& with, bool regex) {
    const QStringList lines = trackNames(int(s.range(0)));
    const QString done = QStringLiteral("String '%1' replaced %2 time(s)").arg(pattern).arg(lines.size());
    for (auto _ : s) {
        Window w(pattern, with, regex);
        w.main->names().setLines(lines);
        QApplication::processEvents();
        const double t0 = threadSeconds();
        w.main->Replace1Click();
        QApplication::processEvents();
        s.SetIterationTime(threadSeconds() - t0);
        if (w.prompts.shown.isEmpty() || w.prompts.shown.last().text != done)
            s.SkipWithError("not every line was replaced");
    }
}

void ReplacePlain(benchmark::State& s) {
    replaceInWindow(s, QStringLiteral(".mp3"), QStringLiteral(".MP3"), false);
}

void ReplaceRegex(benchmark::State& s) {
    replaceInWindow(s, QStringLiteral("^(\\d+) (.*)\\.mp3$"), QStringLiteral("$2 $1.MP3"), true);
}

// The engine alone, over a text in memory.
class Text : public SearchEditor {
public:
    explicit Text(QString t) : m_text(std::move(t)) {}
    QString text() const override { return m_text; }
    TextPos caret() const override { return {}; }
    void setCaret(TextPos) override {}
    void showFound(const TextRange&, bool) override {}
    // Every line changes: the new text is the whole text.
    void replaceLines(int, int, const QString& with) override { m_text = with; }

private:
    QString m_text;
};

void ReplaceCore(benchmark::State& s) {
    const QStringList lines = trackNames(int(s.range(0)));
    const SearchPattern pattern(QStringLiteral("^(\\d+) (.*)\\.mp3$"), {true, false, false});
    for (auto _ : s) {
        Text editor(lines.join(u'\n'));
        const double t0 = threadSeconds();
        const int n = replaceOccurrences(editor, pattern, QStringLiteral("$2 $1.MP3"), {});
        s.SetIterationTime(threadSeconds() - t0);
        if (n != lines.size())
            s.SkipWithError("not every line was replaced");
    }
}

// Baseline: the same number of lines written into the editor in one piece.
void SetLines(benchmark::State& s) {
    const QStringList lines = trackNames(int(s.range(0)));
    for (auto _ : s) {
        Window w(QString(), QString(), false);
        const double t0 = threadSeconds();
        w.main->names().setLines(lines);
        QApplication::processEvents();
        s.SetIterationTime(threadSeconds() - t0);
    }
}

} // namespace

SIZE_PAIR_BENCHMARK(ReplaceCore, 1, 5);
SIZE_PAIR_BENCHMARK(ReplacePlain, 1, 5);
SIZE_PAIR_BENCHMARK(ReplaceRegex, 1, 5);
SIZE_PAIR_BENCHMARK(SetLines, 1, 5);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Large buffers come fresh from the system at both sizes, as on the first
    // replace after start; otherwise the smaller size reuses what the last
    // iteration freed and the larger does not, and the ratio measures malloc.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    QApplication app(argc, argv);
    InterleavedArgs args(argc, argv);
    benchmark::Initialize(args.argc(), args.argv());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
