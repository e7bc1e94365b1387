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

// zlib's default level searches its hash chains 128 deep; 96 takes about a sixth less time on a sheet's XML,
// which is made of few distinct lines, for about 0.5 % more size (measured on commission sheets of 1,000 to
// 40,000 airlines; 64 saves a third of the time, but comes within half a percent of the 2 % the file may grow).
constexpr int kLevel = 6;
constexpr int kGoodLength = 8;
constexpr int kMaxLazy = 16;
constexpr int kNiceLength = 128;
constexpr int kMaxChain = 96;

// One zlib compressor and its output buffer, kept from chunk to chunk.
class ChunkCompressor {
public:
    ChunkCompressor() {
        m_ready = deflateInit2(&m_stream, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~ChunkCompressor() {
        if (m_ready)
            deflateEnd(&m_stream);
    }
    ChunkCompressor(const ChunkCompressor&) = delete;
    ChunkCompressor& operator=(const ChunkCompressor&) = delete;

    // Compresses the data after the dictionary.
    DeflatedData compress(const std::string& chunk, std::size_t dictionary, bool last) {
        DeflatedData result;
        const auto* data = reinterpret_cast<const Bytef*>(chunk.data());
        const std::size_t size = chunk.size() - dictionary;
        result.size = size;
        result.crc = libdeflate_crc32(0, data + dictionary, size);
        // The tuning goes with every reset.
        bool ok = m_ready && deflateReset(&m_stream) == Z_OK &&
                  deflateTune(&m_stream, kGoodLength, kMaxLazy, kNiceLength, kMaxChain) == Z_OK &&
                  (dictionary == 0 || deflateSetDictionary(&m_stream, data, uInt(dictionary)) == Z_OK);
        // The bound covers one call that finishes the stream; a sync flush adds an empty stored block.
        const std::size_t bound = deflateBound(&m_stream, uLong(size)) + 16;
        if (m_output.size() < bound)
            m_output.resize(bound);
        m_stream.next_in = const_cast<Bytef*>(data + dictionary);
        m_stream.avail_in = uInt(size);
        m_stream.next_out = reinterpret_cast<Bytef*>(m_output.data());
        m_stream.avail_out = uInt(m_output.size());
        if (ok) {
            const int status = deflate(&m_stream, last ? Z_FINISH : Z_SYNC_FLUSH);
            ok = last ? status == Z_STREAM_END : status == Z_OK && m_stream.avail_in == 0 && m_stream.avail_out > 0;
        }
        // Copied out at its size: the bound is many times what the XML compresses to.
        result.pieces.emplace_back(m_output.data(), ok ? std::size_t(m_stream.total_out) : 0);
        result.failed = !ok;
        return result;
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
    std::string m_output;
};

} // namespace

struct ChunkedDeflate::Chunk {
    std::string data; // the dictionary, then the data
    std::size_t dictionary = 0;
    bool last = false;
    DeflatedData result;
    bool done = false;
};

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
    : m_workerCount(std::size_t(std::clamp(QThread::idealThreadCount(), 1, 4))) {}

ChunkedDeflate::~ChunkedDeflate() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
    }
    m_chunkWaiting.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

bool ChunkedDeflate::write(const char* data, qsizetype size) {
    while (size > 0) {
        const std::size_t room = m_dictionary + kChunkSize - m_filling.size();
        const std::size_t taken = std::min(room, std::size_t(size));
        m_filling.append(data, taken);
        data += taken;
        size -= qsizetype(taken);
        if (m_filling.size() == m_dictionary + kChunkSize)
            startChunk(false);
    }
    return !m_result.failed;
}

void ChunkedDeflate::startChunk(bool last) {
    auto chunk = std::make_unique<Chunk>();
    const std::size_t window = std::min(kWindowSize, m_filling.size() - m_dictionary);
    std::string next;
    if (!m_spareBuffers.empty()) {
        next = std::move(m_spareBuffers.back());
        m_spareBuffers.pop_back();
    }
    next.assign(m_filling.end() - std::ptrdiff_t(window), m_filling.end());
    chunk->data = std::move(m_filling);
    chunk->dictionary = m_dictionary;
    chunk->last = last;
    m_filling = std::move(next);
    m_filling.reserve(window + kChunkSize);
    m_dictionary = window;

    // A part that fits one chunk is compressed here: a thread would cost more than it saves.
    if (last && m_started.empty()) {
        ChunkCompressor compressor;
        appendDeflated(m_result, compressor.compress(chunk->data, chunk->dictionary, last));
        return;
    }
    while (m_workers.size() < m_workerCount)
        m_workers.emplace_back([this] { work(); });
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.push_back(chunk.get());
        m_started.push_back(std::move(chunk));
    }
    m_chunkWaiting.notify_one();
    // One chunk more than the workers: each finds the next waiting when it is done.
    while (m_started.size() > m_workerCount + 1)
        collectOldest();
}

void ChunkedDeflate::collectOldest() {
    std::unique_ptr<Chunk> chunk;
    {
        std::unique_lock lock(m_mutex);
        m_chunkDone.wait(lock, [&] { return m_started.front()->done; });
        chunk = std::move(m_started.front());
        m_started.pop_front();
    }
    appendDeflated(m_result, std::move(chunk->result));
    // Its buffer takes the data of a later chunk.
    chunk->data.clear();
    m_spareBuffers.push_back(std::move(chunk->data));
}

void ChunkedDeflate::work() {
    ChunkCompressor compressor;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_chunkWaiting.wait(lock, [&] { return m_stopping || !m_waiting.empty(); });
        if (m_waiting.empty())
            return;
        Chunk* chunk = m_waiting.front();
        m_waiting.pop_front();
        lock.unlock();
        chunk->result = compressor.compress(chunk->data, chunk->dictionary, chunk->last);
        lock.lock();
        chunk->done = true;
        m_chunkDone.notify_all();
    }
}

DeflatedData ChunkedDeflate::finish(bool last) {
    startChunk(last);
    while (!m_started.empty())
        collectOldest();
    m_filling.clear();
    m_dictionary = 0;
    return std::exchange(m_result, DeflatedData{});
}

} // namespace tarvex::xlsx
