#include "app/ruledialogs.h"

#include "app/camservices.h"
#include "dialogs/dailyfilmsdialog.h"
#include "dialogs/keeppicturesdialog.h"
#include "ui/widgetkit.h"

RuleDialogs::RuleDialogs(QWidget* owner, CamServices& services)
    : QObject(owner), m_owner(owner), m_services(services) {}

void RuleDialogs::openKeepPictures() {
    if (!m_keep) {
        m_keep =
            new KeepPicturesDialog(m_services.pictureKeeper(), m_services.listedCams(), m_owner);
        m_keep->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(m_keep);
}

void RuleDialogs::openDailyFilms() {
    if (!m_films) {
        std::vector<QByteArray> names;
        for (const CamNames& cam : m_services.listedCams())
            names.push_back(cam.current);
        m_films = new DailyFilmsDialog(m_services.dailyFilms(), names, m_owner);
        m_films->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(m_films);
}
