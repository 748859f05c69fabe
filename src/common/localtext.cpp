#include "common/localtext.h"

std::string localBytes(const QString& text, std::initializer_list<std::string_view> values) {
    const QByteArray local = text.toLocal8Bit();
    std::string filled;
    filled.reserve(size_t(local.size()));
    for (qsizetype i = 0; i < local.size(); ++i) {
        // one pass: a value holding "%2" is never filled in itself
        const size_t index = i + 1 < local.size() ? size_t(uchar(local[i + 1])) - '1' : size_t(-1);
        if (local[i] == '%' && index < values.size()) {
            filled.append(values.begin()[index]);
            ++i;
        } else {
            filled += local[i];
        }
    }
    return filled;
}
