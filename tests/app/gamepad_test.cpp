// SPDX-License-Identifier: GPL-3.0-or-later
// A virtual SDL game controller playing through the main window: plugged in
// while the program runs, its buttons and stick reach the actions, and
// pulling it out mid-game leaves the game going.
#include "app/gamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "app/game_timer.h"
#include "app/mainform.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

constexpr int kWaitMs = 3000;

// A game controller with every SDL button and axis, driven by the test.
class VirtualPad {
  public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = "Velmora test pad";
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        joystick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
    }
    ~VirtualPad() { unplug(); }

    bool plugged() const { return joystick_ != nullptr; }
    void set(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    void lean(SDL_GameControllerAxis axis, int16_t value) { SDL_JoystickSetVirtualAxis(joystick_, axis, value); }
    void unplug() {
        if (joystick_ != nullptr) {
            const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
            SDL_JoystickClose(joystick_);
            joystick_ = nullptr;
            for (int i = 0; i < SDL_NumJoysticks(); ++i) {
                if (SDL_JoystickGetDeviceInstanceID(i) == id) {
                    SDL_JoystickDetachVirtual(i);
                }
            }
        }
    }

  private:
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

class GamepadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!gamepad.start()) {
            GTEST_SKIP() << "no SDL game-controller support: " << SDL_GetError();
        }
        MainEnvironment environment;
        environment.filesFolder = temp.path().string() + "/";
        environment.seedFromClock = false;
        window = std::make_unique<Tmain>(environment);
        window->game().seedRandom(99);
        window->show();
        QObject::connect(&gamepad, &Gamepad::buttonPressed, window.get(), [this](const QString& button) {
            pressed.push_back(button);
            window->padButton(button);
        });
    }

    // Presses and releases a button, waiting until the press came through.
    void click(SDL_GameControllerButton button) {
        const std::size_t before = pressed.size();
        pad.set(button, true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pressed.size() > before; }, kWaitMs));
        pad.set(button, false);
        QTest::qWait(30);
    }

    testing::TempFolder temp;
    Gamepad gamepad;
    std::unique_ptr<Tmain> window;
    VirtualPad pad;
    std::vector<QString> pressed;
};

TEST_F(GamepadTest, AVirtualPadPlaysAGameAndMayBePulledOut) {
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gamepad.padCount() == 1; }, kWaitMs));

    click(SDL_CONTROLLER_BUTTON_BACK);  // New Game
    ASSERT_TRUE(window->game().gamerunning());
    engine::Game& game = window->game();
    const int x = game.blockx;
    click(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_EQ(game.blockx, x - 1);
    const uint8_t turn = game.blockturn;
    click(SDL_CONTROLLER_BUTTON_A);
    click(SDL_CONTROLLER_BUTTON_B);
    click(SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(static_cast<uint8_t>(game.blockturn - turn), 0xFF);
    const uint8_t type = game.blocktype;
    click(SDL_CONTROLLER_BUTTON_Y);  // drop
    int settled = 0;
    for (int column = 1; column <= 10; ++column) {
        settled += game.wellcells[column][20] == type + 1;
    }
    EXPECT_GT(settled, 0);
    EXPECT_EQ(game.blocky, 0);

    // The stick moves as the d-pad does, repeating while held.
    pressed.clear();
    const int before = game.blockx;
    pad.lean(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pressed.size() >= 3; }, kWaitMs));
    pad.lean(SDL_CONTROLLER_AXIS_LEFTX, 0);
    QTest::qWait(Gamepad::repeatIntervalMs() * 3);
    const std::size_t count = pressed.size();
    for (const QString& button : pressed) {
        EXPECT_EQ(button, "dpleft");
    }
    EXPECT_LT(game.blockx, before);
    QTest::qWait(Gamepad::repeatIntervalMs() * 3);
    EXPECT_EQ(pressed.size(), count);  // released: no more repeats

    click(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(game.gamepaused());
    click(SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(game.gamepaused());

    pad.unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gamepad.padCount() == 0; }, kWaitMs));
    EXPECT_TRUE(game.gamerunning());
    EXPECT_TRUE(window->downtimer->isEnabled());
}

}  // namespace
}  // namespace velmora
