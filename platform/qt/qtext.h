#pragma once
// The one road between GBK model text and Qt strings.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

QString toQString(std::string_view gbk);            // invalid bytes shown as U+FFFD
std::optional<std::string> fromQString(const QString& text); // nullopt: GBK cannot hold it

} // namespace qv
