// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/LZRW1.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <unistd.h>

#include "compression/compression_error.h"
#include "sample_data.h"
#include "stream_doubles.h"

namespace velmora {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

constexpr const char* kReadErrorPrefix = "Lzrw1 : Error reading from input file : ";

class Lzrw1Files : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("velmora_lzrw1_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    static void writeFile(const std::string& file, const Bytes& bytes) {
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes readFile(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), {});
    }

    // Compresses `input` through files and returns the container.
    Bytes compressFile(const Bytes& input, TCompressMode mode) {
        writeFile(path("plain"), input);
        component_.InputFile = path("plain");
        component_.OutputFile = path("packed");
        component_.CompressMode = mode;
        const auto written = component_.Compress();
        Bytes packed = readFile(path("packed"));
        EXPECT_EQ(written, static_cast<std::int64_t>(packed.size()));
        return packed;
    }

    Bytes decompressFile(const Bytes& container) {
        writeFile(path("packed"), container);
        component_.InputFile = path("packed");
        component_.OutputFile = path("unpacked");
        const auto written = component_.Decompress();
        Bytes unpacked = readFile(path("unpacked"));
        EXPECT_EQ(written, static_cast<std::int64_t>(unpacked.size()));
        return unpacked;
    }

    // Expects Decompress of `container` to fail with `message` and to leave
    // no output file behind.
    void expectDecompressFails(const Bytes& container, const std::string& message) {
        writeFile(path("packed"), container);
        component_.InputFile = path("packed");
        component_.OutputFile = path("unpacked");
        try {
            component_.Decompress();
            ADD_FAILURE() << "no failure, expected: " << message;
        } catch (const ELzrw1Exception& error) {
            EXPECT_EQ(error.what(), message);
        }
        EXPECT_FALSE(fs::exists(path("unpacked")));
    }

    fs::path folder_;
    Tlzrw1 component_;
};

Bytes header(const char* magic, std::uint32_t size) {
    return {static_cast<std::uint8_t>(magic[0]), static_cast<std::uint8_t>(magic[1]),
            static_cast<std::uint8_t>(magic[2]), static_cast<std::uint8_t>(magic[3]),
            static_cast<std::uint8_t>(size),    static_cast<std::uint8_t>(size >> 8),
            static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Lzrw1Files, ContainersOfTheWorkedExamples) {
    const Bytes tally = test::bytesOf(test::freshTallyText());
    const Bytes packed = compressFile(tally, TCompressMode::Good);
    ASSERT_EQ(packed.size(), 40u);
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 8), header("!HZL", 279));
    EXPECT_EQ(decompressFile(packed), tally);

    EXPECT_EQ(compressFile({}, TCompressMode::Good), header("!HZL", 0));
    EXPECT_EQ(compressFile({}, TCompressMode::Fast), concat(header("WRZL", 0), {0x01, 0x00, 0x80}));
    EXPECT_EQ(decompressFile(header("!HZL", 0)), Bytes{});
    EXPECT_EQ(decompressFile(concat(header("WRZL", 0), {0x01, 0x00, 0x80})), Bytes{});

    // A full block is followed by the chunk of the empty block after it.
    const Bytes same(32768, 7);
    const Bytes full = compressFile(same, TCompressMode::Fast);
    ASSERT_EQ(full.size(), 8u + 2 + 38 + 2 + 1);
    EXPECT_EQ(Bytes(full.begin() + 8, full.begin() + 10), (Bytes{38, 0}));
    EXPECT_EQ(Bytes(full.end() - 3, full.end()), (Bytes{0x01, 0x00, 0x80}));

    const Bytes random = test::randomBytes(32768 + 5, 1);
    const Bytes stored = compressFile(random, TCompressMode::Fast);
    ASSERT_EQ(stored.size(), 8u + 2 + 32769 + 2 + 6);
    EXPECT_EQ(Bytes(stored.begin() + 8, stored.begin() + 11), (Bytes{0x01, 0x80, 0x80}));
    EXPECT_EQ(decompressFile(stored), random);
}

