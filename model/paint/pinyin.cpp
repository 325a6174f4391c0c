#include "model/paint/pinyin.h"

#include <array>

namespace qv {
namespace {

struct PinyinEntry {
    const char* rest;       // the syllable without its first letter
    const char* candidates; // GBK
};

const PinyinEntry kEntries[] = {
#include "model/paint/pinyin_table.inc"
};

constexpr std::array<int, 27> kBucketStart{QV_PINYIN_BUCKET_STARTS};
static_assert(QV_PINYIN_ENTRY_COUNT == sizeof(kEntries) / sizeof(kEntries[0]));

} // namespace

std::string_view LookupPinyin(std::string& text)
{
    if (text.empty())
        return {};
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c < 'a' || c > 'z')
            return {};
    }
    const char first = text[0];
    if (first == 'i' || first == 'u' || first == 'v')
        return {};
    const int bucket = first - 'a';
    const std::string_view rest = std::string_view(text).substr(1);
    for (int i = kBucketStart[bucket]; i < kBucketStart[bucket + 1]; ++i)
        if (rest == kEntries[i].rest)
            return kEntries[i].candidates;
    return {};
}

int PinyinEntryCount()
{
    return QV_PINYIN_ENTRY_COUNT;
}

} // namespace qv
