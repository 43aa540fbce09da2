// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/operator_options.h"

#include <charconv>

#include "server/client_address.h"
#include "server/score_query.h"

namespace velmora::server {

namespace {

uint32_t parseNumber(const std::string& name, std::string_view digits, uint32_t most) {
    uint32_t number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        number > most) {
        throw OptionsError(name + " wants a number from 0 to " + std::to_string(most) + ", got \"" +
                           std::string(digits) + "\"");
    }
    return number;
}

unsigned parsePostRate(const std::string& value) {
    constexpr uint32_t kMostPerMinute = 100'000;
    std::string_view text = value;
    if (size_t slash = text.find('/'); slash != std::string_view::npos) {
        std::string_view unit = text.substr(slash + 1);
        if (unit != "min" && unit != "MIN" && unit != "m") {
            throw OptionsError("--post-rate counts posts a minute: N or N/min, got \"" + value +
                               "\"");
        }
        text = text.substr(0, slash);
    }
    return parseNumber("--post-rate", text, kMostPerMinute);
}

std::string parseProxy(const std::string& value) {
    if (std::string address = canonicalAddress(value); !address.empty()) {
        return address;
    }
    throw OptionsError("--trusted-proxy wants a numeric address, got \"" + value + "\"");
}

}  // namespace

bool parseOperatorOption(const std::string& name, const std::optional<std::string>& value,
                         const std::vector<std::string>& words, size_t& index,
                         ServerOptions& options) {
    if (name == "--access-log") {
        // A flag; a file only after "=", so that the next word stays an option.
        options.accessLog = true;
        options.accessLogFile = value.value_or("");
        if (value && value->empty()) {
            throw OptionsError("--access-log=FILE needs a file name");
        }
        return true;
    }
    if (name != "--post-rate" && name != "--max-score" && name != "--trusted-proxy") {
        return false;
    }
    std::string text;
    if (value) {
        text = *value;
    } else if (index + 1 < words.size()) {
        text = words[++index];
    } else {
        throw OptionsError(name + " needs a value");
    }
    if (name == "--post-rate") {
        options.postsPerMinute = parsePostRate(text);
    } else if (name == "--max-score") {
        options.maxScore = parseNumber(name, text, kMaxScore);
    } else {
        options.trustedProxies.push_back(parseProxy(text));
    }
    return true;
}

std::string operatorUsageText() {
    return "  --post-rate=N[/min]    score posts one address may make a minute, in a burst\n"
           "                           or spread out (default 10; 0: no limit); more get 429\n"
           "  --max-score=N          refuse scores above N (400; default: no cap)\n"
           "  --trusted-proxy=ADDR   a load balancer whose last X-Forwarded-For hop names\n"
           "                           the client (may be given again)\n"
           "  --access-log[=FILE]    one line per request, combined log format, to standard\n"
           "                           output or appended to FILE (reopened on SIGHUP)\n";
}

}  // namespace velmora::server
