#include "panels/campanel.h"

#include "ui/imagecontrol.h"
#include "ui/motioncolour.h"
#include "ui/progressbar.h"
#include "ui/widgetkit.h"

#include <QAccessible>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <algorithm>

namespace {

QString arrayName(const char* name, int index) {
    return QString("%1(%2)").arg(name).arg(index);
}

QColor markColour(Freshness state) {
    switch (state) {
    case Freshness::Fetching:
        return QColor(58, 123, 213);
    case Freshness::New:
        return QColor(46, 157, 58);
    case Freshness::Unchanged:
        return QColor(150, 150, 150);
    case Freshness::Stale:
        return QColor(224, 160, 32);
    case Freshness::Error:
        return QColor(208, 48, 48);
    case Freshness::Offline:
        return QColor(40, 40, 40);
    case Freshness::Motion:
        return MotionColour();
    case Freshness::Idle:
        break;
    }
    return Qt::transparent;
}

QPixmap markPicture(Freshness state, int side) {
    QPixmap dot(side, side);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    // a dark rim outside a light one: the dot stands out on light and dark palettes alike
    painter.setPen(QPen(QColor(0, 0, 0, 150), 1));
    painter.setBrush(markColour(state));
    painter.drawEllipse(QRectF(0.5, 0.5, side - 1.0, side - 1.0));
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(1.5, 1.5, side - 3.0, side - 3.0));
    return dot;
}

} // namespace

QRect CamPanel::gridGeometryTwips(int index, int columns) {
    const int spareTop = 24420 + (gridRows(columns) - 12) * 1980;
    if (index == 24)
        return {-600, spareTop, 1635, 1935};
    if (index == 25)
        return {1080, spareTop, 1635, 1935};
    return {60 + 1680 * (index % columns), 60 + 1980 * (index / columns), 1635, 1935};
}

CamPanel::CamPanel(int index, QWidget* parent) : QGroupBox(parent), m_index(index) {
    setObjectName(arrayName("Frame", index));
    setFont(designFont());
    setGeometryTwips(this, gridGeometryTwips(index));
    setFrameCaption("[WebCam]");

    auto* area = new QWidget(this);
    area->setObjectName(arrayName("Picture2", index));
    setGeometryTwips(area, 180, 300, 1275, 915);
    area->setAutoFillBackground(true);
    auto* box = new ImageControl(area);
    box->setObjectName(arrayName("Picture3", index));
    box->setGeometry(area->rect());
    m_picture = new ImageControl(box);
    m_picture->setObjectName(arrayName("imgCam", index));
    setGeometryTwips(m_picture, -10, -10, 1275, 960);

    m_indicator = new ImageControl(this);
    m_indicator->setObjectName(arrayName("imgRefresh", index));
    setGeometryTwips(m_indicator, 660, 660, 315, 255);
    m_indicator->hide();

    m_progress = new ProgressBar(this);
    m_progress->setObjectName(arrayName("prgCam", index));
    setGeometryTwips(m_progress, 180, 1200, 1275, 135);

    QToolButton* refresh =
        makePictureButton(this, arrayName("cmdRefresh", index), {}, tr("Refresh now"),
                          ":/pictures/refresh.png", ButtonFace::PictureOnly, 20);
    setGeometryTwips(refresh, 180, 1380, 495, 435);
    QToolButton* stop =
        makePictureButton(this, arrayName("cmdStop", index), {}, tr("Stop this cam"),
                          ":/pictures/stop.png", ButtonFace::PictureOnly, 20);
    setGeometryTwips(stop, 960, 1380, 495, 435);
    auto* scratch = new QLabel(this);
    scratch->setObjectName(arrayName("picTemp", index));
    setGeometryTwips(scratch, 720, 1500, 195, 195);

    // the mark sits in the frame's top right corner, clear of the design's controls
    m_mark = new QLabel(this);
    m_mark->setObjectName(arrayName("stateMark", index));
    setGeometryTwips(m_mark, 1455, 30, 150, 150);
    m_mark->hide();
    setContextMenuPolicy(Qt::ActionsContextMenu);

    // The panels are one Tab stop: the one that holds it takes the keyboard's focus, arrow keys
    // move to the others. Enter or Space selects a panel as a click does, F5 refreshes it,
    // Delete stops it; its buttons are for the mouse.
    takeTabStop(false);
    for (QToolButton* button : {refresh, stop})
        button->setFocusPolicy(Qt::NoFocus);

    connect(refresh, &QToolButton::clicked, this, &CamPanel::refreshClicked);
    connect(stop, &QToolButton::clicked, this, &CamPanel::stopClicked);
    connect(m_indicator, &ImageControl::clicked, this, &CamPanel::clicked);
    connect(m_picture, &ImageControl::clicked, this, &CamPanel::clicked);
    connect(box, &ImageControl::clicked, this, &CamPanel::clicked);
    hide();
}

