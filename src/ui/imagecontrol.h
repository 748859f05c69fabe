#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>

// An image control: shows a picture, stretched to the control's own size when Stretch is on,
// at its natural size from the top-left corner otherwise. Clicks are reported. A picture shown
// smaller than it is is scaled once and kept; one shown larger is drawn part by part, only
// where it shows.
//
// A compact picture is kept as its file bytes plus a copy at the control's size, so that many
// panels of large pictures stay small in memory; whoever needs it whole decodes its bytes again
// (off the window's thread).
class ImageControl : public QWidget {
    Q_OBJECT
  public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    void setCompactPicture(const QImage& shown, const QByteArray& fileBytes);
    // The picture as given: whole for a plain one, the copy shown for a compact one.
    QImage picture() const { return full.isNull() ? scaled : full; }
    // The file bytes of a compact picture; empty for a plain one.
    const QByteArray& fileBytes() const { return encoded; }
    bool hasPicture() const { return !full.isNull() || !encoded.isEmpty(); }
    void setStretch(bool on);
    bool stretch() const { return stretching; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void coverWhenStretched();

    QImage full;
    QByteArray encoded;
    QImage scaled; // the picture at the control's size, made once per picture and size
    bool stretching = true;
};
