// The GDI+ wrapper family over the GDI+ flat API (gdiplus.dll).
#include "render/gdiplus.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <utility>

namespace flat = Gdiplus::DllExports;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "GDI+ text is UTF-16");
static_assert(sizeof(gfx::PointF) == sizeof(Gdiplus::PointF), "PointF layout");
static_assert(sizeof(gfx::RectF) == sizeof(Gdiplus::RectF), "RectF layout");

namespace gfx {
namespace {

Status From(Gdiplus::GpStatus status) {
    return static_cast<Status>(status);
}

const WCHAR* Wide(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

const Gdiplus::PointF* Points(const PointF* points) {
    return reinterpret_cast<const Gdiplus::PointF*>(points);
}

Gdiplus::RectF Rect(const RectF& r) {
    return Gdiplus::RectF(r.x, r.y, r.width, r.height);
}

template <class T> T* As(void* handle) {
    return static_cast<T*>(handle);
}

} // namespace

Status Startup(uintptr_t* token) {
    Gdiplus::GdiplusStartupInput input; // version 1, no callback, nothing suppressed
    ULONG_PTR native = 0;
    Status status = From(Gdiplus::GdiplusStartup(&native, &input, nullptr));
    *token = native;
    return status;
}

void Shutdown(uintptr_t token) {
    Gdiplus::GdiplusShutdown(token);
}

std::u16string AnsiToUtf16(const char* ansi) {
    std::u16string wide;
    if (ansi == nullptr || ansi[0] == '\0') return wide;
    int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length <= 1) return wide;
    wide.resize(size_t(length));
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, reinterpret_cast<WCHAR*>(&wide[0]), length);
    wide.resize(size_t(length - 1)); // without the terminator
    return wide;
}

// --- pen, brush --------------------------------------------------------------------------------

Pen::Pen(Argb color, float width) {
    width_ = width;
    color_ = color;
    Gdiplus::GpPen* pen = nullptr;
    Keep(From(flat::GdipCreatePen1(color, width, Gdiplus::UnitWorld, &pen)));
    handle_ = pen;
}
Pen& Pen::operator=(Pen&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
        color_ = other.color_;
        width_ = other.width_;
    }
    return *this;
}
Pen::~Pen() {
    Release();
}
void Pen::Release() {
    if (handle_) flat::GdipDeletePen(As<Gdiplus::GpPen>(handle_));
    handle_ = nullptr;
}
Status Pen::SetLineCaps(LineCap start, LineCap end) {
    auto* pen = As<Gdiplus::GpPen>(handle_);
    Status status = From(flat::GdipSetPenStartCap(pen, Gdiplus::LineCap(start)));
    if (status == Status::Ok) status = From(flat::GdipSetPenEndCap(pen, Gdiplus::LineCap(end)));
    return Keep(status);
}

SolidBrush::SolidBrush(Argb color) {
    color_ = color;
    Gdiplus::GpSolidFill* brush = nullptr;
    Keep(From(flat::GdipCreateSolidFill(color, &brush)));
    handle_ = brush;
}
SolidBrush& SolidBrush::operator=(SolidBrush&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
        color_ = other.color_;
    }
    return *this;
}
SolidBrush::~SolidBrush() {
    Release();
}
void SolidBrush::Release() {
    if (handle_) flat::GdipDeleteBrush(As<Gdiplus::GpBrush>(handle_));
    handle_ = nullptr;
}

// --- fonts, string format
// -------------------------------------------------------------------------

FontFamily::FontFamily(const std::u16string& name) {
    Gdiplus::GpFontFamily* family = nullptr;
    Keep(From(flat::GdipCreateFontFamilyFromName(Wide(name), nullptr, &family)));
    handle_ = family;
}
FontFamily FontFamily::GenericSansSerif() {
    Gdiplus::GpFontFamily* family = nullptr;
    Status status = From(flat::GdipGetGenericFontFamilySansSerif(&family));
    return FontFamily(family, status);
}
FontFamily& FontFamily::operator=(FontFamily&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}
FontFamily::~FontFamily() {
    Release();
}
void FontFamily::Release() {
    // The generic families are shared objects; deleting them is allowed and does nothing.
    if (handle_) flat::GdipDeleteFontFamily(As<Gdiplus::GpFontFamily>(handle_));
    handle_ = nullptr;
}

