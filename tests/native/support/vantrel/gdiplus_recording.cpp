// Recording implementation of render/gdiplus.h: see gdiplus_recording.h.
#include "vantrel/gdiplus_recording.h"

#include <cmath>
#include <map>
#include <utility>

namespace rec {
namespace {

enum class Kind { Pen, Brush, Family, Font, Format, Path, Region, Image, Graphics };

// What a native handle points at in the recording backend.
struct Object {
    Kind kind = Kind::Pen;
    int id = 0;
    gfx::Argb color = 0;
    float width = 0;
    std::u16string family;
    float emSize = 0;
    int unit = 0;
    int alignment = 0;
    uint32_t imageWidth = 0;
    uint32_t imageHeight = 0;
    std::string path;
    Matrix transform;
};

struct State {
    Recording recording;
    std::map<std::string, std::pair<uint32_t, uint32_t>> imageFiles;
    int nextId = 1;
    int live = 0;
};

State& Global() {
    static State state = [] {
        State s;
        s.recording.installedFamilies = {u"Arial", u"Tahoma", u"Microsoft Sans Serif"};
        s.recording.genericSansSerif = u"Microsoft Sans Serif";
        return s;
    }();
    return state;
}

Object* New(Kind kind) {
    auto* object = new Object;
    object->kind = kind;
    object->id = Global().nextId++;
    ++Global().live;
    return object;
}

void Delete(void* handle) {
    if (!handle) return;
    delete static_cast<Object*>(handle);
    --Global().live;
}

Object* Obj(const void* handle) {
    return static_cast<Object*>(const_cast<void*>(handle));
}

Matrix Multiply(const Matrix& a, const Matrix& b) { // a then b (row vectors: a × b)
    Matrix m;
    m.m11 = a.m11 * b.m11 + a.m12 * b.m21;
    m.m12 = a.m11 * b.m12 + a.m12 * b.m22;
    m.m21 = a.m21 * b.m11 + a.m22 * b.m21;
    m.m22 = a.m21 * b.m12 + a.m22 * b.m22;
    m.dx = a.dx * b.m11 + a.dy * b.m21 + b.dx;
    m.dy = a.dx * b.m12 + a.dy * b.m22 + b.dy;
    return m;
}

void Combine(Matrix& world, const Matrix& step, gfx::MatrixOrder order) {
    world = order == gfx::MatrixOrder::Prepend ? Multiply(step, world) : Multiply(world, step);
}

Call Named(const char* op) {
    Call call;
    call.op = op;
    return call;
}

void PushRect(Call& call, const gfx::RectF& r) {
    call.args.insert(call.args.end(), {r.x, r.y, r.width, r.height});
}

} // namespace

gfx::PointF Matrix::Map(gfx::PointF p) const {
    return {float(p.x * m11 + p.y * m21 + dx), float(p.x * m12 + p.y * m22 + dy)};
}

bool Matrix::IsIdentity() const {
    return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && dx == 0 && dy == 0;
}

std::vector<Call> Recording::Of(const std::string& op) const {
    std::vector<Call> found;
    for (const Call& call : calls)
        if (call.op == op) found.push_back(call);
    return found;
}

std::vector<Call> Recording::Runs() const {
    std::vector<Call> runs;
    for (const Call& call : calls) {
        if (call.op != "DrawLineRuns") continue;
        auto point = call.points.begin();
        for (float count : call.args) {
            Call run = call;
            run.args.clear();
            run.points.assign(point, point + std::ptrdiff_t(count));
            point += std::ptrdiff_t(count);
            runs.push_back(run);
        }
    }
    return runs;
}

std::vector<Call> Recording::Drawing() const {
    std::vector<Call> found;
    for (const Call& call : calls)
        if (call.op.rfind("Fill", 0) == 0 || call.op.rfind("Draw", 0) == 0 || call.op == "Clear")
            found.push_back(call);
    return found;
}

Recording& Current() {
    return Global().recording;
}

void Reset() {
    State& s = Global();
    s.recording.calls.clear();
    s.recording.installedFamilies = {u"Arial", u"Tahoma", u"Microsoft Sans Serif"};
    s.recording.genericSansSerif = u"Microsoft Sans Serif";
    s.imageFiles.clear();
    s.recording.startups = 0;
    s.recording.shutdowns = 0;
}

void AddImageFile(const std::string& path, uint32_t width, uint32_t height) {
    Global().imageFiles[path] = {width, height};
}

int LiveObjects() {
    return Global().live;
}

int ImageId(const gfx::Image& image) {
    return image.Valid() ? Obj(image.Handle())->id : 0;
}

std::string ImagePath(const gfx::Image& image) {
    return image.Valid() ? Obj(image.Handle())->path : std::string();
}

gfx::RectF MeasureText(const std::u16string& text, float emSize, gfx::Unit unit) {
    float em = unit == gfx::Unit::Point ? emSize * 96.0f / 72.0f : emSize;
    return {0, 0, float(text.size()) * em * 0.55f, em * 1.2f};
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace rec

// --- the wrapper family, recorded
// ------------------------------------------------------------------

namespace gfx {

using rec::Call;
using rec::Kind;
using rec::New;
using rec::Obj;

Status Startup(uintptr_t* token) {
    ++rec::Current().startups;
    *token = 0x5eed;
    return Status::Ok;
}

void Shutdown(uintptr_t token) {
    if (token == 0x5eed) ++rec::Current().shutdowns;
}

// Windows-1252, the ANSI code page of western systems.
std::u16string AnsiToUtf16(const char* ansi) {
    static const char16_t k80to9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::u16string wide;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(ansi); p && *p; ++p)
        wide += (*p >= 0x80 && *p < 0xA0) ? k80to9F[*p - 0x80] : char16_t(*p);
    return wide;
}

Pen::Pen(Argb color, float width) {
    width_ = width;
    color_ = color;
    auto* pen = New(Kind::Pen);
    pen->color = color;
    pen->width = width;
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
    rec::Delete(handle_);
    handle_ = nullptr;
}
Status Pen::SetLineCaps(LineCap, LineCap) {
    return Keep(Valid() ? Status::Ok : Status::InvalidParameter);
}

SolidBrush::SolidBrush(Argb color) {
    color_ = color;
    auto* brush = New(Kind::Brush);
    brush->color = color;
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
    rec::Delete(handle_);
    handle_ = nullptr;
}

FontFamily::FontFamily(const std::u16string& name) {
    for (const auto& installed : rec::Current().installedFamilies) {
        if (installed == name) {
            auto* family = New(Kind::Family);
            family->family = name;
            handle_ = family;
            return;
        }
    }
    Keep(Status::FontFamilyNotFound);
}
FontFamily FontFamily::GenericSansSerif() {
    if (rec::Current().genericSansSerif.empty())
        return FontFamily(nullptr, Status::FontFamilyNotFound);
    auto* family = New(Kind::Family);
    family->family = rec::Current().genericSansSerif;
    return FontFamily(family, Status::Ok);
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
    rec::Delete(handle_);
    handle_ = nullptr;
}

Font::Font(const FontFamily& family, float emSize, FontStyle, Unit unit) {
    emPixels_ = EmPixelsOf(emSize, unit);
    if (!family.Valid() || !(emSize > 0)) {
        Keep(Status::InvalidParameter);
        return;
    }
    auto* font = New(Kind::Font);
    font->family = Obj(family.Handle())->family;
    font->emSize = emSize;
    font->unit = int(unit);
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
    rec::Delete(handle_);
    handle_ = nullptr;
}

StringFormat::StringFormat(int32_t, uint16_t) {
    handle_ = New(Kind::Format);
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
    rec::Delete(handle_);
    handle_ = nullptr;
}
Status StringFormat::SetAlignment(StringAlignment alignment) {
    alignment_ = alignment;
    if (!Valid()) return Keep(Status::InvalidParameter);
    Obj(handle_)->alignment = int(alignment);
    return Keep(Status::Ok);
}
Status StringFormat::SetLineAlignment(StringAlignment alignment) {
    lineAlignment_ = alignment;
    return Keep(Valid() ? Status::Ok : Status::InvalidParameter);
}

GraphicsPath::GraphicsPath(FillMode) {
    handle_ = New(Kind::Path);
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
    rec::Delete(handle_);
    handle_ = nullptr;
}
Status GraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
    Include({x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 - x1 : x1 - x2,
             y1 < y2 ? y2 - y1 : y1 - y2});
    return Keep(Status::Ok);
}
Status GraphicsPath::AddArc(const RectF& b, float, float) {
    Include(b);
    return Keep(Status::Ok);
}
Status GraphicsPath::AddEllipse(const RectF& b) {
    Include(b);
    return Keep(Status::Ok);
}
Status GraphicsPath::AddRectangle(const RectF& r) {
    Include(r);
    return Keep(Status::Ok);
}
Status GraphicsPath::AddPolygon(const PointF* points, int32_t count) {
    Include(BoundsOf(points, count));
    return Keep(Status::Ok);
}
Status GraphicsPath::CloseFigure() {
    return Keep(Status::Ok);
}

Region::Region(const RectF& rect) {
    bounds_ = rect;
    handle_ = New(Kind::Region);
}
Region::Region(const GraphicsPath& path) {
    bounds_ = path.Bounds();
    handle_ = New(Kind::Region);
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
    rec::Delete(handle_);
    handle_ = nullptr;
}
Status Region::Combine(const RectF& rect, CombineMode mode) {
    CombineBounds(rect, mode);
    return Keep(Status::Ok);
}
Status Region::Combine(const GraphicsPath& path, CombineMode mode) {
    CombineBounds(path.Bounds(), mode);
    return Keep(Status::Ok);
}

Image Image::FromFile(const std::u16string& path) {
    std::string narrow = rec::Narrow(path);
    auto& files = rec::Global().imageFiles;
    auto found = files.find(narrow);
    rec::Current().calls.push_back(rec::Named("LoadImage"));
    rec::Current().calls.back().text = path;
    if (found == files.end()) return Image(nullptr, Status::FileNotFound);
    auto* image = New(Kind::Image);
    image->imageWidth = found->second.first;
    image->imageHeight = found->second.second;
    image->path = narrow;
    return Image(image, Status::Ok);
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
    rec::Delete(handle_);
    handle_ = nullptr;
}
uint32_t Image::Width() const {
    return handle_ ? Obj(handle_)->imageWidth : 0;
}
uint32_t Image::Height() const {
    return handle_ ? Obj(handle_)->imageHeight : 0;
}

Bitmap::Bitmap(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        Keep(Status::InvalidParameter);
        return;
    }
    auto* image = New(Kind::Image);
    image->imageWidth = uint32_t(width);
    image->imageHeight = uint32_t(height);
    handle_ = image;
    Call call = rec::Named("CreateBitmap");
    call.args = {float(width), float(height)};
    call.image = image->id;
    rec::Current().calls.push_back(call);
}
Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    Image::operator=(std::move(other));
    return *this;
}
Status Bitmap::GetPixel(int32_t, int32_t, Argb* color) const {
    *color = 0;
    return Keep(Status::NotImplemented); // the recording keeps calls, not pixels
}
void* Bitmap::CreateGdiBitmap(Argb) const {
    Keep(Status::NotImplemented);
    return nullptr;
}
Status Bitmap::ReadPixels(int32_t, int32_t, int32_t, int32_t,
                          const std::function<bool(const void*, int32_t)>&) const {
    return Keep(Status::NotImplemented);
}
Status Bitmap::CopyAreaFrom(const Bitmap& source, int32_t left, int32_t top, int32_t width,
                            int32_t height) {
    if (!Valid() || !source.Valid() || source.Handle() == Handle())
        return Keep(Status::InvalidParameter);
    Call call = rec::Named("CopyAreaFrom");
    call.args = {float(left), float(top), float(width), float(height)};
    call.image = Obj(source.Handle())->id;
    rec::Current().calls.push_back(call);
    return Keep(Status::Ok);
}

