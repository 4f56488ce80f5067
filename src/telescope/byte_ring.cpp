#include "telescope/byte_ring.h"

#include <algorithm>

namespace celes {

std::size_t ByteRing::Store(const std::uint8_t* bytes, std::size_t length) {
    const std::size_t readPos = readPos_.load(std::memory_order_acquire);
    std::size_t writePos = writePos_.load(std::memory_order_relaxed);
    const std::size_t room = kCapacity - std::min(kCapacity, Count(readPos, writePos));
    const std::size_t n = std::min(room, length);
    for (std::size_t i = 0; i < n; ++i) {
        if (writePos >= kSize) writePos = 0;
        bytes_[writePos++] = bytes[i];
    }
    writePos_.store(writePos, std::memory_order_release);
    if (n < length) dropped_.fetch_add(length - n, std::memory_order_relaxed);
    return n;
}

std::size_t ByteRing::Fetch(std::uint8_t* destination, std::size_t limit) {
    const std::size_t writePos = writePos_.load(std::memory_order_acquire);
    std::size_t readPos = readPos_.load(std::memory_order_relaxed);
    const std::size_t n = std::min(limit, Count(readPos, writePos));
    if (n == 0) {
        if (limit > 0) destination[0] = 0;
        return 0;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (readPos >= kSize) readPos = 0;
        destination[i] = bytes_[readPos++];
    }
    readPos_.store(readPos, std::memory_order_release);
    return n;
}

std::size_t ByteRing::Available() const {
    return Count(readPos_.load(std::memory_order_acquire), writePos_.load(std::memory_order_acquire));
}

void ByteRing::Reset() {
    ResetAt(0);
}

void ByteRing::ResetAt(std::size_t position) {
    position = std::min(position, kSize);
    readPos_.store(position, std::memory_order_relaxed);
    writePos_.store(position, std::memory_order_relaxed);
    dropped_.store(0, std::memory_order_relaxed);
}

}  // namespace celes
