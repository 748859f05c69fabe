#pragma once

#include "engine/picturesink.h"

#include <QObject>

class CamEngine;

// Cams that could not reach their server wait longer after each try. When the server is back
// they need not: once one cam of a host answers, the others of that host that could not reach
// it are asked again at once; and the user may ask every failing cam again.
class CamRetries : public QObject, public PictureSink {
    Q_OBJECT
  public:
    CamRetries(CamEngine& engine, QObject* parent);
    ~CamRetries() override;

    // Every running cam whose last fetch failed is asked again now, except those that wait
    // for the user (a refused password is not sent again). Returns how many were asked.
    int retryAll();

    void completed(const CamPlace& place, const Completion& completion) override;

  private:
    bool mayRetry(const CamPlace& place) const;

    CamEngine& m_engine;
};