Graphics Graphics::FromImage(const Image& image) {
    if (!image.Valid()) return Graphics(nullptr, Status::InvalidParameter);
    auto* graphics = New(Kind::Graphics);
    Call call = rec::Named("GraphicsFromImage");
    call.surface = graphics->id;
    call.image = Obj(image.Handle())->id;
    rec::Current().calls.push_back(call);
    return Graphics(graphics, Status::Ok);
}
Graphics Graphics::FromHdc(void* hdc) {
    if (!hdc) return Graphics(nullptr, Status::InvalidParameter);
    return Graphics(New(Kind::Graphics), Status::Ok);
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
    rec::Delete(handle_);
    handle_ = nullptr;
}

namespace {

// A call on `graphics` ready to be filled in, or nullptr when the surface is absent.
Call* Begin(const void* graphics, const char* op) {
    if (!graphics) return nullptr;
    auto& calls = rec::Current().calls;
    calls.push_back(rec::Named(op));
    calls.back().surface = Obj(graphics)->id;
    calls.back().transform = Obj(graphics)->transform;
    return &calls.back();
}

Call* BeginFill(const void* graphics, const char* op, const SolidBrush& brush) {
    if (!brush.Valid()) return nullptr;
    Call* call = Begin(graphics, op);
    if (call) call->color = Obj(brush.Handle())->color;
    return call;
}

Call* BeginPen(const void* graphics, const char* op, const Pen& pen) {
    if (!pen.Valid()) return nullptr;
    Call* call = Begin(graphics, op);
    if (call) {
        call->color = Obj(pen.Handle())->color;
        call->penWidth = Obj(pen.Handle())->width;
    }
    return call;
}

} // namespace

