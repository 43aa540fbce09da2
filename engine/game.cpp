// SPDX-License-Identifier: GPL-3.0-or-later
// Game flow: reset, start, pause, the keys, the entry of each piece and the
// end of the game.
#include "engine/game.h"

#include "engine/artwork.h"
#include "engine/painter.h"
#include "engine/scoring.h"

namespace velmora::engine {

namespace {

constexpr uint8_t kEntryColumn = 6;
constexpr uint8_t kEntryRow = 0;

}  // namespace

Game::Game(GameHost& host, GameTimer& timer)
    : host_(host),
      timer_(timer),
      board_(artwork().background),
      preview_(kPreviewWidth, kPreviewHeight, rgb(0, 0, 0)) {
    resetWell(wellcells);
}

void Game::seedRandom(uint32_t seed) { random_.setSeed(seed); }

uint32_t Game::seedFromTimeOfDay(int hour, int minute, int second, int millisecond) {
    return PieceRandom::seedFromTimeOfDay(hour, minute, second, millisecond);
}

void Game::clearall() {
    drawPreview(preview_, Mask{}, kPieceTypes, art());
    previewShown_ = false;
    pieceDrawn_ = false;
    board_.pixels = art().background.pixels;
    resetWell(wellcells);
    startlevel = 1;
    score = 0;
    reportedScore_ = 0;
    flashcount = 0;
    host_.setLabel(Label::Score, "Score: 0");
    host_.setLabel(Label::LinesCleared, "Lines Cleared: 0");
    host_.setLabel(Label::Level, "Level: 0");
    levelAnnounced_ = 0;
    host_.picturesChanged();
}

void Game::button_startClick() {
    clearall();
    for (Panel panel : {Panel::StartButton, Panel::WaitPanel, Panel::NamePanel,
                        Panel::GameOverPanel, Panel::PausePanel}) {
        host_.setPanelVisible(panel, false);
    }
    host_.setLabel(Label::Level, "Level: " + std::to_string(startingLevel_));
    levelAnnounced_ = startingLevel_;
    host_.addtomineincrease(1, 1);
    gamerunning_ = 1;
    // The check mark is cleared outright, whatever it was, so the next P pauses.
    gamepaused_ = 0;
    host_.setPauseChecked(false);
    host_.playsounds("startgame");
    host_.setLabel(Label::Greeting, "Good Luck " + host_.playerName());
    startlevel = startingLevel_;
    lines = 0;
    timer_.setInterval(gravityInterval(level()));
    timer_.setEnabled(true);
    nexttype = random_.nextType();
    nextcells = shapeMask(nexttype, 0);
    // Any row but the entry row, so the start is not taken for a game's end.
    blocky = 1;
    createblock();
}

void Game::setPaused(bool paused) {
    gamepaused_ = paused ? 1 : 0;
    host_.setPauseChecked(paused);
}

void Game::pausethegame() {
    setPaused(!gamepaused());
    host_.setPanelVisible(Panel::PausePanel, gamepaused());
}

void Game::FormKeyDown(uint16_t key) {
    switch (key) {
        case keys::Left: act(Action::MoveLeft); break;
        case keys::Right: act(Action::MoveRight); break;
        case keys::Down: act(Action::MoveDown); break;
        case keys::Up:
        case keys::A: act(Action::TurnLeft); break;
        case keys::S: act(Action::TurnRight); break;
        case keys::P: act(Action::Pause); break;
        default: break;
    }
}

void Game::downtimerTimer() { dropitdown(); }

void Game::createblock() {
    if (!gamerunning()) {
        return;
    }
    // The piece that just settled never moved down out of the entry row.
    if (blocky == kEntryRow) {
        endGame();
        return;
    }
    bringInNextPiece();
}

void Game::bringInNextPiece() {
    blocktype = nexttype;
    nexttype = random_.nextType();
    nextcells = shapeMask(nexttype, 0);
    drawNextPreview();
    blockcells = shapeMask(blocktype, 0);
    blockturn = 0;
    blockx = kEntryColumn;
    blocky = kEntryRow;
    Drawblock();
}

void Game::drawNextPreview() {
    drawPreview(preview_, nextcells, nexttype, art());
    previewShown_ = true;
}

void Game::endGame() {
    host_.setLabel(Label::FinalScore, "Your Score: " + std::to_string(reportedScore_));
    finalScore_ = reportedScore_;
    gamerunning_ = 0;
    timer_.setEnabled(false);
    host_.addtomineincrease(2, 1);
    host_.checkscore(reportedScore_, host_.playerName());
    host_.addtomineincrease(5, reportedScore_);
    host_.checkchange(4, levelAnnounced_);
    host_.setPanelVisible(Panel::SendScoreButton, true);
    host_.setPanelVisible(Panel::GameOverPanel, true);
    host_.setPanelVisible(Panel::StartButton, true);
    host_.playsounds("gameover");
}

void Game::Drawblock() {
    drawBoard(flashcount == 0 && blocktype < kPieceTypes);
    host_.picturesChanged();
}

void Game::drawBoard(bool withPiece) {
    const Artwork& tiles = art();
    drawWell(board_, wellcells, tiles);
    if (withPiece) {
        if (landingShadow_ && gamerunning()) {
            drawLandingShadow();
        }
        drawMask(board_, blockcells, tiles.tiles[blocktype], tiles.tileSize * blockx,
                 tiles.tileSize * blocky);
    }
    pieceDrawn_ = withPiece;
}

const Artwork& Game::art() const { return artworkAt(tileSize_); }

void Game::setPixelRatio(double ratio) {
    const int tileSize = tileSizeFor(ratio);
    if (tileSize == tileSize_) {
        return;
    }
    tileSize_ = tileSize;
    board_ = Picture(boardWidthAt(tileSize), boardHeightAt(tileSize));
    board_.pixelRatio = art().background.pixelRatio;
    preview_ = Picture(kPreviewWidth / kTileSize * tileSize, kPreviewHeight / kTileSize * tileSize);
    preview_.pixelRatio = board_.pixelRatio;
    // The same scene again: the well as it stands, the piece if it showed,
    // the next piece if one was announced.
    drawBoard(pieceDrawn_);
    if (previewShown_) {
        drawNextPreview();
    } else {
        drawPreview(preview_, Mask{}, kPieceTypes, art());
    }
    host_.picturesChanged();
}

}  // namespace velmora::engine
