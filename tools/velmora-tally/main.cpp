// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-tally: looks into a tally file and builds one from a grid text.
//
//   velmora-tally show FILE          the totals and the top ten as a table
//   velmora-tally export FILE        the grid text the file holds
//   velmora-tally import TEXT FILE   a tally file from a grid text
//   velmora-tally --help | --version
//
// Exits 0 on success, 1 with the error's message when a file cannot be read
// or written, 2 on wrong usage.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "tally/atomic_file.h"
#include "tally/grid_text.h"
#include "tally/lzrw1_codec.h"
#include "tally/tally.h"
#include "tally/tally_error.h"
#include "tally/tally_file.h"
#include "tally/tally_table.h"
#include "velmora_version.h"

namespace {

using velmora::tally::TallyError;

constexpr const char* kUsage =
    "usage: velmora-tally show FILE\n"
    "       velmora-tally export FILE\n"
    "       velmora-tally import TEXT FILE\n";

// The --help text; the manual page is made from it, so it is written as one.
constexpr const char* kHelp =
    "Usage: velmora-tally COMMAND FILE...\n"
    "Look into a Velmora tally file (the player's totals and top ten), or build\n"
    "one from its grid text.\n"
    "\n"
    "Commands:\n"
    "  show FILE          print the totals and the top ten as a table\n"
    "  export FILE        print the grid text the file holds\n"
    "  import TEXT FILE   write the grid text TEXT into the tally file FILE\n"
    "\n"
    "Options:\n"
    "      --help         display this help and exit\n"
    "      --version      output version information and exit\n"
    "\n"
    "The game keeps its tally in velmoratally.tld beside the program when that\n"
    "folder is writable, otherwise in ~/.local/share/velmora/.\n"
    "\n"
    "Exit status is 0 on success, 1 when a file cannot be read or written or is\n"
    "damaged, and 2 on wrong usage.\n";

// The tally a file holds; a missing file is an error here, not a fresh tally.
velmora::tally::Tally loadTally(const std::string& path) {
    velmora::tally::Lzrw1Codec codec;
    velmora::tally::TallyFile file(path, codec);
    velmora::tally::Tally tally([] { return std::string(); });
    if (!file.load(tally)) {
        throw TallyError("File not found");
    }
    return tally;
}

int show(const std::string& path) {
    std::cout << velmora::tally::tallyTable(loadTally(path));
    return 0;
}

// The text exactly as the file holds it, once it has proved to be a grid text.
int exportText(const std::string& path) {
    std::string text = velmora::tally::Lzrw1Codec().decompress(velmora::tally::readTallyContainer(path), path);
    velmora::tally::parseGridText(text);
    std::cout << text;
    return 0;
}

int import(const std::string& textPath, const std::string& path) {
    velmora::tally::StringGrid grid = velmora::tally::parseGridText(velmora::tally::readGridTextFile(textPath));
    std::string container = velmora::tally::Lzrw1Codec().compress(velmora::tally::gridText(grid));
    if (!velmora::tally::replaceFileAtomically(path, container)) {
        throw TallyError("Unable to write to " + path);
    }
    return 0;
}

int run(int argc, char** argv) {
    std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "--help" && argc == 2) {
        std::cout << kHelp;
        return 0;
    }
    if (command == "--version" && argc == 2) {
        std::cout << "velmora-tally " << velmora::kVersion << "\n" << velmora::kVersionNotice;
        return 0;
    }
    if (command == "show" && argc == 3) {
        return show(argv[2]);
    }
    if (command == "export" && argc == 3) {
        return exportText(argv[2]);
    }
    if (command == "import" && argc == 4) {
        return import(argv[2], argv[3]);
    }
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "velmora-tally: " << e.what() << "\n";
        return 1;
    }
}
