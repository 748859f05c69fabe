#pragma once

#include <QImage>
#include <QWidget>

// An image control: shows a picture, stretched to the control's own size when Stretch is on,
// at its natural size from the top-left corner otherwise. Clicks are reported.
class ImageControl : public QWidget {
    Q_OBJECT
  public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return current; }
    void setStretch(bool on);
    bool stretch() const { return stretching; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QImage current;
    bool stretching = true;
};
