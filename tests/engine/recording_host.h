// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A GameHost that records every request: sounds, tally calls, labels, panels
// and the Pause check mark, each also appended to a shared event log.

#include <map>
#include <string>
#include <vector>

#include "engine/game_host.h"
#include "event_log.h"

namespace velmora::engine::testing {

class RecordingHost : public GameHost {
public:
    explicit RecordingHost(EventLog& log) : log_(log) {}

    void playsounds(const std::string& name) override;
    void addtomineincrease(int column, int32_t amount) override;
    bool checkscore(int32_t score, const std::string& name) override;
    void checkchange(int column, int32_t value) override;
    void setLabel(Label label, const std::string& caption) override;
    void setPanelVisible(Panel panel, bool visible) override;
    void setPauseChecked(bool checked) override;
    std::string playerName() const override { return name; }
    void picturesChanged() override { ++pictureChanges; }

    // Forgets what was recorded so far (the shown state stays).
    void clearRecords();

    std::string name = "Ann";
    std::vector<std::string> sounds;
    std::vector<std::string> tally;  // "add 2 4", "checkscore 40 Ann", "change 4 1"
    std::map<Label, std::string> labels;
    std::map<Panel, bool> panels;
    bool pauseChecked = false;
    int pictureChanges = 0;

private:
    EventLog& log_;
};

}  // namespace velmora::engine::testing
