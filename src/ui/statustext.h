#pragma once

#include <QString>
#include <QWidget>

// One line of text, left-aligned and cut off at its end, for the status bar's first panel.
// While pictures arrive it changes a dozen times a second; unlike a label's, a new text here
// only repaints it and never lays the status bar out again.
class StatusText : public QWidget {
    Q_OBJECT
  public:
    explicit StatusText(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_text;
};
