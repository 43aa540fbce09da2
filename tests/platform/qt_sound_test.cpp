#include "platform/qt_sound_player.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <cstdint>
#include <map>

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

TEST(QtSoundPlayer, LoadsEveryEffectFromTheResources) {
    ensureApplication();
    QtSoundPlayer player;
    for (auto name : kSoundResources) {
        const QSoundEffect* effect = player.effect(std::string(name));
        ASSERT_NE(effect, nullptr);
        QElapsedTimer clock;
        clock.start();
        while (effect->status() == QSoundEffect::Loading && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_EQ(effect->status(), QSoundEffect::Ready) << name;
    }
    EXPECT_EQ(player.effect("STARTGAME"), nullptr);
    // Requests return at once whether or not the machine has a sound device.
    player.play("ENTERED");
    player.play("STARTGAME");
    player.stop();
}

}  // namespace
}  // namespace velmora::platform
