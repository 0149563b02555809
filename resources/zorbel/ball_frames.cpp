// Renders the ball toy's pictures: nine 53 × 52 frames of a shaded red and white checkered ball
// turning one step per frame (24-bit BMP files "ball0.bmp" .. "ball8.bmp"; frame 0 on the key
// green that shapes the ball windows, the others on white) and the tray icon "zorbel.ico"
// (16 × 16 and 32 × 32, 32-bit with alpha). Everything is computed, so the build makes the same
// files every time. Usage: ball_frames [output folder]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kFrameWidth = 53;
constexpr int kFrameHeight = 52;
constexpr int kFrames = 9;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};
constexpr Rgb kKeyGreen{1, 239, 7};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{206, 24, 30};
constexpr Rgb kChalk{238, 236, 230};

// The ball's checker: 8 sectors around the spin axis and 6 bands from pole to pole, so the
// pattern repeats every 90 degrees of turn and nine 10-degree steps make a seamless loop.
constexpr double kSectorDegrees = 45.0;
constexpr double kBandDegrees = 30.0;
constexpr double kStepDegrees = 2 * kSectorDegrees / kFrames;
// The spin axis leans towards the viewer and to the right so that both the sectors and the
// bands are seen.
constexpr double kAxisTiltDegrees = 28.0;
constexpr double kAxisRollDegrees = -18.0;

struct Vec {
    double x, y, z;
};
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Normalized(Vec v) {
    const double length = std::sqrt(Dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}
Vec RotateX(Vec v, double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    return {v.x, c * v.y - s * v.z, s * v.y + c * v.z};
}
Vec RotateY(Vec v, double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
}
Vec RotateZ(Vec v, double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    return {c * v.x - s * v.y, s * v.x + c * v.y, v.z};
}

// The colour of the ball's surface at unit normal n (x right, y up, z towards the viewer),
// turned by `turnDegrees` about its axis, lit from the upper left.
Rgb Shade(Vec n, double turnDegrees) {
    // Into the ball's own frame: undo the axis lean, then the turn.
    Vec body = RotateY(RotateX(RotateZ(n, -kAxisRollDegrees), kAxisTiltDegrees), -turnDegrees);
    const double longitude = std::atan2(body.x, body.z) * 180 / kPi + 180;
    const double latitude = std::asin(std::fmax(-1.0, std::fmin(1.0, body.y))) * 180 / kPi + 90;
    const int sector = int(std::floor(longitude / kSectorDegrees));
    const int band = int(std::floor(latitude / kBandDegrees));
    const Rgb base = (sector + band) % 2 ? kRed : kChalk;

    const Vec light = Normalized({-0.55, 0.6, 0.75});
    const Vec halfway = Normalized({light.x, light.y, light.z + 1});
    const double diffuse = std::fmax(0.0, Dot(n, light));
    const double specular = std::pow(std::fmax(0.0, Dot(n, halfway)), 40) * 0.55;
    // A darker rim gives the disc its roundness.
    const double rim = 0.75 + 0.25 * n.z;
    const double lit = (0.28 + 0.72 * diffuse) * rim;
    // The highlight stops short of pure white so that no pixel of the ball is background.
    auto channel = [&](double c) { return std::fmin(250.0, c * lit + 255 * specular); };
    return {channel(base.r), channel(base.g), channel(base.b)};
}

// One picture of the ball with its centre and radius in pixels. Each pixel is the average of
// 4 × 4 samples; `coverage` receives the share of samples on the ball (for the icon's alpha).
// Pixels whose centre is off the ball are background, so the ball's outline is hard and never
// mixes with the key colour.
std::vector<Rgb> RenderBall(int width, int height, double cx, double cy, double radius,
                            double turnDegrees, Rgb background, bool hardEdge,
                            std::vector<double>* coverage) {
    std::vector<Rgb> pixels(size_t(width) * size_t(height), background);
    if (coverage) coverage->assign(pixels.size(), 0.0);
    constexpr int kSamples = 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double centreX = (x + 0.5 - cx) / radius, centreY = (y + 0.5 - cy) / radius;
            const bool centreOnBall = centreX * centreX + centreY * centreY <= 1.0;
            if (hardEdge && !centreOnBall) continue;
            Rgb sum{0, 0, 0};
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double u = (x + (sx + 0.5) / kSamples - cx) / radius;
                    const double v = (y + (sy + 0.5) / kSamples - cy) / radius;
                    const double d = u * u + v * v;
                    if (d > 1.0) continue;
                    const Rgb c = Shade({u, -v, std::sqrt(1.0 - d)}, turnDegrees);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++hits;
                }
            }
            if (hits == 0) continue;
            pixels[size_t(y) * size_t(width) + size_t(x)] = {sum.r / hits, sum.g / hits,
                                                             sum.b / hits};
            if (coverage)
                (*coverage)[size_t(y) * size_t(width) + size_t(x)] =
                    double(hits) / (kSamples * kSamples);
        }
    }
    return pixels;
}

