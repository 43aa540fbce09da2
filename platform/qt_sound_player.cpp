// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_sound_player.h"

#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace velmora::platform {
namespace {

constexpr int kPlaybackRate = 44100;

// About 100 ms of output queued at the server. The output hands the server
// 20 ms blocks and only while a whole block fits; the server starts playing
// only once about two thirds of its buffer are filled. A smaller buffer never
// gets filled that far, and stays silent for good.
constexpr qsizetype kOutputBufferBytes = kPlaybackRate * 2 / 10;

// Silence read after a sound before the sink is suspended: longer than the
// output buffer, so the sound's end has been played by then and is not left
// queued to come out before the next sound on resume.
constexpr qsizetype kQuietTailBytes = kPlaybackRate * 2 * 2 / 10;

std::uint32_t readLe(const QByteArray& bytes, qsizetype at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

struct PcmFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
};

struct WaveChunks {
    std::optional<PcmFormat> format;
    std::optional<QByteArray> data;
};

// The "fmt " and "data" chunks of a RIFF WAVE file; nothing when a chunk
// claims more bytes than the file holds.
std::optional<WaveChunks> readChunks(const QByteArray& file) {
    if (file.size() < 12 || file.left(4) != "RIFF" || file.mid(8, 4) != "WAVE") {
        return std::nullopt;
    }
    WaveChunks chunks;
    qsizetype at = 12;
    while (file.size() - at >= 8) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = readLe(file, at + 4, 4);
        if (size > file.size() - at - 8) {
            return std::nullopt;
        }
        if (id == "fmt " && size >= 16) {
            chunks.format = PcmFormat{static_cast<std::uint16_t>(readLe(file, at + 8, 2)),
                                      static_cast<std::uint16_t>(readLe(file, at + 10, 2)),
                                      readLe(file, at + 12, 4),
                                      static_cast<std::uint16_t>(readLe(file, at + 22, 2))};
        } else if (id == "data") {
            chunks.data = file.mid(at + 8, size);
        }
        at += 8 + size + (size % 2);
    }
    return chunks;
}

// The samples as signed 16-bit values at their own rate.
std::vector<std::int16_t> toInt16(const QByteArray& data, std::uint16_t bits) {
    std::vector<std::int16_t> samples;
    if (bits == 8) {
        for (char byte : data) {
            samples.push_back(static_cast<std::int16_t>((static_cast<std::uint8_t>(byte) - 128) * 256));
        }
    } else {
        for (qsizetype at = 0; at + 1 < data.size(); at += 2) {
            samples.push_back(static_cast<std::int16_t>(readLe(data, at, 2)));
        }
    }
    return samples;
}

// Linear interpolation from `rate` to the playback rate; the played length
// stays that of the recording.
QByteArray resample(const std::vector<std::int16_t>& samples, std::uint32_t rate) {
    const std::uint64_t count = samples.size() * std::uint64_t{kPlaybackRate} / rate;
    QByteArray out(static_cast<qsizetype>(count * 2), '\0');
    auto* target = reinterpret_cast<std::int16_t*>(out.data());
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t position = i * rate;
        const std::size_t from = position / kPlaybackRate;
        const std::int64_t fraction = position % kPlaybackRate;
        const std::int64_t a = samples[from];
        const std::int64_t b = from + 1 < samples.size() ? samples[from + 1] : a;
        target[i] = static_cast<std::int16_t>(a + (b - a) * fraction / kPlaybackRate);
    }
    return out;
}

}  // namespace