Font::Font(const FontFamily& family, float emSize, FontStyle style, Unit unit) {
    emPixels_ = EmPixelsOf(emSize, unit);
    Gdiplus::GpFont* font = nullptr;
    Keep(From(flat::GdipCreateFont(As<Gdiplus::GpFontFamily>(family.Handle()), emSize, INT(style),
                                   Gdiplus::Unit(unit), &font)));
    handle_ = font;
}
Font& Font::operator=(Font&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
        emPixels_ = other.emPixels_;
    }
    return *this;
}
Font::~Font() {
    Release();
}
void Font::Release() {
    if (handle_) flat::GdipDeleteFont(As<Gdiplus::GpFont>(handle_));
    handle_ = nullptr;
}

StringFormat::StringFormat(int32_t flags, uint16_t language) {
    Gdiplus::GpStringFormat* format = nullptr;
    Keep(From(flat::GdipCreateStringFormat(flags, language, &format)));
    handle_ = format;
}
StringFormat& StringFormat::operator=(StringFormat&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
        alignment_ = other.alignment_;
        lineAlignment_ = other.lineAlignment_;
    }
    return *this;
}
StringFormat::~StringFormat() {
    Release();
}
void StringFormat::Release() {
    if (handle_) flat::GdipDeleteStringFormat(As<Gdiplus::GpStringFormat>(handle_));
    handle_ = nullptr;
}
Status StringFormat::SetAlignment(StringAlignment alignment) {
    alignment_ = alignment;
    return Keep(From(flat::GdipSetStringFormatAlign(As<Gdiplus::GpStringFormat>(handle_),
                                                    Gdiplus::StringAlignment(alignment))));
}
Status StringFormat::SetLineAlignment(StringAlignment alignment) {
    lineAlignment_ = alignment;
    return Keep(From(flat::GdipSetStringFormatLineAlign(As<Gdiplus::GpStringFormat>(handle_),
                                                        Gdiplus::StringAlignment(alignment))));
}

// --- path, region
// ---------------------------------------------------------------------------------

GraphicsPath::GraphicsPath(FillMode mode) {
    Gdiplus::GpPath* path = nullptr;
    Keep(From(flat::GdipCreatePath(Gdiplus::FillMode(mode), &path)));
    handle_ = path;
}
GraphicsPath& GraphicsPath::operator=(GraphicsPath&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
        bounds_ = other.bounds_;
        hasBounds_ = other.hasBounds_;
    }
    return *this;
}
GraphicsPath::~GraphicsPath() {
    Release();
}
void GraphicsPath::Release() {
    if (handle_) flat::GdipDeletePath(As<Gdiplus::GpPath>(handle_));
    handle_ = nullptr;
}
Status GraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
    Include({x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 - x1 : x1 - x2,
             y1 < y2 ? y2 - y1 : y1 - y2});
    return Keep(From(flat::GdipAddPathLine(As<Gdiplus::GpPath>(handle_), x1, y1, x2, y2)));
}
Status GraphicsPath::AddArc(const RectF& b, float startAngle, float sweepAngle) {
    Include(b);
    return Keep(From(flat::GdipAddPathArc(As<Gdiplus::GpPath>(handle_), b.x, b.y, b.width, b.height,
                                          startAngle, sweepAngle)));
}
Status GraphicsPath::AddEllipse(const RectF& b) {
    Include(b);
    return Keep(
        From(flat::GdipAddPathEllipse(As<Gdiplus::GpPath>(handle_), b.x, b.y, b.width, b.height)));
}
Status GraphicsPath::AddRectangle(const RectF& r) {
    Include(r);
    return Keep(From(
        flat::GdipAddPathRectangle(As<Gdiplus::GpPath>(handle_), r.x, r.y, r.width, r.height)));
}
Status GraphicsPath::AddPolygon(const PointF* points, int32_t count) {
    Include(BoundsOf(points, count));
    return Keep(
        From(flat::GdipAddPathPolygon(As<Gdiplus::GpPath>(handle_), Points(points), count)));
}
Status GraphicsPath::CloseFigure() {
    return Keep(From(flat::GdipClosePathFigure(As<Gdiplus::GpPath>(handle_))));
}

