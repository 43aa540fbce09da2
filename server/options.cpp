// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/options.h"

#include "server/operator_options.h"

#include <charconv>
#include <cstdlib>
#include <optional>

namespace velmora::server {

namespace {

// Splits "host:port" or "[v6]:port".
void parseListen(const std::string& value, ServerOptions& options) {
    size_t colon = value.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        throw OptionsError("--listen wants ADDRESS:PORT, got \"" + value + "\"");
    }
    std::string host = value.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    std::string digits = value.substr(colon + 1);
    unsigned port = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || port > 65535) {
        throw OptionsError("--listen: bad port \"" + digits + "\"");
    }
    options.host = host;
    options.port = static_cast<uint16_t>(port);
}

// 1 to kMaxThreads in decimal.
unsigned parseThreads(const std::string& value) {
    constexpr unsigned kMaxThreads = 256;
    unsigned threads = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), threads);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() || threads < 1
        || threads > kMaxThreads) {
        throw OptionsError("--threads wants a number from 1 to " + std::to_string(kMaxThreads) + ", got \""
                           + value + "\"");
    }
    return threads;
}

}  // namespace

ServerOptions parseOptions(const std::vector<std::string>& words) {
    ServerOptions options;
    for (size_t i = 0; i < words.size(); ++i) {
        std::string name = words[i];
        std::optional<std::string> value;
        if (size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--version") {
            options.version = true;
            continue;
        }
        if (parseOperatorOption(name, value, words, i, options)) {
            continue;
        }
        if (name != "--listen" && name != "--db" && name != "--version-text" && name != "--installer"
            && name != "--threads") {
            throw OptionsError("unknown option \"" + words[i] + "\"");
        }
        if (!value) {
            if (i + 1 == words.size()) {
                throw OptionsError(name + " needs a value");
            }
            value = words[++i];
        }
        if (name == "--listen") {
            parseListen(*value, options);
        } else if (name == "--db") {
            options.database = *value;
        } else if (name == "--threads") {
            options.threads = parseThreads(*value);
        } else if (name == "--version-text") {
            options.versionText = *value;
        } else {
            options.installer = *value;
        }
    }
    return options;
}

std::string usageText() {
    return "Usage: velmora-server [OPTION]...\n"
           "Serve Velmora's online high score list, version text and installer over HTTP.\n"
           "\n"
           "  --listen=ADDRESS:PORT  where to accept connections (default 127.0.0.1:8080;\n"
           "                           port 0 picks a free one)\n"
           "  --db=FILE|URI          the score database: an SQLite file\n"
           "                           (default " + defaultDatabasePath() + ")\n"
           "                           or a postgresql://USER@HOST/DATABASE connection URI\n"
           "  --version-text=TEXT    the current version, served exactly (default 1.0.0)\n"
           "  --installer=FILE       the installer to serve, with FILE.sig beside it\n"
           "                           (none by default)\n"
           "  --threads=N            threads serving requests (default: one per processor)\n"
           + operatorUsageText() +
           "  -h, --help             display this help and exit\n"
           "      --version          output version information and exit\n";
}

std::string defaultDatabasePath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : ".") + "/.local/share";
    }
    return base + "/velmora/scores.db";
}

}  // namespace velmora::server
