// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile high score pages through the view's entry point, as the game meets
// them: one benchmark per class of page, timing the load and the first paint.
// Each must stay within 250 ms; --benchmark_repetitions=N repeats each.
// rss_growth_mb is how far the peak resident memory rose above what was in
// use before the page came. Run with
// QT_QPA_PLATFORM=offscreen where there is no display.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextDocument>
#include <fstream>
#include <string>

#include "controls/html_sanitizer.h"
#include "controls/htmlview.h"
#include "tests/controls/hostile_pages.h"

namespace {

// A line of /proc/self/status ("VmHWM", "VmRSS") in megabytes.
double statusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stod(line.substr(line.find(':') + 1)) / 1024.0;
        }
    }
    return 0;
}

// Makes the peak resident memory start again from the current one.
void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void showPage(benchmark::State& state, const std::string& page) {
    velmora::online::THtmlView view;
    view.resize(481, 507);
    view.show();
    view.LoadFromString("<p>empty</p>");
    resetPeakResident();
    double before = statusMegabytes("VmRSS");
    for (auto _ : state) {
        view.LoadFromString(page);
        benchmark::DoNotOptimize(view.viewport()->grab());
    }
    state.counters["page_bytes"] = static_cast<double>(page.size());
    state.counters["rss_growth_mb"] = statusMegabytes("VmHWM") - before;
}

// The page read and bounded, before Qt's engine sees it.
void sanitizePage(benchmark::State& state, const std::string& page) {
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = velmora::online::sanitizeHtml(page).size();
    }
    state.counters["sanitized_chars"] = static_cast<double>(bytes);
}

// Qt's own reading of the bounded page (its HTML parser and style engine),
// without layout or paint: all that building the document straight through
// QTextCursor could save.
void readBoundedPage(benchmark::State& state, const std::string& page) {
    QString bounded = velmora::online::sanitizeHtml(page);
    for (auto _ : state) {
        QTextDocument document;
        document.setHtml(bounded);
        benchmark::DoNotOptimize(document.characterCount());
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    static const auto pages = velmora::online::testing::hostilePages();
    for (const auto& hostile : pages) {
        benchmark::RegisterBenchmark(("BM_ShowHostilePage/" + hostile.name).c_str(),
                                     [&page = hostile.page](benchmark::State& state) {
                                         showPage(state, page);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
        benchmark::RegisterBenchmark(("BM_QtReadsBoundedPage/" + hostile.name).c_str(),
                                     [&page = hostile.page](benchmark::State& state) {
                                         readBoundedPage(state, page);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
        benchmark::RegisterBenchmark(("BM_SanitizeHostilePage/" + hostile.name).c_str(),
                                     [&page = hostile.page](benchmark::State& state) {
                                         sanitizePage(state, page);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
