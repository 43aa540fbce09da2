// SPDX-License-Identifier: GPL-3.0-or-later
// The high score list as the player meets it: the server making the page of
// the top 100, and the high score window's view reading and showing it. Reports the
// page's size. Run with QT_QPA_PLATFORM=offscreen where there is no display.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextDocument>

#include "controls/html_sanitizer.h"
#include "controls/htmlview.h"
#include "server/pages.h"

namespace {

std::vector<velmora::server::ScoreEntry> topHundred() {
    std::vector<velmora::server::ScoreEntry> entries;
    for (uint32_t i = 0; i < velmora::server::kListedScores; ++i) {
        entries.push_back({"Player " + std::to_string(i),
                           "12/" + std::to_string(i % 28 + 1) + "/26", 100000 - i * 97});
    }
    return entries;
}

void BM_MakeListPage(benchmark::State& state) {
    auto entries = topHundred();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string page = velmora::server::scoreListPage(entries, 12345);
        bytes = page.size();
        benchmark::DoNotOptimize(page);
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_MakeListPage);

void BM_ShowListPage(benchmark::State& state) {
    std::string page = velmora::server::scoreListPage(topHundred(), 12345);
    velmora::online::THtmlView view;
    view.resize(479, 505);
    view.show();
    for (auto _ : state) {
        view.LoadFromString(page);
        benchmark::DoNotOptimize(view.viewport()->grab());
    }
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_ShowListPage)->Unit(benchmark::kMillisecond);

// The part of showing it that reads and bounds the page.
void BM_SanitizeListPage(benchmark::State& state) {
    std::string page = velmora::server::scoreListPage(topHundred(), 12345);
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmora::online::sanitizeHtml(page));
    }
}
BENCHMARK(BM_SanitizeListPage)->Unit(benchmark::kMillisecond);

// Qt's own reading of the bounded page, without layout or paint: all that
// building the document straight through QTextCursor could save.
void BM_QtReadsBoundedListPage(benchmark::State& state) {
    QString bounded =
        velmora::online::sanitizeHtml(velmora::server::scoreListPage(topHundred(), 12345));
    for (auto _ : state) {
        QTextDocument document;
        document.setHtml(bounded);
        benchmark::DoNotOptimize(document.characterCount());
    }
}
BENCHMARK(BM_QtReadsBoundedListPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
