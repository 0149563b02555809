// Draws the program's icon (resource 105): a small dark dial with a green scale ring, tick marks
// and a red needle pointing up and to the right, at 16 x 16 and 32 x 32 pixels in 32-bit colour
// with alpha, and writes it as an .ico file. Run at build time; the picture is computed, so no
// binary is kept in the repository.
//
//   make_icon OUTPUT.ico

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

// Straight-alpha "over" of a colour with coverage c onto dst.
void Over(Rgba& dst, double r, double g, double b, double c) {
    if (c <= 0) {
        return;
    }
    const double a = c + dst.a * (1 - c);
    dst.r = (r * c + dst.r * dst.a * (1 - c)) / a;
    dst.g = (g * c + dst.g * dst.a * (1 - c)) / a;
    dst.b = (b * c + dst.b * dst.a * (1 - c)) / a;
    dst.a = a;
}

double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

// Distance from p to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = Clamp01(t);
    const double qx = ax + t * dx - px, qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

// The picture at one point, in units where the icon spans 0..1 in both directions.
Rgba Sample(double x, double y, double pixel) {
    Rgba out;
    const double cx = 0.5, cy = 0.5;
    const double r = std::hypot(x - cx, y - cy);
    const double aa = pixel * 0.75;
    // Dark face.
    Over(out, 0.09, 0.11, 0.13, Clamp01((0.48 - r) / aa + 0.5));
    // Green scale ring.
    Over(out, 0.10, 0.85, 0.25, Clamp01((0.06 - std::fabs(r - 0.42) + pixel * 0.3) / aa));
    // Tick marks every 45 degrees, pointing inwards from the ring.
    for (int i = 0; i < 8; ++i) {
        const double angle = i * kPi / 4;
        const double sx = std::sin(angle), sy = -std::cos(angle);
        const double d =
            SegmentDistance(x, y, cx + 0.26 * sx, cy + 0.26 * sy, cx + 0.36 * sx, cy + 0.36 * sy);
        Over(out, 0.85, 0.95, 0.85, Clamp01((0.035 + pixel * 0.3 - d) / aa));
    }
    // Red needle towards two o'clock, with a light hub.
    const double needle = 60 * kPi / 180;
    const double d =
        SegmentDistance(x, y, cx, cy, cx + 0.38 * std::sin(needle), cy - 0.38 * std::cos(needle));
    Over(out, 0.95, 0.15, 0.10, Clamp01((0.045 + pixel * 0.3 - d) / aa));
    Over(out, 0.90, 0.90, 0.90, Clamp01((0.08 - r) / aa + 0.5));
    return out;
}

// One icon image: BITMAPINFOHEADER, bottom-up BGRA pixels, then the AND mask (1 bit per pixel,
// rows padded to 32 bits; all zero, the alpha channel decides).
std::vector<uint8_t> IconImage(int size) {
    std::vector<uint8_t> bytes;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        bytes.push_back(uint8_t(v));
        bytes.push_back(uint8_t(v >> 8));
    };
    const int maskRow = ((size + 31) / 32) * 4;
    put32(40);
    put32(uint32_t(size));
    put32(uint32_t(size * 2)); // colour and mask together
    put16(1);
    put16(32);
    put32(0); // BI_RGB
    put32(uint32_t(size * size * 4 + maskRow * size));
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    const double pixel = 1.0 / size;
    const int kSub = 4; // 4 x 4 samples per pixel
    for (int row = size - 1; row >= 0; --row) {
        for (int col = 0; col < size; ++col) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const Rgba s = Sample((col + (sx + 0.5) / kSub) * pixel,
                                          (row + (sy + 0.5) / kSub) * pixel, pixel);
                    r += s.r * s.a;
                    g += s.g * s.a;
                    b += s.b * s.a;
                    a += s.a;
                }
            }
            const double n = kSub * kSub;
            const double alpha = a / n;
            auto channel = [&](double premultipliedSum) {
                return uint8_t(a > 0 ? std::lround(Clamp01(premultipliedSum / a) * 255) : 0);
            };
            bytes.push_back(channel(b));
            bytes.push_back(channel(g));
            bytes.push_back(channel(r));
            bytes.push_back(uint8_t(std::lround(alpha * 255)));
        }
    }
    bytes.insert(bytes.end(), size_t(maskRow * size), 0);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        images.push_back(IconImage(size));
    }
    std::vector<uint8_t> file;
    auto put16 = [&](uint16_t v) {
        file.push_back(uint8_t(v));
        file.push_back(uint8_t(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(v >> (8 * i)));
    };
    put16(0);
    put16(1); // icon
    put16(uint16_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(uint8_t(sizes[i]));
        file.push_back(uint8_t(sizes[i]));
        file.push_back(0); // colours in the palette
        file.push_back(0);
        put16(1);  // planes
        put16(32); // bits per pixel
        put32(uint32_t(images[i].size()));
        put32(offset);
        offset += uint32_t(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return (std::fclose(out) == 0 && written) ? 0 : 1;
}
