// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of velmora-server.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::server {

struct ServerOptions {
    std::string host = "127.0.0.1";
    uint16_t port = 8080;           // 0: the kernel picks one (printed at start)
    std::string database;           // empty: the default in the user's data folder
    std::string versionText = "1.0.0";
    std::string installer;          // empty: no installer to serve
    unsigned threads = 0;           // threads serving requests; 0: one per processor
    bool help = false;
    bool version = false;
    // For running in public (operator_options.h).
    unsigned postsPerMinute = 10;             // per sender; 0: no limit
    std::optional<uint32_t> maxScore;         // none: any valid score
    std::vector<std::string> trustedProxies;  // whose X-Forwarded-For is believed
    bool accessLog = false;
    std::string accessLogFile;                // empty: standard output
};

class OptionsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads "--listen ADDR:PORT", "--db FILE", "--version-text TEXT",
// "--installer FILE", "--threads N", "--help" and "--version" (each value as the next word or after
// "="). Throws OptionsError naming the problem for anything else.
ServerOptions parseOptions(const std::vector<std::string>& words);

// The usage text for --help and for errors.
std::string usageText();

// $XDG_DATA_HOME/velmora/scores.db, by default ~/.local/share/velmora/scores.db.
std::string defaultDatabasePath();

}  // namespace velmora::server
