// Byte counts that stop at the largest figure instead of wrapping round to a small one: a few
// sparse files can claim more than 2^64 bytes between them.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <limits>

namespace qz {

constexpr quint64 kMostBytes = std::numeric_limits<quint64>::max();

// a + b, or the largest count when the sum does not fit.
constexpr quint64 saturatingAdd(quint64 a, quint64 b) {
    return a > kMostBytes - b ? kMostBytes : a + b;
}

// Adds to a total that several threads add to.
inline void saturatingAdd(std::atomic<quint64>& total, quint64 bytes) {
    quint64 seen = total.load();
    while (!total.compare_exchange_weak(seen, saturatingAdd(seen, bytes))) {
    }
}

// A running total that grows and shrinks exactly, however large it gets, read saturated: a
// total that once passed the largest count comes back right when those bytes go again.
class ByteTotal {
  public:
    void add(quint64 bytes) { wide_ += bytes; }
    void add(const ByteTotal& other) { wide_ += other.wide_; }
    void subtract(quint64 bytes) { wide_ -= std::min<Wide>(wide_, bytes); }
    void subtract(const ByteTotal& other) { wide_ -= std::min(wide_, other.wide_); }
    quint64 value() const { return wide_ > kMostBytes ? kMostBytes : static_cast<quint64>(wide_); }

  private:
    __extension__ using Wide = unsigned __int128;
    Wide wide_ = 0;
};

}  // namespace qz
