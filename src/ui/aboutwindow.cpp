#include "ui/aboutwindow.h"

#include "common/appidentity.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, double points,
                  QRect twips) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(designFont("Verdana", points, true));
    setGeometryTwips(label, twips.x(), twips.y(), twips.width(), twips.height());
    return label;
}

} // namespace

AboutWindow::AboutWindow(const AppIdentity& identity, int major, int minor, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(":/pictures/about.png"));
    setFixedSize(tw(7455), tw(2535));
    setWindowTitle(tr("About %1").arg(identity.ProductName));

    auto* banner = new QLabel(this);
    banner->setObjectName("Picture1");
    banner->setPixmap(QPixmap(":/pictures/banner.png"));
    banner->setScaledContents(true);
    setGeometryTwips(banner, 0, 0, 7515, 1035);
    makeLabel(banner, "Label1", identity.ProductName, 14.25, {120, 300, 5655, 435})
        ->setStyleSheet("color: white");

    makeLabel(this, "Label2", tr("Version:"), 12, {180, 1260, 2295, 315});
    makeLabel(this, "Label3", tr("Owned By:"), 12, {180, 1680, 2295, 315});
    makeLabel(this, "Label4", tr("Website:"), 12, {180, 2100, 2295, 315});
    makeLabel(this, "lblVersion", QString("%1.%2").arg(major).arg(minor), 12,
              {2580, 1260, 4635, 315});
    makeLabel(this, "lblCompany", identity.CompanyName, 12, {2580, 1680, 4635, 315});
    m_website = makeLabel(this, "lblWebsite", identity.Website, 12, {2580, 2100, 4635, 315});
    QPalette link = m_website->palette();
    link.setColor(QPalette::WindowText, link.color(QPalette::Link));
    m_website->setPalette(link);
    m_website->setCursor(Qt::PointingHandCursor);
    m_website->installEventFilter(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_website && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        emit websiteClicked();
    return QWidget::eventFilter(watched, event);
}
