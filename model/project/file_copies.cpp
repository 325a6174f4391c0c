#include "model/project/file_copies.h"

#include "model/project/project_texts.h"

#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <cctype>
#include <system_error>

namespace qv {

namespace fs = std::filesystem;

bool entryExists(const fs::path& p)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

bool isSameOrInside(const fs::path& inner, const fs::path& outer)
{
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(fs::absolute(inner, ec), ec);
    const fs::path b = fs::weakly_canonical(fs::absolute(outer, ec), ec);
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty())
            continue; // the empty part after a trailing separator
        if (ai == a.end() || *ai != *bi)
            return false;
    }
    return true;
}

std::string pathForMessage(const fs::path& p)
{
    if (auto gbk = utf8ToGbk(p.string()))
        return *gbk;
    std::string out;
    for (char c : p.string())
        out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    return out;
}

bool readRegularFile(const fs::path& file, std::string& bytes)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return false;
    try {
        return readWholeFile(file, bytes);
    } catch (const std::exception&) {
        return false;
    }
}

bool copyOneFile(const fs::path& from, const fs::path& to, bool failIfExists, std::string* error)
{
    if (failIfExists && entryExists(to)) {
        if (error)
            *error = pathForMessage(to) + ": exists";
        return false;
    }
    std::string bytes;
    if (!readRegularFile(from, bytes)) {
        if (error)
            *error = pathForMessage(from) + ": cannot be read";
        return false;
    }
    std::error_code ec;
    fs::create_directories(to.parent_path(), ec);
    std::string why;
    if (!writeFileAtomically(to, bytes, &why)) {
        if (error)
            *error = pathForMessage(to) + ": " + why;
        return false;
    }
    return true;
}

namespace {

// "<stem>_<n><ext>". '.' never occurs as the second byte of a GBK character (those are
// 0x40 and above), so the last '.' found in the bytes is a real one.
std::string numberedName(std::string_view nameGbk, int n)
{
    const auto dot = nameGbk.rfind('.');
    const std::string_view stem = dot == std::string_view::npos ? nameGbk : nameGbk.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? std::string_view() : nameGbk.substr(dot);
    return std::string(stem) + "_" + std::to_string(n) + std::string(ext);
}

} // namespace

std::optional<std::string> copyFileKeepingOthers(const fs::path& source, const fs::path& folder,
                                                 std::string_view fileNameGbk, std::string* error)
{
    std::string bytes;
    if (!readRegularFile(source, bytes)) {
        if (error)
            *error = std::string(project::text::kCannotReadFile) + pathForMessage(source);
        return std::nullopt;
    }
    std::string name(fileNameGbk);
    for (int n = 1;; ++n) {
        const auto dest = resolveStoredPath(folder, name);
        if (!dest) {
            if (error)
                *error = "bad file name";
            return std::nullopt;
        }
        if (!entryExists(*dest)) {
            std::error_code ec;
            fs::create_directories(folder, ec);
            std::string why;
            if (!writeFileAtomically(*dest, bytes, &why)) {
                if (error)
                    *error = pathForMessage(*dest) + ": " + why;
                return std::nullopt;
            }
            return name;
        }
        std::string existing;
        if (readRegularFile(*dest, existing) && existing == bytes)
            return name;
        name = numberedName(fileNameGbk, n);
    }
}

bool createFoldersRecording(const fs::path& dir, std::vector<fs::path>& made, std::error_code& ec)
{
    std::vector<fs::path> missing;
    for (fs::path p = dir; !p.empty() && !entryExists(p); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path())
            break;
    }
    ec.clear();
    fs::create_directories(dir, ec);
    // Recorded whatever happened: a part made before a failure is taken back too.
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        std::error_code ignored;
        if (fs::is_directory(fs::symlink_status(*it, ignored)))
            made.push_back(*it);
    }
    if (!ec && !fs::is_directory(dir, ec) && !ec)
        ec = std::make_error_code(std::errc::not_a_directory);
    return !ec;
}

void removeMadeFolders(const std::vector<fs::path>& made)
{
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        std::error_code ignored;
        fs::remove(*it, ignored); // a folder that is not empty stays
    }
}

bool matchesPattern(std::string_view name, std::string_view pattern)
{
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '?') {
            // One character: a UTF-8 lead byte and its continuation bytes.
            ++n;
            while (n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
                ++n;
            ++p;
        } else if (p < pattern.size() && same(pattern[p], name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace qv