Region::Region(const RectF& rect) {
    bounds_ = rect;
    Gdiplus::GpRegion* region = nullptr;
    Gdiplus::RectF r = Rect(rect);
    Keep(From(flat::GdipCreateRegionRect(&r, &region)));
    handle_ = region;
}
Region::Region(const GraphicsPath& path) {
    bounds_ = path.Bounds();
    Gdiplus::GpRegion* region = nullptr;
    Keep(From(flat::GdipCreateRegionPath(As<Gdiplus::GpPath>(path.Handle()), &region)));
    handle_ = region;
}
Region& Region::operator=(Region&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
        bounds_ = other.bounds_;
    }
    return *this;
}
Region::~Region() {
    Release();
}
void Region::Release() {
    if (handle_) flat::GdipDeleteRegion(As<Gdiplus::GpRegion>(handle_));
    handle_ = nullptr;
}
Status Region::Combine(const RectF& rect, CombineMode mode) {
    CombineBounds(rect, mode);
    Gdiplus::RectF r = Rect(rect);
    return Keep(From(flat::GdipCombineRegionRect(As<Gdiplus::GpRegion>(handle_), &r,
                                                 Gdiplus::CombineMode(mode))));
}
Status Region::Combine(const GraphicsPath& path, CombineMode mode) {
    CombineBounds(path.Bounds(), mode);
    return Keep(From(flat::GdipCombineRegionPath(As<Gdiplus::GpRegion>(handle_),
                                                 As<Gdiplus::GpPath>(path.Handle()),
                                                 Gdiplus::CombineMode(mode))));
}

// --- image, bitmap
// --------------------------------------------------------------------------------

Image Image::FromFile(const std::u16string& path) {
    Gdiplus::GpImage* image = nullptr;
    Status status = From(flat::GdipLoadImageFromFile(Wide(path), &image));
    if (status != Status::Ok && image != nullptr) {
        flat::GdipDisposeImage(image);
        image = nullptr;
    }
    return Image(image, status);
}
Image Image::Adopt(void* nativeImage) {
    return Image(nativeImage, nativeImage ? Status::Ok : Status::InvalidParameter);
}
Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
    }
    return *this;
}
Image::~Image() {
    Release();
}
void Image::Release() {
    if (handle_) flat::GdipDisposeImage(As<Gdiplus::GpImage>(handle_));
    handle_ = nullptr;
}
uint32_t Image::Width() const {
    UINT width = 0;
    if (handle_) Keep(From(flat::GdipGetImageWidth(As<Gdiplus::GpImage>(handle_), &width)));
    return width;
}
uint32_t Image::Height() const {
    UINT height = 0;
    if (handle_) Keep(From(flat::GdipGetImageHeight(As<Gdiplus::GpImage>(handle_), &height)));
    return height;
}

Bitmap::Bitmap(int32_t width, int32_t height) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    Keep(From(
        flat::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap)));
    handle_ = bitmap;
}
Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    Image::operator=(std::move(other));
    return *this;
}
Status Bitmap::GetPixel(int32_t x, int32_t y, Argb* color) const {
    Gdiplus::ARGB value = 0;
    Status status =
        Keep(From(flat::GdipBitmapGetPixel(As<Gdiplus::GpBitmap>(handle_), x, y, &value)));
    *color = value;
    return status;
}
void* Bitmap::CreateGdiBitmap(Argb background) const {
    HBITMAP bitmap = nullptr;
    if (Keep(From(flat::GdipCreateHBITMAPFromBitmap(As<Gdiplus::GpBitmap>(handle_), &bitmap,
                                                    background))) != Status::Ok)
        return nullptr;
    return bitmap;
}

