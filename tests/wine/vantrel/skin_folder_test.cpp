// "Skin.bin" on disk and a skin folder's images, through the real Win32 file and GDI+ calls.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/skin_folder_win.h"
#include "skin/skin_image_win.h"

namespace {

namespace gp = Gdiplus::DllExports;

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

// A skin folder below the test program's folder, as the program keeps its skins; removed with
// its files afterwards.
class ScratchSkinFolder {
  public:
    explicit ScratchSkinFolder(const std::string& name)
        : name_(name + "_" + std::to_string(GetCurrentProcessId())),
          path_(SkinFolderPath(name_.c_str())) {
        RemoveTree(path_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchSkinFolder() { RemoveTree(path_); }
    ScratchSkinFolder(const ScratchSkinFolder&) = delete;
    ScratchSkinFolder& operator=(const ScratchSkinFolder&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& fileName) const { return path_ + "\\" + fileName; }

  private:
    std::string name_;
    std::string path_;
};

bool PutFile(const std::string& path, const void* data, size_t size) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const BOOL ok = WriteFile(f, data, static_cast<DWORD>(size), &put, nullptr);
    CloseHandle(f);
    return ok && put == size;
}

bool PutSkin(const std::string& path, const SkinRecord& s, size_t size = sizeof(SkinRecord)) {
    std::vector<uint8_t> bytes(size, 0x5A);
    std::memcpy(bytes.data(), &s, std::min(size, sizeof s));
    return PutFile(path, bytes.data(), bytes.size());
}

std::vector<uint8_t> TakeFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    uint8_t chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CloseHandle(f);
    return bytes;
}

std::vector<uint8_t> BytesOf(const SkinRecord& s) {
    const auto* b = reinterpret_cast<const uint8_t*>(&s);
    return std::vector<uint8_t>(b, b + sizeof s);
}

bool FileThere(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A skin that differs from the defaults in its header, a gauge and a spare record.
SkinRecord EditedSkin(uint32_t version) {
    SkinRecord s = DefaultSkinRecord();
    s.version = version;
    s.opacity = 200;
    s.gauges[kKindKnots].x = 250;
    s.gauges[kKindKnots].color = 0x00123456u;
    s.gauges[62].color = 0x00FF0000u;
    ToggleKindShown(s, kKindClock);
    return s;
}

TEST(SkinFile, VersionThreeIsUpgradedOnReadingAndWrittenBackAsVersionFour) {
    ScratchSkinFolder folder("skin_v3");
    ASSERT_TRUE(PutSkin(folder.File("Skin.bin"), EditedSkin(3)));
    SkinRecord live = DefaultSkinRecord();
    EXPECT_EQ(ReadSkinFile(folder.Path(), live), SkinFileResult::Upgraded);
    EXPECT_EQ(live.version, 4u);
    EXPECT_EQ(live.opacity, 200u);
    EXPECT_EQ(live.gauges[kKindKnots].x, 250);
    EXPECT_EQ(live.gauges[kKindKnots].color, 0xFF563412u);
    EXPECT_EQ(live.gauges[62].color, 0xFF0000FFu);
    EXPECT_TRUE(IsKindShown(live, kKindClock));

    ASSERT_TRUE(WriteSkinFile(folder.Path(), live));
    const std::vector<uint8_t> stored = TakeFile(folder.File("Skin.bin"));
    ASSERT_EQ(stored.size(), kSkinRecordSize);
    EXPECT_EQ(stored[4], 4);
    EXPECT_EQ(stored, BytesOf(live));
}

TEST(SkinFile, VersionFourIsTakenAsItIsAndOnlyItsFirstRecordCounts) {
    ScratchSkinFolder folder("skin_v4");
    const SkinRecord file = EditedSkin(4);
    ASSERT_TRUE(PutSkin(folder.File("Skin.bin"), file, kSkinRecordSize + 40));
    SkinRecord live = DefaultSkinRecord();
    EXPECT_EQ(ReadSkinFile(folder.Path(), live), SkinFileResult::Taken);
    EXPECT_EQ(BytesOf(live), BytesOf(file));
}

TEST(SkinFile, OtherVersionsShortAndMissingFilesLeaveTheLiveRecord) {
    ScratchSkinFolder folder("skin_bad");
    const SkinRecord original = EditedSkin(4);
    for (uint32_t v : {2u, 5u}) {
        ASSERT_TRUE(PutSkin(folder.File("Skin.bin"), EditedSkin(v)));
        SkinRecord live = original;
        EXPECT_EQ(ReadSkinFile(folder.Path(), live), SkinFileResult::UnknownVersion) << v;
        EXPECT_EQ(BytesOf(live), BytesOf(original)) << v;
    }
    SkinRecord shortFile = EditedSkin(4);
    shortFile.opacity = 1;
    ASSERT_TRUE(PutSkin(folder.File("Skin.bin"), shortFile, kSkinRecordSize - 1));
    SkinRecord live = original;
    EXPECT_EQ(ReadSkinFile(folder.Path(), live), SkinFileResult::Short);
    EXPECT_EQ(BytesOf(live), BytesOf(original));

    DeleteFileA(folder.File("Skin.bin").c_str());
    EXPECT_EQ(ReadSkinFile(folder.Path(), live), SkinFileResult::Missing);
    EXPECT_EQ(ReadSkinFile(folder.Path() + "_absent", live), SkinFileResult::Missing);
    EXPECT_EQ(BytesOf(live), BytesOf(original));
}

TEST(SkinFile, WritingReplacesTheWholeFileAndLeavesNoScratchFile) {
    ScratchSkinFolder folder("skin_write");
    // An old, longer file must not leave a tail behind.
    ASSERT_TRUE(PutSkin(folder.File("Skin.bin"), DefaultSkinRecord(), kSkinRecordSize + 500));
    const SkinRecord live = EditedSkin(4);
    ASSERT_TRUE(WriteSkinFile(folder.Path(), live));
    EXPECT_EQ(TakeFile(folder.File("Skin.bin")), BytesOf(live));
    EXPECT_FALSE(FileThere(folder.File("Skin.bin.new")));

    // A folder that does not exist: nothing written, nothing reported beyond the result.
    EXPECT_FALSE(WriteSkinFile(folder.Path() + "_absent", live));
    EXPECT_FALSE(FileThere(folder.Path() + "_absent"));
}

TEST(SkinFile, AWriteThatCannotCompleteKeepsTheOldFile) {
    ScratchSkinFolder folder("skin_keep");
    const SkinRecord old = EditedSkin(4);
    ASSERT_TRUE(PutSkin(folder.File("Skin.bin"), old));
    // Occupy the name of the new file with a folder, so the new file cannot be created.
    ASSERT_TRUE(CreateDirectoryA(folder.File("Skin.bin.new").c_str(), nullptr));
    EXPECT_FALSE(WriteSkinFile(folder.Path(), DefaultSkinRecord()));
    EXPECT_EQ(TakeFile(folder.File("Skin.bin")), BytesOf(old));
}

TEST(SkinFile, SwitchingFoldersWritesTheOldFolderEvenWithoutEdits) {
    ScratchSkinFolder a("skin_switch_a");
    ScratchSkinFolder b("skin_switch_b");
    const SkinRecord bFile = EditedSkin(4);
    ASSERT_TRUE(PutSkin(b.File("Skin.bin"), bFile));

    const SkinRecord live = DefaultSkinRecord();
    char skinFolder[256] = {};
    std::strcpy(skinFolder, a.Name().c_str());
    SwitchSkinFolder(live, skinFolder, sizeof skinFolder, b.Name().c_str());

    EXPECT_EQ(TakeFile(a.File("Skin.bin")), BytesOf(live));
    EXPECT_STREQ(skinFolder, b.Name().c_str());
    EXPECT_EQ(TakeFile(b.File("Skin.bin")), BytesOf(bFile)); // B's file is only read later

    // The loader that follows reads B's skin.
    SkinRecord reloaded = live;
    EXPECT_EQ(ReadSkinFile(SkinFolderPath(skinFolder), reloaded), SkinFileResult::Taken);
    EXPECT_EQ(BytesOf(reloaded), BytesOf(bFile));
}

TEST(SkinFile, SwitchingFromAMissingFolderWritesNothingAndKeepsTheNameInItsBuffer) {
    const std::string missing = "skin_missing_" + std::to_string(GetCurrentProcessId());
    char skinFolder[40] = {};
    std::strcpy(skinFolder, missing.c_str());
    SwitchSkinFolder(DefaultSkinRecord(), skinFolder, 8, "ABCDEFGHIJKL");
    EXPECT_STREQ(skinFolder, "ABCDEFG");
    EXPECT_FALSE(FileThere(SkinFolderPath(missing.c_str())));
}

TEST(SkinFile, ClosingWithoutChangeWritesNothing) {
    ScratchSkinFolder folder("skin_close");
    const SkinRecord atOpen = DefaultSkinRecord();
    SkinRecord live = atOpen;
    EXPECT_FALSE(SaveSkinIfChanged(live, atOpen, folder.Path()));
    EXPECT_FALSE(FileThere(folder.File("Skin.bin")));

    // A single changed byte, even a reserved one, is a change.
    live.gauges[63].reserved[7] = 1;
    EXPECT_TRUE(SaveSkinIfChanged(live, atOpen, folder.Path()));
    EXPECT_EQ(TakeFile(folder.File("Skin.bin")), BytesOf(live));
}

// --- images ------------------------------------------------------------------------------------

class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_) Gdiplus::GdiplusShutdown(token_);
    }
    bool Ok() const { return ok_; }

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// A 24-bit bottom-up BMP of one colour.
std::vector<uint8_t> BmpBytes(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = stride * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<uint8_t> bytes(file.bfSize, 0x80);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    return bytes;
}

