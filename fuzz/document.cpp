// Window and project files: every document that loads must save the same bytes again.
#include "fuzz/fuzz_target.h"
#include "model/document/draw_doc.h"

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    CDrawDoc doc;
    DocumentError error;
    if (!doc.LoadFromBytes(asText(data, size), "fuzz.drw", &error)) {
        require(!error.messageGbk.empty(), "a refused document gives no reason");
        return;
    }
    const std::string saved = doc.SerializeToBytes();
    CDrawDoc again;
    require(again.LoadFromBytes(saved, "fuzz.drw", &error), "a saved document does not load again");
    require(again.SerializeToBytes() == saved, "load then save changes the bytes");
}

} // namespace qv::fuzz