Status Bitmap::ReadPixels(int32_t left, int32_t top, int32_t width, int32_t height,
                          const std::function<bool(const void*, int32_t)>& use) const {
    Gdiplus::BitmapData data{};
    const Gdiplus::Rect area(left, top, width, height);
    auto* bitmap = As<Gdiplus::GpBitmap>(handle_);
    Status status = From(flat::GdipBitmapLockBits(bitmap, &area, Gdiplus::ImageLockModeRead,
                                                  PixelFormat32bppARGB, &data));
    if (status != Status::Ok) return Keep(status);
    const bool used = use(data.Scan0, data.Stride);
    status = From(flat::GdipBitmapUnlockBits(bitmap, &data));
    return Keep(status != Status::Ok ? status : used ? Status::Ok : Status::GenericError);
}

Status Bitmap::CopyAreaFrom(const Bitmap& source, int32_t left, int32_t top, int32_t width,
                            int32_t height) {
    // The source rows are read in place and handed to GDI+ as the buffer to write here: one
    // copy of the rows, where a drawn image costs a blend or a conversion per pixel.
    auto* to = As<Gdiplus::GpBitmap>(handle_);
    if (!to || !source.Valid() || source.Handle() == handle_) return Keep(Status::InvalidParameter);
    const Gdiplus::Rect area(left, top, width, height);
    return source.ReadPixels(left, top, width, height, [&](const void* rows, int32_t stride) {
        Gdiplus::BitmapData target{};
        target.Width = UINT(width);
        target.Height = UINT(height);
        target.Stride = stride;
        target.PixelFormat = PixelFormat32bppARGB;
        target.Scan0 = const_cast<void*>(rows); // only read: the lock writes into `to`
        if (From(flat::GdipBitmapLockBits(
                to, &area, Gdiplus::ImageLockModeWrite | Gdiplus::ImageLockModeUserInputBuf,
                PixelFormat32bppARGB, &target)) != Status::Ok)
            return false;
        return From(flat::GdipBitmapUnlockBits(to, &target)) == Status::Ok;
    });
}

// --- graphics
// -------------------------------------------------------------------------------------

Graphics Graphics::FromImage(const Image& image) {
    Gdiplus::GpGraphics* graphics = nullptr;
    Status status = Status::InvalidParameter;
    if (image.Valid())
        status = From(
            flat::GdipGetImageGraphicsContext(As<Gdiplus::GpImage>(image.Handle()), &graphics));
    return Graphics(graphics, status);
}
Graphics Graphics::FromHdc(void* hdc) {
    Gdiplus::GpGraphics* graphics = nullptr;
    Status status = From(flat::GdipCreateFromHDC(static_cast<HDC>(hdc), &graphics));
    return Graphics(graphics, status);
}
Graphics& Graphics::operator=(Graphics&& other) noexcept {
    if (this != &other) {
        Release();
        TakeFrom(other);
        probe_ = other.probe_;
        ink_ = other.ink_;
        measureMemo_ = std::move(other.measureMemo_);
    }
    return *this;
}
Graphics::~Graphics() {
    Release();
}
void Graphics::Release() {
    if (handle_) flat::GdipDeleteGraphics(As<Gdiplus::GpGraphics>(handle_));
    handle_ = nullptr;
}

#define GRAPHICS As<Gdiplus::GpGraphics>(handle_)

