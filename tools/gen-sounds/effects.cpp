// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-sounds/effects.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace velmora::tools {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A struck, bell-like note: a few harmonics that die away at their own speed.
double bell(double freq, double t) {
    if (t < 0) {
        return 0;
    }
    double attack = std::min(1.0, t / 0.004);
    return attack * (0.60 * std::sin(kTwoPi * freq * t) * std::exp(-t * 6.0) +
                     0.25 * std::sin(kTwoPi * 2.0 * freq * t) * std::exp(-t * 11.0) +
                     0.12 * std::sin(kTwoPi * 3.01 * freq * t) * std::exp(-t * 17.0));
}

// A soft reed-like tone (odd harmonics) of a given phase, for held notes.
double reed(double phase) {
    return 0.70 * std::sin(phase) + 0.20 * std::sin(3 * phase) + 0.08 * std::sin(5 * phase);
}

// Fades the first and last few milliseconds so no effect starts or ends with
// a click, and scales the loudest sample to `peak`.
std::vector<double> finished(std::vector<double> s, double rate, double peak) {
    const std::size_t in = static_cast<std::size_t>(0.002 * rate);
    const std::size_t out = static_cast<std::size_t>(0.012 * rate);
    for (std::size_t i = 0; i < s.size(); ++i) {
        double gain = 1.0;
        if (i < in) {
            gain = static_cast<double>(i) / static_cast<double>(in);
        }
        if (i + out > s.size()) {
            gain = std::min(gain, static_cast<double>(s.size() - i) / static_cast<double>(out));
        }
        s[i] *= gain;
    }
    double loudest = 1e-9;
    for (double v : s) {
        loudest = std::max(loudest, std::abs(v));
    }
    for (double& v : s) {
        v *= peak / loudest;
    }
    return s;
}

// A cheap repeatable noise, so the files come out the same on every run.
double noise(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 23) - 1.0;
}

std::vector<double> arpeggio(std::size_t n, double rate, const std::vector<double>& notes,
                             double step) {
    std::vector<double> s(n);
    for (std::size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        for (std::size_t k = 0; k < notes.size(); ++k) {
            s[i] += bell(notes[k], t - step * static_cast<double>(k));
        }
    }
    return s;
}

// A welcoming rising major arpeggio, C5 E5 G5 C6.
std::vector<double> entered(std::size_t n, double rate) {
    return finished(arpeggio(n, rate, {523.25, 659.26, 783.99, 1046.50}, 0.11), rate, 0.8);
}

// Four falling notes, the last held with a slow vibrato while it fades.
std::vector<double> gameover(std::size_t n, double rate) {
    const double notes[] = {392.00, 369.99, 349.23, 329.63};
    const double starts[] = {0.0, 0.18, 0.36, 0.54};
    std::vector<double> s(n);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        int k = t >= starts[3] ? 3 : t >= starts[2] ? 2 : t >= starts[1] ? 1 : 0;
        double local = t - starts[k];
        double freq = notes[k];
        double gain = std::exp(-local * 5.0) * 0.7 + 0.3;
        if (k == 3) {
            freq *= 1.0 + 0.012 * std::sin(kTwoPi * 5.5 * local);
            gain = std::exp(-local * 3.2);
        }
        double onset = std::min(1.0, local / 0.01);
        phase += kTwoPi * freq / rate;
        s[i] = reed(phase) * gain * onset;
    }
    return finished(std::move(s), rate, 0.75);
}

// A quick bright rise of three notes, G5 C6 E6.
std::vector<double> levelup(std::size_t n, double rate) {
    return finished(arpeggio(n, rate, {783.99, 1046.50, 1318.51}, 0.06), rate, 0.8);
}

// A short soft upward chirp; heard at every turn, so it stays gentle.
std::vector<double> chirp(std::size_t n, double rate) {
    std::vector<double> s(n);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double freq = 700.0 + 900.0 * (t / 0.1);
        phase += kTwoPi * freq / rate;
        s[i] = (std::sin(phase) + 0.15 * std::sin(2 * phase)) * std::exp(-t * 38.0);
    }
    return finished(std::move(s), rate, 0.55);
}

// A muted knock: a falling low tone with a short burst of filtered noise.
std::vector<double> place(std::size_t n, double rate) {
    std::vector<double> s(n);
    std::uint32_t seed = 12345;
    double phase = 0;
    double smooth = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double freq = 90.0 + 110.0 * std::exp(-t * 40.0);
        phase += kTwoPi * freq / rate;
        smooth += 0.18 * (noise(seed) - smooth);
        s[i] = std::sin(phase) * std::exp(-t * 30.0) + 0.5 * smooth * std::exp(-t * 70.0);
    }
    return finished(std::move(s), rate, 0.85);
}

// A sparkling run up two octaves over a warm held chord.
std::vector<double> tetris(std::size_t n, double rate) {
    std::vector<double> s =
        arpeggio(n, rate, {523.25, 659.26, 783.99, 1046.50, 1318.51, 1567.98, 2093.00}, 0.05);
    for (std::size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double chord = std::sin(kTwoPi * 261.63 * t) + std::sin(kTwoPi * 329.63 * t) +
                       std::sin(kTwoPi * 392.00 * t);
        s[i] += 0.12 * chord * std::min(1.0, t / 0.05) * std::exp(-t * 3.0);
    }
    return finished(std::move(s), rate, 0.8);
}

}  // namespace

const std::vector<Effect>& effects() {
    static const std::vector<Effect> all = {
        {"ENTERED", {11025, 8}, 8667, entered},   {"GAMEOVER", {22050, 8}, 23424, gameover},
        {"LEVELUP", {11025, 16}, 6400, levelup},  {"LINECLEAR", {44100, 16}, 8700, chirp},
        {"PLACE", {22050, 8}, 2519, place},       {"ROTATE", {44100, 16}, 8700, chirp},
        {"TETRIS", {22050, 8}, 15876, tetris},
    };
    return all;
}

}  // namespace velmora::tools
