#include "tally/tally_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

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

std::string TallyFile::readContainer() const {
    std::error_code ec;
    auto size = std::filesystem::file_size(path_, ec);
    if (!ec && size > kMaxTallyFileSize) {
        throw TallyError(path_ + " : this file is too large for a tally file !");
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        throw TallyError("Lzrw1 (de)compression : Failed to open input file : " + path_);
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw TallyError("Lzrw1 : Error reading from input file : " + path_);
    }
    return bytes;
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