Status Graphics::SetSmoothingMode(SmoothingMode mode) {
    return Keep(From(flat::GdipSetSmoothingMode(GRAPHICS, Gdiplus::SmoothingMode(mode))));
}
Status Graphics::SetCompositingMode(CompositingMode mode) {
    return Keep(From(flat::GdipSetCompositingMode(GRAPHICS, Gdiplus::CompositingMode(mode))));
}
Status Graphics::Clear(Argb color) {
    ink_.Everything();
    if (Sketch(kSketchClear, color, 0, nullptr, 0, nullptr, 0)) return Keep(Status::Ok);
    return Keep(From(flat::GdipGraphicsClear(GRAPHICS, color)));
}
Status Graphics::TranslateTransform(float dx, float dy, MatrixOrder order) {
    ink_.Translate(dx, dy, order);
    return Keep(
        From(flat::GdipTranslateWorldTransform(GRAPHICS, dx, dy, Gdiplus::MatrixOrder(order))));
}
Status Graphics::RotateTransform(float degrees, MatrixOrder order) {
    ink_.Rotate(degrees, order);
    return Keep(
        From(flat::GdipRotateWorldTransform(GRAPHICS, degrees, Gdiplus::MatrixOrder(order))));
}
Status Graphics::ScaleTransform(float sx, float sy, MatrixOrder order) {
    ink_.Scale(sx, sy, order);
    return Keep(From(flat::GdipScaleWorldTransform(GRAPHICS, sx, sy, Gdiplus::MatrixOrder(order))));
}
Status Graphics::ResetTransform() {
    ink_.ResetTransform();
    return Keep(From(flat::GdipResetWorldTransform(GRAPHICS)));
}

Status Graphics::SetClip(const RectF& r, CombineMode mode) {
    ink_.Clip(r, mode);
    return Keep(From(
        flat::GdipSetClipRect(GRAPHICS, r.x, r.y, r.width, r.height, Gdiplus::CombineMode(mode))));
}
Status Graphics::SetClip(const Region& region, CombineMode mode) {
    ink_.Clip(region.Bounds(), mode);
    return Keep(From(flat::GdipSetClipRegion(GRAPHICS, As<Gdiplus::GpRegion>(region.Handle()),
                                             Gdiplus::CombineMode(mode))));
}
Status Graphics::ResetClip() {
    ink_.ResetClip();
    return Keep(From(flat::GdipResetClip(GRAPHICS)));
}

#define BRUSH As<Gdiplus::GpBrush>(brush.Handle())
#define PEN As<Gdiplus::GpPen>(pen.Handle())

Status Graphics::FillRectangle(const SolidBrush& brush, const RectF& r) {
    ink_.Box(r, 0);
    if (Sketch(kSketchFillRectangle, brush.Color(), 0, &r.x, 4, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipFillRectangle(GRAPHICS, BRUSH, r.x, r.y, r.width, r.height)));
}
Status Graphics::FillPolygon(const SolidBrush& brush, const PointF* points, int32_t count,
                             FillMode mode) {
    ink_.Points(points, count, 0);
    if (Sketch(kSketchFillPolygon, brush.Color(), float(mode), points ? &points[0].x : nullptr,
               2 * count, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(
        flat::GdipFillPolygon(GRAPHICS, BRUSH, Points(points), count, Gdiplus::FillMode(mode))));
}
Status Graphics::FillEllipse(const SolidBrush& brush, const RectF& b) {
    ink_.Box(b, 0);
    if (Sketch(kSketchFillEllipse, brush.Color(), 0, &b.x, 4, nullptr, 0)) return Keep(Status::Ok);
    return Keep(From(flat::GdipFillEllipse(GRAPHICS, BRUSH, b.x, b.y, b.width, b.height)));
}
Status Graphics::FillPie(const SolidBrush& brush, const RectF& b, float startAngle,
                         float sweepAngle) {
    ink_.Box(b, 0);
    const float pie[6] = {b.x, b.y, b.width, b.height, startAngle, sweepAngle};
    if (Sketch(kSketchFillPie, brush.Color(), 0, pie, 6, nullptr, 0)) return Keep(Status::Ok);
    return Keep(From(
        flat::GdipFillPie(GRAPHICS, BRUSH, b.x, b.y, b.width, b.height, startAngle, sweepAngle)));
}
Status Graphics::FillPath(const SolidBrush& brush, const GraphicsPath& path) {
    if (path.HasBounds()) ink_.Box(path.Bounds(), 0);
    if (Sketch(kSketchFillPath, brush.Color(), 0, nullptr, 0, &path, sizeof(void*)))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipFillPath(GRAPHICS, BRUSH, As<Gdiplus::GpPath>(path.Handle()))));
}

