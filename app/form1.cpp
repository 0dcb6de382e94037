// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"

#include "app/clicksounds.h"
#include "app/flatbutton.h"
#include "app/statusbar.h"
#include "app/widgetprompt.h"
#include "dialogs/tabou.h"
#include "dialogs/twai.h"
#include "folders/addnode.h"
#include "imaging/pictureformat.h"
#include "pictures/addcommand.h"
#include "pictures/pictureclipboard.h"
#include "pictures/renamedelete.h"
#include "store/compaction.h"
#include "store/foldertree.h"
#include "store/prompt.h"
#include "store/storelock.h"
#include "store/treeblob.h"
#include "view/folderlistview.h"
#include "view/msnpop.h"
#include "view/placeholderthumbnail.h"
#include "view/statustexts.h"
#include "view/thumbnailmodel.h"
#include "view/thumbnailpipeline.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
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
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(12);
    return font;
}

void setWhite(QWidget* widget)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Base, Qt::white);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

struct ToolbarButton {
    const char* name;
    int left;
    const char* hint;
};

const ToolbarButton kToolbar[] = {
    {"btn_addfile", 0, "添加文件"},       {"btn_editfile", 72, "修改文件"},
    {"btn_delfile", 144, "删除文件"},     {"btn_findfile", 216, "查找文件"},
    {"btn_addfolder", 304, "添加文件夹"}, {"btn_editfolder", 376, "修改文件夹"},
    {"btn_delfolder", 448, "删除文件夹"}, {"btn_findfolder", 520, "查找文件夹"},
    {"btn_help", 608, "帮助"},            {"btn_min", 680, "最小化窗口"},
    {"btn_close", 753, "退出程序"},
};

} // namespace

Form1::Form1(Prompt* prompt, QWidget* parent)
    : QMainWindow(parent)
    , m_pipeline(std::make_unique<ThumbnailPipeline>())
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
    buildToolbar(panel1);
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
    m_treeModel->setIcons(QIcon(QStringLiteral(":/images/tree/0.png")), QIcon(QStringLiteral(":/images/tree/1.png")));
    m_tree1 = new QTreeView(splitter);
    m_tree1->setObjectName(QStringLiteral("tree1"));
    m_tree1->setModel(m_treeModel);
    m_tree1->setHeaderHidden(true);
    m_tree1->setIconSize(QSize(32, 32));
    m_tree1->setIndentation(35);
    m_tree1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree1->setMinimumWidth(120);
    setWhite(m_tree1);
    m_tree1->installEventFilter(this);
    connect(m_tree1, &QTreeView::clicked, this, [this] { tree1Click(); });

    m_items = new ThumbnailModel(this);
    m_listView = new FolderListView(splitter);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setModel(m_items);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    splitter->addWidget(m_tree1);
    splitter->addWidget(m_listView);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({288, 717});
    QPalette handle = splitter->palette();
    handle.setColor(QPalette::Window, palette().color(QPalette::Button));
    splitter->setPalette(handle);

    connect(m_listView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { ListView1Change(); });
    connect(m_items, &QAbstractItemModel::rowsInserted, this, [this] { ListView1Change(); });
    connect(m_items, &QAbstractItemModel::modelReset, this, [this] { ListView1Change(); });
    connect(m_listView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1Popup();
        m_popupMenu->popup(m_listView->viewport()->mapToGlobal(at));
    });
    connect(m_listView, &FolderListView::enterPressed, this, [this] {
        // Enter clicks the enlarge item, so it acts only while that item is enabled.
        if (QAction* enlarge = action("pop_fangda"); enlarge && enlarge->isEnabled())
            enlarge->trigger();
    });

    m_bar = new StatusBar(panel2);
    panel2Layout->addWidget(m_bar);

    buildMenus();
    buildPopupMenu();
    connectCommands(panel1);

    m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/images/zarvo.png")), this);
    m_tray->setToolTip(QStringLiteral("Zarvo"));
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            restoreFromTray();
    });

    setCentralWidget(central);
    m_abou = new Tabou(this);
}

Form1::~Form1()
{
    // The model goes after this object; its last signals must not reach a half-destroyed window.
    m_items->disconnect(this);
    m_listView->selectionModel()->disconnect(this);
}

QAction* Form1::action(const char* name) const
{
    return findChild<QAction*>(QLatin1String(name));
}

QAction* Form1::makeAction(const char* name, const QString& caption, const QString& icon,
                           const QKeySequence& shortcut)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    if (!icon.isEmpty())
        a->setIcon(QIcon(icon));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

