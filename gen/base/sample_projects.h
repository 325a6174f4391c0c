#pragma once
// The two sample projects of the base folder, made with the program's own project commands
// and documents: "例子/示例工程" (opened at the first start) and "Examples/银行ATM取款机".
// images/ must be in place first (the projects copy their support folders from it).
#include <filesystem>
#include <string>

namespace qv::gen {

bool writeSampleProjects(const std::filesystem::path& base, std::string* error);

} // namespace qv::gen