TEST_F(Lzrw1Files, RoundTripsThroughFilesInEveryMode) {
    std::vector<Bytes> inputs;
    for (std::size_t size : {1, 100, 32767, 32768, 32769, 65536, 100000, 250000}) {
        inputs.push_back(test::wordText(size, static_cast<unsigned>(size)));
        inputs.push_back(test::randomBytes(size, static_cast<unsigned>(size)));
        inputs.push_back(test::runsOfBytes(size, static_cast<unsigned>(size)));
    }
    for (const Bytes& input : inputs) {
        for (TCompressMode mode : {TCompressMode::Good, TCompressMode::Fast, TCompressMode::Auto}) {
            const Bytes packed = compressFile(input, mode);
            EXPECT_EQ(decompressFile(packed), input) << input.size() << " mode " << static_cast<int>(mode);
        }
    }
}

TEST(Lzrw1Streams, RoundTripFromTheStreamPositionsOn) {
    for (TCompressMode mode : {TCompressMode::Good, TCompressMode::Fast}) {
        const Bytes input = test::wordText(70000, 5);
        std::stringstream plain("skip" + std::string(input.begin(), input.end()));
        plain.seekg(4);
        std::stringstream packed;
        packed << "lead";
        Tlzrw1 component;
        component.UseStream = true;
        component.InputStream = &plain;
        component.OutputStream = &packed;
        component.CompressMode = mode;
        const auto written = component.Compress();
        EXPECT_EQ(written + 4, static_cast<std::int64_t>(packed.str().size()));
        // The size stored is what remained from the starting position.
        const std::string container = packed.str().substr(4);
        EXPECT_EQ(container.substr(4, 4), std::string("\x70\x11\x01\x00", 4));

        packed.seekg(4);
        std::stringstream unpacked;
        component.InputStream = &packed;
        component.OutputStream = &unpacked;
        EXPECT_EQ(component.Decompress(), 70000);
        EXPECT_EQ(unpacked.str(), std::string(input.begin(), input.end()));
    }
}

TEST(Lzrw1Streams, ShortLzhStreamCannotExpandIntoALargeOutput) {
    // An 8-byte container announcing 64 MiB (or a stream cut down to a few
    // bytes) is damaged: the zero bits past its end produce a few KiB at
    // most before the size check fails.
    const std::string mismatch = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
    for (const Bytes& body : {Bytes{}, Bytes{0xF6, 0xC9}}) {
        const Bytes container = concat(header("!HZL", 64u << 20), body);
        std::stringstream packed(std::string(container.begin(), container.end()));
        std::stringstream unpacked;
        Tlzrw1 component;
        component.UseStream = true;
        component.InputStream = &packed;
        component.OutputStream = &unpacked;
        try {
            component.Decompress();
            ADD_FAILURE() << "no failure for a body of " << body.size() << " bytes";
        } catch (const ELzrw1Exception& error) {
            EXPECT_EQ(error.what(), mismatch);
        }
        EXPECT_LE(unpacked.str().size(), 8192u) << body.size();
    }
}

TEST_F(Lzrw1Files, AdviseJudgesSmallAndLargeInputs) {
    writeFile(path("small"), test::runsOfBytes(98303, 1));
    component_.InputFile = path("small");
    component_.CompressMode = TCompressMode::Auto;
    EXPECT_EQ(component_.Advise(), TCompressMode::Good);
    EXPECT_EQ(component_.caption(), "Lzrw1 recommends GOOD compression :  small file !!");
    EXPECT_EQ(component_.CompressMode, TCompressMode::Good);  // Auto is off from now on

    writeFile(path("runs"), test::runsOfBytes(98304, 1));
    component_.InputFile = path("runs");
    component_.CompressMode = TCompressMode::Auto;
    EXPECT_EQ(component_.Advise(), TCompressMode::Fast);
    EXPECT_EQ(component_.caption(), "Lzrw1 recommends FAST compression : 0%.");
    EXPECT_EQ(component_.CompressMode, TCompressMode::Auto);

    writeFile(path("random"), test::randomBytes(300000, 2));
    component_.InputFile = path("random");
    EXPECT_EQ(component_.Advise(), TCompressMode::Good);
    EXPECT_EQ(component_.caption(), "Lzrw1 recommends GOOD compression : 100%.");

    // Word text shrinks under LZRW1/KH, but not to nothing: the threshold decides.
    writeFile(path("words"), test::wordText(300000, 3));
    component_.InputFile = path("words");
    component_.Threshold = 5;
    EXPECT_EQ(component_.Advise(), TCompressMode::Good);
    component_.Threshold = 90;
    EXPECT_EQ(component_.Advise(), TCompressMode::Fast);

    // Auto compresses with the advised codec.
    component_.CompressMode = TCompressMode::Auto;
    component_.OutputFile = path("packed");
    component_.Compress();
    EXPECT_EQ(readFile(path("packed"))[0], 'W');
}

