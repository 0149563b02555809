// The thin family of GDI+ objects the cluster draws with: graphics, pen, solid brush, font family,
// font, string format, path, region, image and bitmap.
//
// Each object holds its native handle and the status of its last call, and releases the handle
// when it goes away. Objects move but never copy, so no handle is released twice.
//
// This header is portable: it includes no <windows.h> and speaks in plain points, rectangles,
// colours and statuses. The program links the implementation over the GDI+ flat API
// (gdiplus_win.cpp); the native unit tests link a recording implementation that keeps every call
// with its arguments, so renderers written once against this header can be checked without a
// screen. Text is UTF-16 here; AnsiToUtf16 converts the program's 8-bit text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "render/ink_bounds.h"
#include "render/measure_memo.h"

namespace gfx {

// GDI+ status codes, with their GDI+ numbers.
enum class Status : int32_t {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

// Colour 0xAARRGGBB, straight alpha.
using Argb = uint32_t;

struct PointF {
    float x = 0;
    float y = 0;
};

struct RectF {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

// Values with their GDI+ numbers.
enum class FillMode : int32_t { Alternate = 0, Winding = 1 };
enum class Unit : int32_t { World = 0, Display = 1, Pixel = 2, Point = 3, Inch = 4 };
enum class FontStyle : int32_t { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };
enum class StringAlignment : int32_t { Near = 0, Center = 1, Far = 2 };
enum class SmoothingMode : int32_t {
    Default = 0,
    HighSpeed = 1,
    HighQuality = 2,
    None = 3,
    AntiAlias = 4
};
enum class MatrixOrder : int32_t { Prepend = 0, Append = 1 };
enum class CombineMode : int32_t { Replace = 0, Intersect = 1, Union = 2, Xor = 3, Exclude = 4 };
enum class LineCap : int32_t { Flat = 0, Square = 1, Round = 2, Triangle = 3 };
enum class CompositingMode : int32_t { SourceOver = 0, SourceCopy = 1 };

// What a drawing call is, for the digest of a surface's calls.
enum SketchOp : int32_t {
    kSketchClear = 1,
    kSketchFillRectangle,
    kSketchFillPolygon,
    kSketchFillEllipse,
    kSketchFillPie,
    kSketchFillPath,
    kSketchDrawLine,
    kSketchDrawLines,
    kSketchDrawRectangle,
    kSketchDrawEllipse,
    kSketchDrawArc,
    kSketchDrawPolygon,
    kSketchDrawPath,
    kSketchDrawImage,
    kSketchDrawImageScaled,
    kSketchDrawString,
    kSketchDrawLineRuns,
};

// GDI+ start-up and shut-down for the whole process (GDI+ version 1, no debug callback,
// background thread and external codecs as the system provides them).
Status Startup(uintptr_t* token);
void Shutdown(uintptr_t token);

// The program's 8-bit text (system code page) as UTF-16 for GDI+.
std::u16string AnsiToUtf16(const char* ansi);

// What every wrapper shares: the native handle and the status of its last call.
class NativeObject {
  public:
    NativeObject(const NativeObject&) = delete;
    NativeObject& operator=(const NativeObject&) = delete;

    bool Valid() const { return handle_ != nullptr; }
    Status LastStatus() const { return last_; }
    void* Handle() const { return handle_; }
    // Names this object among all the process ever makes; a move carries it along.
    uint64_t Serial() const { return serial_; }

  protected:
    NativeObject() = default;
    NativeObject(void* handle, Status status) : handle_(handle), last_(status) {}
    NativeObject(NativeObject&& other) noexcept
        : handle_(other.handle_), last_(other.last_), serial_(other.serial_) {
        other.handle_ = nullptr;
    }
    ~NativeObject() = default;
    // Takes over other's handle; the caller has released its own handle first.
    void TakeFrom(NativeObject& other) noexcept {
        handle_ = other.handle_;
        last_ = other.last_;
        serial_ = other.serial_;
        other.handle_ = nullptr;
    }
    Status Keep(Status status) const {
        last_ = status;
        return status;
    }

    void* handle_ = nullptr;
    mutable Status last_ = Status::Ok;

  private:
    static uint64_t NextSerial() {
        static uint64_t next = 0; // the programs draw on one thread
        return ++next;
    }
    uint64_t serial_ = NextSerial();
};

class Pen : public NativeObject {
  public:
    Pen(Argb color, float width);
    Pen(Pen&& other) noexcept = default;
    Pen& operator=(Pen&& other) noexcept;
    ~Pen();
    Status SetLineCaps(LineCap start, LineCap end);
    float Width() const { return width_; }
    Argb Color() const { return color_; }

  private:
    void Release();
    float width_ = 0;
    Argb color_ = 0;
};

class SolidBrush : public NativeObject {
  public:
    explicit SolidBrush(Argb color);
    SolidBrush(SolidBrush&& other) noexcept = default;
    SolidBrush& operator=(SolidBrush&& other) noexcept;
    ~SolidBrush();
    Argb Color() const { return color_; }

