#pragma once
// Everything the compile worker reads of the project, taken on the user-interface thread
// before the worker starts, so the worker never reads the model while the user edits it:
// each window is copied in its stored form, and the screen compiler works from those copies.
#include "model/document/draw_doc.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qv::compile {

enum class WindowKind { Screen, SubWindow };

// One window of the project, in window-table order.
struct WindowSource {
    std::string fileName;        // GBK, "<name>.drw" or "<name>.dlg"
    bool documentOpen = true;    // false: the project lists it but its document is missing
    std::size_t objectCount = 0; // for the progress
    std::string storedBytes;     // the document as its window file holds it (empty when missing)
};

struct CompileInput {
    std::filesystem::path projectFolder;        // host path; "NandFlash" and "MC8051" live here
    std::vector<WindowSource> screens;          // the project document's screen list
    std::vector<WindowSource> subWindows;       // its sub-window list
    std::string projectBytes;                   // the project document in its stored form (cursors)
    std::size_t projectObjectCount = 0;         // objects of the project document itself
    std::size_t otherDocumentUnits = 0;         // progress units of documents outside the lists

    std::array<std::uint8_t, 1024> settings{};  // the project document's settings block
    std::array<std::int32_t, 10> serialParameters{};
    std::array<std::uint8_t, 44> runBlock{};     // the 44-byte block, first byte 0x88
    std::uint16_t width = 0;                    // project resolution
    std::uint16_t height = 0;

    HmiVarTable variables;                      // the project document's table: every window's controls resolve through it
    std::vector<std::uint8_t> variableMemory;   // the live 64 KiB bank
    std::uint32_t variableExtent = 0;           // E: half of the variable memory size
    std::array<std::int32_t, 16> systemVariableAddresses{}; // -1 when unbound

    std::vector<std::uint8_t> plcProtocolBlock; // u16 count, 48-byte head, 16-byte records; empty: none
};

} // namespace qv::compile