bool PutPng(const std::string& path, int width, int height) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) !=
        Gdiplus::Ok) {
        return false;
    }
    // The PNG encoder's class id.
    const CLSID png = {
        0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    const std::wstring wide(path.begin(), path.end());
    const bool ok = gp::GdipSaveImageToFile(bitmap, wide.c_str(), &png, nullptr) == Gdiplus::Ok;
    gp::GdipDisposeImage(bitmap);
    return ok;
}

struct LoadedSize {
    bool loaded = false;
    UINT width = 0;
    UINT height = 0;
};

LoadedSize LoadAndMeasure(const std::string& folder, const char* fileName) {
    LoadedSize size;
    Gdiplus::GpImage* image = LoadSkinImage(folder, fileName);
    if (image == nullptr) return size;
    size.loaded = true;
    gp::GdipGetImageWidth(image, &size.width);
    gp::GdipGetImageHeight(image, &size.height);
    gp::GdipDisposeImage(image);
    return size;
}

TEST(SkinImage, PngFirstThenBmpOfTheSameName) {
    GdiplusSession gdiplus;
    ASSERT_TRUE(gdiplus.Ok());
    ScratchSkinFolder folder("skin_images");
    const std::vector<uint8_t> bmp = BmpBytes(7, 5);
    ASSERT_TRUE(PutFile(folder.File("Arrow.bmp"), bmp.data(), bmp.size()));
    ASSERT_TRUE(PutPng(folder.File("Needle.png"), 12, 9));
    ASSERT_TRUE(PutFile(folder.File("Needle.bmp"), bmp.data(), bmp.size()));
    ASSERT_TRUE(PutFile(folder.File("Hour.png"), "not an image", 12));
    ASSERT_TRUE(PutFile(folder.File("Hour.bmp"), bmp.data(), bmp.size()));

    const LoadedSize arrow = LoadAndMeasure(folder.Path(), "Arrow.png"); // only the .bmp exists
    ASSERT_TRUE(arrow.loaded);
    EXPECT_EQ(arrow.width, 7u);
    EXPECT_EQ(arrow.height, 5u);

    const LoadedSize needle = LoadAndMeasure(folder.Path(), "Needle.png"); // both: the .png wins
    ASSERT_TRUE(needle.loaded);
    EXPECT_EQ(needle.width, 12u);
    EXPECT_EQ(needle.height, 9u);

    const LoadedSize hour = LoadAndMeasure(folder.Path(), "Hour.png"); // unreadable .png
    ASSERT_TRUE(hour.loaded);
    EXPECT_EQ(hour.width, 7u);

    EXPECT_FALSE(LoadAndMeasure(folder.Path(), "Background.png").loaded);
    EXPECT_FALSE(LoadAndMeasure(folder.Path() + "_absent", "Arrow.png").loaded);
}

