// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/mainmenus.h"

#include "app/clicksounds.h"
#include "app/flatbutton.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(MainMenus)
};

struct ToolbarButton
{
    const char* name;
    int left;
    const char* hint;
};

const ToolbarButton kToolbar[] = {
    { "btn_addfile", 0, QT_TRANSLATE_NOOP("MainMenus", "添加文件") },
    { "btn_editfile", 72, QT_TRANSLATE_NOOP("MainMenus", "修改文件") },
    { "btn_delfile", 144, QT_TRANSLATE_NOOP("MainMenus", "删除文件") },
    { "btn_findfile", 216, QT_TRANSLATE_NOOP("MainMenus", "查找文件") },
    { "btn_addfolder", 304, QT_TRANSLATE_NOOP("MainMenus", "添加文件夹") },
    { "btn_editfolder", 376, QT_TRANSLATE_NOOP("MainMenus", "修改文件夹") },
    { "btn_delfolder", 448, QT_TRANSLATE_NOOP("MainMenus", "删除文件夹") },
    { "btn_findfolder", 520, QT_TRANSLATE_NOOP("MainMenus", "查找文件夹") },
    { "btn_help", 608, QT_TRANSLATE_NOOP("MainMenus", "帮助") },
    { "btn_min", 680, QT_TRANSLATE_NOOP("MainMenus", "最小化窗口") },
    { "btn_close", 753, QT_TRANSLATE_NOOP("MainMenus", "退出程序") },
};

QAction* makeAction(QObject* owner, const char* name, const QString& caption, const QString& icon,
    const QKeySequence& shortcut = {})
{
    auto* a = new QAction(caption, owner);
    a->setObjectName(QLatin1String(name));
    if (!icon.isEmpty())
        a->setIcon(QIcon(icon));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

} // namespace

void buildToolbar(QWidget* panel, ClickSounds* sounds)
{
    for (const ToolbarButton& b : kToolbar) {
        auto* button = new FlatButton(
            QPixmap(QStringLiteral(":/images/toolbar/%1.png").arg(QLatin1String(b.name))),
            Texts::tr(b.hint), panel);
        button->setObjectName(QLatin1String(b.name));
        button->setGeometry(b.left, 1, 73, 72);
        QObject::connect(button, &FlatButton::mouseEntered, sounds, &ClickSounds::playToolbar);
    }
}

void buildMenus(QMainWindow& window, ClickSounds* sounds)
{
    auto menuIcon = [](int index) { return QStringLiteral(":/images/menu/%1.png").arg(index); };
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(Texts::tr("文件(&F)"));
    file->addAction(makeAction(&window, "menu_addfile", Texts::tr("添加文件(&A)"), menuIcon(2)));
    file->addAction(makeAction(&window, "menu_editfile", Texts::tr("修改文件(&E)"), menuIcon(5)));
    file->addAction(makeAction(&window, "menu_delfile", Texts::tr("删除文件(&D)"), menuIcon(3),
        QKeySequence(Qt::Key_Delete)));
    file->addAction(makeAction(&window, "menu_findfile", Texts::tr("查找文件(&F)"), menuIcon(4),
        QKeySequence(Qt::CTRL | Qt::Key_F)));
    file->addSeparator();
    file->addAction(makeAction(&window, "menu_exit", Texts::tr("退出(&X)"), menuIcon(7)));

    QMenu* folder = bar->addMenu(Texts::tr("文件夹(&O)"));
    folder->addAction(
        makeAction(&window, "menu_addfolder", Texts::tr("添加文件夹(&L)"), menuIcon(0)));
    folder->addAction(
        makeAction(&window, "menu_editfolder", Texts::tr("修改文件夹(&I)"), menuIcon(8)));
    folder->addAction(
        makeAction(&window, "menu_delfolder", Texts::tr("删除文件夹(&R)"), menuIcon(1)));
    folder->addAction(
        makeAction(&window, "menu_findfolder", Texts::tr("查找文件夹(&O)"), menuIcon(6)));
    folder->addSeparator();
    folder->addAction(makeAction(&window, "menu_import", Texts::tr("导入目录(&M)..."), QString()));

    QMenu* operations = bar->addMenu(Texts::tr("文件操作(&C)"));
    operations->addAction(
        makeAction(&window, "menu_delall", Texts::tr("全部删除(&A)"), menuIcon(9)));
    operations->addAction(
        makeAction(&window, "menu_importall", Texts::tr("全部导出(&D)..."), QString()));
    operations->addSeparator();
    operations->addAction(
        makeAction(&window, "menu_openall", Texts::tr("全部打开(&O)"), menuIcon(10)));

    QMenu* tools = bar->addMenu(Texts::tr("工具(&T)"));
    tools->addAction(
        makeAction(&window, "menu_gif", Texts::tr("Gif文件分解工具(&G)...."), menuIcon(12)));
    tools->addAction(makeAction(&window, "menu_dups", Texts::tr("查找重复图片(&D)..."), QString()));

    QMenu* about = bar->addMenu(Texts::tr("关于(&A)"));
    about->addAction(makeAction(&window, "menu_help", Texts::tr("帮助(&H)"), menuIcon(11)));
    about->addAction(makeAction(&window, "menu_auther", Texts::tr("作者(&U)"), QString()));

    for (QMenu* menu : { file, folder, operations, tools, about })
        QObject::connect(menu, &QMenu::aboutToShow, sounds, &ClickSounds::playMenu);
}

QMenu* buildPopupMenu(QWidget& window)
{
    auto popIcon = [](int index) { return QStringLiteral(":/images/popmenu/%1.png").arg(index); };
    auto* menu = new QMenu(&window);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->addAction(makeAction(&window, "pop_fangda", Texts::tr("放大图片(&F)..."), QString()));
    menu->addAction(makeAction(&window, "pop_save", Texts::tr("保存图片(&S)..."), QString()));
    menu->addSeparator();
    menu->addAction(makeAction(&window, "pop_copy", Texts::tr("复制(&C)"), popIcon(0),
        QKeySequence(Qt::CTRL | Qt::Key_C)));
    menu->addAction(makeAction(&window, "pop_paste", Texts::tr("粘贴(&P)"), popIcon(2),
        QKeySequence(Qt::CTRL | Qt::Key_V)));
    menu->addAction(makeAction(
        &window, "pop_cut", Texts::tr("剪切(&x)"), popIcon(1), QKeySequence(Qt::CTRL | Qt::Key_X)));
    menu->addAction(makeAction(
        &window, "A2", Texts::tr("全部选中(&A)"), QString(), QKeySequence(Qt::CTRL | Qt::Key_A)));
    menu->addSeparator();
    menu->addAction(makeAction(&window, "pop_del", Texts::tr("删除图片(&D)"), QString()));
    return menu;
}

} // namespace zarvo
