#include "ui/noticewindow.h"

#include "ui/screentwips.h"
#include "ui/widgetkit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

NoticeWindow::NoticeWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint) {
    setObjectName("Form4");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Oops!"));
    setWindowIcon(QIcon(":/pictures/oops.png"));

    auto* message = new QLabel(tr("You must first select a cam from the list."), this);
    message->setObjectName("Label1");
    setGeometryTwips(message, 120, 120, 3855, 255);

    // The designed client area is 3060 x 480; widen it where this system's font needs more
    // room, so the message is never cut.
    const int textRight =
        message->x() + QFontMetrics(message->font()).horizontalAdvance(message->text());
    const int width = std::max(tw(3060), textRight + tw(120));
    message->resize(std::max(message->width(), textRight - message->x()), message->height());
    setFixedSize(width, tw(480));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