TEST(SkinImage, ASkinWithOnlyArrowBmpFillsOnlyTheArrowSlotAndSizesTheFrame) {
    GdiplusSession gdiplus;
    ASSERT_TRUE(gdiplus.Ok());
    ScratchSkinFolder folder("skin_arrow_only");
    const std::vector<uint8_t> bmp = BmpBytes(40, 30);
    ASSERT_TRUE(PutFile(folder.File("Arrow.bmp"), bmp.data(), bmp.size()));

    Gdiplus::GpImage* images[kSkinImageCount] = {};
    for (int slot = 0; slot < kSkinImageCount; ++slot)
        images[slot] = LoadSkinImage(folder.Path(), SkinImageFileName(slot));
    ASSERT_NE(images[kImageArrow], nullptr);
    for (int slot = kImageNeedle; slot < kSkinImageCount; ++slot) {
        EXPECT_EQ(images[slot], nullptr) << SkinImageFileName(slot);
    }
    const std::optional<PixelSize> arrow = SkinImageSize(images[kImageArrow]);
    ASSERT_TRUE(arrow.has_value());
    EXPECT_EQ(arrow->width, 40);
    EXPECT_EQ(arrow->height, 30);
    EXPECT_FALSE(SkinImageSize(images[kImageBackground]).has_value());

    const SkinGeometry g = ComputeSkinGeometry(arrow, SkinImageSize(images[kImageBackground]),
                                               DefaultSkinRecord().gauges[kKindVantrel], false);
    EXPECT_EQ(g.frame.width, 42);
    EXPECT_EQ(g.frame.height, 32);
    for (Gdiplus::GpImage* image : images) {
        if (image != nullptr) gp::GdipDisposeImage(image);
    }
}

} // namespace
