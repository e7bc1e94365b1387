#include "chunkeddeflate.h"

#include <QThread>

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <utility>

namespace tarvex::xlsx {

namespace {

// Large enough that the unprimed start of the first chunk and the flush markers cost nothing measurable, small
// enough that a sheet of a few megabytes still spreads over the cores.
constexpr std::size_t kChunkSize = 1024 * 1024;
constexpr std::size_t kWindowSize = 32 * 1024;

// zlib's default level searches its hash chains 128 deep; 64 takes a third less time on a sheet's XML, which
// is made of few distinct lines, for under 1 % more size (measured on commission sheets of 1,000 to 40,000
// airlines).
constexpr int kLevel = 6;
constexpr int kGoodLength = 8;
constexpr int kMaxLazy = 16;
constexpr int kNiceLength = 128;
constexpr int kMaxChain = 64;

DeflatedData deflateChunk(const std::string& chunk, std::size_t dictionary, bool last) {
    DeflatedData result;
    const auto* data = reinterpret_cast<const Bytef*>(chunk.data());
    const std::size_t size = chunk.size() - dictionary;
    result.size = size;
    result.crc = libdeflate_crc32(0, data + dictionary, size);
    z_stream stream{};
    if (deflateInit2(&stream, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        result.failed = true;
        return result;
    }
    bool ok = deflateTune(&stream, kGoodLength, kMaxLazy, kNiceLength, kMaxChain) == Z_OK &&
              (dictionary == 0 || deflateSetDictionary(&stream, data, uInt(dictionary)) == Z_OK);
    // The bound covers one call that finishes the stream; a sync flush adds an empty stored block.
    std::string& bytes = result.pieces.emplace_back(deflateBound(&stream, uLong(size)) + 16, '\0');
    stream.next_in = const_cast<Bytef*>(data + dictionary);
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef*>(bytes.data());
    stream.avail_out = uInt(bytes.size());
    if (ok) {
        const int status = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
        ok = last ? status == Z_STREAM_END : status == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
    }
    bytes.resize(stream.total_out);
    bytes.shrink_to_fit(); // the bound is many times what the XML compresses to
    deflateEnd(&stream);
    result.failed = !ok;
    return result;
}

} // namespace

quint64 DeflatedData::compressedSize() const {
    quint64 total = 0;
    for (const std::string& piece : pieces)
        total += piece.size();
    return total;
}

void appendDeflated(DeflatedData& stream, DeflatedData&& continuation) {
    stream.failed = stream.failed || continuation.failed;
    for (std::string& piece : continuation.pieces)
        stream.pieces.push_back(std::move(piece));
    stream.crc = quint32(crc32_combine(stream.crc, continuation.crc, z_off_t(continuation.size)));
    stream.size += continuation.size;
}

ChunkedDeflate::ChunkedDeflate()
    : m_maxRunning(std::size_t(std::clamp(QThread::idealThreadCount(), 1, 4))) {}

// The futures of std::async wait for their threads as they are destroyed.
ChunkedDeflate::~ChunkedDeflate() = default;

bool ChunkedDeflate::write(const char* data, qsizetype size) {
    while (size > 0) {
        const std::size_t room = m_dictionary + kChunkSize - m_chunk.size();
        const std::size_t taken = std::min(room, std::size_t(size));
        m_chunk.append(data, taken);
        data += taken;
        size -= qsizetype(taken);
        if (m_chunk.size() == m_dictionary + kChunkSize)
            startChunk(false);
    }
    return !m_result.failed;
}

void ChunkedDeflate::startChunk(bool last) {
    const std::size_t window = std::min(kWindowSize, m_chunk.size() - m_dictionary);
    std::string next(m_chunk.end() - std::ptrdiff_t(window), m_chunk.end());
    // A part that fits one chunk is compressed here: a thread would cost more than it saves.
    const auto policy = last && m_running.empty() ? std::launch::deferred : std::launch::async;
    m_running.push_back(std::async(policy, [chunk = std::move(m_chunk), dictionary = m_dictionary, last] {
        return deflateChunk(chunk, dictionary, last);
    }));
    m_chunk = std::move(next);
    m_chunk.reserve(window + kChunkSize);
    m_dictionary = window;
    while (m_running.size() > m_maxRunning)
        collectOldest();
}

void ChunkedDeflate::collectOldest() {
    appendDeflated(m_result, m_running.front().get());
    m_running.pop_front();
}

DeflatedData ChunkedDeflate::finish(bool last) {
    startChunk(last);
    while (!m_running.empty())
        collectOldest();
    m_chunk.clear();
    m_dictionary = 0;
    return std::exchange(m_result, DeflatedData{});
}

} // namespace tarvex::xlsx
