// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"

#include "app/clicksounds.h"
#include "app/helpdocument.h"
#include "app/mainmenus.h"
#include "app/routes.h"
#include "app/statusbar.h"
#include "app/viewerwindows.h"
#include "app/widgetprompt.h"
#include "dialogs/tabou.h"
#include "dialogs/twai.h"
#include "folders/movenode.h"
#include "giftool/tfgi.h"
#include "pictures/addcommand.h"
#include "store/compaction.h"
#include "store/foldertree.h"
#include "store/storelock.h"
#include "view/language.h"
#include "view/prompt.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"
#include "widgets/folderlistview.h"
#include "widgets/foldertreeview.h"
#include "widgets/fonts.h"
#include "widgets/msnpop.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace zarvo {

namespace {

QString storePath()
{
    return QDir::current().filePath(QStringLiteral("data.mdb"));
}

QFont formFont()
{
    return programFont(
        { QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
            QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC") },
        12);
}

void setWhite(QWidget* widget)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Base, Qt::white);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

} // namespace

Form1::Form1(Prompt* prompt, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zarvo"));
    setWindowIcon(QIcon(QStringLiteral(":/images/zarvo.png")));
    setFont(formFont());
    resize(1005, 636);

    m_msnpop = new MsnPop(this);
    if (prompt) {
        m_prompt = prompt;
    } else {
        m_ownPrompt = std::make_unique<WidgetPrompt>(this, m_msnpop);
        m_prompt = m_ownPrompt.get();
    }
    m_sounds = new ClickSounds(this);

    auto* central = new QWidget(this);
    setWhite(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* panel1 = new QWidget(central);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedHeight(74);
    setWhite(panel1);
    buildToolbar(panel1, m_sounds);
    column->addWidget(panel1);

    auto* panel2 = new QWidget(central);
    panel2->setObjectName(QStringLiteral("Panel2"));
    setWhite(panel2);
    auto* panel2Layout = new QVBoxLayout(panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->setSpacing(0);
    column->addWidget(panel2, 1);

    auto* splitter = new QSplitter(Qt::Horizontal, panel2);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(1);
    splitter->setChildrenCollapsible(false);
    panel2Layout->addWidget(splitter, 1);

    m_treeModel = new FolderTree(this);
    m_treeModel->setIcons(
        QIcon(QStringLiteral(":/images/tree/0.png")), QIcon(QStringLiteral(":/images/tree/1.png")));
    m_tree1 = new FolderTreeView(splitter);
    m_tree1->setObjectName(QStringLiteral("tree1"));
    m_tree1->setModel(m_treeModel);
    m_tree1->setHeaderHidden(true);
    m_tree1->setIconSize(QSize(32, 32));
    m_tree1->setIndentation(35);
    m_tree1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree1->setMinimumWidth(120);
    setWhite(m_tree1);
    connect(m_tree1, &FolderTreeView::nodeDropped, this,
        [this](const QModelIndex& target, const QModelIndex& top) {
            m_workspace->run([&](Workspace& workspace) { tree1DragDrop(workspace, target, top); });
        });
    connect(m_tree1, &FolderTreeView::filesDropped, this, &Form1::dropEvent);

    m_items = new ThumbnailModel(this);
    m_listView = new FolderListView(splitter);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setModel(m_items);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    splitter->addWidget(m_tree1);
    splitter->addWidget(m_listView);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 288, 717 });
    QPalette handle = splitter->palette();
    handle.setColor(QPalette::Window, palette().color(QPalette::Button));
    splitter->setPalette(handle);

    m_workspace = new Workspace(*m_prompt, *m_treeModel, *m_tree1->selectionModel(), *m_items,
        *m_listView->selectionModel(), this);
    connect(m_listView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1Popup();
        m_popupMenu->popup(m_listView->viewport()->mapToGlobal(at));
    });
    m_workspace->setViewers(new ViewerWindows(*m_workspace, m_workspace));
    // While a folder is opened the user can already scroll its items: those on screen are filled
    // first, and nothing else takes input until the view is complete.
    m_workspace->setVisibleItemsQuery([view = QPointer<FolderListView>(m_listView)] {
        return view ? view->visibleRows() : std::pair<int, int>(0, -1);
    });
    m_workspace->setScreenfulQuery([view = QPointer<FolderListView>(m_listView)] {
        return view ? view->screenfulItems() : 0;
    });
    m_workspace->setInputWhileBuilding(true);
    connect(m_listView, &FolderListView::enterPressed, this, [this] {
        // Enter clicks the enlarge item, so it acts only while that item is enabled.
        if (QAction* enlarge = action("pop_fangda"); enlarge && enlarge->isEnabled())
            enlarge->trigger();
    });

    m_bar = new StatusBar(panel2);
    panel2Layout->addWidget(m_bar);

    buildMenus(*this, m_sounds);
    m_popupMenu = buildPopupMenu(*this);
    // The shortcuts act while the folder view has the keyboard focus.
    for (QAction* a : m_popupMenu->actions()) {
        if (!a->shortcut().isEmpty()) {
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            m_listView->addAction(a);
        }
    }
    connectCommands();
    followWorkspace();

    m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/images/zarvo.png")), this);
    m_tray->setToolTip(QStringLiteral("Zarvo"));
    connect(m_tray, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                restoreFromTray();
        });

    setCentralWidget(central);
    m_abou = new Tabou(this);
}

