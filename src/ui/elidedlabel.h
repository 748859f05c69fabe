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
    // A tooltip shown whether the text is cut or not (after the whole text when it is cut).
    void setNote(const QString& note);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_note;
};
