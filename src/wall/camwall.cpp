#include "wall/camwall.h"

#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "source/picturesource.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace {

constexpr int gap = 4;

bool failing(Freshness state) {
    return state == Freshness::Error || state == Freshness::Offline;
}

} // namespace

CamWall::CamWall(CamEngine& engine, QWidget* parent) : QWidget(parent), m_engine(engine) {
    setObjectName("camWall");
    setAccessibleName(tr("Running cams"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const auto rearrange = [this] {
        if (isVisible())
            arrange();
    };
    // "offline for 3 min" goes on counting between the cam's tries
    auto* failingClock = new QTimer(this);
    connect(failingClock, &QTimer::timeout, this, [this] {
        if (std::any_of(m_marks.begin(), m_marks.end(),
                        [](const Mark& mark) { return failing(mark.state); }))
            update();
    });
    failingClock->start(20 * 1000);
    connect(&m_engine, &CamEngine::camStarted, this, rearrange);
    connect(&m_engine, &CamEngine::placeStopped, this, rearrange);
    connect(&m_engine, &CamEngine::captionChanged, this, rearrange);
    connect(&m_engine, &CamEngine::shownPictureChanged, this, [this] { update(); });
    connect(&m_engine, &CamEngine::markChanged, this,
            [this](int index, Freshness state, const QString& words) {
                Mark& mark = m_marks.at(size_t(index));
                if (std::exchange(mark.state, state) != state || mark.words != words) {
                    mark.words = words;
                    update();
                }
            });
    connect(&m_engine.selection(), &CamFollower::followed, this, [this] { update(); });
    connect(&m_engine.selection(), &CamFollower::stopped, this, [this] { update(); });
}

void CamWall::setWallLayout(WallLayout layout) {
    m_layout = layout;
    arrange();
}

void CamWall::setOrder(const QByteArrayList& names) {
    m_order = names;
    arrange();
}

int CamWall::placeAt(QPoint point) const {
    for (size_t i = 0; i < m_tiles.size(); ++i)
        if (m_tiles[i].contains(point))
            return m_shown[i];
    return -1;
}

void CamWall::arrange() {
    std::vector<int> running;
    for (int index = 0; index < CamEngine::maxRunningCams; ++index)
        if (m_engine.isRunning(index))
            running.push_back(index);
    const auto rank = [this](int index) {
        const qsizetype at = m_order.indexOf(m_engine.source(index)->name());
        return at < 0 ? m_order.size() + index : at;
    };
    std::stable_sort(running.begin(), running.end(),
                     [&](int a, int b) { return rank(a) < rank(b); });
    m_tiles = ArrangeTiles(m_layout, int(running.size()), size(), gap);
    m_shown.assign(running.begin(), running.begin() + qsizetype(m_tiles.size()));
    m_focused = std::clamp(m_focused, 0, std::max(0, int(m_shown.size()) - 1));
    // each picture is decoded at the size it is shown at; a cam with no tile at a small one
    for (int index : running)
        m_engine.setPictureSize(index, QSize(84, 60));
    for (size_t i = 0; i < m_shown.size(); ++i)
        m_engine.setPictureSize(m_shown[i], pictureBox(m_tiles[i]).size());
    update();
}

QRect CamWall::pictureBox(const QRect& tile) const {
    // the name's line under the picture
    return tile.adjusted(0, 0, 0, -fontMetrics().height() - 4);
}

void CamWall::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window).darker(115));
    if (m_shown.empty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         tr("Start cams from the list: each gets a tile here."));
        return;
    }
    for (size_t i = 0; i < m_shown.size(); ++i)
        paintTile(painter, m_shown[i], m_tiles[i]);
    if (hasFocus() && m_focused < int(m_tiles.size())) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DashLine));
        painter.drawRect(m_tiles[size_t(m_focused)].adjusted(4, 4, -5, -5));
    }
}

