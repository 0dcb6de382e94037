// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/mainmenus.h"

#include "app/clicksounds.h"
#include "app/flatbutton.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace zarvo {

namespace {

struct ToolbarButton
{
    const char* name;
    int left;
    const char* hint;
};

const ToolbarButton kToolbar[] = {
    { "btn_addfile", 0, "添加文件" },
    { "btn_editfile", 72, "修改文件" },
    { "btn_delfile", 144, "删除文件" },
    { "btn_findfile", 216, "查找文件" },
    { "btn_addfolder", 304, "添加文件夹" },
    { "btn_editfolder", 376, "修改文件夹" },
    { "btn_delfolder", 448, "删除文件夹" },
    { "btn_findfolder", 520, "查找文件夹" },
    { "btn_help", 608, "帮助" },
    { "btn_min", 680, "最小化窗口" },
    { "btn_close", 753, "退出程序" },
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
            QString::fromUtf8(b.hint), panel);
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

    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(
        makeAction(&window, "menu_addfile", QStringLiteral("添加文件(&A)"), menuIcon(2)));
    file->addAction(
        makeAction(&window, "menu_editfile", QStringLiteral("修改文件(&E)"), menuIcon(5)));
    file->addAction(makeAction(&window, "menu_delfile", QStringLiteral("删除文件(&D)"), menuIcon(3),
        QKeySequence(Qt::Key_Delete)));
    file->addAction(makeAction(&window, "menu_findfile", QStringLiteral("查找文件(&F)"),
        menuIcon(4), QKeySequence(Qt::CTRL | Qt::Key_F)));
    file->addSeparator();
    file->addAction(makeAction(&window, "menu_exit", QStringLiteral("退出(&X)"), menuIcon(7)));

    QMenu* folder = bar->addMenu(QStringLiteral("文件夹(&O)"));
    folder->addAction(
        makeAction(&window, "menu_addfolder", QStringLiteral("添加文件夹(&L)"), menuIcon(0)));
    folder->addAction(
        makeAction(&window, "menu_editfolder", QStringLiteral("修改文件夹(&I)"), menuIcon(8)));
    folder->addAction(
        makeAction(&window, "menu_delfolder", QStringLiteral("删除文件夹(&R)"), menuIcon(1)));
    folder->addAction(
        makeAction(&window, "menu_findfolder", QStringLiteral("查找文件夹(&O)"), menuIcon(6)));

    QMenu* operations = bar->addMenu(QStringLiteral("文件操作(&C)"));
    operations->addAction(
        makeAction(&window, "menu_delall", QStringLiteral("全部删除(&A)"), menuIcon(9)));
    operations->addAction(
        makeAction(&window, "menu_importall", QStringLiteral("全部导出(&D)..."), QString()));
    operations->addSeparator();
    operations->addAction(
        makeAction(&window, "menu_openall", QStringLiteral("全部打开(&O)"), menuIcon(10)));

    QMenu* tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->addAction(
        makeAction(&window, "menu_gif", QStringLiteral("Gif文件分解工具(&G)...."), menuIcon(12)));

    QMenu* about = bar->addMenu(QStringLiteral("关于(&A)"));
    about->addAction(makeAction(&window, "menu_help", QStringLiteral("帮助(&H)"), menuIcon(11)));
    about->addAction(makeAction(&window, "menu_auther", QStringLiteral("作者(&U)"), QString()));

    for (QMenu* menu : { file, folder, operations, tools, about })
        QObject::connect(menu, &QMenu::aboutToShow, sounds, &ClickSounds::playMenu);
}

QMenu* buildPopupMenu(QWidget& window)
{
    auto popIcon = [](int index) { return QStringLiteral(":/images/popmenu/%1.png").arg(index); };
    auto* menu = new QMenu(&window);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->addAction(
        makeAction(&window, "pop_fangda", QStringLiteral("放大图片(&F)..."), QString()));
    menu->addAction(makeAction(&window, "pop_save", QStringLiteral("保存图片(&S)..."), QString()));
    menu->addSeparator();
    menu->addAction(makeAction(&window, "pop_copy", QStringLiteral("复制(&C)"), popIcon(0),
        QKeySequence(Qt::CTRL | Qt::Key_C)));
    menu->addAction(makeAction(&window, "pop_paste", QStringLiteral("粘贴(&P)"), popIcon(2),
        QKeySequence(Qt::CTRL | Qt::Key_V)));
    menu->addAction(makeAction(&window, "pop_cut", QStringLiteral("剪切(&x)"), popIcon(1),
        QKeySequence(Qt::CTRL | Qt::Key_X)));
    menu->addAction(makeAction(&window, "A2", QStringLiteral("全部选中(&A)"), QString(),
        QKeySequence(Qt::CTRL | Qt::Key_A)));
    menu->addSeparator();
    menu->addAction(makeAction(&window, "pop_del", QStringLiteral("删除图片(&D)"), QString()));
    return menu;
}

} // namespace zarvo
