#include "panels/panelarea.h"

#include "common/prompter.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "panels/campanel.h"
#include "source/picturesource.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"

#include <QScrollBar>

int32_t PanelAreaTop(int32_t scrollValue) {
    // 32-bit: a single column of 24 rows scrolls further than 16 bits reach
    return -scrollValue - 30;
}

PanelArea::PanelArea(QWidget* frame, CamEngine& engine, Prompter& prompter)
    : QObject(frame), m_engine(engine), m_prompter(prompter) {
    setObjectName("panelArea");
    m_scrollBar = new QScrollBar(Qt::Vertical, frame);
    m_scrollBar->setObjectName("VScroll1");
    m_scrollBar->setAccessibleName(tr("Scroll the panels"));
    m_scrollBar->setRange(0, 18000);
    m_scrollBar->setSingleStep(600);
    m_scrollBar->setPageStep(2000);
    m_scrollBar->setTracking(false); // the panels move when the thumb is let go
    setGeometryTwips(m_scrollBar, 3600, 240, 255, 10515);
    m_clip = new QWidget(frame);
    m_clip->setObjectName("picWindowOuter");
    setGeometryTwips(m_clip, 120, 240, 3495, 10515);
    m_inner = new QWidget(m_clip);
    m_inner->setObjectName("picWindowInner");
    setGeometryTwips(m_inner, -60, -30, 3555, 24060);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &PanelArea::scrollPanels);

    CamFollower& selection = m_engine.selection();
    for (int index = 0; index < panelCount; ++index) {
        auto* view = new CamPanel(index, m_inner);
        m_panels[size_t(index)] = view;
        m_engine.setPictureSize(index, view->pictureSize());
        connect(view, &CamPanel::clicked, &selection,
                [&selection, index] { selection.follow(index); });
        connect(view, &CamPanel::refreshClicked, &m_engine,
                [this, index] { m_engine.refreshNow(index); });
        connect(view, &CamPanel::stopClicked, &m_engine,
                [this, index] { m_engine.stopCam(index); });
        connect(view, &CamPanel::stepRequested, this,
                [this, index](int columns, int rows) { moveFocus(index, columns, rows); });
        connect(view, &CamPanel::actionChosen, this,
                [this, index](const SourceAction& action) { chooseAction(index, action); });
    }
    connect(&m_engine, &CamEngine::camStarted, this, [this](int index) {
        panel(index)->show();
        updateTabStop();
    });
    connect(&m_engine, &CamEngine::placeStopped, this, [this](int index) {
        panel(index)->hide();
        updateTabStop();
    });
    connect(
        &m_engine, &CamEngine::captionChanged, this,
        [this](int index, const QByteArray& caption) { panel(index)->setFrameCaption(caption); });
    connect(&m_engine, &CamEngine::fetchingChanged, this,
            [this](int index, bool on) { panel(index)->showFetching(on); });
    connect(&m_engine, &CamEngine::progressed, this,
            [this](int index, float percent) { panel(index)->showProgress(percent); });
    connect(&m_engine, &CamEngine::markChanged, this,
            [this](int index, Freshness state, const QString& tooltip) {
                panel(index)->setStateMark(state, tooltip);
            });
    connect(&m_engine, &CamEngine::shownPictureChanged, this, &PanelArea::showShownPicture);
    connect(&m_engine, &CamEngine::actionsChanged, this, [this](int index) {
        panel(index)->offerActions(m_engine.isRunning(index) ? m_engine.source(index)->actions()
                                                             : QList<SourceAction>());
    });
    connect(&selection, &CamFollower::followed, this,
            [this, &selection] { showFollowed(selection.place()); });
    connect(&selection, &CamFollower::stopped, this, [this] { showFollowed(-1); });
    m_engine.addSink(this, CamEngine::SinkOrder::First);
}

PanelArea::~PanelArea() {
    m_engine.removeSink(this);
}

void PanelArea::givePanelsFetchingIndicator(const QImage& indicator) {
    for (CamPanel* view : m_panels)
        view->setIndicatorPicture(indicator);
}

void PanelArea::completed(const CamPlace& place, const Completion& completion) {
    if (completion.kind == Completion::Kind::Picture ||
        completion.kind == Completion::Kind::NotPicture)
        showShownPicture(place.index);
}

