#pragma once

#include "xmlwriter.h"

#include <QtGlobal>

#include <deque>
#include <future>
#include <string>
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
    ~ChunkedDeflate() override;
    ChunkedDeflate(const ChunkedDeflate&) = delete;
    ChunkedDeflate& operator=(const ChunkedDeflate&) = delete;

    bool write(const char* data, qsizetype size) override;

    // Ends the stream and gives it. With last false it ends on a sync flush instead of a final block, so that
    // another stream may follow it in the same entry (its CRC-32 is then combined with the next one's).
    DeflatedData finish(bool last = true);

private:
    void startChunk(bool last);
    void collectOldest();

    std::size_t m_maxRunning;     // chunks being compressed at once
    std::string m_chunk;          // the dictionary, then the data to compress
    std::size_t m_dictionary = 0; // bytes at the start of m_chunk that only prime the compressor
    std::deque<std::future<DeflatedData>> m_running;
    DeflatedData m_result;
};

} // namespace tarvex::xlsx