TEST(Lzrw1Streams, AdviseRestoresTheStreamPosition) {
    const Bytes input = test::randomBytes(200000, 4);
    std::stringstream plain(std::string(input.begin(), input.end()));
    plain.seekg(1000);
    Tlzrw1 component;
    component.UseStream = true;
    component.InputStream = &plain;
    std::vector<std::string> captions;
    component.OnCaption = [&](const std::string& text) { captions.push_back(text); };
    EXPECT_EQ(component.Advise(), TCompressMode::Good);
    EXPECT_EQ(plain.tellg(), 1000);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0], "Guessing the best compression mode for the inputstream");
}

TEST_F(Lzrw1Files, VisibleComponentShowsProgressAndResult) {
    std::vector<std::string> captions;
    int pumps = 0;
    component_.OnCaption = [&](const std::string& text) { captions.push_back(text); };
    component_.OnProcessMessages = [&] { ++pumps; };

    const Bytes input = test::wordText(100000, 9);  // four blocks in
    const Bytes packed = compressFile(input, TCompressMode::Fast);
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions.front(), "(LZRW1/KH) Bytes in : 32768 Bytes out : 8");
    EXPECT_EQ(captions.back(), path("plain") + " : Lzrw1 : successfully compressed at " +
                                   std::to_string(packed.size() * 100 / input.size()) + "%");
    EXPECT_EQ(pumps, 8);  // each of the four blocks read and written

    captions.clear();
    decompressFile(packed);
    EXPECT_EQ(captions.back(), path("packed") + " : Lzrw1 : successfully decompressed at " +
                                   std::to_string(input.size() * 100 / packed.size()) + "%");

    captions.clear();
    const Bytes lzh = compressFile(input, TCompressMode::Good);
    EXPECT_EQ(captions.front().rfind("(LZH) Bytes in : 32768 Bytes out : 8", 0), 0u);
    EXPECT_EQ(captions.back(), path("plain") + " : Lzrw1 : successfully compressed at " +
                                   std::to_string(lzh.size() * 100 / input.size()) + "%");
}

TEST_F(Lzrw1Files, HiddenComponentKeepsItsCaptionForAdviseOnly) {
    compressFile(test::wordText(1000, 1), TCompressMode::Good);
    EXPECT_EQ(component_.caption(), "");
    component_.Advise();
    EXPECT_EQ(component_.caption(), "Lzrw1 recommends GOOD compression :  small file !!");
}

TEST_F(Lzrw1Files, FailuresToFindOpenOrCreateTheFiles) {
    const std::string missing = path("missing");
    const std::string unwritable = path("no/such/folder/out");
    writeFile(path("plain"), test::wordText(100, 1));
    writeFile(path("keep"), {1, 2, 3});

    auto expectFailure = [](auto&& operation, const std::string& message) {
        try {
            operation();
            ADD_FAILURE() << "no failure, expected: " << message;
        } catch (const ELzrw1Exception& error) {
            EXPECT_EQ(error.what(), message);
        }
    };
    component_.InputFile = missing;
    component_.OutputFile = path("keep");
    expectFailure([&] { component_.Compress(); }, "Lzrw1 compression : Failed to obtain the size of : " + missing);
    expectFailure([&] { component_.Decompress(); }, "Lzrw1 (de)compression : Failed to open input file : " + missing);
    expectFailure([&] { component_.Advise(); }, "Lzrw1 advise : can not get the size of : " + missing);
    EXPECT_EQ(readFile(path("keep")), (Bytes{1, 2, 3}));  // failed before the output was touched

    component_.InputFile = path("plain");
    component_.OutputFile = unwritable;
    expectFailure([&] { component_.Compress(); },
                  "Lzrw1 (de)compression : Failed to open output file : " + unwritable);
    expectFailure([&] { component_.Decompress(); },
                  "Lzrw1 (de)compression : Failed to open output file : " + unwritable);

    Tlzrw1 streams;
    streams.UseStream = true;
    expectFailure([&] { streams.Compress(); }, "Lzrw1 compression : Failed to obtain the size of the input stream !");
    expectFailure([&] { streams.Decompress(); }, "Lzrw1 (de)compression : Failed to initialize input stream !");
    expectFailure([&] { streams.Advise(); }, "Lzrw1 advise : can not get size of inputstream !");
    std::stringstream input("abc");
    streams.InputStream = &input;
    expectFailure([&] { streams.Compress(); }, "Lzrw1 (de)compression : Failed to initialize output stream !");
}