Form1::~Form1()
{
    // The workspace goes before the models it refers to.
    delete m_workspace;
}

QTreeView* Form1::tree1() const
{
    return m_tree1;
}

QAction* Form1::action(const char* name) const
{
    return findChild<QAction*>(QLatin1String(name));
}

namespace {

const Form1::WindowRoute kWindowRoutes[] = {
    { "btn_help", &Form1::btn_helpClick },
    { "menu_help", &Form1::btn_helpClick },
    { "btn_min", &Form1::btn_minClick },
    { "btn_close", &Form1::btn_closeClick },
    { "menu_exit", &Form1::btn_closeClick },
    { "menu_auther", &Form1::menu_autherClick },
    { "menu_gif", &Form1::menu_gifClick },
};

} // namespace

std::span<const Form1::WindowRoute> Form1::windowRoutes()
{
    return kWindowRoutes;
}

void Form1::connectCommands()
{
    const auto connectControl = [this](const char* name, const auto& run) {
        QObject* control = findChild<QObject*>(QLatin1String(name));
        if (auto* a = qobject_cast<QAction*>(control))
            connect(a, &QAction::triggered, this, run);
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            connect(button, &QAbstractButton::clicked, this, run);
    };
    for (const Route& route : commandRoutes())
        connectControl(route.name, [this, command = route.command] { m_workspace->run(command); });
    for (const WindowRoute& route : windowRoutes())
        connectControl(route.name, [this, handler = route.handler] { (this->*handler)(); });
    for (const Route& route : viewRoutes()) {
        const auto run = [this, command = route.command] { m_workspace->run(command); };
        QObject* control = findChild<QObject*>(QLatin1String(route.name));
        if (auto* tree = qobject_cast<FolderTreeView*>(control)) {
            connect(tree, &QTreeView::clicked, this, run);
            connect(tree, &FolderTreeView::enterPressed, this, run);
        } else if (auto* list = qobject_cast<FolderListView*>(control)) {
            connect(list, &FolderListView::itemDoubleClicked, this, run);
        }
    }
}

