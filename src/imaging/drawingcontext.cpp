#include "imaging/drawingcontext.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

void combineBytes(uint8_t* dest, const uint8_t* source, size_t count, RasterOp op) {
    switch (op) {
    case RasterOp::SrcCopy:
        std::memcpy(dest, source, count);
        return;
    case RasterOp::SrcPaint:
        for (size_t i = 0; i < count; ++i)
            dest[i] |= source[i];
        return;
    case RasterOp::SrcAnd:
        for (size_t i = 0; i < count; ++i)
            dest[i] &= source[i];
        return;
    case RasterOp::SrcInvert:
        for (size_t i = 0; i < count; ++i)
            dest[i] ^= source[i];
        return;
    }
}

QImage PictureSurface::readBlock(int left, int top, int width, int height) const {
    return picture.copy(left, top, width, height).convertToFormat(QImage::Format_BGR888);
}

void PictureSurface::writeBlock(int left, int top, const QImage& block, RasterOp op) {
    if (op == RasterOp::SrcCopy && picture.format() != QImage::Format_BGR888) {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(left, top, block);
        return;
    }
    if (picture.format() != QImage::Format_BGR888)
        picture = picture.convertToFormat(QImage::Format_BGR888);
    for (int y = 0; y < block.height(); ++y)
        combineBytes(picture.scanLine(top + y) + 3 * left, block.constScanLine(y),
                     size_t(block.width()) * 3, op);
}

Surface* DrawingContext::select(Surface* surface) {
    Surface* previous = current;
    current = surface;
    return previous;
}

bool BitBlt(ContextHandle dest, int destLeft, int destTop, int width, int height,
            ContextHandle source, int srcLeft, int srcTop, RasterOp op) {
    if (!dest || !source || !dest->selected() || !source->selected())
        return false;
    Surface& to = *dest->selected();
    const Surface& from = *source->selected();
    // clip the block to both surfaces
    if (srcLeft < 0) {
        width += srcLeft;
        destLeft -= srcLeft;
        srcLeft = 0;
    }
    if (srcTop < 0) {
        height += srcTop;
        destTop -= srcTop;
        srcTop = 0;
    }
    if (destLeft < 0) {
        width += destLeft;
        srcLeft -= destLeft;
        destLeft = 0;
    }
    if (destTop < 0) {
        height += destTop;
        srcTop -= destTop;
        destTop = 0;
    }
    width = std::min({width, from.width() - srcLeft, to.width() - destLeft});
    height = std::min({height, from.height() - srcTop, to.height() - destTop});
    if (width <= 0 || height <= 0)
        return true;
    to.writeBlock(destLeft, destTop, from.readBlock(srcLeft, srcTop, width, height), op);
    return true;
}