  private:
    void Release();
    Argb color_ = 0;
};

class FontFamily : public NativeObject {
  public:
    // An installed family by name; not Valid (status FontFamilyNotFound) when there is none.
    explicit FontFamily(const std::u16string& name);
    // The system's generic sans-serif family.
    static FontFamily GenericSansSerif();
    FontFamily(FontFamily&& other) noexcept = default;
    FontFamily& operator=(FontFamily&& other) noexcept;
    ~FontFamily();

  private:
    FontFamily(void* handle, Status status) : NativeObject(handle, status) {}
    void Release();
};

class Font : public NativeObject {
  public:
    // An empty font (not Valid) that can be assigned later.
    Font() = default;
    Font(const FontFamily& family, float emSize, FontStyle style, Unit unit);
    Font(Font&& other) noexcept = default;
    Font& operator=(Font&& other) noexcept;
    ~Font();
    // The em in device pixels (a point is 1/72 inch at 96 dots per inch).
    float EmPixels() const { return emPixels_; }

  private:
    void Release();
    float emPixels_ = 0;
};

class StringFormat : public NativeObject {
  public:
    // flags and language as GDI+ takes them (0 and 0 = no flags, neutral language).
    StringFormat(int32_t flags, uint16_t language);
    StringFormat(StringFormat&& other) noexcept = default;
    StringFormat& operator=(StringFormat&& other) noexcept;
    ~StringFormat();
    Status SetAlignment(StringAlignment alignment);
    Status SetLineAlignment(StringAlignment alignment);
    StringAlignment Alignment() const { return alignment_; }
    StringAlignment LineAlignment() const { return lineAlignment_; }

  private:
    void Release();
    StringAlignment alignment_ = StringAlignment::Near;
    StringAlignment lineAlignment_ = StringAlignment::Near;
};

class GraphicsPath : public NativeObject {
  public:
    explicit GraphicsPath(FillMode mode = FillMode::Alternate);
    GraphicsPath(GraphicsPath&& other) noexcept = default;
    GraphicsPath& operator=(GraphicsPath&& other) noexcept;
    ~GraphicsPath();
    Status AddLine(float x1, float y1, float x2, float y2);
    Status AddArc(const RectF& box, float startAngle, float sweepAngle);
    Status AddEllipse(const RectF& box);
    Status AddRectangle(const RectF& rect);
    Status AddPolygon(const PointF* points, int32_t count);
    Status CloseFigure();
    // Whether the path holds anything, and the box of all it holds.
    bool HasBounds() const { return hasBounds_; }
    const RectF& Bounds() const { return bounds_; }

  private:
    void Release();
    void Include(const RectF& box);
    RectF bounds_;
    bool hasBounds_ = false;
};

class Region : public NativeObject {
  public:
    explicit Region(const RectF& rect);
    explicit Region(const GraphicsPath& path);
    Region(Region&& other) noexcept = default;
    Region& operator=(Region&& other) noexcept;
    ~Region();
    Status Combine(const RectF& rect, CombineMode mode);
    Status Combine(const GraphicsPath& path, CombineMode mode);
    // A box that holds the whole region.
    const RectF& Bounds() const { return bounds_; }

  private:
    void Release();
    void CombineBounds(const RectF& box, CombineMode mode);
    RectF bounds_;
};

class Image : public NativeObject {
  public:
    // An absent image (not Valid).
    Image() = default;
    // Loads any format GDI+ reads, without embedded colour management. On failure the object
    // holds no handle and the failure is its last status.
    static Image FromFile(const std::u16string& path);
    // Takes ownership of a native image handle (a GpImage*) loaded elsewhere; null gives an
    // absent image.
    static Image Adopt(void* nativeImage);
    Image(Image&& other) noexcept = default;
    Image& operator=(Image&& other) noexcept;
    ~Image();
    // Size in pixels; 0 for an absent image.
    uint32_t Width() const;
    uint32_t Height() const;

  protected:
    Image(void* handle, Status status) : NativeObject(handle, status) {}
    void Release();
};

class Bitmap : public Image {
  public:
    // An absent bitmap (not Valid).
    Bitmap() = default;
    // A width × height bitmap, 32 bits per pixel ARGB, all pixels 0.
    Bitmap(int32_t width, int32_t height);
    Bitmap(Bitmap&& other) noexcept = default;
    Bitmap& operator=(Bitmap&& other) noexcept;
    ~Bitmap() = default;
    Status GetPixel(int32_t x, int32_t y, Argb* color) const;
    // A GDI bitmap (HBITMAP) copy, transparent pixels blended on `background`; nullptr on
    // failure. The caller deletes it with the GDI.
    void* CreateGdiBitmap(Argb background) const;
    // Hands the pixels of `area` (whole pixels, inside the bitmap) to `use` as 32-bit ARGB rows,
    // `stride` bytes apart, the area's top-left pixel first; read in place where GDI+ can, and
    // valid only during the call. A false from `use` is reported as a failure.
    Status ReadPixels(int32_t left, int32_t top, int32_t width, int32_t height,
                      const std::function<bool(const void* rows, int32_t stride)>& use) const;
    // Puts the pixels of `area` of `source` (a bitmap of the same size) at the same place in
    // this one, unblended: what a SourceCopy DrawImage of the area does, without drawing.
    Status CopyAreaFrom(const Bitmap& source, int32_t left, int32_t top, int32_t width,
                        int32_t height);
};

class Graphics : public NativeObject {
  public:
    // An absent surface (not Valid).
    Graphics() = default;
    // Drawing surface of an image (the back buffer).
    static Graphics FromImage(const Image& image);
    // Drawing surface of a device context (HDC).
    static Graphics FromHdc(void* hdc);
    Graphics(Graphics&& other) noexcept = default;
    Graphics& operator=(Graphics&& other) noexcept;
    ~Graphics();