Status Graphics::DrawLine(const Pen& pen, const PointF& a, const PointF& b) {
    InkLine(ink_, pen, &a, &b);
    const float ends[4] = {a.x, a.y, b.x, b.y};
    if (Sketch(kSketchDrawLine, pen.Color(), pen.Width(), ends, 4, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawLine(GRAPHICS, PEN, a.x, a.y, b.x, b.y)));
}
Status Graphics::DrawLines(const Pen& pen, const PointF* points, int32_t count) {
    ink_.Points(points, count, JoinReach(pen));
    if (Sketch(kSketchDrawLines, pen.Color(), pen.Width(), points ? &points[0].x : nullptr,
               2 * count, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawLines(GRAPHICS, PEN, Points(points), count)));
}
Status Graphics::DrawLineRuns(const Pen& pen, const PointF* points, const int32_t* counts,
                              int32_t runs) {
    const int32_t total = InkRuns(ink_, pen, points, counts, runs);
    if (Sketch(kSketchDrawLineRuns, pen.Color(), pen.Width(), points ? &points[0].x : nullptr,
               2 * total, counts, sizeof(int32_t) * std::size_t(runs)))
        return Keep(Status::Ok);
    Gdiplus::GpPath* path = nullptr;
    Status status = From(flat::GdipCreatePath(Gdiplus::FillModeAlternate, &path));
    const PointF* run = points;
    for (int32_t r = 0; r < runs && status == Status::Ok; ++r) {
        status = From(flat::GdipAddPathLine2(path, Points(run), counts[r]));
        if (status == Status::Ok) status = From(flat::GdipStartPathFigure(path));
        run += counts[r];
    }
    if (status == Status::Ok) status = From(flat::GdipDrawPath(GRAPHICS, PEN, path));
    if (path) flat::GdipDeletePath(path);
    return Keep(status);
}
Status Graphics::DrawRectangle(const Pen& pen, const RectF& r) {
    ink_.Box(r, JoinReach(pen));
    if (Sketch(kSketchDrawRectangle, pen.Color(), pen.Width(), &r.x, 4, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawRectangle(GRAPHICS, PEN, r.x, r.y, r.width, r.height)));
}
Status Graphics::DrawEllipse(const Pen& pen, const RectF& b) {
    ink_.Box(b, pen.Width() / 2);
    if (Sketch(kSketchDrawEllipse, pen.Color(), pen.Width(), &b.x, 4, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawEllipse(GRAPHICS, PEN, b.x, b.y, b.width, b.height)));
}
Status Graphics::DrawArc(const Pen& pen, const RectF& b, float startAngle, float sweepAngle) {
    ink_.Box(b, pen.Width() / 2);
    const float arc[6] = {b.x, b.y, b.width, b.height, startAngle, sweepAngle};
    if (Sketch(kSketchDrawArc, pen.Color(), pen.Width(), arc, 6, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(
        flat::GdipDrawArc(GRAPHICS, PEN, b.x, b.y, b.width, b.height, startAngle, sweepAngle)));
}
Status Graphics::DrawPolygon(const Pen& pen, const PointF* points, int32_t count) {
    ink_.Points(points, count, JoinReach(pen));
    if (Sketch(kSketchDrawPolygon, pen.Color(), pen.Width(), points ? &points[0].x : nullptr,
               2 * count, nullptr, 0))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawPolygon(GRAPHICS, PEN, Points(points), count)));
}
Status Graphics::DrawPath(const Pen& pen, const GraphicsPath& path) {
    if (path.HasBounds()) ink_.Box(path.Bounds(), JoinReach(pen));
    if (Sketch(kSketchDrawPath, pen.Color(), pen.Width(), nullptr, 0, &path, sizeof(void*)))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawPath(GRAPHICS, PEN, As<Gdiplus::GpPath>(path.Handle()))));
}