QAudioFormat soundPlaybackFormat() {
    QAudioFormat format;
    format.setSampleRate(kPlaybackRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

std::optional<QByteArray> decodeWave(const QByteArray& file) {
    const std::optional<WaveChunks> chunks = readChunks(file);
    if (!chunks || !chunks->format || !chunks->data) {
        return std::nullopt;
    }
    const PcmFormat& format = *chunks->format;
    const bool pcm = format.formatTag == 1 && format.channels == 1 && format.rate > 0;
    if (!pcm || (format.bits != 8 && format.bits != 16)) {
        return std::nullopt;
    }
    return resample(toInt16(*chunks->data, format.bits), format.rate);
}

SoundStream::SoundStream() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

void SoundStream::start(QByteArray samples) {
    samples_ = std::move(samples);
    position_ = 0;
    silenceRead_ = 0;
}

bool SoundStream::isSounding() const { return position_ < samples_.size(); }

void SoundStream::onQuiet(qsizetype tailBytes, std::function<void()> handler) {
    quietTailBytes_ = tailBytes;
    quietHandler_ = std::move(handler);
}

bool SoundStream::isSequential() const { return true; }

qint64 SoundStream::readData(char* data, qint64 maxSize) {
    // Whole samples only, so the stream never slips half a sample.
    const qint64 size = maxSize - maxSize % 2;
    const qint64 fromSound = std::min<qint64>(size, samples_.size() - position_);
    std::memcpy(data, samples_.constData() + position_, static_cast<std::size_t>(fromSound));
    std::memset(data + fromSound, 0, static_cast<std::size_t>(size - fromSound));
    position_ += fromSound;
    const bool wasQuiet = silenceRead_ >= quietTailBytes_;
    silenceRead_ += size - fromSound;
    if (!wasQuiet && silenceRead_ >= quietTailBytes_ && quietHandler_) {
        quietHandler_();
    }
    return size;
}

qint64 SoundStream::writeData(const char*, qint64) { return -1; }

QString soundResourcePath(const std::string& resource) {
    return QStringLiteral(":/sounds/") + QString::fromStdString(resource) + QStringLiteral(".wav");
}

QtSoundPlayer::QtSoundPlayer(Opening opening) {
    openTimer_.setSingleShot(true);
    QObject::connect(&openTimer_, &QTimer::timeout, [this] { openOutput(); });
    if (opening == Opening::WhenLoopRuns) {
        openTimer_.start(0);
    }
    suspendTimer_.setSingleShot(true);
    QObject::connect(&suspendTimer_, &QTimer::timeout, [this] { suspendWhileQuiet(); });
    stream_.onQuiet(kQuietTailBytes, [this] { suspendTimer_.start(0); });
}

QtSoundPlayer::~QtSoundPlayer() {
    if (sink_) {
        sink_->stop();
    }
}

void QtSoundPlayer::play(const std::string& resource) {
    const QByteArray* samples = samplesOf(resource);
    stream_.start(samples != nullptr ? *samples : QByteArray());
    ensureOutputRunning();
}

void QtSoundPlayer::stop() { stream_.start(QByteArray()); }

bool QtSoundPlayer::hasSound(const std::string& resource) const { return samplesOf(resource) != nullptr; }

SoundStream& QtSoundPlayer::stream() { return stream_; }

const QByteArray* QtSoundPlayer::samplesOf(const std::string& resource) const {
    auto found = sounds_.find(resource);
    if (found == sounds_.end()) {
        QFile file(soundResourcePath(resource));
        std::optional<QByteArray> samples;
        if (file.open(QIODevice::ReadOnly)) {
            samples = decodeWave(file.readAll());
        }
        found = sounds_.emplace(resource, std::move(samples)).first;
    }
    return found->second ? &*found->second : nullptr;
}

void QtSoundPlayer::allowOutput(bool openNow) {
    openOnRequest_ = true;
    if (openNow || stream_.isSounding()) {
        openOutput();
    }
}

void QtSoundPlayer::openOutput() {
    if (outputTried_) {
        return;
    }
    outputTried_ = true;
    openTimer_.stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return;
    }
    sink_ = std::make_unique<QAudioSink>(device, soundPlaybackFormat());
    sink_->setBufferSize(kOutputBufferBytes);
    sink_->start(&stream_);
}

void QtSoundPlayer::ensureOutputRunning() {
    if (!sink_ && openOnRequest_) {
        openOutput();
    }
    if (!sink_) {
        return;  // not open yet: the stream holds the request until it is
    }
    if (sink_->state() == QAudio::SuspendedState) {
        sink_->resume();
    } else if (sink_->state() == QAudio::StoppedState) {
        sink_->start(&stream_);
    }
}

void QtSoundPlayer::suspendWhileQuiet() {
    const bool running = sink_ && (sink_->state() == QAudio::ActiveState || sink_->state() == QAudio::IdleState);
    if (running && !stream_.isSounding()) {
        sink_->suspend();
    }
}

}  // namespace velmora::platform
