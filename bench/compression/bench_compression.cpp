// Throughput (MB/s of uncompressed data) and ratio of both codecs against
// zlib levels 1 and 6 and LZ4, compressing and expanding the same inputs in
// the same run. The ratio counter is compressed size as a percentage.

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>

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

void registerAll() {
    for (const Input& input : velmora::bench::inputs()) {
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
            benchmark::RegisterBenchmark(("compress/" + codec.name + "/" + input.name).c_str(),
                                         [&input, codec, packed](benchmark::State& state) {
                                             Bytes out;
                                             for (auto _ : state) {
                                                 codec.compress(input.bytes, out);
                                                 benchmark::DoNotOptimize(out.data());
                                             }
                                             setCounters(state, input, packed);
                                         })
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("expand/" + codec.name + "/" + input.name).c_str(),
                                         [&input, codec, packed](benchmark::State& state) {
                                             Bytes out;
                                             for (auto _ : state) {
                                                 codec.expand(packed, input.bytes.size(), out);
                                                 benchmark::DoNotOptimize(out.data());
                                             }
                                             setCounters(state, input, packed);
                                         })
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::AddCustomContext("input." + input.name, input.origin);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