TEST_F(Lzrw1Files, DamagedHeadersAndSizesAreRejected) {
    const std::string name = path("packed");
    const std::string read_error = kReadErrorPrefix + name;
    expectDecompressFails({}, read_error);
    expectDecompressFails({'!', 'H', 'Z'}, read_error);
    expectDecompressFails({'!', 'H', 'Z', 'L', 0, 0}, read_error);
    expectDecompressFails({'L', 'Z', 'H', '!', 0, 0, 0, 0}, name + " : Lzrw1 decompression : this file has no valid header !");

    const std::string lzh_mismatch = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
    // Ten "a" coded, five announced: the last match runs past the size.
    expectDecompressFails(concat(header("!HZL", 5), {0xF6, 0xC9, 0x00, 0x00}), lzh_mismatch);

    const std::string lzrw_mismatch = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
    const Bytes abc = {0x08, 0x00, 0x40, 0x10, 0x00, 0x61, 0x62, 0x63, 0x00, 0x39};
    EXPECT_EQ(decompressFile(concat(header("WRZL", 15), abc)), test::bytesOf("abcabcabcabcabc"));
    expectDecompressFails(concat(header("WRZL", 14), abc), lzrw_mismatch);
    expectDecompressFails(concat(header("WRZL", 16), abc), lzrw_mismatch);
    // A copy reaching back before the chunk's start.
    expectDecompressFails(concat(header("WRZL", 3), {0x05, 0x00, 0x40, 0x80, 0x00, 0x00, 0x50}), lzrw_mismatch);
    // A chunk length no compressor writes.
    expectDecompressFails(concat(header("WRZL", 3), {0x02, 0x80, 0x80}), read_error);
}

TEST_F(Lzrw1Files, TruncatedContainersAreRejectedAndLeaveNoOutput) {
    const Bytes input = test::wordText(80000, 6);
    const Bytes fast = compressFile(input, TCompressMode::Fast);
    const std::string read_error = kReadErrorPrefix + path("packed");
    for (std::size_t cut : {std::size_t{9}, std::size_t{10}, std::size_t{500}, fast.size() / 2, fast.size() - 1}) {
        expectDecompressFails(Bytes(fast.begin(), fast.begin() + static_cast<std::ptrdiff_t>(cut)), read_error);
    }
    // An LZH stream cut a few bytes short reads zero bits for the missing
    // part: it decodes as the same stream padded with zero bytes would, and
    // fails only when the decoded length differs from the size. Cut further,
    // the zero bits alone would have to produce more than a few KiB, which
    // marks the stream as damaged.
    const Bytes good = compressFile(input, TCompressMode::Good);
    const std::string mismatch = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
    auto outcome = [&](const Bytes& container) -> std::string {
        try {
            const Bytes unpacked = decompressFile(container);
            return unpacked.size() == input.size() ? std::string(unpacked.begin(), unpacked.end()) : "wrong size";
        } catch (const ELzrw1Exception& error) {
            return error.what();
        }
    };
    for (std::size_t missing : {std::size_t{1}, std::size_t{3}}) {
        Bytes shortened(good.begin(), good.end() - static_cast<std::ptrdiff_t>(missing));
        const std::string result = outcome(shortened);
        shortened.resize(good.size() + 100, 0);
        EXPECT_EQ(result, outcome(shortened)) << missing;
        EXPECT_TRUE(result == mismatch || result.size() == input.size()) << missing;
    }
    for (std::size_t cut = 9; cut < good.size() - 2000; cut += good.size() / 7) {
        expectDecompressFails(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), mismatch);
    }
    // Ten "a" end in two zero bytes; without them they still expand.
    EXPECT_EQ(decompressFile(concat(header("!HZL", 10), {0xF6, 0xC9})), Bytes(10, 'a'));
}

TEST_F(Lzrw1Files, DamagedBodiesFailWithTheComponentsMessagesOnly) {
    const std::set<std::string> known = {
        kReadErrorPrefix + path("packed"),
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !",
        "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !"};
    std::mt19937 engine(12);
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        const Bytes packed = compressFile(test::wordText(70000, 8), mode);
        for (int trial = 0; trial < 40; ++trial) {
            Bytes damaged = packed;
            for (int flips = 0; flips < 3; ++flips) {
                damaged[8 + engine() % (damaged.size() - 8)] ^= static_cast<std::uint8_t>(1 + engine() % 255);
            }
            writeFile(path("packed"), damaged);
            component_.InputFile = path("packed");
            component_.OutputFile = path("unpacked");
            try {
                EXPECT_EQ(component_.Decompress(), 70000);
            } catch (const ELzrw1Exception& error) {
                EXPECT_TRUE(known.count(error.what())) << error.what();
                EXPECT_FALSE(fs::exists(path("unpacked")));
            }
        }
    }
}

