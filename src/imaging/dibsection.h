#pragma once

#include "imaging/drawingcontext.h"

#include <QImage>
#include <cstdint>
#include <memory>

class Prompter;

struct BITMAPINFOHEADER {
    int32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    int16_t biPlanes = 1;
    int16_t biBitCount = 24;
    int32_t biCompression = 0;
    int32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    int32_t biClrUsed = 0;
    int32_t biClrImportant = 0;
};

// The program's 24-bit in-memory bitmap: three bytes a pixel in blue, green, red order, rows
// stored bottom-up, each row padded to a multiple of four bytes. Its pixels are selected into
// a memory drawing context, so pictures can be copied in and out of it.
class cDIBSection {
  public:
    cDIBSection() = default;
    ~cDIBSection();
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    bool CopyToClipboard(bool asDib, Prompter* prompter = nullptr);
    bool CreateDIB(ContextHandle context, int32_t width, int32_t height, SurfaceHandle& made);
    void CreateFromPicture(const QImage& picture);
    bool Create(int32_t width, int32_t height);
    int32_t BytesPerScanLine() const;
    int32_t Width() const { return bitmapInfo.biWidth; }
    int32_t Height() const { return bitmapInfo.biHeight; }
    void LoadPictureBlt(ContextHandle context, int32_t sourceLeft = 0, int32_t sourceTop = 0,
                        int32_t sourceWidth = -1, int32_t sourceHeight = -1,
                        RasterOp operation = RasterOp::SrcCopy);
    void PaintPicture(ContextHandle context, int32_t destLeft = 0, int32_t destTop = 0,
                      int32_t destWidth = -1, int32_t destHeight = -1, int32_t sourceLeft = 0,
                      int32_t sourceTop = 0, RasterOp operation = RasterOp::SrcCopy);
    ContextHandle hdc() const { return memoryDC; }
    SurfaceHandle hDib() const { return dibHandle; }
    uint8_t* DIBSectionBitsPtr() const { return bitsPointer; }
    void RandomiseBits(bool grey = false);
    void ClearUp();
    // A new section of the given size holding this one's picture, bilinearly resampled.
    std::unique_ptr<cDIBSection> Resample(int32_t newHeight, int32_t newWidth);

  private:
    void ResampleInto(cDIBSection& target) const;

    SurfaceHandle dibHandle = nullptr;
    SurfaceHandle previousBitmap = nullptr;
    ContextHandle memoryDC = nullptr;
    uint8_t* bitsPointer = nullptr;
    BITMAPINFOHEADER bitmapInfo;
};
