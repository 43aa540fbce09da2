// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/admin_command.h"

#include <charconv>
#include <ctime>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "server/backup.h"
#include "server/moderation.h"
#include "server/options.h"
#include "server/pg_store.h"
#include "server/store.h"

namespace velmora::server {

namespace {

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct AdminCall {
    std::string database;
    std::vector<std::string> words;  // the command and its arguments
    bool help = false;
};

// "--db" may stand anywhere; everything else is the command's.
AdminCall readCall(const std::vector<std::string>& words) {
    AdminCall call;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            call.help = true;
        } else if (word.starts_with("--db=")) {
            call.database = word.substr(5);
        } else if (word == "--db") {
            if (i + 1 == words.size()) {
                throw UsageError("--db needs a value");
            }
            call.database = words[++i];
        } else {
            call.words.push_back(word);
        }
    }
    if (call.database.empty()) {
        call.database = defaultDatabasePath();
    }
    return call;
}

int64_t parseId(const std::string& text) {
    int64_t id = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || id <= 0) {
        throw UsageError("not a score id: \"" + text + "\"");
    }
    return id;
}

// "YYYY-MM-DD" as the first second of that day, UTC.
int64_t parseDay(const std::string& text) {
    std::tm day{};
    int year = 0;
    int month = 0;
    int mday = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &mday, &tail) != 3 || month < 1 ||
        month > 12 || mday < 1 || mday > 31) {
        throw UsageError("--since wants a day as YYYY-MM-DD, got \"" + text + "\"");
    }
    day.tm_year = year - 1900;
    day.tm_mon = month - 1;
    day.tm_mday = mday;
    return static_cast<int64_t>(timegm(&day));
}

std::string utcTime(int64_t seconds) {
    std::time_t when = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

std::string describe(const ListedScore& score) {
    return std::to_string(score.id) + "\t" + std::to_string(score.score) + "\t" + score.name +
           "\t" + score.date + "\t" + utcTime(score.received) + "\t" +
           (score.poster.empty() ? "-" : score.poster) + "\t" + (score.hidden ? "hidden" : "shown");
}

const char* const kListHeader = "id\tscore\tname\tdate\treceived (UTC)\tposter\tpage\n";

ScoreFilter readFilter(const std::vector<std::string>& args) {
    ScoreFilter filter;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i + 1 == args.size()) {
            throw UsageError(args[i] + " needs a value");
        }
        const std::string& value = args[i + 1];
        if (args[i] == "--top") {
            filter.top = static_cast<size_t>(parseId(value));
        } else if (args[i] == "--name") {
            try {
                likePatternOf(value);
            } catch (const std::invalid_argument& error) {
                throw UsageError(error.what());
            }
            filter.namePattern = value;
        } else if (args[i] == "--since") {
            filter.since = parseDay(value);
        } else {
            throw UsageError("list takes --top N, --name PATTERN and --since YYYY-MM-DD, not \"" +
                             args[i] + "\"");
        }
        ++i;
    }
    return filter;
}

int listScores(Moderation& moderation, const ScoreFilter& filter, std::ostream& out) {
    out << kListHeader;
    for (const ListedScore& score : moderation.list(filter)) {
        out << describe(score) << "\n";
    }
    return 0;
}

struct Removal {
    std::vector<int64_t> ids;
    bool banPosters = false;
};

Removal readRemoval(const std::vector<std::string>& args) {
    Removal removal;
    for (const std::string& arg : args) {
        if (arg == "--ban-poster") {
            removal.banPosters = true;
        } else {
            removal.ids.push_back(parseId(arg));
        }
    }
    if (removal.ids.empty()) {
        throw UsageError("remove needs one or more score ids");
    }
    return removal;
}

void banPosterOf(Moderation& moderation, const ListedScore& removed, std::ostream& out) {
    if (removed.poster.empty()) {
        out << "score " << removed.id << " has no poster key to ban\n";
    } else if (!moderation.ban(BanKind::poster, removed.poster)) {
        out << "poster \"" << removed.poster << "\" was banned already\n";
    } else {
        out << "banned poster \"" << removed.poster << "\": hides "
            << moderation.hiddenBy(BanKind::poster, removed.poster) << " stored scores\n";
    }
}

int removeScores(Moderation& moderation, const Removal& removal, std::ostream& out,
                 std::ostream& err) {
    int status = 0;
    for (int64_t id : removal.ids) {
        if (std::optional<ListedScore> removed = moderation.remove(id)) {
            out << "removed " << describe(*removed) << "\n";
            if (removal.banPosters) {
                banPosterOf(moderation, *removed, out);
            }
        } else {
            err << "velmora-server admin: no score with id " << id << "\n";
            status = 1;
        }
    }
    return status;
}

