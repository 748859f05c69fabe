#pragma once

#include <QLabel>

// A one-line label whose text, when it is wider than the label, is shown cut with "..." and
// whole in its tooltip. text() is always the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // Whether the text is shown cut.
    bool isElided() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
