#pragma once

#include <QImage>
#include <QString>

// Loads a picture file (BMP, GIF, JPEG, PNG, ...), its format told by its content. A null
// picture when the file is not one the loader can read, or declares a size over the bound.
// With `shownAt` the picture comes at that size, decoded no larger than needed (a JPEG is
// decoded at a fraction of its size, far faster).
QImage LoadPictureFile(const QString& path, QSize shownAt = {});
