#pragma once
// The sound player of the desktop: Qt Multimedia sound effects loaded from the
// program's embedded resources (":/sounds/<NAME>.wav").

#include <QSoundEffect>
#include <map>
#include <memory>
#include <string>

#include "platform/sound.h"

namespace velmora::platform {

class QtSoundPlayer : public SoundPlayer {
public:
    // Loads one effect per sound resource up front, so the first request of
    // each plays without delay. Create it on the UI thread, after the
    // QApplication, in a program linked with velmora_resources.
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    // Stops the playing effect and starts `resource`; unknown names only stop.
    void play(const std::string& resource) override;
    void stop() override;

    // The effect of `resource`, or nullptr; lets a caller see its load status.
    const QSoundEffect* effect(const std::string& resource) const;

private:
    std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
    QSoundEffect* playing_ = nullptr;
};

// The resource path of a sound resource, e.g. ":/sounds/ENTERED.wav".
QString soundResourcePath(const std::string& resource);

}  // namespace velmora::platform