    Status SetSmoothingMode(SmoothingMode mode);
    // SourceCopy replaces what lies under a drawing instead of blending over it.
    Status SetCompositingMode(CompositingMode mode);
    Status Clear(Argb color);

    Status TranslateTransform(float dx, float dy, MatrixOrder order);
    Status RotateTransform(float degrees, MatrixOrder order);
    Status ScaleTransform(float sx, float sy, MatrixOrder order);
    Status ResetTransform();

    Status SetClip(const RectF& rect, CombineMode mode);
    Status SetClip(const Region& region, CombineMode mode);
    Status ResetClip();

    Status FillRectangle(const SolidBrush& brush, const RectF& rect);
    Status FillPolygon(const SolidBrush& brush, const PointF* points, int32_t count, FillMode mode);
    Status FillEllipse(const SolidBrush& brush, const RectF& box);
    Status FillPie(const SolidBrush& brush, const RectF& box, float startAngle, float sweepAngle);
    Status FillPath(const SolidBrush& brush, const GraphicsPath& path);

    Status DrawLine(const Pen& pen, const PointF& from, const PointF& to);
    Status DrawLines(const Pen& pen, const PointF* points, int32_t count);
    // Several polylines in one call: `points` holds them one after another, `counts` how many
    // points each has. The same pixels as a DrawLines for each with an opaque pen, for a
    // fraction of the cost under Wine, which pays for the clip and the blend once per call.
    Status DrawLineRuns(const Pen& pen, const PointF* points, const int32_t* counts, int32_t runs);
    Status DrawRectangle(const Pen& pen, const RectF& rect);
    Status DrawEllipse(const Pen& pen, const RectF& box);
    Status DrawArc(const Pen& pen, const RectF& box, float startAngle, float sweepAngle);
    Status DrawPolygon(const Pen& pen, const PointF* points, int32_t count);
    Status DrawPath(const Pen& pen, const GraphicsPath& path);

    // Draws the source rectangle of the image (in `unit`) into the destination rectangle.
    Status DrawImage(const Image& image, const RectF& destination, const RectF& source, Unit unit);
    // Draws the whole image scaled into the destination rectangle.
    Status DrawImage(const Image& image, const RectF& destination);

    // format may be null (GDI+ defaults).
    Status DrawString(const std::u16string& text, const Font& font, const RectF& layout,
                      const StringFormat* format, const SolidBrush& brush);
    Status MeasureString(const std::u16string& text, const Font& font, const RectF& layout,
                         const StringFormat* format, RectF* bounds) const;

    // The surface's device context (HDC) for GDI calls, returned with ReleaseHdc.
    void* GetHdc();
    void ReleaseHdc(void* hdc);

    // Starts collecting where the following calls put pixels; EndInk gives the box in whole
    // pixels (false when nothing was drawn).
    void BeginInk() { ink_.Begin(); }
    bool EndInk(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
        return ink_.End(left, top, right, bottom);
    }
    // A digest of every drawing call since BeginInk (what, where, in which colour, pen, font,
    // text and image, under which transform and clip): equal digests draw equal pixels on equal
    // pixels.
    uint64_t InkDigest() const { return ink_.Digest(); }
    // While probing, drawing calls only feed the box and the digest and put no pixel down.
    void SetProbe(bool probe) { probe_ = probe; }

  private:
    Graphics(void* handle, Status status) : NativeObject(handle, status) {}
    void Release();
    void InkText(const std::u16string& text, const Font& font, const RectF& layout,
                 const StringFormat* format);
    // The texts measured last, which a drawing of the same text in the same font that follows
    // takes as the size of its ink (a scale measures its numbers before it draws them).
    void NoteMeasure(const std::u16string& text, const Font& font, const RectF& layout,
                     const RectF& bounds) const;
    // Feeds the digest with one call; true while probing (the call then draws nothing).
    bool Sketch(int32_t op, Argb color, float width, const float* numbers, int32_t count,
                const void* extra, std::size_t extraSize);
    bool SketchText(const std::u16string& text, const Font& font, const RectF& layout,
                    const StringFormat* format, const SolidBrush& brush);
    InkBounds ink_;
    bool probe_ = false;
    mutable MeasureMemo measureMemo_;
    struct NotedMeasure {
        const void* font = nullptr; // null: a measure that says nothing of the text's size
        std::u16string text;
        RectF bounds;
    };
    static constexpr int kNotedMeasures = 64;
    mutable NotedMeasure noted_[kNotedMeasures];
    mutable int notedNext_ = 0;
};

} // namespace gfx
