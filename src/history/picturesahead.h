#pragma once

#include "common/background.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <deque>

// Saved pictures read and decoded off the window's thread, the one wanted now first and then
// those the user is likely to want next, and kept for a while: moving through a cam's history
// never waits for the disk. One picture is decoded at a time, so a quick run over many
// pictures decodes only where it stops. Pictures are decoded no larger than they can be shown
// (scaled while decoding), and those kept stay within a bound of bytes, the latest kept first.
class PicturesAhead : public QObject {
    Q_OBJECT
  public:
    // `largest`: the most a picture is shown at (a screen's pixels); pictures larger than that
    // are decoded at the smallest scale that still covers it.
    explicit PicturesAhead(QSize largest = {}, QObject* parent = nullptr);
    ~PicturesAhead() override;

    // The files wanted, the most wanted first; it replaces what was wanted before. A picture
    // already decoded is ready() at once.
    void want(const QStringList& paths);
    // The decoded picture of `path`, or a null one while it is not ready.
    QImage ready(const QString& path) const { return m_kept.value(path); }
    void clear();

  signals:
    // `picture` is null when the file could not be read or decoded.
    void decoded(const QString& path, const QImage& picture);

  private:
    void decodeNext();
    void keep(const QString& path, const QImage& picture);

    static constexpr int pictures = 12; // kept decoded, about 100 MB at 1920 x 1080
    static constexpr qsizetype keptBytes = qsizetype(128) << 20;
    const QSize m_largest;
    BackgroundQueue m_queue{1};
    QStringList m_wanted;
    QString m_decoding;
    QHash<QString, QImage> m_kept;
    std::deque<QString> m_keptOrder; // the oldest first
    qsizetype m_bytes = 0;           // of the pictures kept
};
