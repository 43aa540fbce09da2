// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_sound_player.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <cstdint>
#include <map>
#include <optional>

namespace velmora::platform {
namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "qt_sound_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

std::uint32_t le32(const QByteArray& b, qsizetype at) {
    auto byte = [&](qsizetype i) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + i])); };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

std::uint16_t le16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint16_t>(le32(b.left(at + 2) + QByteArray(2, '\0'), at));
}

struct Wave {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bits = 0;
    QByteArray data;
};

// Walks the chunks of a RIFF WAVE file; fails the test on any damage.
Wave parseWave(const QByteArray& file) {
    Wave w;
    EXPECT_GE(file.size(), 12);
    EXPECT_EQ(file.left(4), "RIFF");
    EXPECT_EQ(le32(file, 4), static_cast<std::uint32_t>(file.size() - 8));
    EXPECT_EQ(file.mid(8, 4), "WAVE");
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        QByteArray id = file.mid(at, 4);
        qsizetype size = le32(file, at + 4);
        EXPECT_LE(at + 8 + size, file.size()) << id.constData();
        if (id == "fmt ") {
            EXPECT_EQ(size, 16);
            w.formatTag = le16(file, at + 8);
            w.channels = le16(file, at + 10);
            w.rate = le32(file, at + 12);
            w.byteRate = le32(file, at + 16);
            w.blockAlign = le16(file, at + 20);
            w.bits = le16(file, at + 22);
        } else if (id == "data") {
            w.data = file.mid(at + 8, size);
        }
        at += 8 + size + (size % 2);
    }
    EXPECT_EQ(at, file.size()) << "chunks do not end with the file";
    return w;
}

TEST(SoundResources, EachEmbeddedWaveHasItsExactFormatAndLength) {
    struct Expected {
        std::uint32_t rate;
        std::uint16_t bits;
        qsizetype bytes;
    };
    const std::map<std::string, Expected> expected = {
        {"ENTERED", {11025, 8, 8667}},   {"GAMEOVER", {22050, 8, 23424}},
        {"LEVELUP", {11025, 16, 6400}},  {"LINECLEAR", {44100, 16, 8700}},
        {"PLACE", {22050, 8, 2519}},     {"ROTATE", {44100, 16, 8700}},
        {"TETRIS", {22050, 8, 15876}},
    };
    std::map<std::string, QByteArray> data;
    for (auto name : kSoundResources) {
        std::string resource(name);
        QFile file(soundResourcePath(resource));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << resource;
        Wave w = parseWave(file.readAll());
        const Expected& e = expected.at(resource);
        EXPECT_EQ(w.formatTag, 1) << resource;
        EXPECT_EQ(w.channels, 1) << resource;
        EXPECT_EQ(w.rate, e.rate) << resource;
        EXPECT_EQ(w.bits, e.bits) << resource;
        EXPECT_EQ(w.blockAlign, e.bits / 8) << resource;
        EXPECT_EQ(w.byteRate, e.rate * (e.bits / 8)) << resource;
        EXPECT_EQ(w.data.size(), e.bytes) << resource;
        // Not silence: the samples swing well away from their midpoint.
        EXPECT_LT(w.data.count(w.data.at(w.data.size() / 4)), w.data.size() / 2) << resource;
        data[resource] = w.data;
    }
    EXPECT_EQ(data["LINECLEAR"], data["ROTATE"]);
}

