#include "ui/statustext.h"

StatusText::StatusText(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

QSize StatusText::sizeHint() const {
    const QMargins margins = contentsMargins();
    return {minimumWidth(), fontMetrics().height() + margins.top() + margins.bottom()};
}

QSize StatusText::minimumSizeHint() const {
    return sizeHint();
}
