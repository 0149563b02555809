// SkinArt FOLDER: renders the "Cluster" skin's images and writes its "Skin.bin" into FOLDER.
// Run at build time; the exit code is 0 only when every file was written.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <string>

#include "render/gdiplus.h"
#include "tools/skin_art/cluster_art.h"
#include "tools/skin_art/cluster_layout.h"

namespace {

const CLSID kPngEncoder = {
    0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

bool SavePng(const gfx::Bitmap& bitmap, const std::string& path) {
    std::u16string wide = gfx::AnsiToUtf16(path.c_str());
    return bitmap.Valid() &&
           Gdiplus::DllExports::GdipSaveImageToFile(static_cast<Gdiplus::GpImage*>(bitmap.Handle()),
                                                    reinterpret_cast<const WCHAR*>(wide.c_str()),
                                                    &kPngEncoder, nullptr) == Gdiplus::Ok;
}

bool WriteSkinBin(const std::string& path) {
    SkinRecord skin = cluster::ClusterSkinRecord();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(&skin, sizeof skin, 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: SkinArt FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    uintptr_t token = 0;
    if (gfx::Startup(&token) != gfx::Status::Ok) return 1;
    bool ok = true;
    {
        struct Picture {
            const char* name;
            gfx::Bitmap (*draw)();
        };
        const Picture pictures[] = {{"Background.png", DrawClusterBackground},
                                    {"Needle.png", DrawClusterNeedle}};
        for (const Picture& picture : pictures) {
            if (!SavePng(picture.draw(), folder + "\\" + picture.name)) {
                std::fprintf(stderr, "SkinArt: cannot write %s\n", picture.name);
                ok = false;
            }
        }
    }
    gfx::Shutdown(token);
    if (!WriteSkinBin(folder + "\\Skin.bin")) {
        std::fprintf(stderr, "SkinArt: cannot write Skin.bin\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
