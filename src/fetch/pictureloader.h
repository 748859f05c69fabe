#pragma once

#include <QImage>
#include <QString>

// Loads a picture file (BMP, GIF, JPEG, PNG, ...), its format told by its content. A null
// picture when the file is not one the loader can read, or declares a size over the bound.
QImage LoadPictureFile(const QString& path);
