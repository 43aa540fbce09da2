// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tally_file.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "compression/LZRW1.h"
#include "tally/grid_text.h"
#include "tally/lzrw1_codec.h"
#include "tally/tally_error.h"

namespace velmora::tally {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The container of mode Fast, which the program reads but never writes.
std::string fastContainer(const std::string& text) {
    std::istringstream input(text);
    std::ostringstream output;
    Tlzrw1 doit;
    doit.UseStream = true;
    doit.InputStream = &input;
    doit.OutputStream = &output;
    doit.CompressMode = TCompressMode::Fast;
    doit.Compress();
    return output.str();
}

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class TallyFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("velmora_tallyfile_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = (folder / "velmoratally.tld").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    static Tally newTally() { return Tally([] { return std::string("3/4/21"); }); }

    // A tally with some games in it.
    static Tally playedTally() {
        Tally tally = newTally();
        tally.addtomineincrease(1, 2);
        tally.addtomineincrease(2, 17);
        tally.checkscore(1200, "Ann Lee");
        tally.checkscore(40, "O'Brien, Jr. (#2)");
        tally.addtomineincrease(5, 1240);
        tally.checkchange(4, 3);
        return tally;
    }

    std::string loadError(Tally& tally, TallyFile& file) {
        try {
            file.load(tally);
        } catch (const TallyError& e) {
            return e.what();
        }
        return "no error";
    }

    Lzrw1Codec codec;
    fs::path folder;
    std::string path;
};

TEST_F(TallyFileTest, AFreshTallyWritesAGoodModeContainerOf40Bytes) {
    TallyFile file(path, codec);
    Tally tally = newTally();
    EXPECT_FALSE(file.load(tally));  // no file: nothing happens
    EXPECT_EQ(tally.labels().rank(RankLabel::Name, 1).caption, "Nivolt");
    ASSERT_TRUE(file.save(tally));
    std::string bytes = readBytes(path);
    EXPECT_EQ(bytes.substr(0, 8), std::string("!HZL\x17\x01\x00\x00", 8));
    EXPECT_EQ(bytes.size(), 40u);
    EXPECT_EQ(codec.decompress(bytes, path), gridText(newTally().stringgrid_scores()));
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"velmoratally.tld"});
}

TEST_F(TallyFileTest, RoundTripsTheGridWithNamesHoldingBlanksAndPunctuation) {
    Tally played = playedTally();
    ASSERT_TRUE(TallyFile(path, codec).save(played));

    Tally loaded = newTally();
    TallyFile file(path, codec);
    ASSERT_TRUE(file.load(loaded));
    EXPECT_EQ(loaded.stringgrid_scores(), played.stringgrid_scores());
    EXPECT_EQ(loaded.labels().rank(RankLabel::Name, 2).caption, "O'Brien, Jr. (#2)");
    EXPECT_EQ(loaded.labels().rank(RankLabel::High, 1).tag, 1200);
    EXPECT_EQ(loaded.labels().rank(RankLabel::High, 3).caption, "");
    EXPECT_EQ(loaded.labels().total(5).caption, "1240");
    // The highlight is not saved.
    EXPECT_EQ(loaded.labels().rank(RankLabel::Name, 2).colour, kPale);
}

TEST_F(TallyFileTest, ReadsAFastModeContainerToo) {
    std::string container = fastContainer(gridText(playedTally().stringgrid_scores()));
    ASSERT_EQ(container.substr(0, 4), "WRZL");
    writeBytes(path, container);

    Tally loaded = newTally();
    TallyFile file(path, codec);
    ASSERT_TRUE(file.load(loaded));
    EXPECT_EQ(loaded.stringgrid_scores(), playedTally().stringgrid_scores());
}

TEST_F(TallyFileTest, AnUnreadableFileIsReportedAndKeptAsBadAtTheNextSave) {
    struct Damage {
        std::string bytes;
        std::string message;
    };
    std::string badText = codec.compress("9\r\nrows\r\n");
    std::string wrongSize = fastContainer(gridText(newTally().stringgrid_scores()));
    wrongSize[4] = '\x16';  // 278 where the chunks hold 279
    std::vector<Damage> damages = {
        {"XXXX\x17\x01\x00\x00junk", path + " : Lzrw1 decompression : this file has no valid header !"},
        {"!HZ", "Lzrw1 : Error reading from input file : " + path},
        {wrongSize, "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"},
        {badText, "Invalid numeric input"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.message);
        writeBytes(path, damage.bytes);
        TallyFile file(path, codec);
        Tally tally = newTally();
        EXPECT_EQ(loadError(tally, file), damage.message);
        EXPECT_EQ(tally.stringgrid_scores(), newTally().stringgrid_scores());
        EXPECT_EQ(tally.labels().rank(RankLabel::Name, 1).caption, "Nivolt");

        tally.addtomineincrease(1, 1);
        ASSERT_TRUE(file.save(tally));
        EXPECT_EQ(readBytes(file.damagedPath()), damage.bytes);  // replaces the older one
        Tally reloaded = newTally();
        ASSERT_TRUE(TallyFile(path, codec).load(reloaded));
        EXPECT_EQ(reloaded.labels().total(1).caption, "1");
    }
    EXPECT_EQ(folderEntries(folder),
              (std::vector<std::string>{"velmoratally.tld", "velmoratally.tld.bad"}));
}