Status Graphics::DrawImage(const Image& image, const RectF& d, const RectF& s, Unit unit) {
    if (image.Valid()) ink_.Box(d, 0);
    const float place[9] = {d.x, d.y, d.width, d.height, s.x, s.y, s.width, s.height, float(unit)};
    const void* picture = image.Handle();
    if (Sketch(kSketchDrawImage, 0, 0, place, 9, &picture, sizeof picture)) return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawImageRectRect(
        GRAPHICS, As<Gdiplus::GpImage>(image.Handle()), d.x, d.y, d.width, d.height, s.x, s.y,
        s.width, s.height, Gdiplus::Unit(unit), nullptr, nullptr, nullptr)));
}
Status Graphics::DrawImage(const Image& image, const RectF& d) {
    if (image.Valid()) ink_.Box(d, 0);
    const void* picture = image.Handle();
    if (Sketch(kSketchDrawImageScaled, 0, 0, &d.x, 4, &picture, sizeof picture))
        return Keep(Status::Ok);
    return Keep(From(flat::GdipDrawImageRect(GRAPHICS, As<Gdiplus::GpImage>(image.Handle()), d.x,
                                             d.y, d.width, d.height)));
}

Status Graphics::DrawString(const std::u16string& text, const Font& font, const RectF& layout,
                            const StringFormat* format, const SolidBrush& brush) {
    InkText(text, font, layout, format);
    if (SketchText(text, font, layout, format, brush)) return Keep(Status::Ok);
    Gdiplus::RectF box = Rect(layout);
    return Keep(From(flat::GdipDrawString(
        GRAPHICS, Wide(text), INT(text.size()), As<Gdiplus::GpFont>(font.Handle()), &box,
        format ? As<Gdiplus::GpStringFormat>(format->Handle()) : nullptr, BRUSH)));
}
Status Graphics::MeasureString(const std::u16string& text, const Font& font, const RectF& layout,
                               const StringFormat* format, RectF* bounds) const {
    MeasureKey key;
    key.font = font.Serial();
    key.format = format ? format->Serial() : 0;
    key.layout = {layout.x, layout.y, layout.width, layout.height};
    ink_.Transform(key.transform);
    key.text = text;
    MeasureBox kept;
    if (font.Valid() && measureMemo_.Recall(key, &kept)) {
        *bounds = {kept.x, kept.y, kept.width, kept.height};
        NoteMeasure(text, font, layout, *bounds);
        return Keep(Status::Ok);
    }
    Gdiplus::RectF box = Rect(layout);
    Gdiplus::RectF result;
    Status status = From(flat::GdipMeasureString(
        GRAPHICS, Wide(text), INT(text.size()), As<Gdiplus::GpFont>(font.Handle()), &box,
        format ? As<Gdiplus::GpStringFormat>(format->Handle()) : nullptr, &result, nullptr,
        nullptr));
    *bounds =
        status == Status::Ok ? RectF{result.X, result.Y, result.Width, result.Height} : RectF{};
    if (status == Status::Ok) {
        NoteMeasure(text, font, layout, *bounds);
        measureMemo_.Keep(key, {bounds->x, bounds->y, bounds->width, bounds->height});
    }
    return Keep(status);
}

void* Graphics::GetHdc() {
    HDC hdc = nullptr;
    if (Keep(From(flat::GdipGetDC(GRAPHICS, &hdc))) != Status::Ok) return nullptr;
    return hdc;
}
void Graphics::ReleaseHdc(void* hdc) {
    Keep(From(flat::GdipReleaseDC(GRAPHICS, static_cast<HDC>(hdc))));
}

#undef GRAPHICS
#undef BRUSH
#undef PEN

} // namespace gfx
