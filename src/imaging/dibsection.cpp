#include "imaging/dibsection.h"

#include "imaging/imagingerror.h"
#include "common/prompter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTime>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <random>
#include <vector>

namespace {

constexpr const char* errorSource = "cDIBSection";

int32_t checkedInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
        throw ImagingError(ImagingError::overflow, errorSource, "Overflow");
    return int32_t(value);
}

int32_t scanLineBytes(int32_t width) {
    return checkedInt32((int64_t(width) * 3 + 3)) & ~3;
}

// The section's own pixels: bottom-up blue-green-red rows of `pitch` bytes.
class DibSurface : public Surface {
  public:
    DibSurface(int32_t width, int32_t height, int32_t pitch)
        : bits(size_t(height) * size_t(pitch)), w(width), h(height), pitch(pitch) {}

    int width() const override { return w; }
    int height() const override { return h; }
    uint8_t* data() { return bits.data(); }

    QImage readBlock(int left, int top, int width, int height) const override {
        QImage block(width, height, QImage::Format_BGR888);
        for (int y = 0; y < height; ++y)
            std::memcpy(block.scanLine(y), row(top + y) + 3 * left, size_t(width) * 3);
        return block;
    }

    void writeBlock(int left, int top, const QImage& block, RasterOp op) override {
        for (int y = 0; y < block.height(); ++y)
            combineBytes(const_cast<uint8_t*>(row(top + y)) + 3 * left, block.constScanLine(y),
                         size_t(block.width()) * 3, op);
    }

  private:
    // picture row y (0 = top) lives at memory row h - 1 - y
    const uint8_t* row(int y) const { return bits.data() + size_t(h - 1 - y) * size_t(pitch); }

    std::vector<uint8_t> bits;
    int32_t w, h, pitch;
};

} // namespace

cDIBSection::~cDIBSection() {
    ClearUp();
}

bool cDIBSection::CopyToClipboard(bool bAsDIB, Prompter* prompter) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return false; // no screen to copy for
    if (bAsDIB) {
        if (prompter)
            prompter->ask(nullptr, QGuiApplication::applicationDisplayName(),
                          "I don't know how to put a DIB on the clipboard! Copy as bitmap "
                          "instead!!!",
                          PromptButtons::Ok);
        return false;
    }
    if (Width() <= 0 || Height() <= 0)
        return false;
    QImage bitmap(Width(), Height(), QImage::Format_RGB32);
    if (bitmap.isNull())
        return false;
    PictureSurface surface(bitmap);
    DrawingContext context;
    Surface* previous = context.select(&surface);
    PaintPicture(&context, 0, 0, -1, -1, 0, 0, RasterOp::SrcCopy);
    context.select(previous);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setImage(bitmap);
    return true;
}

