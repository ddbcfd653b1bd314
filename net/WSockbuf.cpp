#include "net/WSockbuf.h"

#include <algorithm>
#include <cstring>

namespace zendrel {

TBuffer::TBuffer(int size) : data_(static_cast<std::size_t>(size > 0 ? size : kDefaultSize)) {}

void TBuffer::SetBufSize(int size) {
    if (size <= 0)
        size = kDefaultSize;
    // Unsent bytes move to the front so that a smaller block can still hold them.
    int unsent = wrCount_ - rdCount_;
    std::memmove(data_.data(), data_.data() + rdCount_, static_cast<std::size_t>(unsent));
    rdCount_ = 0;
    wrCount_ = unsent;
    data_.resize(static_cast<std::size_t>(std::max(size, unsent)));
}

int TBuffer::Write(const void* data, int len) {
    int room = BufSize() - wrCount_;
    int n = std::min(room, std::max(len, 0));
    if (n <= 0)
        return 0;
    std::memcpy(data_.data() + wrCount_, data, static_cast<std::size_t>(n));
    wrCount_ += n;
    return n;
}

const char* TBuffer::Peek(int& len) const {
    len = wrCount_ - rdCount_;
    return data_.data() + rdCount_;
}

void TBuffer::Remove(int n) {
    rdCount_ += std::clamp(n, 0, wrCount_ - rdCount_);
    if (rdCount_ >= wrCount_) {
        rdCount_ = 0;
        wrCount_ = 0;
    }
}

} // namespace zendrel
