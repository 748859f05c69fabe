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
    // In a layout, the label asks for room for `sample` whatever it shows, so its column keeps
    // its width while the texts change; without a sample it asks for its text's width and
    // can be made as narrow as its layout needs.
    void setRoomFor(const QString& sample);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_note;
    QString m_roomFor;
};