void Form1::buildToolbar(QWidget* panel)
{
    for (const ToolbarButton& b : kToolbar) {
        auto* button = new FlatButton(QPixmap(QStringLiteral(":/images/toolbar/%1.png").arg(QLatin1String(b.name))),
                                      QString::fromUtf8(b.hint), panel);
        button->setObjectName(QLatin1String(b.name));
        button->setGeometry(b.left, 1, 73, 72);
        connect(button, &FlatButton::mouseEntered, m_sounds, &ClickSounds::playToolbar);
    }
    auto clicked = [panel](const char* name) {
        return panel->findChild<FlatButton*>(QLatin1String(name));
    };
    connect(clicked("btn_help"), &QAbstractButton::clicked, this, &Form1::btn_helpClick);
    connect(clicked("btn_min"), &QAbstractButton::clicked, this, &Form1::btn_minClick);
    connect(clicked("btn_close"), &QAbstractButton::clicked, this, &Form1::btn_closeClick);
}

void Form1::buildMenus()
{
    auto menuIcon = [](int index) { return QStringLiteral(":/images/menu/%1.png").arg(index); };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(makeAction("menu_addfile", QStringLiteral("添加文件(&A)"), menuIcon(2)));
    file->addAction(makeAction("menu_editfile", QStringLiteral("修改文件(&E)"), menuIcon(5)));
    file->addAction(makeAction("menu_delfile", QStringLiteral("删除文件(&D)"), menuIcon(3), QKeySequence(Qt::Key_Delete)));
    file->addAction(makeAction("menu_findfile", QStringLiteral("查找文件(&F)"), menuIcon(4), QKeySequence(Qt::CTRL | Qt::Key_F)));
    file->addSeparator();
    QAction* exit = makeAction("menu_exit", QStringLiteral("退出(&X)"), menuIcon(7));
    file->addAction(exit);
    connect(exit, &QAction::triggered, this, &Form1::btn_closeClick);

    QMenu* folder = bar->addMenu(QStringLiteral("文件夹(&O)"));
    folder->addAction(makeAction("menu_addfolder", QStringLiteral("添加文件夹(&L)"), menuIcon(0)));
    folder->addAction(makeAction("menu_editfolder", QStringLiteral("修改文件夹(&I)"), menuIcon(8)));
    folder->addAction(makeAction("menu_delfolder", QStringLiteral("删除文件夹(&R)"), menuIcon(1)));
    folder->addAction(makeAction("menu_findfolder", QStringLiteral("查找文件夹(&O)"), menuIcon(6)));

    QMenu* operations = bar->addMenu(QStringLiteral("文件操作(&C)"));
    operations->addAction(makeAction("menu_delall", QStringLiteral("全部删除(&A)"), menuIcon(9)));
    operations->addAction(makeAction("menu_importall", QStringLiteral("全部导出(&D)..."), QString()));
    operations->addSeparator();
    operations->addAction(makeAction("menu_openall", QStringLiteral("全部打开(&O)"), menuIcon(10)));

    QMenu* tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->addAction(makeAction("menu_gif", QStringLiteral("Gif文件分解工具(&G)...."), menuIcon(12)));

    QMenu* about = bar->addMenu(QStringLiteral("关于(&A)"));
    QAction* help = makeAction("menu_help", QStringLiteral("帮助(&H)"), menuIcon(11));
    about->addAction(help);
    connect(help, &QAction::triggered, this, &Form1::btn_helpClick);
    QAction* author = makeAction("menu_auther", QStringLiteral("作者(&U)"), QString());
    about->addAction(author);
    connect(author, &QAction::triggered, this, &Form1::menu_autherClick);

    for (QMenu* menu : {file, folder, operations, tools, about})
        connect(menu, &QMenu::aboutToShow, m_sounds, &ClickSounds::playMenu);
}

