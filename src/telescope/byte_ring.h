#pragma once
// The receive ring between the serial reader thread (the only writer) and its owner (the only
// reader). Each side publishes its own position and reads the other's once per call, so no lock
// is needed.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace celes {

class ByteRing {
  public:
    static constexpr std::size_t kSize = 16384;
    // One slot always stays free, so a full ring never reads as empty.
    static constexpr std::size_t kCapacity = kSize - 1;

    // Writer side. Stores what fits; bytes that would overwrite unread data are dropped (and
    // counted), so the reader always sees an unbroken, ordered stream. Returns the count stored.
    std::size_t Store(const std::uint8_t* bytes, std::size_t length);

    // Reader side. Copies up to limit bytes in arrival order and returns the count. An empty ring
    // returns 0 and, when limit > 0, leaves a zero byte at destination.
    std::size_t Fetch(std::uint8_t* destination, std::size_t limit);

    std::size_t Available() const;
    std::uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

    // Empties the ring; only while no writer runs.
    void Reset();

    // Moves both positions to the given offset; only while no writer runs (lets a test start the
    // stream close to the end of the ring).
    void ResetAt(std::size_t position);

  private:
    static std::size_t Count(std::size_t readPos, std::size_t writePos) {
        return readPos <= writePos ? writePos - readPos : writePos + kSize - readPos;
    }

    std::array<std::uint8_t, kSize> bytes_{};
    // Positions run 0..kSize; a position at or past the end is set back to the start before a
    // byte is stored or fetched there.
    std::atomic<std::size_t> readPos_{0};
    std::atomic<std::size_t> writePos_{0};
    std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace celes
