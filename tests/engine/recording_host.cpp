// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording_host.h"

namespace velmora::engine::testing {

namespace {

const char* labelName(Label label) {
    switch (label) {
        case Label::Score: return "Score";
        case Label::LinesCleared: return "LinesCleared";
        case Label::Level: return "Level";
        case Label::Greeting: return "Greeting";
        case Label::FinalScore: return "FinalScore";
    }
    return "?";
}

const char* panelName(Panel panel) {
    switch (panel) {
        case Panel::StartButton: return "StartButton";
        case Panel::WaitPanel: return "WaitPanel";
        case Panel::NamePanel: return "NamePanel";
        case Panel::GameOverPanel: return "GameOverPanel";
        case Panel::PausePanel: return "PausePanel";
        case Panel::SendScoreButton: return "SendScoreButton";
    }
    return "?";
}

}  // namespace

void RecordingHost::playsounds(const std::string& sound) {
    sounds.push_back(sound);
    log_.push_back("sound " + sound);
}

void RecordingHost::addtomineincrease(int column, int32_t amount) {
    tally.push_back("add " + std::to_string(column) + " " + std::to_string(amount));
    log_.push_back("tally " + tally.back());
}

bool RecordingHost::checkscore(int32_t score, const std::string& player) {
    tally.push_back("checkscore " + std::to_string(score) + " " + player);
    log_.push_back("tally " + tally.back());
    return true;
}

void RecordingHost::checkchange(int column, int32_t value) {
    tally.push_back("change " + std::to_string(column) + " " + std::to_string(value));
    log_.push_back("tally " + tally.back());
}

void RecordingHost::setLabel(Label label, const std::string& caption) {
    labels[label] = caption;
    log_.push_back(std::string("label ") + labelName(label) + " " + caption);
}

void RecordingHost::setPanelVisible(Panel panel, bool visible) {
    panels[panel] = visible;
    log_.push_back(std::string(visible ? "show " : "hide ") + panelName(panel));
}

void RecordingHost::setPauseChecked(bool checked) {
    pauseChecked = checked;
    log_.push_back(checked ? "pause on" : "pause off");
}

void RecordingHost::clearRecords() {
    sounds.clear();
    tally.clear();
    pictureChanges = 0;
    log_.clear();
}

}  // namespace velmora::engine::testing