bool cDIBSection::CreateDIB(ContextHandle lhDC, int32_t lWidth, int32_t lHeight,
                            SurfaceHandle& hDib) {
    bitmapInfo = BITMAPINFOHEADER{};
    bitmapInfo.biWidth = lWidth;
    bitmapInfo.biHeight = lHeight;
    bitmapInfo.biSizeImage = checkedInt32(int64_t(lHeight) * BytesPerScanLine());
    hDib = nullptr;
    bitsPointer = nullptr;
    if (!lhDC || lWidth <= 0 || lHeight <= 0)
        return false;
    try {
        auto* surface = new DibSurface(lWidth, lHeight, BytesPerScanLine());
        bitsPointer = surface->data();
        hDib = surface;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void cDIBSection::CreateFromPicture(const QImage& picThis) {
    if (!Create(picThis.width(), picThis.height()))
        return;
    QImage picture = picThis; // shares the pixels; a surface needs a mutable picture
    PictureSurface surface(picture);
    DrawingContext context;
    Surface* previous = context.select(&surface);
    LoadPictureBlt(&context, 0, 0, -1, -1, RasterOp::SrcCopy);
    context.select(previous);
}

bool cDIBSection::Create(int32_t lWidth, int32_t lHeight) {
    ClearUp();
    memoryDC = new DrawingContext;
    if (CreateDIB(memoryDC, lWidth, lHeight, dibHandle)) {
        previousBitmap = memoryDC->select(dibHandle);
        return true;
    }
    delete memoryDC;
    memoryDC = nullptr;
    return false;
}

int32_t cDIBSection::BytesPerScanLine() const {
    return scanLineBytes(bitmapInfo.biWidth);
}

void cDIBSection::LoadPictureBlt(ContextHandle lhDC, int32_t lSrcLeft, int32_t lSrcTop,
                                 int32_t lSrcWidth, int32_t lSrcHeight, RasterOp eRop) {
    if (lSrcWidth < 0)
        lSrcWidth = Width();
    if (lSrcHeight < 0)
        lSrcHeight = Height();
    BitBlt(memoryDC, 0, 0, lSrcWidth, lSrcHeight, lhDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::PaintPicture(ContextHandle lhDC, int32_t lDestLeft, int32_t lDestTop,
                               int32_t lDestWidth, int32_t lDestHeight, int32_t lSrcLeft,
                               int32_t lSrcTop, RasterOp eRop) {
    if (lDestWidth < 0)
        lDestWidth = Width();
    if (lDestHeight < 0)
        lDestHeight = Height();
    BitBlt(lhDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, memoryDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::RandomiseBits(bool bGray) {
    if (!bitsPointer)
        return;
    std::mt19937 generator(uint32_t(QTime::currentTime().msecsSinceStartOfDay() / 1000));
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto randomByte = [&] { return uint8_t(std::nearbyint(unit(generator) * 255.0f)); };
    const int32_t pitch = BytesPerScanLine();
    const int32_t xEnd = (Width() - 1) * 3;
    if (bGray) {
        for (int32_t y = 0; y < Height(); ++y) {
            uint8_t* row = bitsPointer + size_t(y) * size_t(pitch);
            for (int32_t x = 0; x <= xEnd; x += 3) {
                const uint8_t v = randomByte();
                row[x] = row[x + 1] = row[x + 2] = v;
            }
        }
        return;
    }
    for (int32_t x = 0; x <= xEnd; x += 3) {
        for (int32_t y = 0; y < Height(); ++y) {
            uint8_t* row = bitsPointer + size_t(y) * size_t(pitch);
            row[x] = 0;
            row[x + 1] = randomByte();
            row[x + 2] = randomByte();
        }
    }
}

void cDIBSection::ClearUp() {
    if (memoryDC) {
        if (dibHandle) {
            memoryDC->select(previousBitmap);
            delete dibHandle;
        }
        delete memoryDC;
    }
    memoryDC = nullptr;
    dibHandle = nullptr;
    previousBitmap = nullptr;
    bitsPointer = nullptr;
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t lNewHeight, int32_t lNewWidth) {
    auto section = std::make_unique<cDIBSection>();
    if (!section->Create(lNewWidth, lNewHeight))
        return nullptr;
    if (lNewWidth == Width() && lNewHeight == Height())
        section->LoadPictureBlt(memoryDC, 0, 0, -1, -1, RasterOp::SrcCopy);
    else
        ResampleInto(*section);
    return section;
}

void cDIBSection::ResampleInto(cDIBSection& target) const {
    const int32_t targetWidth = target.Width(), targetHeight = target.Height();
    const float xScale = float(double(Width() - 1) / double(targetWidth));
    const float yScale = float(double(Height() - 1) / double(targetHeight));

    // Sample positions and weights, worked out (and checked against the source) before any
    // pixel is written.
    std::vector<int32_t> x0(size_t(targetWidth), 0), y0(size_t(targetHeight), 0);
    std::vector<float> fx(static_cast<size_t>(targetWidth)), fy(static_cast<size_t>(targetHeight));
    const int32_t pitch = BytesPerScanLine();
    for (int32_t tx = 0; tx < targetWidth; ++tx) {
        const float sx = xScale * float(tx);
        x0[size_t(tx)] = int32_t(std::floor(sx));
        fx[size_t(tx)] = sx - float(x0[size_t(tx)]);
        if (!bitsPointer || 3 * int64_t(x0[size_t(tx)]) + 5 >= pitch || x0[size_t(tx)] < 0)
            throw ImagingError(ImagingError::subscriptOutOfRange, errorSource,
                               "Subscript out of range");
    }
    for (int32_t ty = 0; ty < targetHeight; ++ty) {
        const float sy = yScale * float(ty);
        y0[size_t(ty)] = int32_t(std::floor(sy));
        fy[size_t(ty)] = sy - float(y0[size_t(ty)]);
        if (y0[size_t(ty)] + 1 >= Height() || y0[size_t(ty)] < 0)
            throw ImagingError(ImagingError::subscriptOutOfRange, errorSource,
                               "Subscript out of range");
    }

    auto toByte = [](long double value) {
        const long double rounded = std::nearbyint(value);
        return uint8_t(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
    };
    const int32_t targetPitch = target.BytesPerScanLine();
    for (int32_t ty = 0; ty < targetHeight; ++ty) {
        const uint8_t* lower = bitsPointer + size_t(y0[size_t(ty)]) * size_t(pitch);
        const uint8_t* upper = lower + pitch;
        const long double wy = fy[size_t(ty)];
        uint8_t* out = target.bitsPointer + size_t(ty) * size_t(targetPitch);
        for (int32_t tx = 0; tx < targetWidth; ++tx) {
            const size_t o = size_t(3 * x0[size_t(tx)]);
            long double v[6];
            for (int k = 0; k < 6; ++k)
                v[k] =
                    std::nearbyint((1.0L - wy) * lower[o + size_t(k)] + wy * upper[o + size_t(k)]);
            const long double wx = fx[size_t(tx)];
            for (int c = 0; c < 3; ++c)
                out[3 * tx + c] = toByte((1.0L - wx) * v[c] + wx * v[c + 3]);
        }
    }
}
