#pragma once
// The simulated panel's drives, each a folder of the project: the letter the user code names
// it by ("U:\") and the folder.
namespace qv {

struct DriveFolder {
    char letter;
    const char* folder; // below the project folder
};
inline constexpr DriveFolder kDriveFolders[] = {{'U', "UsbDisk"}, {'A', "SDCard"}, {'F', "NandFlash"}};

// The user code makes folders at most 9 levels below the project folder; a sweep of a drive
// goes further than that.
inline constexpr int kDriveSweepDepth = 16;

} // namespace qv
