#pragma once

#include <QWidget>

class ImageControl;

// The full-screen view of the selected cam: black, borderless, over the whole screen, showing
// the picture stretched until it is clicked (or closed any other way).
class FullScreenView : public QWidget {
    Q_OBJECT
  public:
    explicit FullScreenView(QWidget* parent = nullptr);

    void Image1_Click();

    ImageControl* picrefresh = nullptr;
    ImageControl* Image1 = nullptr;

  signals:
    // The view is gone, whatever closed it.
    void unloaded();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
