#include "device/fpga/fpga_errors.h"

#include "device/jtag/jtag_link.h"

namespace qv::device::fpga {
namespace {

struct ErrorEntry {
    std::uint8_t code;
    bool conflict;
    std::string_view meaning;
};

constexpr ErrorEntry kErrors[] = {
    {err::Ok, false, "success"},
    {err::DeviceId, false, "device ID or device variant differs from the image"},
    {err::PollTimeout, false, "busy poll did not end"},
    {err::Erase, false, "erase failed"},
    {err::Program, false, "programming of the array or the row lock failed"},
    {err::Verify, false, "verification of a row failed"},
    {err::Security, false, "security settings read back differ"},
    {err::Authenticate, false, "authentication of encrypted data failed"},
    {err::UserRow, false, "user row read back differs"},
    {err::Initialise, false, "target initialisation failed"},
    {err::KeyCheck, false, "key check answer without its valid bit"},
    {33, true, "security settings forbid the operation"},
    {34, true, "security settings forbid the operation"},
    {35, true, "key not present or security settings conflict"},
    {36, true, "security settings forbid the operation"},
    {37, true, "security settings forbid the operation"},
    {47, true, "security settings conflict with the image"},
    {49, true, "security settings conflict with the image"},
    {err::Image, false, "image size or CRC wrong"},
    {err::BadTarget, false, "TAP state outside the move table"},
    {err::NoAction, false, "action not found"},
    {err::Unsupported, false, "action not supported by the image"},
    {err::Marker, false, "format marker is not E"},
    {err::Aborted, false, "aborted by the user"},
    {err::Transport, false, "USB transfer to the panel failed"},
    {err::PacketTooLong, false, "shift does not fit one packet"},
    {err::CheckDataMissing, false, "check data for this part is missing"},
};

static_assert(err::BadTarget == jtag::kBadTarget && err::Transport == jtag::kTransportFailed &&
              err::PacketTooLong == jtag::kPacketTooLong);

const ErrorEntry* find(std::uint8_t code)
{
    for (const ErrorEntry& e : kErrors)
        if (e.code == code)
            return &e;
    return nullptr;
}

} // namespace

std::string_view ErrorMeaning(std::uint8_t code)
{
    const ErrorEntry* e = find(code);
    return e ? e->meaning : "unknown error";
}

bool IsConflictCode(std::uint8_t code)
{
    const ErrorEntry* e = find(code);
    return e && e->conflict;
}

} // namespace qv::device::fpga
