// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput (MB/s of uncompressed data) and ratio of both codecs against
// zlib levels 1 and 6 and LZ4, compressing and expanding the same inputs in
// the same run. The ratio counter is compressed size as a percentage. At the
// end a table gives each codec's speed as a multiple of zlib -6 and LZ4 on
// the same input (medians over the repetitions).
//
//   bench_compression [--input FILE]... [benchmark flags]
//
// Without --input the standard inputs are used. For figures that survive a
// busy machine, run repetitions in random interleaved order:
//   --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string_view>

#include "bench_inputs.h"
#include "compression/LZRW1KH.h"
#include "compression/lzh.h"

namespace {

using velmora::bench::Bytes;
using velmora::bench::Input;

// Each codec writes into a buffer the caller keeps between runs, so that the
// figures measure the codec rather than the allocator.
struct Codec {
    std::string name;
    std::function<void(const Bytes& input, Bytes& out)> compress;
    std::function<void(const Bytes& packed, std::size_t size, Bytes& out)> expand;
};

// The container's chunk sequence without its header: every 32768-byte block
// becomes a 2-byte length and a chunk.
void lzrwCompress(const Bytes& input, Bytes& out) {
    static velmora::TLZR coder;
    out.clear();
    out.reserve(input.size() + input.size() / 32768 * 3 + 64);
    std::uint8_t chunk[velmora::TLZR::kBlockSize + velmora::TLZR::kChunkSpare];
    std::size_t at = 0;
    do {
        const std::size_t block = std::min(velmora::TLZR::kBlockSize, input.size() - at);
        const std::size_t size = coder.compress({input.data() + at, block}, chunk);
        out.push_back(static_cast<std::uint8_t>(size));
        out.push_back(static_cast<std::uint8_t>(size >> 8));
        out.insert(out.end(), chunk, chunk + size);
        at += block;
        if (block < velmora::TLZR::kBlockSize) {
            break;
        }
    } while (true);
}

void lzrwExpand(const Bytes& packed, std::size_t size, Bytes& out) {
    out.resize(size + velmora::TLZR::kBlockSize);
    std::size_t in = 0;
    std::size_t produced = 0;
    std::size_t last = 0;
    do {
        const std::size_t length = packed[in] | (static_cast<std::size_t>(packed[in + 1]) << 8);
        const auto n = velmora::TLZR::expand({packed.data() + in + 2, length},
                                             {out.data() + produced, velmora::TLZR::kBlockSize});
        if (!n) {
            throw std::runtime_error("damaged chunk");
        }
        last = *n;
        produced += last;
        in += 2 + length;
    } while (last == velmora::TLZR::kBlockSize);
    out.resize(produced);
}

void lzhPack(const Bytes& input, Bytes& out) {
    velmora::TLZH coder;
    out.clear();
    out.reserve(input.size() / 2 + 64);
    std::size_t at = 0;
    coder.pack(
        [&](std::uint8_t* to, std::size_t count) {
            const std::size_t given = std::min(count, input.size() - at);
            std::memcpy(to, input.data() + at, given);
            at += given;
            return given;
        },
        [&](const std::uint8_t* from, std::size_t count) { out.insert(out.end(), from, from + count); });
}

void lzhUnpack(const Bytes& packed, std::size_t size, Bytes& out) {
    velmora::TLZH coder;
    out.clear();
    out.reserve(size);
    std::size_t at = 0;
    coder.unpack(
        size,
        [&](std::uint8_t* to, std::size_t count) {
            const std::size_t given = std::min(count, packed.size() - at);
            std::memcpy(to, packed.data() + at, given);
            at += given;
            return given;
        },
        [&](const std::uint8_t* from, std::size_t count) { out.insert(out.end(), from, from + count); });
}

Codec zlibCodec(int level) {
    return {"zlib" + std::to_string(level),
            [level](const Bytes& input, Bytes& out) {
                uLongf size = compressBound(static_cast<uLong>(input.size()));
                out.resize(size);
                compress2(out.data(), &size, input.data(), static_cast<uLong>(input.size()), level);
                out.resize(size);
            },
            [](const Bytes& packed, std::size_t size, Bytes& out) {
                out.resize(size);
                uLongf got = static_cast<uLongf>(size);
                uncompress(out.data(), &got, packed.data(), static_cast<uLong>(packed.size()));
                out.resize(got);
            }};
}

Codec lz4Codec() {
    return {"lz4",
            [](const Bytes& input, Bytes& out) {
                out.resize(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(input.size()))));
                const int size = LZ4_compress_default(reinterpret_cast<const char*>(input.data()),
                                                      reinterpret_cast<char*>(out.data()),
                                                      static_cast<int>(input.size()), static_cast<int>(out.size()));
                out.resize(static_cast<std::size_t>(size));
            },
            [](const Bytes& packed, std::size_t size, Bytes& out) {
                out.resize(size);
                const int got = LZ4_decompress_safe(reinterpret_cast<const char*>(packed.data()),
                                                    reinterpret_cast<char*>(out.data()),
                                                    static_cast<int>(packed.size()), static_cast<int>(size));
                out.resize(static_cast<std::size_t>(std::max(got, 0)));
            }};
}