TEST(Lzrw1Streams, ReadFailuresNameTheirCodec) {
    const Bytes input = test::wordText(100000, 4);
    auto failure = [](Tlzrw1& component, auto&& operation) -> std::string {
        try {
            operation(component);
        } catch (const ELzrw1Exception& error) {
            return error.what();
        }
        return "no failure";
    };
    Tlzrw1 component;
    component.UseStream = true;
    std::stringstream sink;
    component.OutputStream = &sink;

    test::BrokenInput broken(input, 40000);
    std::istream in(&broken);
    component.InputStream = &in;
    component.CompressMode = TCompressMode::Good;
    EXPECT_EQ(failure(component, [](Tlzrw1& c) { c.Compress(); }), "Lzrw1 : Error reading from input stream ! (LZH)");

    test::BrokenInput broken_again(input, 40000);
    std::istream again(&broken_again);
    component.InputStream = &again;
    component.CompressMode = TCompressMode::Fast;
    EXPECT_EQ(failure(component, [](Tlzrw1& c) { c.Compress(); }),
              "Lzrw1 : Error reading from input stream ! (LZRW1/KH)");

    test::BrokenInput broken_sample(input, 40000);
    std::istream sample(&broken_sample);
    component.InputStream = &sample;
    EXPECT_EQ(failure(component, [](Tlzrw1& c) { c.Advise(); }), "Lzrw1 advise : input stream read error !");

    // A container whose body cannot be read.
    std::stringstream packed;
    component.InputStream = nullptr;
    std::stringstream plain(std::string(input.begin(), input.end()));
    component.InputStream = &plain;
    component.OutputStream = &packed;
    component.CompressMode = TCompressMode::Good;
    component.Compress();
    const std::string container = packed.str();
    test::BrokenInput broken_lzh(Bytes(container.begin(), container.end()), 100);
    std::istream lzh(&broken_lzh);
    component.InputStream = &lzh;
    component.OutputStream = &sink;
    EXPECT_EQ(failure(component, [](Tlzrw1& c) { c.Decompress(); }), "Lzrw1 : Error reading from input stream ! (LZH)");

    test::BrokenInput broken_header(Bytes(container.begin(), container.end()), 6);
    std::istream header_only(&broken_header);
    component.InputStream = &header_only;
    EXPECT_EQ(failure(component, [](Tlzrw1& c) { c.Decompress(); }), "Lzrw1 : Error reading from input stream !");
}

TEST(Lzrw1Streams, WriteFailuresAreReported) {
    const Bytes input = test::wordText(100000, 4);
    for (TCompressMode mode : {TCompressMode::Good, TCompressMode::Fast}) {
        std::stringstream plain(std::string(input.begin(), input.end()));
        test::FullOutput full(1000);
        std::ostream out(&full);
        Tlzrw1 component;
        component.UseStream = true;
        component.InputStream = &plain;
        component.OutputStream = &out;
        component.CompressMode = mode;
        EXPECT_THROW(
            {
                try {
                    component.Compress();
                } catch (const ELzrw1Exception& error) {
                    EXPECT_STREQ(error.what(), "Lzrw1 : Error writing to output stream !");
                    throw;
                }
            },
            ELzrw1Exception);
    }
}

TEST_F(Lzrw1Files, WriteFailureDeletesThePartOfTheOutputFile) {
    writeFile(path("plain"), test::randomBytes(200000, 3));
    component_.InputFile = path("plain");
    component_.OutputFile = path("packed");
    component_.CompressMode = TCompressMode::Fast;
    // A file size limit makes the disk look full after 50000 bytes.
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ::getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit limit = old_limit;
    limit.rlim_cur = 50000;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string message;
    try {
        component_.Compress();
    } catch (const ELzrw1Exception& error) {
        message = error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(message, "Lzrw1 : Error writing to output file : " + path("packed"));
    EXPECT_FALSE(fs::exists(path("packed")));
}

}  // namespace
}  // namespace velmora
