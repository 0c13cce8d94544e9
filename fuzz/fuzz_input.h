#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace harvelin::fuzz {

// Hands out a fuzz input piece by piece.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }

    std::uint8_t byte()
    {
        return pos_ < size_ ? data_[pos_++] : 0;
    }

    // A piece of up to maxBytes; its length comes from the input too.
    std::string bytes(std::size_t maxBytes)
    {
        const std::size_t wanted = byte() % (maxBytes + 1);
        const std::size_t n = std::min(wanted, size_ - std::min(pos_, size_));
        std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return out;
    }

    std::string_view rest() const
    {
        const std::size_t at = std::min(pos_, size_);
        return {reinterpret_cast<const char*>(data_ + at), size_ - at};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace harvelin::fuzz
