// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tally_file.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "compression/lzrw1_messages.h"
#include "platform/bounded_file.h"
#include "platform/paths.h"
#include "tally/atomic_file.h"
#include "tally/grid_text.h"
#include "tally/tally_error.h"

namespace velmora::tally {

std::string TallyFile::pathFor(const std::string& appname) {
    return platform::filesFolder(appname) + appname + "tally.tld";
}

TallyFile::TallyFile(std::string path, const TallyCodec& codec)
    : path_(std::move(path)), codec_(codec) {}

std::string TallyFile::readContainer() const { return readTallyContainer(path_); }

std::string readTallyContainer(const std::string& path) {
    platform::FileRead file = platform::readRegularFile(path, kMaxTallyFileSize);
    switch (file.status) {
        case platform::FileReadStatus::ok:
            return std::move(file.bytes);
        case platform::FileReadStatus::tooLarge:
            throw TallyError(path + " : this file is too large for a tally file !");
        case platform::FileReadStatus::failed:
            throw TallyError(lzrw1_text::kReadFile + path);
        case platform::FileReadStatus::missing:
        case platform::FileReadStatus::notRegular:
            break;
    }
    // A folder, FIFO or device cannot be the component's input file.
    throw TallyError(lzrw1_text::kOpenInputFile + path);
}

bool TallyFile::load(Tally& tally) {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) {
        return false;
    }
    try {
        std::string text = codec_.decompress(readContainer(), path_);
        tally.stringgrid_scores() = parseGridText(text);
    } catch (const std::exception& e) {
        keepDamaged_ = true;
        throw TallyError(e.what());
    }
    tally.loadtally();
    return true;
}

void TallyFile::keepDamagedFile() const {
    std::error_code ec;
    if (std::filesystem::exists(path_, ec)) {
        // When it cannot be kept, the new tally still replaces it, as it
        // always did.
        std::filesystem::rename(path_, damagedPath(), ec);
    }
}

bool TallyFile::save(const Tally& tally) noexcept {
    try {
        std::string container = codec_.compress(gridText(tally.stringgrid_scores()));
        if (keepDamaged_) {
            keepDamagedFile();
        }
        if (!replaceFileAtomically(path_, container)) {
            return false;
        }
        keepDamaged_ = false;
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace velmora::tally