// The kind and checked value of "ban"/"unban KIND VALUE".
std::pair<BanKind, std::string> banTarget(const std::string& command,
                                          const std::vector<std::string>& args) {
    if (args.size() != 2 || (args[0] != "name" && args[0] != "poster")) {
        throw UsageError(command + " wants \"name PATTERN\" or \"poster KEY\"");
    }
    if (args[0] == "name") {
        try {
            likePatternOf(args[1]);
        } catch (const std::invalid_argument& error) {
            throw UsageError(error.what());
        }
        return {BanKind::name, args[1]};
    }
    if (!isPosterKey(args[1])) {
        throw UsageError("a poster key is 16 hex digits as \"list\" shows them, not \"" + args[1] +
                         "\"");
    }
    return {BanKind::poster, args[1]};
}

int banOrUnban(Moderation& moderation, const std::string& command,
               const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto [kind, value] = banTarget(command, args);
    std::string what = std::string(banKindName(kind)) + " \"" + value + "\"";
    if (command == "ban") {
        if (!moderation.ban(kind, value)) {
            out << what << " was banned already\n";
        } else {
            out << "banned " << what << ": hides " << moderation.hiddenBy(kind, value)
                << " stored scores\n";
        }
        return 0;
    }
    if (!moderation.unban(kind, value)) {
        err << "velmora-server admin: " << what << " is not banned\n";
        return 1;
    }
    out << "unbanned " << what << "\n";
    return 0;
}

int listBans(Moderation& moderation, std::ostream& out) {
    out << "kind\tvalue\tmade (UTC)\n";
    for (const Ban& ban : moderation.bans()) {
        out << banKindName(ban.kind) << "\t" << ban.value << "\t" << utcTime(ban.made) << "\n";
    }
    return 0;
}

int backup(const std::string& database, const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 1) {
        throw UsageError("backup wants the name of the copy to make");
    }
    if (isPostgresUri(database)) {
        throw StoreError("backup copies an SQLite file; for PostgreSQL use pg_dump");
    }
    uint64_t scores = backupSqliteDatabase(database, args[0]);
    out << "copied " << scores << " scores to " << args[0] << "\n";
    return 0;
}

int run(const AdminCall& call, std::ostream& out, std::ostream& err) {
    if (call.words.empty()) {
        throw UsageError("which command?");
    }
    const std::string& command = call.words[0];
    std::vector<std::string> args(call.words.begin() + 1, call.words.end());
    if (command == "backup") {
        return backup(call.database, args, out);
    }
    if (command != "list" && command != "remove" && command != "ban" && command != "unban" &&
        command != "bans") {
        throw UsageError("unknown command \"" + command + "\"");
    }
    if (command == "bans" && !args.empty()) {
        throw UsageError("bans takes no arguments");
    }
    // Arguments are checked before the database is touched.
    ScoreFilter filter = command == "list" ? readFilter(args) : ScoreFilter{};
    Removal removal = command == "remove" ? readRemoval(args) : Removal{};
    if (command == "ban" || command == "unban") {
        banTarget(command, args);
    }
    std::unique_ptr<Moderation> moderation = openModeration(call.database);
    if (command == "list") {
        return listScores(*moderation, filter, out);
    }
    if (command == "remove") {
        return removeScores(*moderation, removal, out, err);
    }
    if (command == "bans") {
        return listBans(*moderation, out);
    }
    return banOrUnban(*moderation, command, args, out, err);
}

}  // namespace

int runAdminCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    try {
        AdminCall call = readCall(words);
        if (call.help) {
            out << adminUsageText();
            return 0;
        }
        return run(call, out, err);
    } catch (const UsageError& error) {
        err << "velmora-server admin: " << error.what() << "\n" << adminUsageText();
        return 2;
    } catch (const std::exception& error) {
        err << "velmora-server admin: " << error.what() << "\n";
        return 1;
    }
}

std::string adminUsageText() {
    return "Usage: velmora-server admin [--db=FILE|URI] COMMAND [ARGUMENT]...\n"
           "Moderate and back up a score list, also while servers run on it.\n"
           "\n"
           "  list [--top N] [--name PATTERN] [--since YYYY-MM-DD]\n"
           "                         the best N scores (default 20) with id, name, date,\n"
           "                           time received, poster key and whether a ban hides them\n"
           "  remove [--ban-poster] ID...\n"
           "                         delete scores (every server's page drops them within a\n"
           "                           second) and with --ban-poster ban their posters too\n"
           "  ban name PATTERN       refuse later posts under matching names and hide the\n"
           "                           stored ones (* any characters, ? one; case ignored)\n"
           "  ban poster KEY         the same for everything one poster sends\n"
           "  unban name PATTERN, unban poster KEY\n"
           "  bans                   the bans in force\n"
           "  backup FILE            a consistent copy of a running SQLite list in FILE\n"
           "                           (PostgreSQL: use pg_dump)\n"
           "\n"
           "  --db=FILE|URI          the score database, as the server's --db\n"
           "                           (default " +
           defaultDatabasePath() +
           ")\n"
           "  -h, --help             display this help and exit\n";
}

}  // namespace velmora::server
