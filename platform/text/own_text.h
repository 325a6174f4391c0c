#pragma once
// The form of the program's own texts (messages, log lines, fixed names), which each room lists
// in its *_texts.h as `inline constexpr OwnText kName = "...";` in namespace qv::<room>::text.
// They are GBK literals (the execution character set), plain C strings that join std::string
// and C calls alike. Never put one inside a fmt format string: a brace in the text would be
// read as a field.
namespace qv {

using OwnText = const char*;

} // namespace qv
