#include "imaging/dibsection.h"

#include "common/localtext.h"
#include "common/prompter.h"
#include "imaging/imagingerror.h"

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
        throw ImagingError(ImagingError::overflow, errorSource,
                           localBytes(QCoreApplication::translate("DibSection", "Overflow")));
    return int32_t(value);
}

ImagingError subscriptOutOfRange() {
    return ImagingError(
        ImagingError::subscriptOutOfRange, errorSource,
        localBytes(QCoreApplication::translate("DibSection", "Subscript out of range")));
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

bool cDIBSection::CopyToClipboard(bool asDib, Prompter* prompter) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return false; // no screen to copy for
    if (asDib) {
        if (prompter)
            prompter->ask(nullptr, QGuiApplication::applicationDisplayName(),
                          QCoreApplication::translate(
                              "DibSection", "I don't know how to put a DIB on the clipboard! Copy "
                                            "as bitmap instead!!!"),
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

bool cDIBSection::CreateDIB(ContextHandle context, int32_t width, int32_t height,
                            SurfaceHandle& made) {
    bitmapInfo = BITMAPINFOHEADER{};
    bitmapInfo.biWidth = width;
    bitmapInfo.biHeight = height;
    bitmapInfo.biSizeImage = checkedInt32(int64_t(height) * BytesPerScanLine());
    made = nullptr;
    bitsPointer = nullptr;
    if (!context || width <= 0 || height <= 0)
        return false;
    try {
        auto* surface = new DibSurface(width, height, BytesPerScanLine());
        bitsPointer = surface->data();
        made = surface;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void cDIBSection::CreateFromPicture(const QImage& picture) {
    if (!Create(picture.width(), picture.height()))
        return;
    QImage shared = picture; // shares the pixels; a surface needs a mutable picture
    PictureSurface surface(shared);
    DrawingContext context;
    Surface* previous = context.select(&surface);
    LoadPictureBlt(&context, 0, 0, -1, -1, RasterOp::SrcCopy);
    context.select(previous);
}

bool cDIBSection::Create(int32_t width, int32_t height) {
    ClearUp();
    memoryDC = new DrawingContext;
    if (CreateDIB(memoryDC, width, height, dibHandle)) {
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

void cDIBSection::LoadPictureBlt(ContextHandle context, int32_t sourceLeft, int32_t sourceTop,
                                 int32_t sourceWidth, int32_t sourceHeight, RasterOp operation) {
    if (sourceWidth < 0)
        sourceWidth = Width();
    if (sourceHeight < 0)
        sourceHeight = Height();
    BitBlt(memoryDC, 0, 0, sourceWidth, sourceHeight, context, sourceLeft, sourceTop, operation);
}

void cDIBSection::PaintPicture(ContextHandle context, int32_t destLeft, int32_t destTop,
                               int32_t destWidth, int32_t destHeight, int32_t sourceLeft,
                               int32_t sourceTop, RasterOp operation) {
    if (destWidth < 0)
        destWidth = Width();
    if (destHeight < 0)
        destHeight = Height();
    BitBlt(context, destLeft, destTop, destWidth, destHeight, memoryDC, sourceLeft, sourceTop,
           operation);
}

void cDIBSection::RandomiseBits(bool grey) {
    if (!bitsPointer)
        return;
    std::mt19937 generator(uint32_t(QTime::currentTime().msecsSinceStartOfDay() / 1000));
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto randomByte = [&] { return uint8_t(std::nearbyint(unit(generator) * 255.0f)); };
    const int32_t pitch = BytesPerScanLine();
    const int32_t xEnd = (Width() - 1) * 3;
    if (grey) {
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

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t newHeight, int32_t newWidth) {
    auto section = std::make_unique<cDIBSection>();
    if (!section->Create(newWidth, newHeight))
        return nullptr;
    if (newWidth == Width() && newHeight == Height())
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
            throw subscriptOutOfRange();
    }
    for (int32_t ty = 0; ty < targetHeight; ++ty) {
        const float sy = yScale * float(ty);
        y0[size_t(ty)] = int32_t(std::floor(sy));
        fy[size_t(ty)] = sy - float(y0[size_t(ty)]);
        if (y0[size_t(ty)] + 1 >= Height() || y0[size_t(ty)] < 0)
            throw subscriptOutOfRange();
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
