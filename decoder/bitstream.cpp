#include "bitstream.h"

namespace decoder {

BitReader::BitReader(const std::uint8_t* data, int size)
{
    bytes_.reserve(static_cast<std::size_t>(size > 0 ? size : 0));
    int zeros = 0;
    for (int i = 0; i < size; ++i) {
        if (zeros >= 2 && data[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = data[i] == 0 ? zeros + 1 : 0;
        bytes_.push_back(data[i]);
    }
}

unsigned BitReader::Bit()
{
    const std::size_t byte = position_ >> 3;
    if (byte >= bytes_.size()) {
        overrun_ = true;
        return 0;
    }
    const unsigned bit = (bytes_[byte] >> (7 - (position_ & 7))) & 1u;
    ++position_;
    return bit;
}

unsigned BitReader::Bits(int count)
{
    unsigned value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 1) | Bit();
    return value;
}

unsigned BitReader::Unsigned()
{
    int zeros = 0;
    while (Bit() == 0) {
        if (overrun_ || ++zeros > 31) {
            overrun_ = true;
            return 0;
        }
    }
    return ((1u << zeros) - 1) + Bits(zeros);
}

int BitReader::Signed()
{
    const unsigned code = Unsigned();
    const int magnitude = static_cast<int>((code + 1) / 2);
    return (code & 1) != 0 ? magnitude : -magnitude;
}

void BitWriter::Bit(unsigned bit)
{
    if (used_ == 8) {
        bytes_.push_back(0);
        used_ = 0;
    }
    if (bit != 0)
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (0x80 >> used_));
    ++used_;
}

void BitWriter::Bits(unsigned value, int count)
{
    for (int i = count - 1; i >= 0; --i)
        Bit((value >> i) & 1u);
}

void BitWriter::Unsigned(unsigned value)
{
    const std::uint64_t code = static_cast<std::uint64_t>(value) + 1;
    int length = 0;
    while ((code >> length) > 1)
        ++length;
    Bits(0, length);
    for (int i = length; i >= 0; --i)
        Bit(static_cast<unsigned>((code >> i) & 1));
}

void BitWriter::Signed(int value)
{
    Unsigned(value > 0 ? static_cast<unsigned>(value) * 2 - 1 : static_cast<unsigned>(-value) * 2);
}

std::vector<std::uint8_t> BitWriter::Unit()
{
    Bit(1);
    while (used_ != 8)
        Bit(0);
    std::vector<std::uint8_t> guarded;
    guarded.reserve(bytes_.size() + bytes_.size() / 64 + 4);
    int zeros = 0;
    for (const std::uint8_t byte : bytes_) {
        if (zeros >= 2 && byte <= 3) {
            guarded.push_back(3);
            zeros = 0;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        guarded.push_back(byte);
    }
    return guarded;
}

}  // namespace decoder
