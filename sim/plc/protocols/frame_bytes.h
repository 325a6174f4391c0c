#pragma once
// Byte helpers the master protocols' frames and reply parsers share: hex text, sums, the Modbus
// CRC, big-endian fields, bits packed eight to a byte, and text frames between two marks.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sim/plc/plc_frames.h"

namespace qv::sim::plc {

std::uint8_t HexDigit(int value);
int HexValue(std::uint8_t ch); // -1 for a character that is not an upper-case hex digit
void PutHex(Frame& f, std::uint32_t value, int digits);
// Hex pairs into bytes; false on an odd count or a character that is not hex.
bool DecodeHex(std::span<const std::uint8_t> text, std::vector<std::uint8_t>& out);
// The low byte of the sum of `bytes`.
std::uint8_t Sum8(std::span<const std::uint8_t> bytes);
// The Modbus RTU CRC of `f`, low byte first.
void PutCrc(Frame& f);
void Put16(Frame& f, std::uint32_t value); // high byte first
void PutText(Frame& f, std::string_view text);

// Bytes that hold `count` bits; bit `bit` of data byte 0 (false without data).
std::size_t BitBytes(int count);
bool BitOf(std::span<const std::uint8_t> data, int bit);
// Big-endian values of `width` bytes into little-endian ones (and back).
std::vector<std::uint8_t> SwapValues(std::span<const std::uint8_t> in, std::size_t width);

// Collects a text frame from its `start` byte to its `end` byte into `f`; a new start begins
// again, a frame longer than `max` is dropped. True when `f` holds a whole frame.
bool CollectFrame(std::vector<std::uint8_t>& f, std::uint8_t b, std::uint8_t start, std::uint8_t end, std::size_t max);

} // namespace qv::sim::plc