void CamPanel::setFrameCaption(const QByteArray& caption) {
    m_caption = caption;
    setTitle(QString::fromLocal8Bit(caption));
    setAccessibleName(tr("Cam %1").arg(title()));
}

void CamPanel::setIndicatorPicture(const QImage& picture) {
    m_indicator->setPicture(picture);
}

void CamPanel::showSelected(bool on) {
    m_shownSelected = on;
    setAutoFillBackground(on);
    if (!on) {
        setPalette(QPalette()); // the window's own again
        return;
    }
    // the caption in the highlight's text colour over the highlight, as a selected item
    QPalette highlighted = parentWidget() ? parentWidget()->palette() : palette();
    highlighted.setColor(QPalette::Window, highlighted.color(QPalette::Highlight));
    highlighted.setColor(QPalette::WindowText, highlighted.color(QPalette::HighlightedText));
    setPalette(highlighted);
}

void CamPanel::showFetching(bool on) {
    m_indicator->setVisible(on);
    if (on)
        m_indicator->raise();
}

bool CamPanel::isFetching() const {
    return !m_indicator->isHidden();
}

void CamPanel::showProgress(float percent) {
    m_progress->setExactValue(percent);
}

float CamPanel::progress() const {
    return m_progress->exactValue();
}

void CamPanel::showPicture(const QImage& shown, const QByteArray& fileBytes) {
    m_picture->setCompactPicture(shown, fileBytes);
}

void CamPanel::showPlainPicture(const QImage& picture) {
    m_picture->setPicture(picture);
}

void CamPanel::clearPicture() {
    m_picture->setPicture(QImage());
}

QImage CamPanel::shownPicture() const {
    return m_picture->picture();
}

const QByteArray& CamPanel::pictureBytes() const {
    return m_picture->fileBytes();
}

QSize CamPanel::pictureSize() const {
    return m_picture->size();
}

void CamPanel::setStateMark(Freshness state, const QString& tooltip) {
    const bool changed = state != m_state;
    if (changed) {
        m_state = state;
        QPixmap& mark = m_markPictures[state];
        if (mark.isNull())
            mark = markPicture(state, m_mark->width());
        m_mark->setPixmap(mark);
        m_mark->setVisible(state != Freshness::Idle);
        m_mark->raise();
    }
    m_mark->setToolTip(tooltip);
    // what the mark shows in colour, in words for a screen reader, told when the state changes
    setAccessibleDescription(tooltip);
    if (changed && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QString CamPanel::stateTooltip() const {
    return m_mark->toolTip();
}

void CamPanel::offerActions(const QList<SourceAction>& actions) {
    if (actions == m_offered)
        return;
    m_offered = actions;
    qDeleteAll(m_actions);
    m_actions.clear();
    for (const SourceAction& offered : actions) {
        auto* action = new QAction(offered.label, this);
        action->setObjectName(arrayName(offered.id.toLatin1().constData(), m_index));
        addAction(action);
        connect(action, &QAction::triggered, this, [this, offered] { emit actionChosen(offered); });
        m_actions.append(action);
    }
}

bool CamPanel::offers(const QString& actionId) const {
    return std::any_of(m_offered.begin(), m_offered.end(),
                       [&](const SourceAction& action) { return action.id == actionId; });
}

bool CamPanel::hasPicture() const {
    return m_picture->hasPicture();
}

bool CamPanel::event(QEvent* event) {
    // the panel's own keys go to the panel, not to the window's shortcuts (Delete there removes
    // the cam chosen in the list)
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        static const QList<int> own = {Qt::Key_Return, Qt::Key_Enter,  Qt::Key_Space,
                                       Qt::Key_F5,     Qt::Key_Delete, Qt::Key_Left,
                                       Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down};
        if (key->modifiers() == Qt::NoModifier && own.contains(key->key())) {
            event->accept();
            return true;
        }
    }
    return QGroupBox::event(event);
}

void CamPanel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked();
        return;
    case Qt::Key_F5:
        emit refreshClicked();
        return;
    case Qt::Key_Delete:
        emit stopClicked();
        return;
    case Qt::Key_Left:
        emit stepRequested(-1, 0);
        return;
    case Qt::Key_Right:
        emit stepRequested(1, 0);
        return;
    case Qt::Key_Up:
        emit stepRequested(0, -1);
        return;
    case Qt::Key_Down:
        emit stepRequested(0, 1);
        return;
    default:
        QGroupBox::keyPressEvent(event);
    }
}

void CamPanel::paintEvent(QPaintEvent* event) {
    QGroupBox::paintEvent(event);
    if (!hasFocus())
        return;
    // a group box draws no focus frame of its own
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(1, 1, -1, -1);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

void CamPanel::takeTabStop(bool on) {
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}
