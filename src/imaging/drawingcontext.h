#pragma once

#include <QImage>
#include <cstdint>

// A small drawing-context layer: a surface (a bitmap's pixels or a picture) is selected into a
// context, and blocks of pixels are copied between contexts with a raster operation.
// Contexts and surfaces are handed around as opaque handles.

enum class RasterOp : uint32_t {
    SrcCopy = 0x00CC0020,   // dest = source
    SrcPaint = 0x00EE0086,  // dest = dest OR source
    SrcAnd = 0x008800C6,    // dest = dest AND source
    SrcInvert = 0x00660046, // dest = dest XOR source
};

// Something a context can hold and copy pixels to and from.
class Surface {
  public:
    virtual ~Surface() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The block as 24-bit blue-green-red rows, top row first.
    virtual QImage readBlock(int left, int top, int width, int height) const = 0;
    // Combines `block` (Format_BGR888) into the surface with its top-left corner at (left, top).
    virtual void writeBlock(int left, int top, const QImage& block, RasterOp op) = 0;
};

// A picture held by the program (a panel's or the viewer's image) seen as a surface.
class PictureSurface : public Surface {
  public:
    explicit PictureSurface(QImage& picture) : picture(picture) {}
    int width() const override { return picture.width(); }
    int height() const override { return picture.height(); }
    QImage readBlock(int left, int top, int width, int height) const override;
    void writeBlock(int left, int top, const QImage& block, RasterOp op) override;

  private:
    QImage& picture;
};

// A memory drawing context; holds at most one surface at a time.
class DrawingContext {
  public:
    // Puts `surface` into the context and returns the one it held before (may be null).
    Surface* select(Surface* surface);
    Surface* selected() const { return current; }

  private:
    Surface* current = nullptr;
};

using ContextHandle = DrawingContext*;
using SurfaceHandle = Surface*;

// Copies a width x height block from (srcLeft, srcTop) of `source` to (destLeft, destTop) of
// `dest`, clipped to both surfaces. Returns false when either context holds nothing.
bool BitBlt(ContextHandle dest, int destLeft, int destTop, int width, int height,
            ContextHandle source, int srcLeft, int srcTop, RasterOp op);

// Combines one row of bytes into another with a raster operation.
void combineBytes(uint8_t* dest, const uint8_t* source, size_t count, RasterOp op);