TEST_F(TallyFileTest, AReadableFileIsNotKeptAsBad) {
    ASSERT_TRUE(TallyFile(path, codec).save(playedTally()));
    TallyFile file(path, codec);
    Tally tally = newTally();
    ASSERT_TRUE(file.load(tally));
    ASSERT_TRUE(file.save(tally));
    EXPECT_FALSE(fs::exists(file.damagedPath()));
}

TEST_F(TallyFileTest, AHugeSizeFieldIsRefusedWithoutFillingMemory) {
    // With no stream behind it, the size is refused as damage after a few
    // KiB decoded from the zero bits past the end.
    writeBytes(path, std::string("!HZL\xFF\xFF\xFF\x7F", 8));
    TallyFile file(path, codec);
    Tally tally = newTally();
    EXPECT_EQ(loadError(tally, file),
              "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    // A real stream that expands past what a tally text may be stops there.
    std::string packed = codec.compress(std::string(kMaxTallyTextSize + 4096, ' '));
    ASSERT_LT(packed.size(), kMaxTallyFileSize);
    packed.replace(4, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    writeBytes(path, packed);
    EXPECT_EQ(loadError(tally, file),
              path + " : Lzrw1 decompression : the expanded data is too large !");
}

TEST_F(TallyFileTest, NothingIsWrittenOutsideTheTallyFilesFolder) {
    fs::path cwd = folder / "cwd";
    fs::create_directories(cwd);
    fs::path before = fs::current_path();
    fs::current_path(cwd);
    TallyFile file(path, codec);
    Tally tally = newTally();
    EXPECT_TRUE(file.save(tally));
    EXPECT_TRUE(file.load(tally));
    fs::current_path(before);
    EXPECT_TRUE(fs::is_empty(cwd));
    EXPECT_EQ(folderEntries(folder), (std::vector<std::string>{"cwd", "velmoratally.tld"}));
}

TEST_F(TallyFileTest, ASaveThatCannotWriteFailsSilentlyAndKeepsTheOldFile) {
    ASSERT_TRUE(TallyFile(path, codec).save(playedTally()));
    std::string old = readBytes(path);
    EXPECT_FALSE(TallyFile((folder / "missing" / "velmoratally.tld").string(), codec)
                     .save(playedTally()));

    // A file size limit below the new file's size makes the write stop
    // midway, as a full disk would.
    Tally bigger = playedTally();
    bigger.checkscore(999, "a name that makes the file longer");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{20, 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bool saved = TallyFile(path, codec).save(bigger);
        ::_exit(saved ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save should have failed";
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"velmoratally.tld"});
}

// Neither a FIFO nor a device may hang start-up or be read without end, and
// a folder is reported in the component's words, not the C++ library's.
TEST_F(TallyFileTest, APathThatIsNoRegularFileGetsTheComponentsOpenMessage) {
    const std::string expected = "Lzrw1 (de)compression : Failed to open input file : " + path;
    auto makeFolder = [this] { fs::create_directory(path); };
    auto makeFifo = [this] { ::mkfifo(path.c_str(), 0600); };
    auto linkToZero = [this] { fs::create_symlink("/dev/zero", path); };
    for (const auto& make : {std::function<void()>(makeFolder), std::function<void()>(makeFifo),
                             std::function<void()>(linkToZero)}) {
        fs::remove_all(path);
        make();
        TallyFile file(path, codec);
        Tally tally = newTally();
        EXPECT_EQ(loadError(tally, file), expected);
        EXPECT_EQ(tally.stringgrid_scores(), newTally().stringgrid_scores());
        EXPECT_THROW(readTallyContainer(path), TallyError);
    }
    fs::remove_all(path);
    writeBytes(path, "!HZL");
    fs::resize_file(path, kMaxTallyFileSize + 1);
    TallyFile file(path, codec);
    Tally tally = newTally();
    EXPECT_EQ(loadError(tally, file), path + " : this file is too large for a tally file !");
}

TEST_F(TallyFileTest, ASaveRemovesTheTemporariesOfKilledSaves) {
    const fs::path stale = folder / ".velmoratally.tld.x1Y2z3";
    writeBytes(stale, "!HZL\x17\x01");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    ASSERT_TRUE(TallyFile(path, codec).save(playedTally()));
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"velmoratally.tld"});
}

TEST(TallyFilePath, IsTheAppnameTallyFileInTheFilesFolder) {
    std::string path = TallyFile::pathFor("velmora");
    EXPECT_TRUE(path.ends_with("/velmoratally.tld")) << path;
}

}  // namespace
}  // namespace velmora::tally