Status Graphics::SetSmoothingMode(SmoothingMode mode) {
    Call* call = Begin(handle_, "SetSmoothingMode");
    if (!call) return Keep(Status::InvalidParameter);
    call->args = {float(mode)};
    return Keep(Status::Ok);
}
Status Graphics::SetCompositingMode(CompositingMode mode) {
    Call* call = Begin(handle_, "SetCompositingMode");
    if (!call) return Keep(Status::InvalidParameter);
    call->args = {float(mode)};
    return Keep(Status::Ok);
}
Status Graphics::Clear(Argb color) {
    ink_.Everything();
    if (Sketch(kSketchClear, color, 0, nullptr, 0, nullptr, 0)) return Keep(Status::Ok);
    Call* call = Begin(handle_, "Clear");
    if (!call) return Keep(Status::InvalidParameter);
    call->color = color;
    return Keep(Status::Ok);
}
Status Graphics::TranslateTransform(float dx, float dy, MatrixOrder order) {
    ink_.Translate(dx, dy, order);
    Call* call = Begin(handle_, "TranslateTransform");
    if (!call) return Keep(Status::InvalidParameter);
    call->args = {dx, dy, float(order)};
    rec::Matrix step;
    step.dx = dx;
    step.dy = dy;
    rec::Combine(Obj(handle_)->transform, step, order);
    return Keep(Status::Ok);
}
Status Graphics::RotateTransform(float degrees, MatrixOrder order) {
    ink_.Rotate(degrees, order);
    Call* call = Begin(handle_, "RotateTransform");
    if (!call) return Keep(Status::InvalidParameter);
    call->args = {degrees, float(order)};
    double t = double(degrees) * 3.14159265358979323846 / 180.0;
    rec::Matrix step;
    step.m11 = std::cos(t);
    step.m12 = std::sin(t);
    step.m21 = -std::sin(t);
    step.m22 = std::cos(t);
    rec::Combine(Obj(handle_)->transform, step, order);
    return Keep(Status::Ok);
}
Status Graphics::ScaleTransform(float sx, float sy, MatrixOrder order) {
    ink_.Scale(sx, sy, order);
    Call* call = Begin(handle_, "ScaleTransform");
    if (!call) return Keep(Status::InvalidParameter);
    call->args = {sx, sy, float(order)};
    rec::Matrix step;
    step.m11 = sx;
    step.m22 = sy;
    rec::Combine(Obj(handle_)->transform, step, order);
    return Keep(Status::Ok);
}
Status Graphics::ResetTransform() {
    ink_.ResetTransform();
    if (!Begin(handle_, "ResetTransform")) return Keep(Status::InvalidParameter);
    Obj(handle_)->transform = rec::Matrix{};
    return Keep(Status::Ok);
}

