// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_inputs.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace velmora::bench {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kInputSize = 4u << 20;

// Files under `folder` whose names end in one of `endings` (any, if empty),
// sorted so the input is the same on every run.
std::vector<fs::path> filesUnder(const fs::path& folder, const std::vector<std::string>& endings) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        const bool wanted = endings.empty() || std::any_of(endings.begin(), endings.end(), [&](const std::string& e) {
                                return name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
                            });
        if (wanted) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Appends the contents of `file`, unpacked when its name ends in ".gz".
void append(Bytes& bytes, const fs::path& file) {
    if (file.extension() != ".gz") {
        std::ifstream in(file, std::ios::binary);
        bytes.insert(bytes.end(), std::istreambuf_iterator<char>(in), {});
        return;
    }
    gzFile in = gzopen(file.c_str(), "rb");
    if (in == nullptr) {
        return;
    }
    char buffer[65536];
    int got;
    while ((got = gzread(in, buffer, sizeof buffer)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    gzclose(in);
}

// Concatenates the files (repeating the list when it is short) up to kInputSize.
Bytes gather(const std::vector<fs::path>& files) {
    Bytes bytes;
    for (int pass = 0; pass < 64 && bytes.size() < kInputSize && !files.empty(); ++pass) {
        for (const auto& file : files) {
            append(bytes, file);
            if (bytes.size() >= kInputSize) {
                break;
            }
        }
    }
    if (bytes.size() > kInputSize) {
        bytes.resize(kInputSize);
    }
    return bytes;
}

Bytes generatedText(unsigned seed) {
    static const char* const words[] = {"the ",   "falling ", "piece ", "of ",     "four ",  "cells ",  "enters ",
                                        "a ",     "well ",    "ten ",   "wide ",   "and ",   "twenty ", "deep; ",
                                        "rows ",  "clear ",   "score ", "level, ", "speed ", "\n"};
    std::mt19937 engine(seed);
    Bytes bytes;
    while (bytes.size() < kInputSize) {
        const std::string word = words[engine() % std::size(words)];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(kInputSize);
    return bytes;
}

Bytes randomBytes() {
    std::mt19937_64 engine(1);
    Bytes bytes(kInputSize);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(engine() >> 56);
    }
    return bytes;
}

// Records of a tally-like table: long runs of padding and repeated fields.
Bytes repetitive() {
    std::mt19937 engine(2);
    Bytes bytes;
    while (bytes.size() < kInputSize) {
        const std::string record = "player" + std::to_string(engine() % 10) + ";score=" +
                                   std::to_string(engine() % 1000 * 40) + ";";
        bytes.insert(bytes.end(), record.begin(), record.end());
        bytes.insert(bytes.end(), 20 + engine() % 200, ' ');
    }
    bytes.resize(kInputSize);
    return bytes;
}

Input fromFiles(const std::string& name, const fs::path& folder, const std::vector<std::string>& endings,
                unsigned fallback_seed) {
    const auto files = filesUnder(folder, endings);
    Bytes bytes = gather(files);
    if (bytes.size() == kInputSize) {
        return {name, folder.string(), std::move(bytes)};
    }
    return {name, "generated", generatedText(fallback_seed)};
}

}  // namespace

const std::vector<Input>& inputs() {
    static const std::vector<Input> all = [] {
        std::vector<Input> list;
        // Manual pages as the system keeps them (gzip), unpacked: English
        // prose with typesetting marks.
        list.push_back(fromFiles("text", "/usr/share/man/man1", {".gz"}, 1));
        list.push_back(fromFiles("source", "/usr/include/c++", {".h", ".tcc"}, 2));
        list.push_back(fromFiles("binary", "/usr/bin", {}, 3));
        list.push_back({"random", "generated", randomBytes()});
        list.push_back({"repetitive", "generated", repetitive()});
        return list;
    }();
    return all;
}

Input fileInput(const std::string& file) {
    constexpr std::size_t kLargest = 256u << 20;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + file);
    }
    Bytes bytes(kLargest + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || in.gcount() > static_cast<std::streamsize>(kLargest)) {
        throw std::runtime_error("cannot read " + file + " (or it is larger than 256 MiB)");
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return {fs::path(file).filename().string(), file, std::move(bytes)};
}

}  // namespace velmora::bench