void Form1::followWorkspace()
{
    // An empty tree shows the way in the empty folder view.
    auto showEmptyHint = [this] {
        m_listView->setEmptyText(
            m_workspace->tree().rowCount() == 0 ? tr(
                "图片库还是空的。\n用 \"文件夹\" 菜单的 \"添加文件夹\" 新建一个文件夹再添加图片, "
                "或者用 \"导入目录\" 把一个目录连同子目录中的图片一次导入。")
                                                : QString());
    };
    connect(&m_workspace->tree(), &QAbstractItemModel::rowsInserted, this, showEmptyHint);
    connect(&m_workspace->tree(), &QAbstractItemModel::rowsRemoved, this, showEmptyHint);
    connect(&m_workspace->tree(), &QAbstractItemModel::modelReset, this, showEmptyHint);
    showEmptyHint();
    connect(m_workspace, &Workspace::statusTextChanged, m_bar, &StatusBar::setPanelText);
    connect(m_workspace, &Workspace::progressStarted, m_bar, &StatusBar::startProgress);
    connect(m_workspace, &Workspace::progressAdvanced, m_bar, &StatusBar::advanceProgress);
    connect(m_workspace, &Workspace::progressEnded, m_bar, &StatusBar::endProgress);
    connect(m_workspace, &Workspace::hintChanged, m_listView,
        [this](bool enabled, const QString& text) {
            if (enabled)
                m_listView->setHintText(text);
            m_listView->setHintEnabled(enabled);
        });
    connect(m_workspace, &Workspace::nodeExpanded, m_tree1,
        [this](const QModelIndex& node, bool withDescendants) {
            if (withDescendants)
                m_tree1->expandRecursively(node);
            else
                m_tree1->expand(node);
        });
    // The rescue node of a deletion is the node the tree shows above the deleted one.
    m_workspace->setExpansionQuery([tree = QPointer<QTreeView>(m_tree1)](const QModelIndex& node) {
        return tree && tree->isExpanded(node);
    });
    connect(m_workspace, &Workspace::busyChanged, this, [this](bool busy) {
        m_listView->setSoleInputReceiver(busy);
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    connect(m_workspace, &Workspace::folderBuilt, this, [this] {
        if (m_closePending) {
            m_closePending = false;
            QTimer::singleShot(0, this, &QWidget::close);
        }
    });
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        // Always a copy: a source told that its files were moved may delete them.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void Form1::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void Form1::dropEvent(QDropEvent* event)
{
    if (!m_workspace->canRunCommand())
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    wmdropfiles(*m_workspace, paths);
}

bool Form1::FormCreate()
{
    setAcceptDrops(true);
    if (m_storePath.isEmpty())
        m_storePath = storePath();
    return m_workspace->openStore(m_storePath);
}

void Form1::FormShow()
{
    if (!m_workspace->store())
        return;
    // The stream keeps no expanded state: the first load shows every folder, later loads keep
    // what the user opened and closed.
    const std::set<QStringList> expanded = m_tree1->expandedPaths();
    m_workspace->loadTree();
    // Once per store: the pictures of a store made before fingerprints get theirs (quietly: a
    // store the user may only read works without them).
    m_workspace->ensureFingerprints(true);
    if (m_treeShown) {
        m_tree1->expandPaths(expanded);
    } else {
        m_tree1->expandAll();
        m_treeShown = true;
    }
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

// ---------------------------------------------------------------- the folder view

void Form1::PopupMenu1Popup()
{
    const int selected = int(m_workspace->selectedRows().size());
    for (QAction* a : m_popupMenu->actions())
        a->setEnabled(selected > 0);
    action("pop_paste")->setEnabled(!m_workspace->clipboard().copylist.isEmpty());
    if (selected > 1)
        action("pop_save")->setEnabled(false);
}

// ---------------------------------------------------------------- tray, help, about, exit

bool Form1::isInTray() const
{
    return m_tray->isVisible();
}

void Form1::btn_minClick()
{
    showMinimized();
    // Without a window manager the state changes at once; MakeMin runs from changeEvent.
}

void Form1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !(windowState() & Qt::WindowMinimized))
        return;
    // Without a tray the window would be stranded: it stays minimised the normal way.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    const auto previous = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    m_restoreMaximized = previous & Qt::WindowMaximized;
    QTimer::singleShot(0, this, &Form1::MakeMin);
}

void Form1::MakeMin()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        showMinimized();
        return;
    }
    if (windowState() & Qt::WindowMinimized)
        setWindowState((windowState() & ~Qt::WindowMinimized)
            | (m_restoreMaximized ? Qt::WindowMaximized : Qt::WindowNoState));
    else
        m_restoreMaximized = isMaximized();
    hide();
    m_tray->show();
}

void Form1::restoreFromTray()
{
    m_tray->hide();
    if (m_restoreMaximized)
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
}

void Form1::btn_helpClick()
{
    // help.chm needs a program the desktop may not have, and opening a file succeeds as soon
    // as xdg-open starts: ask the desktop first, and fall back to the guide in the browser.
    const QUrl document = helpDocument(helpPlaces(), currentLanguage(), chmHandler);
    if (!document.isEmpty())
        QDesktopServices::openUrl(document);
}

void Form1::menu_autherClick()
{
    m_abou->show();
    m_abou->raise();
}

void Form1::menu_gifClick()
{
    zarvo::menu_gifClick(this, *m_prompt);
}

void Form1::btn_closeClick()
{
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    FormCloseQuery(event);
}

void Form1::FormCloseQuery(QCloseEvent* event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    if (m_workspace->isBuilding()) {
        // The view is being built; the close is answered once it is complete.
        m_closePending = true;
        event->ignore();
        return;
    }
    if (!m_prompt->confirm(tr("真的要退出程序吗?"))) {
        event->ignore();
        return;
    }
    m_exiting = true;
    m_tray->hide();
    m_workspace->closeStore();
    const QString path = m_storePath;
    std::shared_ptr<StoreLock> lock = m_workspace->lock();
    // Only the store file is compacted; a server looks after its own space.
    if (lock) {
        Twai twai(
            this, [path, lock] { return lock && CompactStore(path, QString(), lock); },
            [this](PopupKind kind, const QString& text) { m_prompt->popup(kind, text); });
        hide();
        twai.exec();
    }
    m_workspace->releaseLock();
    event->accept();
    Q_EMIT exitFinished();
}

} // namespace zarvo