QByteArray resourceFile(const std::string& resource) {
    QFile file(soundResourcePath(resource));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::int16_t sampleAt(const QByteArray& samples, qsizetype index) {
    return static_cast<std::int16_t>(le16(samples, index * 2));
}

TEST(DecodeWave, ConvertsEachResourceToMono16BitAt44100KeepingItsLength) {
    for (auto name : kSoundResources) {
        std::string resource(name);
        const QByteArray file = resourceFile(resource);
        const Wave w = parseWave(file);
        const std::optional<QByteArray> decoded = decodeWave(file);
        ASSERT_TRUE(decoded.has_value()) << resource;
        const qsizetype sourceSamples = w.data.size() / (w.bits / 8);
        EXPECT_EQ(decoded->size(), sourceSamples * 44100 / w.rate * 2) << resource;
        // Every source sample lands unchanged on its own place in the output.
        const qsizetype step = 44100 / w.rate;
        for (qsizetype i = 0; i < sourceSamples; i += 97) {
            const int expected = w.bits == 8 ? (static_cast<std::uint8_t>(w.data[i]) - 128) * 256
                                             : static_cast<std::int16_t>(le16(w.data, i * 2));
            ASSERT_EQ(sampleAt(*decoded, i * step), expected) << resource << " sample " << i;
        }
    }
    // Between two source samples the output moves evenly from one to the next.
    const QByteArray place = *decodeWave(resourceFile("PLACE"));
    for (qsizetype i = 1; i + 1 < place.size() / 2; i += 2) {
        ASSERT_NEAR(sampleAt(place, i), (sampleAt(place, i - 1) + sampleAt(place, i + 1)) / 2, 1) << i;
    }
}

TEST(DecodeWave, RejectsDamagedOrUnsupportedFiles) {
    const QByteArray good = resourceFile("ROTATE");
    ASSERT_TRUE(decodeWave(good).has_value());
    auto withByte = [&](qsizetype at, char value) {
        QByteArray changed = good;
        changed[at] = value;
        return changed;
    };
    EXPECT_FALSE(decodeWave(good.left(good.size() - 1))) << "data chunk runs past the end";
    EXPECT_FALSE(decodeWave(good.left(36))) << "no data chunk";
    EXPECT_FALSE(decodeWave(good.left(8))) << "cut inside the header";
    EXPECT_FALSE(decodeWave(withByte(0, 'X'))) << "not RIFF";
    EXPECT_FALSE(decodeWave(withByte(20, 3))) << "not integer PCM";
    EXPECT_FALSE(decodeWave(withByte(22, 2))) << "two channels";
    EXPECT_FALSE(decodeWave(withByte(34, 24))) << "24 bits";
    EXPECT_FALSE(decodeWave(withByte(43, '\x7f'))) << "huge data size";
    EXPECT_FALSE(decodeWave(QByteArray()));
}

QByteArray readStream(SoundStream& stream, qint64 bytes) {
    QByteArray out = stream.read(bytes);
    EXPECT_EQ(out.size(), bytes) << "the stream never runs dry";
    return out;
}

TEST(QtSoundPlayer, EveryRequestStartsItsSoundFromTheFirstSampleThenSilence) {
    ensureApplication();
    QtSoundPlayer player;
    for (auto name : kSoundResources) {
        EXPECT_TRUE(player.hasSound(std::string(name))) << name;
    }
    EXPECT_FALSE(player.hasSound("STARTGAME"));
    const QByteArray rotate = *decodeWave(resourceFile("ROTATE"));
    const QByteArray levelUp = *decodeWave(resourceFile("LEVELUP"));
    const QByteArray silence(882, '\0');
    SoundStream& stream = player.stream();

    player.play("ROTATE");
    EXPECT_EQ(readStream(stream, 882), rotate.left(882));
    // The same sound again while it plays starts over.
    player.play("ROTATE");
    EXPECT_EQ(readStream(stream, 882), rotate.left(882));
    EXPECT_TRUE(stream.isSounding());
    // To its end, then silence, and again from the start right after it ended.
    EXPECT_EQ(readStream(stream, rotate.size()), rotate.mid(882) + silence);
    EXPECT_FALSE(stream.isSounding());
    player.play("ROTATE");
    EXPECT_EQ(readStream(stream, 882), rotate.left(882));
    // Another sound cuts it off at once.
    player.play("LEVELUP");
    EXPECT_EQ(readStream(stream, 882), levelUp.left(882));
    player.stop();
    EXPECT_EQ(readStream(stream, 882), silence);
    player.play("LEVELUP");
    player.play("STARTGAME");
    EXPECT_EQ(readStream(stream, 882), silence) << "a name without a sound only stops";
    // An odd request size is answered in whole samples.
    player.play("ROTATE");
    EXPECT_EQ(stream.read(7), rotate.left(6));
    EXPECT_EQ(readStream(stream, 4), rotate.mid(6, 4));
}

TEST(SoundStream, ReportsQuietOncePerSoundAfterItsEndAndTheTailOfSilence) {
    SoundStream stream;
    int quiet = 0;
    stream.onQuiet(100, [&] { ++quiet; });
    stream.start(QByteArray(300, '\x11'));
    stream.read(300);
    stream.read(98);
    EXPECT_EQ(quiet, 0) << "the tail is not complete yet";
    stream.read(2);
    EXPECT_EQ(quiet, 1);
    stream.read(1000);
    EXPECT_EQ(quiet, 1) << "once until the next request";
    // A request cut off early still waits for the whole tail after the cut.
    stream.start(QByteArray(300, '\x11'));
    stream.read(50);
    stream.start(QByteArray());
    stream.read(98);
    EXPECT_EQ(quiet, 1);
    stream.read(2);
    EXPECT_EQ(quiet, 2);
}

}  // namespace
}  // namespace velmora::platform
