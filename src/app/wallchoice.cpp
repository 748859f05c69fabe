#include "app/wallchoice.h"

#include "config/settings.h"
#include "panels/panelarea.h"
#include "wall/camwall.h"

#include <QActionGroup>
#include <QMenu>
#include <QScrollBar>

namespace {

// The names of the wall's order as one setting: each name's bytes in hex, ";" between.
QString orderText(const QByteArrayList& names) {
    QByteArrayList hex;
    for (const QByteArray& name : names)
        hex << name.toHex();
    return QString::fromLatin1(hex.join(';'));
}

QByteArrayList orderOf(const QString& text) {
    QByteArrayList names;
    for (const QByteArray& hex : text.toLatin1().split(';'))
        if (!hex.isEmpty())
            names << QByteArray::fromHex(hex);
    return names;
}

} // namespace

WallChoice::WallChoice(PanelArea& panels, QMenu* viewMenu, SettingsStore& settings,
                       const QString& productName, QObject* parent)
    : QObject(parent), m_panels(panels), m_settings(settings), m_product(productName) {
    m_wall = new CamWall(panels.engine(), panels.scrollBar()->parentWidget());
    m_wall->setOrder(orderOf(m_settings.ReadUserSetting(m_product, "View", "wallOrder", {})));
    connect(m_wall, &CamWall::orderChanged, this, [this](const QByteArrayList& names) {
        m_settings.WriteUserSetting(m_product, "View", "wallOrder", orderText(names));
    });
    const QList<std::pair<WallLayout, QString>> layouts = {
        {WallLayout::Automatic, tr("&Automatic")},  {WallLayout::Grid1, tr("&1 x 1")},
        {WallLayout::Grid2, tr("&2 x 2")},          {WallLayout::Grid3, tr("&3 x 3")},
        {WallLayout::Grid4, tr("&4 x 4")},          {WallLayout::OneLarge, tr("One &Large")},
        {WallLayout::Designed, tr("&Small Panels")}};
    QMenu* menu = viewMenu->addMenu(tr("&Layout"));
    menu->setObjectName("mnuLayout");
    m_choices = new QActionGroup(menu);
    for (const auto& [layout, caption] : layouts) {
        QAction* choice = menu->addAction(caption);
        choice->setObjectName("layoutAction(" + WallLayoutWord(layout) + ")");
        choice->setCheckable(true);
        choice->setData(int(layout));
        m_choices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, layout = layout] {
            choose(layout);
            m_settings.WriteUserSetting(m_product, "View", "layout",
                                        QString::fromLatin1(WallLayoutWord(layout)));
        });
    }
    const QString kept = m_settings.ReadUserSetting(m_product, "View", "layout", "auto");
    choose(WallLayoutOfWord(kept.toLatin1()).value_or(WallLayout::Automatic));
}

void WallChoice::choose(WallLayout layout) {
    m_layout = layout;
    for (QAction* choice : m_choices->actions())
        choice->setChecked(choice->data().toInt() == int(layout));
    m_wall->setWallLayout(layout);
    m_wall->setVisible(wallShown());
    m_panels.innerArea()->parentWidget()->setVisible(!wallShown());
    m_panels.scrollBar()->setVisible(!wallShown());
    if (!wallShown())
        m_panels.givePictureSizes();
    emit chosen();
    arrange();
}

void WallChoice::arrange() {
    const QRect clip = m_panels.innerArea()->parentWidget()->geometry();
    m_wall->setGeometry(clip.united(m_panels.scrollBar()->geometry()));
}