Status Graphics::SetClip(const RectF& rect, CombineMode mode) {
    ink_.Clip(rect, mode);
    Call* call = Begin(handle_, "SetClip");
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, rect);
    call->args.push_back(float(mode));
    return Keep(Status::Ok);
}
Status Graphics::SetClip(const Region& region, CombineMode mode) {
    ink_.Clip(region.Bounds(), mode);
    if (!region.Valid()) return Keep(Status::InvalidParameter);
    Call* call = Begin(handle_, "SetClipRegion");
    if (!call) return Keep(Status::InvalidParameter);
    call->args = {float(mode)};
    return Keep(Status::Ok);
}
Status Graphics::ResetClip() {
    ink_.ResetClip();
    return Keep(Begin(handle_, "ResetClip") ? Status::Ok : Status::InvalidParameter);
}

Status Graphics::FillRectangle(const SolidBrush& brush, const RectF& rect) {
    ink_.Box(rect, 0);
    if (Sketch(kSketchFillRectangle, brush.Color(), 0, &rect.x, 4, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginFill(handle_, "FillRectangle", brush);
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, rect);
    return Keep(Status::Ok);
}
Status Graphics::FillPolygon(const SolidBrush& brush, const PointF* points, int32_t count,
                             FillMode mode) {
    ink_.Points(points, count, 0);
    if (Sketch(kSketchFillPolygon, brush.Color(), float(mode), points ? &points[0].x : nullptr,
               2 * count, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginFill(handle_, "FillPolygon", brush);
    if (!call) return Keep(Status::InvalidParameter);
    call->points.assign(points, points + count);
    call->fillMode = int(mode);
    return Keep(Status::Ok);
}
Status Graphics::FillEllipse(const SolidBrush& brush, const RectF& box) {
    ink_.Box(box, 0);
    if (Sketch(kSketchFillEllipse, brush.Color(), 0, &box.x, 4, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginFill(handle_, "FillEllipse", brush);
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, box);
    return Keep(Status::Ok);
}
Status Graphics::FillPie(const SolidBrush& brush, const RectF& box, float start, float sweep) {
    ink_.Box(box, 0);
    const float pie[6] = {box.x, box.y, box.width, box.height, start, sweep};
    if (Sketch(kSketchFillPie, brush.Color(), 0, pie, 6, nullptr, 0)) return Keep(Status::Ok);
    Call* call = BeginFill(handle_, "FillPie", brush);
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, box);
    call->args.insert(call->args.end(), {start, sweep});
    return Keep(Status::Ok);
}
Status Graphics::FillPath(const SolidBrush& brush, const GraphicsPath& path) {
    if (path.HasBounds()) ink_.Box(path.Bounds(), 0);
    if (Sketch(kSketchFillPath, brush.Color(), 0, nullptr, 0, &path, sizeof(void*)))
        return Keep(Status::Ok);
    if (!path.Valid()) return Keep(Status::InvalidParameter);
    return Keep(BeginFill(handle_, "FillPath", brush) ? Status::Ok : Status::InvalidParameter);
}

Status Graphics::DrawLine(const Pen& pen, const PointF& from, const PointF& to) {
    InkLine(ink_, pen, &from, &to);
    const float ends[4] = {from.x, from.y, to.x, to.y};
    if (Sketch(kSketchDrawLine, pen.Color(), pen.Width(), ends, 4, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginPen(handle_, "DrawLine", pen);
    if (!call) return Keep(Status::InvalidParameter);
    call->points = {from, to};
    return Keep(Status::Ok);
}
Status Graphics::DrawLines(const Pen& pen, const PointF* points, int32_t count) {
    ink_.Points(points, count, JoinReach(pen));
    if (Sketch(kSketchDrawLines, pen.Color(), pen.Width(), points ? &points[0].x : nullptr,
               2 * count, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginPen(handle_, "DrawLines", pen);
    if (!call) return Keep(Status::InvalidParameter);
    call->points.assign(points, points + count);
    return Keep(Status::Ok);
}
Status Graphics::DrawLineRuns(const Pen& pen, const PointF* points, const int32_t* counts,
                              int32_t runs) {
    const int32_t total = InkRuns(ink_, pen, points, counts, runs);
    if (Sketch(kSketchDrawLineRuns, pen.Color(), pen.Width(), points ? &points[0].x : nullptr,
               2 * total, counts, sizeof(int32_t) * std::size_t(runs)))
        return Keep(Status::Ok);
    Call* call = BeginPen(handle_, "DrawLineRuns", pen);
    if (!call) return Keep(Status::InvalidParameter);
    call->points.assign(points, points + total);
    for (int32_t r = 0; r < runs; ++r)
        call->args.push_back(float(counts[r]));
    return Keep(Status::Ok);
}
Status Graphics::DrawRectangle(const Pen& pen, const RectF& rect) {
    ink_.Box(rect, JoinReach(pen));
    if (Sketch(kSketchDrawRectangle, pen.Color(), pen.Width(), &rect.x, 4, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginPen(handle_, "DrawRectangle", pen);
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, rect);
    return Keep(Status::Ok);
}
Status Graphics::DrawEllipse(const Pen& pen, const RectF& box) {
    ink_.Box(box, pen.Width() / 2);
    if (Sketch(kSketchDrawEllipse, pen.Color(), pen.Width(), &box.x, 4, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginPen(handle_, "DrawEllipse", pen);
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, box);
    return Keep(Status::Ok);
}
Status Graphics::DrawArc(const Pen& pen, const RectF& box, float start, float sweep) {
    ink_.Box(box, pen.Width() / 2);
    const float arc[6] = {box.x, box.y, box.width, box.height, start, sweep};
    if (Sketch(kSketchDrawArc, pen.Color(), pen.Width(), arc, 6, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginPen(handle_, "DrawArc", pen);
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, box);
    call->args.insert(call->args.end(), {start, sweep});
    return Keep(Status::Ok);
}
Status Graphics::DrawPolygon(const Pen& pen, const PointF* points, int32_t count) {
    ink_.Points(points, count, JoinReach(pen));
    if (Sketch(kSketchDrawPolygon, pen.Color(), pen.Width(), points ? &points[0].x : nullptr,
               2 * count, nullptr, 0))
        return Keep(Status::Ok);
    Call* call = BeginPen(handle_, "DrawPolygon", pen);
    if (!call) return Keep(Status::InvalidParameter);
    call->points.assign(points, points + count);
    return Keep(Status::Ok);
}
Status Graphics::DrawPath(const Pen& pen, const GraphicsPath& path) {
    if (path.HasBounds()) ink_.Box(path.Bounds(), JoinReach(pen));
    if (Sketch(kSketchDrawPath, pen.Color(), pen.Width(), nullptr, 0, &path, sizeof(void*)))
        return Keep(Status::Ok);
    if (!path.Valid()) return Keep(Status::InvalidParameter);
    return Keep(BeginPen(handle_, "DrawPath", pen) ? Status::Ok : Status::InvalidParameter);
}

Status Graphics::DrawImage(const Image& image, const RectF& destination, const RectF& source,
                           Unit unit) {
    if (image.Valid()) ink_.Box(destination, 0);
    const float place[9] = {destination.x,      destination.y, destination.width,
                            destination.height, source.x,      source.y,
                            source.width,       source.height, float(unit)};
    const void* picture = image.Handle();
    if (Sketch(kSketchDrawImage, 0, 0, place, 9, &picture, sizeof picture)) return Keep(Status::Ok);
    if (!image.Valid()) return Keep(Status::InvalidParameter);
    Call* call = Begin(handle_, "DrawImage");
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, destination);
    rec::PushRect(*call, source);
    call->args.push_back(float(unit));
    call->image = Obj(image.Handle())->id;
    return Keep(Status::Ok);
}
Status Graphics::DrawImage(const Image& image, const RectF& destination) {
    if (image.Valid()) ink_.Box(destination, 0);
    const void* picture = image.Handle();
    if (Sketch(kSketchDrawImageScaled, 0, 0, &destination.x, 4, &picture, sizeof picture))
        return Keep(Status::Ok);
    if (!image.Valid()) return Keep(Status::InvalidParameter);
    Call* call = Begin(handle_, "DrawImageScaled");
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, destination);
    call->image = Obj(image.Handle())->id;
    return Keep(Status::Ok);
}

Status Graphics::DrawString(const std::u16string& text, const Font& font, const RectF& layout,
                            const StringFormat* format, const SolidBrush& brush) {
    InkText(text, font, layout, format);
    if (SketchText(text, font, layout, format, brush)) return Keep(Status::Ok);
    if (!font.Valid() || (format && !format->Valid())) return Keep(Status::InvalidParameter);
    Call* call = BeginFill(handle_, "DrawString", brush);
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, layout);
    call->text = text;
    call->fontFamily = Obj(font.Handle())->family;
    call->fontSize = Obj(font.Handle())->emSize;
    call->fontUnit = Obj(font.Handle())->unit;
    call->alignment = format ? Obj(format->Handle())->alignment : -1;
    return Keep(Status::Ok);
}
Status Graphics::MeasureString(const std::u16string& text, const Font& font, const RectF& layout,
                               const StringFormat* format, RectF* bounds) const {
    *bounds = RectF{};
    if (!font.Valid() || (format && !format->Valid())) return Keep(Status::InvalidParameter);
    Call* call = Begin(handle_, "MeasureString");
    if (!call) return Keep(Status::InvalidParameter);
    rec::PushRect(*call, layout);
    call->text = text;
    call->fontFamily = Obj(font.Handle())->family;
    call->fontSize = Obj(font.Handle())->emSize;
    call->fontUnit = Obj(font.Handle())->unit;
    call->alignment = format ? Obj(format->Handle())->alignment : -1;
    RectF size = rec::MeasureText(text, Obj(font.Handle())->emSize, Unit(Obj(font.Handle())->unit));
    // Like GDI+, the measured box never exceeds a layout box that has a size.
    if (layout.width > 0 && size.width > layout.width) size.width = layout.width;
    if (layout.height > 0 && size.height > layout.height) size.height = layout.height;
    *bounds = RectF{layout.x, layout.y, size.width, size.height};
    NoteMeasure(text, font, layout, *bounds);
    return Keep(Status::Ok);
}

void* Graphics::GetHdc() {
    Keep(handle_ ? Status::NotImplemented : Status::InvalidParameter);
    return nullptr;
}
void Graphics::ReleaseHdc(void*) {}

} // namespace gfx