void CamWall::keyPressEvent(QKeyEvent* event) {
    const int count = int(m_tiles.size());
    int columns = 0; // the tiles of the first row
    while (columns < count && m_tiles[size_t(columns)].top() == m_tiles.front().top())
        ++columns;
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -columns;
        break;
    case Qt::Key_Down:
        step = columns;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_focused < count)
            m_engine.selection().follow(m_shown[size_t(m_focused)]);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (count > 0 && m_focused + step >= 0 && m_focused + step < count)
        focusTile(m_focused + step);
}

void CamWall::focusTile(int tile) {
    m_focused = tile;
    const int place = m_shown[size_t(tile)];
    setAccessibleDescription(QString::fromUtf8(m_engine.source(place)->name()) + ": " +
                             m_marks.at(size_t(place)).words);
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    update();
}

void CamWall::paintTile(QPainter& painter, int place, const QRect& tile) const {
    const CamPlace& cam = m_engine.place(place);
    painter.fillRect(tile, Qt::black);
    const QRect box = pictureBox(tile);
    if (cam.hasPicture()) {
        QRect shown(QPoint(), FittedSize(cam.shownPicture.size(), box.size()));
        shown.moveCenter(box.center());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(shown, cam.shownPicture);
    }
    const Mark& mark = m_marks.at(size_t(place));
    if (failing(mark.state)) {
        // the last picture stays beneath, greyed, with the reason over it
        painter.fillRect(box, QColor(90, 90, 90, 170));
        painter.setPen(Qt::white);
        const int64_t now = m_engine.now();
        painter.drawText(box.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         QString::fromStdString(FailingText(mark.state, cam.freshness.reason(),
                                                            cam.freshness.failingSeconds(now))));
    }
    if (m_engine.selection().place() == place) // the cam in the viewer
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    else
        painter.setPen(QColor(60, 60, 60));
    painter.drawRect(tile.adjusted(1, 1, -2, -2));
    const QRect nameLine(tile.left() + 4, box.bottom() + 2, tile.width() - 8,
                         tile.bottom() - box.bottom() - 2);
    painter.setPen(failing(mark.state) ? QColor(200, 200, 200) : Qt::white);
    painter.drawText(nameLine, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(QString::fromUtf8(cam.source->name()), Qt::ElideRight,
                                              nameLine.width()));
}

void CamWall::resizeEvent(QResizeEvent*) {
    if (isVisible())
        arrange();
}

void CamWall::showEvent(QShowEvent*) {
    arrange();
}

bool CamWall::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int place = placeAt(help->pos());
        if (place < 0)
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(),
                               QString::fromUtf8(m_engine.source(place)->name()) + "\n" +
                                   m_marks.at(size_t(place)).words,
                               this);
        return true;
    }
    return QWidget::event(event);
}

void CamWall::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = placeAt(event->position().toPoint());
    m_pressedAt = event->position().toPoint();
    m_dragging = false;
}

void CamWall::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressed >= 0 && (event->position().toPoint() - m_pressedAt).manhattanLength() >=
                              QApplication::startDragDistance()) {
        m_dragging = true;
        setCursor(Qt::ClosedHandCursor);
    }
}

void CamWall::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = std::exchange(m_pressed, -1);
    unsetCursor();
    if (event->button() != Qt::LeftButton || pressed < 0)
        return;
    const int target = placeAt(event->position().toPoint());
    if (!std::exchange(m_dragging, false))
        m_engine.selection().follow(pressed);
    else if (target >= 0 && target != pressed)
        moveBefore(pressed, target);
}

void CamWall::mouseDoubleClickEvent(QMouseEvent* event) {
    const int place = placeAt(event->position().toPoint());
    if (place >= 0)
        emit fullScreenRequested(place);
}

void CamWall::moveBefore(int dragged, int target) {
    // the order becomes the shown one with the dragged cam in the target's tile
    QByteArrayList names;
    for (int place : m_shown)
        names << m_engine.source(place)->name();
    for (const QByteArray& name : std::as_const(m_order))
        if (!names.contains(name))
            names << name;
    const QByteArray moved = m_engine.source(dragged)->name();
    const qsizetype to = names.indexOf(m_engine.source(target)->name());
    names.removeAll(moved);
    names.insert(std::min(to, names.size()), moved);
    m_order = names;
    arrange();
    emit orderChanged(m_order);
}
