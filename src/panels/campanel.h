#pragma once

#include "engine/freshness.h"
#include "source/picturesource.h"

#include <QByteArray>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QPixmap>

class ImageControl;
class ProgressBar;
class QAction;
class QLabel;

// One cam panel of the "Webcams" area, as the user sees it: the frame with the cam's name, the
// picture, the fetching indicator, the progress bar and the refresh and stop buttons. It shows
// what it is told and reports clicks; what its place holds (whether a cam runs there, its
// fetcher, what it learned) lives in the place's CamSlot.
class CamPanel : public QGroupBox {
    Q_OBJECT
  public:
    CamPanel(int index, QWidget* parent);

    // The panel's place in a grid of `columns` columns (two by design, in twelve rows), row by
    // row, with the two spare panels below the last row.
    static QRect gridGeometryTwips(int index, int columns = 2);
    static int gridRows(int columns) { return (24 + columns - 1) / columns; }

    int index() const { return m_index; }
    // The frame's caption, as exact bytes: the cam's name, or "[WebCam]" / "[webcam]".
    void setFrameCaption(const QByteArray& caption);
    const QByteArray& frameCaption() const { return m_caption; }

    void setIndicatorPicture(const QImage& picture);
    // The fetching indicator (imgRefresh), in front of the picture while it shows.
    void showFetching(bool on);
    // The panel shown in the viewer stands out in the desktop's highlight colour.
    void showSelected(bool on);
    bool isShownSelected() const { return m_shownSelected; }
    bool isFetching() const;

    // Progress of the download, 0 to 100; a value outside is refused and the last one kept.
    void showProgress(float percent);
    float progress() const;

    // A fetched picture: `shown` made at the panel's picture size, and the file bytes it came
    // from, from which the whole picture can be decoded again.
    void showPicture(const QImage& shown, const QByteArray& fileBytes);
    void showPlainPicture(const QImage& picture);
    void clearPicture();
    // What the panel shows: a plain picture whole, a fetched one at the panel's size.
    QImage shownPicture() const;
    // The file bytes of a fetched picture; empty for a plain one.
    const QByteArray& pictureBytes() const;
    bool hasPicture() const;
    QSize pictureSize() const;

    // The small mark in the frame's corner that tells how the cam is doing; its tooltip
    // says it in words, with the picture's age.
    void setStateMark(Freshness state, const QString& tooltip);
    Freshness stateMark() const { return m_state; }
    QString stateTooltip() const;
    // What the cam's source offers the user now ("Trust This Certificate...", "Send Password
    // Unencrypted..."), in the panel's menu.
    void offerActions(const QList<SourceAction>& actions);
    const QList<SourceAction>& offeredActions() const { return m_offered; }
    bool offers(const QString& actionId) const;
    bool offersCertificateTrust() const { return offers("trustCertificate"); }
    bool offersUnencryptedPassword() const { return offers("sendPasswordUnencrypted"); }

  signals:
    // A click on the picture, the box holding it, or the fetching indicator.
    void clicked();
    void refreshClicked();
    void stopClicked();
    // An offered action was chosen in the menu.
    void actionChosen(const SourceAction& action);
    // An arrow key: the panel `columns` to the right (negative: left) and `rows` down.
    void stepRequested(int columns, int rows);

  public:
    // Whether Tab stops at this panel: one running panel holds the panel area's Tab stop.
    void takeTabStop(bool on);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    const int m_index;
    QByteArray m_caption;
    ImageControl* m_picture = nullptr;   // imgCam
    ImageControl* m_indicator = nullptr; // imgRefresh
    ProgressBar* m_progress = nullptr;   // prgCam
    QLabel* m_mark = nullptr;
    QList<SourceAction> m_offered;
    QList<QAction*> m_actions;

    Freshness m_state = Freshness::Idle;
    QHash<Freshness, QPixmap> m_markPictures; // drawn once each: the mark changes twice a fetch
    bool m_shownSelected = false;
};
