// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-compress: the compression component on the command line.
//
//   velmora-compress compress [--mode good|fast|auto] IN OUT
//   velmora-compress decompress IN OUT
//   velmora-compress advise IN
//   velmora-compress --help | --version
//
// Prints the component's final caption; on a terminal also its progress.
// Exit status 0 on success, 1 with the component's message on failure.

#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "compression/LZRW1.h"
#include "compression/compression_error.h"
#include "velmora_version.h"

namespace {

using velmora::TCompressMode;
using velmora::Tlzrw1;

int usage() {
    std::cerr << "usage: velmora-compress compress [--mode good|fast|auto] IN OUT\n"
                 "       velmora-compress decompress IN OUT\n"
                 "       velmora-compress advise IN\n";
    return 1;
}

// The --help text; the manual page is made from it, so it is written as one.
constexpr const char* kHelp =
    "Usage: velmora-compress compress [--mode good|fast|auto] IN OUT\n"
    "  or:  velmora-compress decompress IN OUT\n"
    "  or:  velmora-compress advise IN\n"
    "Pack and unpack files with the compressor of Velmora's tally file.\n"
    "\n"
    "Commands:\n"
    "  compress IN OUT     compress the file IN into the container OUT\n"
    "  decompress IN OUT   restore the original of the container IN into OUT\n"
    "  advise IN           tell which of the two modes suits the file IN\n"
    "\n"
    "Options:\n"
    "      --mode MODE     how to compress: good (LZH, the default), fast\n"
    "                      (LZRW1/KH) or auto (the mode advise picks)\n"
    "      --help          display this help and exit\n"
    "      --version       output version information and exit\n"
    "\n"
    "The final caption of the compressor is printed on standard output; on a\n"
    "terminal its progress is shown as well.\n"
    "\n"
    "Exit status is 0 on success and 1 on failure, with the compressor's message.\n";

std::optional<TCompressMode> modeNamed(const std::string& name) {
    if (name == "good") {
        return TCompressMode::Good;
    }
    if (name == "fast") {
        return TCompressMode::Fast;
    }
    if (name == "auto") {
        return TCompressMode::Auto;
    }
    return std::nullopt;
}

// The component is made visible so that it shows its captions; the progress
// among them is drawn on a terminal only, overwriting one line.
void showCaptions(Tlzrw1& component, bool on_terminal) {
    component.OnCaption = [on_terminal](const std::string& caption) {
        if (on_terminal) {
            std::cerr << '\r' << caption << "\x1b[K" << std::flush;
        }
    };
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage();
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" && args.empty()) {
        std::cout << kHelp;
        return 0;
    }
    if (command == "--version" && args.empty()) {
        std::cout << "velmora-compress " << velmora::kVersion << '\n' << velmora::kVersionNotice;
        return 0;
    }
    Tlzrw1 component;
    if (command == "compress" && args.size() >= 2 && args[0] == "--mode") {
        const auto mode = modeNamed(args[1]);
        if (!mode) {
            return usage();
        }
        component.CompressMode = *mode;
        args.erase(args.begin(), args.begin() + 2);
    }
    const bool two_files = command == "compress" || command == "decompress";
    if (!(two_files && args.size() == 2) && !(command == "advise" && args.size() == 1)) {
        return usage();
    }
    component.InputFile = args[0];
    if (two_files) {
        component.OutputFile = args[1];
    }
    const bool on_terminal = ::isatty(STDERR_FILENO) != 0;
    showCaptions(component, on_terminal);
    try {
        if (command == "compress") {
            component.Compress();
        } else if (command == "decompress") {
            component.Decompress();
        } else {
            component.Advise();
        }
    } catch (const velmora::CompressionError& error) {
        if (on_terminal) {
            std::cerr << "\r\x1b[K";
        }
        std::cerr << error.what() << '\n';
        return 1;
    }
    if (on_terminal) {
        std::cerr << "\r\x1b[K" << std::flush;
    }
    std::cout << component.caption() << '\n';  // the success caption or the advice
    return 0;
}
