// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tally file: the grid text of the tally, compressed into one container
// ("!HZL", the text's length, the LZH stream), read once when the tally list
// window is created and written once when it is destroyed.
//
// Saving never leaves the player without a tally file: the new file is
// written beside the old one and renamed over it only when complete. A tally
// file that could not be read at start is not lost either: before the new
// tally is written it is kept as "<name>.bad", replacing an older one.

#include <string>

#include "tally/tally.h"
#include "tally/tally_codec.h"

namespace velmora::tally {

// Larger files cannot be a tally and are not read into memory.
inline constexpr size_t kMaxTallyFileSize = size_t{16} << 20;

// The bytes of the tally file at `path`, read only from a regular file and
// never beyond kMaxTallyFileSize. Throws TallyError with the component's
// "Failed to open input file" text when there is no such regular file (a
// folder, a FIFO, a device), its read error text when reading fails, and
// "<path> : this file is too large for a tally file !" past the cap.
std::string readTallyContainer(const std::string& path);

class TallyFile {
public:
    // The tally file of the program: appname + "tally.tld" in the folder that
    // holds the program's files (platform::filesFolder).
    static std::string pathFor(const std::string& appname);

    // codec must outlive this object.
    TallyFile(std::string path, const TallyCodec& codec);

    const std::string& path() const { return path_; }
    // Where an unreadable tally file is kept: path + ".bad".
    std::string damagedPath() const { return path_ + ".bad"; }

    // Reads the tally file into the tally's grid and runs loadtally. Returns
    // false, changing nothing, when there is no tally file. Throws TallyError
    // with the component's message, "Invalid numeric input" or "File not
    // found" when the file cannot be read; the tally then keeps its state and
    // the next save keeps the unreadable file as damagedPath().
    bool load(Tally& tally);

    // Writes the tally's grid to the tally file. Silent: returns false on
    // any failure, and then the tally file is as it was (or, when it was
    // unreadable, already kept as damagedPath()).
    bool save(const Tally& tally) noexcept;

private:
    std::string readContainer() const;
    void keepDamagedFile() const;

    std::string path_;
    const TallyCodec& codec_;
    bool keepDamaged_ = false;
};

}  // namespace velmora::tally