void PanelArea::showShownPicture(int index) {
    const CamPlace& place = m_engine.place(index);
    CamPanel* view = panel(index);
    if (!place.hasPicture())
        view->clearPicture();
    else if (place.fileBytes.isEmpty() || !place.fileFormat.isEmpty())
        view->showPlainPicture(place.shownPicture);
    else
        view->showPicture(place.shownPicture, place.fileBytes);
}

void PanelArea::showFollowed(int index) {
    if (m_highlighted >= 0)
        panel(m_highlighted)->showSelected(false);
    m_highlighted = index;
    if (index < 0)
        return;
    panel(index)->showSelected(true);
    if (m_engine.isRunning(index)) {
        m_tabStop = index; // Tab comes back to the panel the viewer shows
        updateTabStop();
    }
}

void PanelArea::givePictureSizes() {
    for (int index = 0; index < panelCount; ++index)
        m_engine.setPictureSize(index, panel(index)->pictureSize());
}

void PanelArea::arrangeArea(int columns, int clipHeight, int scrollBarHeight) {
    const int added = (columns - 2) * 1680;
    const int addedRows = CamPanel::gridRows(columns) - 12;
    setGeometryTwips(m_clip, 120, 240, 3495 + added, clipHeight);
    setGeometryTwips(m_scrollBar, 3600 + added, 240, 255, scrollBarHeight);
    if (columns == m_columns)
        return;
    m_columns = columns;
    m_scrollBar->setMaximum(std::max(0, 18000 + addedRows * 1980));
    setGeometryTwips(m_inner, -60, -30, 3555 + added, 24060 + addedRows * 1980);
    for (int index = 0; index < panelCount; ++index)
        setGeometryTwips(panel(index), CamPanel::gridGeometryTwips(index, columns));
    scrollPanels();
}

void PanelArea::scrollPanels() {
    m_inner->move(m_inner->x(), tw(PanelAreaTop(m_scrollBar->value())));
}

void PanelArea::moveFocus(int from, int columns, int rows) {
    // left and right go on past free places; up and down only to the place in that column
    const int step = columns + rows * m_columns;
    for (int to = from + step; step != 0 && to >= 0 && to < CamEngine::maxRunningCams; to += step) {
        if (m_engine.isRunning(to)) {
            m_tabStop = to;
            updateTabStop();
            revealPanel(to);
            panel(to)->setFocus(Qt::TabFocusReason);
            return;
        }
        if (rows != 0)
            return;
    }
}

void PanelArea::updateTabStop() {
    const auto running = [this](int index) { return index >= 0 && m_engine.isRunning(index); };
    const int selected = m_engine.selection().place();
    if (!running(m_tabStop))
        m_tabStop = running(selected) ? selected : -1;
    for (int index = 0; m_tabStop < 0 && index < CamEngine::maxRunningCams; ++index)
        if (running(index))
            m_tabStop = index;
    for (int index = 0; index < panelCount; ++index)
        panel(index)->takeTabStop(index == m_tabStop);
}

void PanelArea::revealPanel(int index) {
    // the scroll value that puts the panel's top, or its bottom, just inside the clipping box
    const QRect at = CamPanel::gridGeometryTwips(index, m_columns);
    const int visible = twipsOf(m_clip->height());
    const int value = m_scrollBar->value();
    if (at.top() - value - 30 < 0)
        m_scrollBar->setValue(at.top() - 60);
    else if (at.bottom() - value - 30 > visible)
        m_scrollBar->setValue(at.bottom() - visible);
}

void PanelArea::chooseAction(int index, const QString& actionId) {
    for (const SourceAction& action : panel(index)->offeredActions())
        if (action.id == actionId)
            chooseAction(index, action);
}

void PanelArea::chooseAction(int index, const SourceAction& action) {
    m_prompter.askLater(panel(index), action.title, action.question, action.buttons,
                        [this, index, action](PromptAnswer answer) {
                            if (answer != PromptAnswer::Ok)
                                return;
                            if (!m_engine.perform(index, action) && !action.failedText.isEmpty())
                                m_prompter.askLater(panel(index), tr(":: error"), action.failedText,
                                                    PromptButtons::Ok, [](PromptAnswer) {});
                        });
}