void Form1::buildPopupMenu()
{
    auto popIcon = [](int index) { return QStringLiteral(":/images/popmenu/%1.png").arg(index); };
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_popupMenu->addAction(makeAction("pop_fangda", QStringLiteral("放大图片(&F)..."), QString()));
    m_popupMenu->addAction(makeAction("pop_save", QStringLiteral("保存图片(&S)..."), QString()));
    m_popupMenu->addSeparator();
    m_popupMenu->addAction(makeAction("pop_copy", QStringLiteral("复制(&C)"), popIcon(0), QKeySequence(Qt::CTRL | Qt::Key_C)));
    m_popupMenu->addAction(makeAction("pop_paste", QStringLiteral("粘贴(&P)"), popIcon(2), QKeySequence(Qt::CTRL | Qt::Key_V)));
    m_popupMenu->addAction(makeAction("pop_cut", QStringLiteral("剪切(&x)"), popIcon(1), QKeySequence(Qt::CTRL | Qt::Key_X)));
    m_popupMenu->addAction(makeAction("A2", QStringLiteral("全部选中(&A)"), QString(), QKeySequence(Qt::CTRL | Qt::Key_A)));
    m_popupMenu->addSeparator();
    m_popupMenu->addAction(makeAction("pop_del", QStringLiteral("删除图片(&D)"), QString()));
    // The shortcuts act while the folder view has the keyboard focus.
    for (QAction* a : m_popupMenu->actions()) {
        if (!a->shortcut().isEmpty()) {
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            m_listView->addAction(a);
        }
    }
}

