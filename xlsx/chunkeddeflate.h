#pragma once

#include "xmlwriter.h"

#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvex::xlsx {

// Deflated data with what a ZIP entry records of it.
struct DeflatedData {
    // The compressed bytes in pieces, in order: joining them would need twice their memory for a moment.
    std::vector<std::string> pieces;
    quint32 crc = 0;  // of the data before compression
    quint64 size = 0; // before compression
    bool failed = false;

    quint64 compressedSize() const;
};

// Joins a stream that ended on a sync flush (ChunkedDeflate::finish(false)) and the stream that continues it.
void appendDeflated(DeflatedData& stream, DeflatedData&& continuation);

// A raw deflate stream compressed while it is written, so the data is never held whole. The data is cut into
// chunks that worker threads compress at once, each primed with the 32 KiB before it and ended on a byte
// boundary (a sync flush): their concatenation is one stream, within a fraction of a percent of the size a
// single pass gives. Whole-buffer compressors cannot continue a stream, so this one is zlib, at its default
// level with a shorter search: within 1 % of the size zlib's default level gives.
class ChunkedDeflate : public ByteSink {
public:
    ChunkedDeflate();
    ~ChunkedDeflate() override; // stops the workers
    ChunkedDeflate(const ChunkedDeflate&) = delete;
    ChunkedDeflate& operator=(const ChunkedDeflate&) = delete;

    bool write(const char* data, qsizetype size) override;

    // Ends the stream and gives it. With last false it ends on a sync flush instead of a final block, so that
    // another stream may follow it in the same entry (its CRC-32 is then combined with the next one's).
    DeflatedData finish(bool last = true);

private:
    struct Chunk;
    void startChunk(bool last);
    void collectOldest();
    void work(); // a worker thread's loop

    std::size_t m_workerCount;
    std::string m_filling;                   // the dictionary, then the data of the next chunk
    std::size_t m_dictionary = 0;            // bytes at the start of m_filling that only prime the compressor
    std::vector<std::string> m_spareBuffers; // of collected chunks, reused: fresh memory costs page faults
    DeflatedData m_result;

    std::mutex m_mutex; // guards what follows
    std::condition_variable m_chunkWaiting;
    std::condition_variable m_chunkDone;
    std::deque<std::unique_ptr<Chunk>> m_started; // in stream order, until collected
    std::deque<Chunk*> m_waiting;                 // started, not yet taken by a worker
    bool m_stopping = false;
    std::vector<std::thread> m_workers; // started with the first chunk that is not the last
};

} // namespace tarvex::xlsx
