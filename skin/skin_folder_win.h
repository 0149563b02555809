// Reading and writing a skin folder's "Skin.bin" and loading its images (Windows only).
//
// Everything takes the live record and the folder explicitly; the caller owns AppState.
#pragma once

#include <cstddef>
#include <string>

#include "skin/skin_file.h"
#include "state/skin_record.h"

// Folder of the running program file, without a trailing separator.
std::string ProgramFolderPath();

// The program folder joined with a skin folder name ("Cluster" -> "C:\...\Cluster").
std::string SkinFolderPath(const char* skinFolderName);

// Reads "Skin.bin" of the folder over the live record when it is of version 3 (upgraded) or 4.
// A missing, short or unknown file leaves the record as it is.
SkinFileResult ReadSkinFile(const std::string& skinFolderPath, SkinRecord& live);

// Writes the 5660 bytes of the record to "Skin.bin" of the folder. The bytes go to a new file
// beside it first, which then replaces "Skin.bin" in one step, so a crash mid-write never leaves
// a truncated skin. A "Skin.bin" that cannot be read as a skin record is kept as "Skin.bin.bad"
// rather than lost. Returns false (and leaves the old file) when the folder cannot be written.
bool WriteSkinFile(const std::string& skinFolderPath, const SkinRecord& live);

// Called when the configuration dialog picks another skin folder: writes the live record to
// "Skin.bin" of the current folder (skinFolder, a name below the program folder), whether or not
// it changed, then copies newName into skinFolder (truncated to skinFolderSize - 1 characters).
// The caller then runs LoadSkin() for the new folder.
void SwitchSkinFolder(const SkinRecord& live, char* skinFolder, std::size_t skinFolderSize,
                      const char* newName);

// Called when the configuration dialog closes, with the copy it took when it opened: writes
// "Skin.bin" only when some byte of the live record differs. Returns true when it wrote.
bool SaveSkinIfChanged(const SkinRecord& live, const SkinRecord& recordAtOpen,
                       const std::string& skinFolderPath);