void Form1::connectCommands(QWidget* toolbar)
{
    using Command = void (*)(Form1&);
    auto run = [this](Command command) {
        return [this, command] {
            // Opening a folder lets timers and repaints through, never a second command.
            if (!m_building && m_ado)
                command(*this);
        };
    };
    const std::pair<const char*, Command> commands[] = {
        {"btn_addfile", btn_addfileClick},     {"menu_addfile", btn_addfileClick},
        {"btn_editfile", btn_editfileClick},   {"menu_editfile", btn_editfileClick},
        {"btn_delfile", btn_delfileClick},     {"menu_delfile", btn_delfileClick},
        {"pop_del", btn_delfileClick},         {"menu_delall", menu_delallClick},
        {"btn_addfolder", btn_addfolderClick}, {"menu_addfolder", btn_addfolderClick},
        {"pop_copy", pop_copyClick},           {"pop_cut", pop_cutClick},
        {"pop_paste", pop_pasteClick},         {"A2", A2Click},
    };
    for (const auto& [name, command] : commands) {
        if (QAction* a = action(name))
            connect(a, &QAction::triggered, this, run(command));
        else if (auto* button = toolbar->findChild<FlatButton*>(QLatin1String(name)))
            connect(button, &QAbstractButton::clicked, this, run(command));
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    if (m_building || !m_ado)
        return;
    event->acceptProposedAction();
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    wmdropfiles(*this, paths);
}

bool Form1::FormCreate()
{
    setAcceptDrops(true);
    cutflag = false;
    copylist.clear();
    const QString path = storePath();
    Store::Opened opened = Store::open(path);
    if (opened.error == Store::OpenError::Missing) {
        m_prompt->popup(PopupKind::Warning, QStringLiteral("数据库文件不存在!"));
        return false;
    }
    if (!opened.store) {
        m_prompt->popup(PopupKind::Warning, QStringLiteral("数据库打开错误"));
        return false;
    }
    m_ado = std::move(opened.store);
    m_lock = m_ado->lock();
    return true;
}

void Form1::FormShow()
{
    if (!m_ado)
        return;
    OpenBlob(*m_ado, *m_treeModel, *m_prompt);
    // The stream keeps no expanded state; show every folder.
    m_tree1->expandAll();
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tree1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tree1Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the folder view

void Form1::tree1Click()
{
    if (!m_ado || m_building)
        return;
    const QModelIndexList selected = m_tree1->selectionModel()->selectedIndexes();
    if (m_treeModel->rowCount() == 0 || selected.isEmpty())
        return;
    QStandardItem* node = m_treeModel->itemFromIndex(selected.first());
    const QString text = FolderTree::nodeText(node);
    if (m_table1.open && m_table1.table == text)
        return;
    if (FolderTree::isGroup(node))
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (!m_ado->TableExists(text)) {
            if (!m_prompt->confirm(QStringLiteral("该文件不存在，是否要创建该文件夹?"))) {
                m_treeModel->removeNode(node);
                SaveTree(*m_ado, *m_treeModel, *m_prompt);
                QApplication::restoreOverrideCursor();
                return;
            }
            if (!m_ado->CreateFolderTable(text, *m_prompt)) {
                QApplication::restoreOverrideCursor();
                return;
            }
            m_prompt->popup(PopupKind::Success, QStringLiteral("文件夹 ") + text + QStringLiteral(" 创建成功!"));
            SaveTree(*m_ado, *m_treeModel, *m_prompt);
        }
        openFolderTable(text);
    } catch (const std::exception&) {
        // Opening a folder fails silently; the view shows what was built.
    }
    QApplication::restoreOverrideCursor();
}

void Form1::openFolderTable(QString table)
{
    closeFolderTable();
    m_table1.rows = m_ado->pictureRows(table);
    m_table1.table = table;
    m_table1.open = true;
    table1AfterOpen();
}

void Form1::closeFolderTable()
{
    const bool wasOpen = m_table1.open;
    m_table1 = Table1();
    if (wasOpen)
        table1AfterClose();
}

void Form1::reloadFolder()
{
    if (m_table1.open)
        openFolderTable(m_table1.table);
}

void Form1::table1AfterClose()
{
    m_items->clear();
}

void Form1::showStatus(qint64 total, const QString& counts)
{
    m_bar->setPanelText(1, totalText(total));
    m_bar->setPanelText(2, counts);
}

void Form1::table1AfterOpen()
{
    const QList<PictureRow> rows = m_table1.rows;
    const QString table = m_table1.table;
    const int total = int(rows.size());
    QProgressBar* pro = m_bar->progress();
    m_bar->startProgress(total);
    m_items->clear();
    FormatCounters counters;
    showStatus(total, counters.countText());

    // Counting, the progress bar and the status texts, once per row (step 2.5).
    // Painted with the events the pipeline lets through every few dozen milliseconds.
    auto rowDone = [&] {
        pro->setValue(pro->value() + 1);
        showStatus(total, counters.countText());
    };
    int delivered = 0;
    m_building = true;
    try {
        m_pipeline->run(
            total,
            [&](int i) -> ThumbnailJob {
                const PictureFormat format = formatOfCome(rows[i].come);
                if (format == PictureFormat::Other)
                    return {format, QByteArray()};
                return {format, m_ado->readBlob(table, rows[i].rowid)};
            },
            [&](int i, const DecodedPicture& result) {
                ++delivered;
                const PictureRow& row = rows[i];
                const PictureFormat format = formatOfCome(row.come);
                if (format != PictureFormat::Other) {
                    counters.count(format);
                    if (result.ok()) {
                        m_items->append(row.name, result.image);
                    } else {
                        // The row stays: the user can still save, export or delete it.
                        m_items->append(row.name, placeholderThumbnail());
                        m_prompt->popup(PopupKind::Warning,
                                        QStringLiteral("文件：") + row.come + QStringLiteral(" 在读取时发生错误！"));
                    }
                }
                rowDone();
            });
        pro->setValue(0);
    } catch (const std::exception&) {
        // A row that could not be read ends the building; it still counts as handled.
        if (delivered < total)
            rowDone();
    }
    m_building = false;
    if (m_closePending) {
        m_closePending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

QStringList Form1::selectedNames() const
{
    QStringList names;
    for (int row : m_listView->selectedRows())
        names.append(m_items->name(row));
    return names;
}

void Form1::ListView1Change()
{
    try {
        const QList<int> selected = m_listView->selectedRows();
        if (!selected.isEmpty() && m_table1.open && m_ado) {
            const std::optional<PictureRow> row = m_ado->locate(m_table1.table, m_items->name(selected.first()));
            if (row) {
                m_table1.current = row;
                m_listView->setHintText(pictureHint(row->name, row->come, row->size));
                m_listView->setHintEnabled(true);
            }
        } else {
            m_listView->setHintEnabled(false);
        }
    } catch (const std::exception&) {
    }
}

void Form1::PopupMenu1Popup()
{
    const int selected = int(m_listView->selectedRows().size());
    for (QAction* a : m_popupMenu->actions())
        a->setEnabled(selected > 0);
    action("pop_paste")->setEnabled(!copylist.isEmpty());
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
        setWindowState((windowState() & ~Qt::WindowMinimized) | (m_restoreMaximized ? Qt::WindowMaximized : Qt::WindowNoState));
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
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("help.chm"))));
}

void Form1::menu_autherClick()
{
    m_abou->show();
    m_abou->raise();
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
    if (m_building) {
        // The view is being built; the close is answered once it is complete.
        m_closePending = true;
        event->ignore();
        return;
    }
    if (!m_prompt->confirm(QStringLiteral("真的要退出程序吗?"))) {
        event->ignore();
        return;
    }
    m_exiting = true;
    m_tray->hide();
    closeFolderTable();
    m_ado.reset();
    copylist.clear();
    const QString path = storePath();
    std::shared_ptr<StoreLock> lock = m_lock;
    {
        Twai twai(
            this, [path, lock] { return lock && CompactStore(path, QString(), lock); },
            [this](PopupKind kind, const QString& text) { m_prompt->popup(kind, text); });
        hide();
        twai.exec();
    }
    m_lock.reset();
    event->accept();
    Q_EMIT exitFinished();
}

} // namespace zarvo
