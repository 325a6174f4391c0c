#pragma once
// A number read aloud: the value with `decimals` decimal places (1234 with 2 is 12.34) in
// Chinese number words, two-byte GBK characters ("一百零一", "一点零零五", "负零点五").
#include <cstdint>
#include <string>

namespace qv::sim {

// `value` is the program's signed 32-bit number, taken in 64 bits so its minimum reads
// right; `decimals` up to 255 (each missing place a "零"); `plus` puts "正" before a
// positive non-zero value.
std::string NumberToWords(std::int64_t value, int decimals, bool plus);

} // namespace qv::sim