std::vector<Codec> codecs() {
    return {{"lzrw1kh", lzrwCompress, lzrwExpand}, {"lzh", lzhPack, lzhUnpack}, zlibCodec(1), zlibCodec(6),
            lz4Codec()};
}

void setCounters(benchmark::State& state, const Input& input, const Bytes& packed) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.bytes.size()));
    state.counters["ratio_%"] = 100.0 * static_cast<double>(packed.size()) / static_cast<double>(input.bytes.size());
}

void registerAll(const std::vector<Input>& inputs) {
    for (const Input& input : inputs) {
        for (const Codec& codec : codecs()) {
            // Every codec must give its input back, or its figures mean nothing.
            Bytes packed;
            codec.compress(input.bytes, packed);
            Bytes expanded;
            codec.expand(packed, input.bytes.size(), expanded);
            if (expanded != input.bytes) {
                std::fprintf(stderr, "%s does not round-trip %s\n", codec.name.c_str(), input.name.c_str());
                std::exit(1);
            }
            for (const char* direction : {"compress", "expand"}) {
                const bool compressing = direction == std::string_view("compress");
                benchmark::RegisterBenchmark((std::string(direction) + "/" + codec.name + "/" + input.name).c_str(),
                                             [&input, codec, packed, compressing](benchmark::State& state) {
                                                 Bytes out;
                                                 for (auto _ : state) {
                                                     if (compressing) {
                                                         codec.compress(input.bytes, out);
                                                     } else {
                                                         codec.expand(packed, input.bytes.size(), out);
                                                     }
                                                     benchmark::DoNotOptimize(out.data());
                                                 }
                                                 setCounters(state, input, packed);
                                             })
                    ->Unit(benchmark::kMillisecond);
            }
        }
        benchmark::AddCustomContext("input." + input.name, input.origin);
    }
}

// Shows every run as the console does and keeps the CPU seconds per
// iteration of each, by benchmark name, for the table of ratios. CPU time,
// because on a shared machine the wall clock mostly measures the others.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                seconds_[run.run_name.function_name].push_back(run.cpu_accumulated_time /
                                                               static_cast<double>(run.iterations));
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median seconds per iteration of `name`, or 0 when it did not run.
    double median(const std::string& name) const {
        const auto found = seconds_.find(name);
        if (found == seconds_.end()) {
            return 0;
        }
        std::vector<double> values = found->second;
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

    std::size_t repetitions(const std::string& name) const {
        const auto found = seconds_.find(name);
        return found == seconds_.end() ? 0 : found->second.size();
    }

private:
    std::map<std::string, std::vector<double>> seconds_;
};

void printRatios(const RatioReporter& reporter, const std::vector<Input>& inputs) {
    std::printf("\nSpeed as a multiple of zlib -6 and LZ4 (medians of CPU time; above 1 is faster)\n");
    std::printf("%-12s %-9s %-8s %5s %10s %10s %10s\n", "input", "direction", "codec", "runs", "MB/s", "x zlib6",
                "x lz4");
    for (const Input& input : inputs) {
        const double megabytes = static_cast<double>(input.bytes.size()) / 1e6;
        for (const char* direction : {"compress", "expand"}) {
            const std::string prefix = std::string(direction) + "/";
            const std::string suffix = "/" + input.name;
            const double zlib6 = reporter.median(prefix + "zlib6" + suffix);
            const double lz4 = reporter.median(prefix + "lz4" + suffix);
            for (const char* codec : {"lzrw1kh", "lzh"}) {
                const std::string name = prefix + codec + suffix;
                const double ours = reporter.median(name);
                if (ours <= 0) {
                    continue;
                }
                // A reference left out by --benchmark_filter shows as "-".
                auto versus = [ours](double theirs) {
                    char text[16] = "-";
                    if (theirs > 0) {
                        std::snprintf(text, sizeof text, "%.2f", theirs / ours);
                    }
                    return std::string(text);
                };
                std::printf("%-12s %-9s %-8s %5zu %10.1f %10s %10s\n", input.name.c_str(), direction, codec,
                            reporter.repetitions(name), megabytes / ours, versus(zlib6).c_str(), versus(lz4).c_str());
            }
        }
    }
}

// Takes every `--input FILE` (or `--input=FILE`) out of the arguments.
std::vector<std::string> takeInputFiles(int& argc, char** argv) {
    std::vector<std::string> files;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--input" && i + 1 < argc) {
            files.emplace_back(argv[++i]);
        } else if (arg.starts_with("--input=")) {
            files.emplace_back(arg.substr(8));
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> files = takeInputFiles(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::vector<Input> inputs;
    try {
        for (const std::string& file : files) {
            inputs.push_back(velmora::bench::fileInput(file));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (files.empty()) {
        inputs = velmora::bench::inputs();
    }
    registerAll(inputs);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter, inputs);
    benchmark::Shutdown();
    return 0;
}
