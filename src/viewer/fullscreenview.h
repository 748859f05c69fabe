#pragma once

#include <QWidget>

class ImageControl;

// Form6, the full-screen view of the selected cam: black, borderless, over the whole screen,
// showing the whole picture as large as it fits, its proportions kept (black bars beside or
// above it), until it is clicked (or closed any other way). Left and Right ask for the
// previous and next running cam.
class FullScreenView : public QWidget {
    Q_OBJECT
  public:
    explicit FullScreenView(QWidget* parent = nullptr);

    // Image1: stretched over the whole view.
    void showPicture(const QImage& picture);
    QImage picture() const;
    // picrefresh: the fetching indicator in the top-left corner.
    void showIndicator(bool on);
    bool isIndicatorShown() const;

    void closeByClick();

  signals:
    // The view is gone, whatever closed it.
    void unloaded();
    // Left (-1) or Right (+1): the previous or next running cam.
    void stepRequested(int step);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void placePicture();

    ImageControl* m_indicator = nullptr;
    ImageControl* m_picture = nullptr;
};
