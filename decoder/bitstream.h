#pragma once

#include <cstdint>
#include <vector>

namespace decoder {

// Slice headers are read from at most this many bytes of their unit; the rest is picture data.
constexpr int kSliceHeaderBytes = 2048;

// Reads the payload of an H.264 or HEVC unit bit by bit, leaving out the bytes that keep start
// codes from appearing inside it. Reading past the end yields zeros and sets Overrun().
class BitReader {
public:
    // `data` and `size` exclude nothing: the unit header is read like the rest.
    BitReader(const std::uint8_t* data, int size);

    unsigned Bit();
    unsigned Bits(int count);
    // Exp-Golomb codes; a code longer than 32 bits sets Overrun().
    unsigned Unsigned();
    int Signed();
    bool Overrun() const { return overrun_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool overrun_ = false;
};

// Writes a unit bit by bit; Unit() returns its bytes with the start-code guards put in.
class BitWriter {
public:
    void Bit(unsigned bit);
    void Bits(unsigned value, int count);
    void Unsigned(unsigned value);
    void Signed(int value);
    // The stop bit and the padding to a whole byte, then the guarded bytes.
    std::vector<std::uint8_t> Unit();

private:
    std::vector<std::uint8_t> bytes_;
    int used_ = 8;  // bits used in the last byte
};

}  // namespace decoder
