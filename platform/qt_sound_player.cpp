#include "platform/qt_sound_player.h"

#include <QUrl>

namespace velmora::platform {

QString soundResourcePath(const std::string& resource) {
    return QStringLiteral(":/sounds/") + QString::fromStdString(resource) + QStringLiteral(".wav");
}

QtSoundPlayer::QtSoundPlayer() {
    for (auto name : kSoundResources) {
        std::string resource(name);
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl(QStringLiteral("qrc") + soundResourcePath(resource)));
        effects_.emplace(resource, std::move(effect));
    }
}

QtSoundPlayer::~QtSoundPlayer() { stop(); }

void QtSoundPlayer::play(const std::string& resource) {
    stop();
    auto found = effects_.find(resource);
    if (found == effects_.end()) {
        return;
    }
    playing_ = found->second.get();
    playing_->play();
}

void QtSoundPlayer::stop() {
    if (playing_ != nullptr) {
        playing_->stop();
        playing_ = nullptr;
    }
}

const QSoundEffect* QtSoundPlayer::effect(const std::string& resource) const {
    auto found = effects_.find(resource);
    return found == effects_.end() ? nullptr : found->second.get();
}

}  // namespace velmora::platform
