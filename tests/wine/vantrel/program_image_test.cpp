// The ready programs as files: every section starts on a page boundary in the file as in
// memory, so that Wine maps it from the file instead of reading it whole into private memory
// (the debug information alone would add some 6 MiB to each program's resident memory).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rig/rig.h"

namespace {

constexpr DWORD kPage = 4096;

// The sections that do not start on a page in the file, or "not a program" when the headers
// cannot be read.
std::string MisplacedSections(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    IMAGE_DOS_HEADER dos;
    if (bytes.size() < sizeof dos) return "not a program";
    std::memcpy(&dos, bytes.data(), sizeof dos);
    IMAGE_NT_HEADERS nt;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
        bytes.size() < std::size_t(dos.e_lfanew) + sizeof nt)
        return "not a program";
    std::memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE) return "not a program";
    const std::size_t first = std::size_t(dos.e_lfanew) +
                              offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                              nt.FileHeader.SizeOfOptionalHeader;
    if (bytes.size() < first + nt.FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER))
        return "not a program";
    std::string misplaced;
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        std::memcpy(&section, bytes.data() + first + i * sizeof section, sizeof section);
        if (section.SizeOfRawData == 0) continue; // nothing in the file (.bss)
        if (section.PointerToRawData % kPage == 0 && section.VirtualAddress % kPage == 0) continue;
        misplaced += " " + std::string(reinterpret_cast<const char*>(section.Name),
                                       strnlen(reinterpret_cast<const char*>(section.Name), 8));
    }
    return misplaced;
}

TEST(ProgramImage, EverySectionOfTheReadyProgramsStartsOnAPageInTheFile) {
    for (const char* program : {"Vantrel.exe", "Zorbel.exe", "GpsServer.exe", "ObdReader.exe"})
        EXPECT_EQ(MisplacedSections(rig::DistDir() + "\\" + program), "") << program;
}

} // namespace
