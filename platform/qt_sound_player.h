// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound player of the desktop: the program's embedded WAVE resources
// (":/sounds/<NAME>.wav"), each decoded into one common PCM format when it is
// first asked for, and fed through a single Qt Multimedia audio sink that
// stays open for the life of the player.
//
// Why not one QSoundEffect per sound: with PulseAudio a QSoundEffect that was
// stopped and started again often played only its first few milliseconds or
// nothing at all, so rapid repeats of the same short sound were lost. One
// stream, fed silence between sounds, starts each request at the next block
// the server asks for, from the sound's first sample. While nothing plays the
// sink is suspended (the server stops asking for data, so an idle program
// uses no processor time) and resumed by the next request.

#include <QAudioFormat>
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/sound.h"

class QAudioSink;

namespace velmora::platform {

// The one format every sound is played in: mono, 16-bit signed, 44100 Hz.
QAudioFormat soundPlaybackFormat();

// The samples of a RIFF WAVE file holding uncompressed mono PCM (8-bit
// unsigned or 16-bit signed, any rate), converted to soundPlaybackFormat().
// Nothing when the file is damaged (sizes beyond its end, no "fmt " or
// "data" chunk) or holds anything else; never reads outside `file`.
std::optional<QByteArray> decodeWave(const QByteArray& file);

// The endless stream the audio sink pulls from: the samples of the current
// sound from its first one, then silence. Reads never end, so the sink never
// runs dry and never has to be restarted.
class SoundStream : public QIODevice {
public:
    // Opens itself for reading, unbuffered, so a new sound is not delayed
    // behind data read ahead of time.
    SoundStream();

    // Starts `samples` (soundPlaybackFormat()) at the next read, from its
    // beginning, whatever was playing; an empty array means silence.
    void start(QByteArray samples);

    // True while the current sound still has samples not yet read.
    bool isSounding() const;

    // Calls `handler` from inside a read, once per start(), when the sound
    // has been read to its end followed by `tailBytes` of silence. The handler
    // must not call back into the reader (it is inside the sink's read).
    void onQuiet(qsizetype tailBytes, std::function<void()> handler);

    bool isSequential() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    QByteArray samples_;
    qsizetype position_ = 0;
    qsizetype silenceRead_ = 0;
    qsizetype quietTailBytes_ = 0;
    std::function<void()> quietHandler_;
};

class QtSoundPlayer : public SoundPlayer {
public:
    // When the audio output on the system's default device is opened.
    enum class Opening {
        WhenLoopRuns,  // as soon as the event loop runs
        WhenAllowed,   // not before allowOutput(): see there
    };

    // Either way connecting to the sound server does not hold up the first
    // window; a request made before the output opens plays from its start
    // when it does. Create it on the UI thread, after the QApplication, in a
    // program linked with velmora_resources. Without an audio device
    // requests still return at once, silently.
    explicit QtSoundPlayer(Opening opening = Opening::WhenLoopRuns);

    // From now on the output may open (Opening::WhenAllowed): at once when
    // `openNow` or a request is waiting, else with the first request, so a
    // program with its sounds off never reaches the sound server.
    void allowOutput(bool openNow);
    ~QtSoundPlayer() override;

    // Cuts off the playing sound and starts `resource` from its beginning,
    // also when it is the sound that is playing; unknown names only stop.
    void play(const std::string& resource) override;
    void stop() override;

    // Whether `resource` was found and decoded (decodes it if not yet done).
    bool hasSound(const std::string& resource) const;

    // The stream the audio output reads; lets a caller see what would play.
    SoundStream& stream();

private:
    // The decoded samples of `resource`; nothing for a name without a sound.
    const QByteArray* samplesOf(const std::string& resource) const;
    // Opens the output if that was not tried yet.
    void openOutput();
    // Resumes a suspended output; opens it again if the sound server went
    // away since.
    void ensureOutputRunning();
    void suspendWhileQuiet();

    // Decoded on first use; nothing for a resource missing or not decodable.
    mutable std::map<std::string, std::optional<QByteArray>> sounds_;
    SoundStream stream_;
    std::unique_ptr<QAudioSink> sink_;
    bool openOnRequest_ = false;  // allowed, and not opened by the timer
    bool outputTried_ = false;
    QTimer openTimer_;
    // Suspends the sink outside the sink's own read, where the stream noticed
    // that nothing plays any more.
    QTimer suspendTimer_;
};

// The resource path of a sound resource, e.g. ":/sounds/ENTERED.wav".
QString soundResourcePath(const std::string& resource);

}  // namespace velmora::platform
