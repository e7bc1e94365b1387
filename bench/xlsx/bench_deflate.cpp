// Deflating the sheet part of a large commission workbook: zlib at its default level in one
// pass, the size to stay within; libdeflate in one pass, as the writer compresses whole parts;
// and zlib in chunks on worker threads, as the writer compresses a sheet written row by row.

#include "generation/commissionworkbook.h"
#include "support/syntheticregister.h"
#include "xlsx/chunkeddeflate.h"
#include "xlsx/zipwriter.h"
#include "zipentries.h"

#include <QBuffer>

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tarvex;

namespace {

// The sheet part of the workbook of 40,000 synthetic airlines (about 80 MB), made once.
const std::string& largeSheetPart() {
    static const std::string part = [] {
        CommissionWorkbook book(QStringLiteral("09.12.2024"), true);
        for (const testing::RegisterEntry& entry : testing::syntheticRegister(40000))
            book.addAirline(entry.airline, entry.conditions);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        book.writePackage(buffer);
        const QByteArray part = readZip(buffer.data()).data(QStringLiteral("xl/worksheets/sheet1.xml"));
        return std::string(part.constData(), std::size_t(part.size()));
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

void BM_ChunkedDeflate(benchmark::State& state) {
    const std::string& part = largeSheetPart();
    std::size_t compressed = 0;
    for (auto _ : state) {
        xlsx::ChunkedDeflate deflate;
        // In the pieces the XML writer hands on.
        constexpr std::size_t kPiece = 64 * 1024;
        for (std::size_t at = 0; at < part.size(); at += kPiece)
            deflate.write(part.data() + at, qsizetype(std::min(kPiece, part.size() - at)));
        const xlsx::DeflatedData data = deflate.finish();
        if (data.failed)
            state.SkipWithError("deflate failed");
        compressed = data.compressedSize();
    }
    addSizeCounters(state, compressed);
}

// zlib at its default level against libdeflate at the writer's level, and at level 6, which
// is faster but comes out larger; the chunked zlib as the writer runs it. Its time is wall
// time: the chunks are compressed on up to four threads.
BENCHMARK(BM_ZlibDeflate)->Arg(Z_DEFAULT_COMPRESSION)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibdeflateDeflate)->Arg(xlsx::ZipWriter::kDefaultLevel)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChunkedDeflate)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
