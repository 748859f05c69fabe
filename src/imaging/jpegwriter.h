#pragma once

#include <QString>
#include <cstdint>

class cDIBSection;

inline constexpr long jpegWriterError = 26001;

// Writes the section's pixels to `path` as a JPEG file of the given quality. Returns true when
// the file was written; failures are raised as ImagingError 26001 ("Failed to initialise the
// IJL library: <code>" or "Failed to save to JPG <code>"), or as a file-access error when an
// existing file may not be replaced. An existing file keeps its times and permission bits, and
// stays untouched when the write fails.
bool WriteJpegFile(cDIBSection& dib, const QString& path, int32_t quality);

// The JPEG bytes of the section, compressed from its rows in place. Empty on failure, with the
// encoder's code in `errorCode`.
QByteArray encodeJpeg(const cDIBSection& dib, int32_t quality, int& errorCode);
