#pragma once

#include <cstddef>
#include <vector>

namespace zendrel {

// One block of a socket's send queue: bytes are appended at the write count and sent from the
// read count, so a partly sent block keeps its place at the head of the queue.
class TBuffer {
public:
    static constexpr int kDefaultSize = 1514;

    // A block of `size` bytes; 0 or less gives the default size.
    explicit TBuffer(int size = 0);

    int BufSize() const { return static_cast<int>(data_.size()); }
    // Resizes the block; bytes not yet sent are kept.
    void SetBufSize(int size);
    // Copies as much of `data` as fits after the stored bytes; returns how much it took.
    int Write(const void* data, int len);
    // The unsent bytes: their address and, through `len`, their count (0 when none).
    const char* Peek(int& len) const;
    // Marks up to `n` bytes as sent; once all are sent the block is empty and reusable.
    void Remove(int n);
    int WrCount() const { return wrCount_; }
    int RdCount() const { return rdCount_; }

private:
    std::vector<char> data_;
    int wrCount_ = 0;
    int rdCount_ = 0;
};

} // namespace zendrel