uint8_t Byte(double value) {
    return uint8_t(std::lround(std::fmax(0.0, std::fmin(255.0, value))));
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
// BITMAPINFOHEADER.
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t size) {
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, uint16_t(bits));
    Put32(out, 0); // BI_RGB
    Put32(out, size);
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// A 24-bit bottom-up BMP file.
std::vector<uint8_t> Bmp24(const std::vector<Rgb>& pixels, int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = uint32_t(stride * height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageSize);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, width, height, 24, imageSize);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& c = pixels[size_t(y) * size_t(width) + size_t(x)];
            out.push_back(Byte(c.b));
            out.push_back(Byte(c.g));
            out.push_back(Byte(c.r));
        }
        for (int pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

// One icon image: 32-bit BGRA bottom-up with the AND mask after it.
std::vector<uint8_t> IconImage(int size) {
    std::vector<double> coverage;
    const double radius = size / 2.0 - 0.5;
    const auto pixels = RenderBall(size, size, size / 2.0, size / 2.0, radius, kStepDegrees * 2,
                                   kWhite, false, &coverage);
    const int maskStride = ((size + 31) / 32) * 4;
    std::vector<uint8_t> out;
    PutInfoHeader(out, size, size * 2, 32, uint32_t(size * size * 4 + maskStride * size));
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const size_t i = size_t(y) * size_t(size) + size_t(x);
            const double alpha = coverage[i];
            // Premultiplying is not wanted in icons; the colour is the ball's.
            out.push_back(Byte(pixels[i].b));
            out.push_back(Byte(pixels[i].g));
            out.push_back(Byte(pixels[i].r));
            out.push_back(Byte(alpha * 255));
        }
    }
    // AND mask: 1 where the ball is not, for systems that ignore the alpha channel.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(maskStride), 0);
        for (int x = 0; x < size; ++x) {
            if (coverage[size_t(y) * size_t(size) + size_t(x)] < 0.5)
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> Ico(const std::vector<int>& sizes) {
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes)
        images.push_back(IconImage(size));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, uint16_t(sizes.size()));
    uint32_t offset = uint32_t(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out.push_back(uint8_t(sizes[i]));
        out.push_back(uint8_t(sizes[i]));
        out.push_back(0); // colour count
        out.push_back(0);
        Put16(out, 1);  // planes
        Put16(out, 32); // bits
        Put32(out, uint32_t(images[i].size()));
        Put32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : ".";
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    // The ball is about 50 pixels across, inside the 51 rows the ball window shows; the radius
    // keeps single pixels from poking out at the four extremes.
    const double cx = 26.5, cy = 25.5, radius = 24.8;
    for (int frame = 0; frame < kFrames; ++frame) {
        const Rgb background = frame == 0 ? kKeyGreen : kWhite;
        const auto pixels = RenderBall(kFrameWidth, kFrameHeight, cx, cy, radius,
                                       frame * kStepDegrees, background, true, nullptr);
        const std::string path = folder + "ball" + std::to_string(frame) + ".bmp";
        if (!WriteFile(path, Bmp24(pixels, kFrameWidth, kFrameHeight))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const std::string icon = folder + "zorbel.ico";
    if (!WriteFile(icon, Ico({16, 32}))) {
        std::fprintf(stderr, "cannot write %s\n", icon.c_str());
        return 1;
    }
    return 0;
}
