// Deflating the sheet part of a large commission workbook: zlib at its default level,
// which the package writer used before, against libdeflate at the writer's level.

#include "generation/commissionworkbook.h"
#include "support/syntheticregister.h"
#include "xlsx/parts.h"
#include "xlsx/sharedstrings.h"
#include "xlsx/xmlwriter.h"
#include "xlsx/zipwriter.h"

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <string>
#include <vector>

using namespace tarvex;

namespace {

class StringSink : public xlsx::ByteSink {
public:
    bool write(const char* data, qsizetype size) override {
        text.append(data, std::size_t(size));
        return true;
    }
    std::string text;
};

// The sheet part of the workbook of 40,000 synthetic airlines (about 80 MB), made once.
const std::string& largeSheetPart() {
    static const std::string part = [] {
        CommissionWorkbook book(QStringLiteral("09.12.2024"), true);
        for (const testing::RegisterEntry& entry : testing::syntheticRegister(40000))
            book.addAirline(entry.airline, entry.conditions);
        xlsx::SharedStrings sharedStrings;
        StringSink sink;
        xlsx::writeSheetPart(*book.workbook().sheet(0), book.workbook().styles(), sharedStrings, sink);
        return sink.text;
    }();
    return part;
}

void addSizeCounters(benchmark::State& state, std::size_t compressed) {
    const std::size_t size = largeSheetPart().size();
    state.counters["part_kb"] = double(size) / 1024.0;
    state.counters["deflated_kb"] = double(compressed) / 1024.0;
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(size));
}

// Raw deflate in one call, CRC-32 included, as the writer did with zlib.
void BM_ZlibDeflate(benchmark::State& state) {
    const std::string& part = largeSheetPart();
    std::vector<Bytef> out(compressBound(uLong(part.size())));
    std::size_t compressed = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(crc32_z(0, reinterpret_cast<const Bytef*>(part.data()), part.size()));
        z_stream stream{};
        deflateInit2(&stream, int(state.range(0)), Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.data()));
        stream.avail_in = uInt(part.size());
        stream.next_out = out.data();
        stream.avail_out = uInt(out.size());
        if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
            state.SkipWithError("deflate failed");
        compressed = stream.total_out;
        deflateEnd(&stream);
    }
    addSizeCounters(state, compressed);
}

void BM_LibdeflateDeflate(benchmark::State& state) {
    const std::string& part = largeSheetPart();
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(int(state.range(0)));
    std::vector<char> out(libdeflate_deflate_compress_bound(compressor, part.size()));
    std::size_t compressed = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(libdeflate_crc32(0, part.data(), part.size()));
        compressed = libdeflate_deflate_compress(compressor, part.data(), part.size(), out.data(), out.size());
        if (compressed == 0)
            state.SkipWithError("deflate failed");
    }
    libdeflate_free_compressor(compressor);
    addSizeCounters(state, compressed);
}

// zlib at its default level against libdeflate at the writer's level, and at level 6, which
// is faster but comes out larger.
BENCHMARK(BM_ZlibDeflate)->Arg(Z_DEFAULT_COMPRESSION)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibdeflateDeflate)->Arg(xlsx::ZipWriter::kDefaultLevel)->Arg(6)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
