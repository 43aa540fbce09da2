// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of a full board redraw and of one gravity step.
#include <benchmark/benchmark.h>

#include "engine/game.h"

namespace velmora::engine {
namespace {

class QuietHost : public GameHost {
public:
    void playsounds(const std::string&) override {}
    void addtomineincrease(int, int32_t) override {}
    bool checkscore(int32_t, const std::string&) override { return false; }
    void checkchange(int, int32_t) override {}
    void setLabel(Label, const std::string&) override {}
    void setPanelVisible(Panel, bool) override {}
    void setPauseChecked(bool) override {}
    std::string playerName() const override { return "Bench"; }
    void picturesChanged() override {}
};

class IdleTimer : public GameTimer {
public:
    void setInterval(uint16_t) override {}
    void setEnabled(bool) override {}
};

// A game whose lower half holds settled cells in a checkered mix of types,
// every row with a hole so none is full.
void fillLowerHalf(Game& game) {
    for (int row = 11; row <= 20; ++row) {
        for (int column = 1; column <= 10; ++column) {
            const bool hole = column == 1 + row % 10;
            game.wellcells[column][row] = hole ? 0 : static_cast<uint8_t>(1 + (row + column) % 7);
        }
    }
}

void BM_Drawblock(benchmark::State& state) {
    QuietHost host;
    IdleTimer timer;
    Game game(host, timer);
    game.seedRandom(1);
    game.button_startClick();
    const int filledRows = static_cast<int>(state.range(0));
    for (int row = 21 - filledRows; row <= 20; ++row) {
        for (int column = 1; column <= 10; ++column) {
            game.wellcells[column][row] = static_cast<uint8_t>(1 + (row + column) % 7);
        }
    }
    for (auto _ : state) {
        game.Drawblock();
        benchmark::DoNotOptimize(game.board().pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Drawblock)->Arg(0)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);

// One tick of gravity: the piece moves down a row and the board is redrawn.
// Before the piece would land, it is put back at the top outside the timed
// region, so every timed tick is a plain move.
void BM_GravityStep(benchmark::State& state) {
    QuietHost host;
    IdleTimer timer;
    Game game(host, timer);
    game.seedRandom(1);
    game.button_startClick();
    fillLowerHalf(game);
    for (auto _ : state) {
        if (!fits(game.wellcells, game.blockcells, game.blockx, game.blocky + 1)) {
            state.PauseTiming();
            game.blocky = 0;
            state.ResumeTiming();
        }
        game.downtimerTimer();
        benchmark::DoNotOptimize(game.board().pixels.data());
    }
}
BENCHMARK(BM_GravityStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora::engine
