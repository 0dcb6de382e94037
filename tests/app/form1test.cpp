// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "app/routes.h"
#include "app/startup.h"
#include "app/statusbar.h"
#include "app/viewerwindows.h"
#include "dialogs/tvie.h"
#include "dialogs/twai.h"
#include "imaging/picturedecoder.h"
#include "store/foldertree.h"
#include "store/treeblob.h"
#include "support/formfixture.h"
#include "support/testpictures.h"
#include "view/placeholderthumbnail.h"
#include "view/thumbnailmodel.h"
#include "widgets/folderlistview.h"
#include "widgets/foldertreeview.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::test;
using namespace zarvo::testpictures;

namespace {

QByteArray jpeg(int w, int h, quint32 seed = 1)
{
    return encodeJpeg(photoLike(w, h, seed), 85);
}

using Form1Test = FormFixture;

} // namespace

TEST_F(Form1Test, MissingStoreEndsTheProgramWithOnlyTheWarning)
{
    std::unique_ptr<Form1> started = startZarvo({ .splashMs = 0, .prompt = &prompt });
    EXPECT_EQ(started, nullptr);
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> {
            { PopupKind::Warning, QStringLiteral("数据库文件不存在!") } }));
    EXPECT_FALSE(QFileInfo::exists(box.storePath()));
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(Form1Test, DamagedOrLockedStoreCannotBeOpened)
{
    box.writeFile(QStringLiteral("data.mdb"), QByteArray(4096, 'x'));
    EXPECT_EQ(startZarvo({ .splashMs = 0, .prompt = &prompt }), nullptr);
    QFile::remove(box.storePath());
    box.store(); // held by "another Zarvo"
    EXPECT_EQ(startZarvo({ .splashMs = 0, .prompt = &prompt }), nullptr);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        (QStringList { QStringLiteral("数据库打开错误"), QStringLiteral("数据库打开错误") }));
}

TEST_F(Form1Test, StoreWithoutTablesStartsWithAnEmptyTree)
{
    box.store();
    box.closeStore();
    std::unique_ptr<Form1> started = startZarvo({ .splashMs = 0, .prompt = &prompt });
    ASSERT_NE(started, nullptr);
    EXPECT_TRUE(started->isVisible());
    EXPECT_EQ(started->windowTitle(), QStringLiteral("Zarvo"));
    EXPECT_TRUE(started->workspace().store()->TableExists(QStringLiteral("blob")));
    EXPECT_EQ(started->workspace().tree().nodeCount(), 0);
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST_F(Form1Test, OpeningAFolderShowsItsPicturesInRowOrderWithCounts)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/b.jpg"), jpeg(300, 200) },
            { QStringLiteral("/p/x.emf"), QByteArray("emf") },
            { QStringLiteral("/p/a.JPG"), jpeg(40, 30) } });
    start();
    clickNode(QStringLiteral("f"));
    ASSERT_TRUE(ws->isFolderOpen());
    EXPECT_EQ(ws->openFolder(), QStringLiteral("f"));
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("b"), QStringLiteral("a") }));
    EXPECT_EQ(form->bar()->panelText(1), QStringLiteral("总文件数为: 3 个"));
    EXPECT_EQ(form->bar()->panelText(2),
        QStringLiteral(
            "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:0个 | JPG/JPEG文件有:2个"));
    EXPECT_EQ(form->bar()->progress()->maximum(), 3);
    EXPECT_EQ(form->bar()->progress()->value(), 0);
    // A 40x30 picture is shown at its own size in the middle of the white thumbnail.
    const QImage small = ws->items().thumbnail(1);
    EXPECT_EQ(small.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_NE(small.pixel(75, 75), qRgb(255, 255, 255));
    EXPECT_EQ(small.pixel(75, 55), qRgb(255, 255, 255));
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST_F(Form1Test, EmptyFolderWritesZerosAndAnOpenFolderIsNotReloaded)
{
    makeFolder(QStringLiteral("full"),
        { { QStringLiteral("/p/a.png"), encodePng(blocks(20, 20, true), PngKind::Rgba8) } });
    makeFolder(QStringLiteral("empty"), {});
    start();
    clickNode(QStringLiteral("full"));
    EXPECT_EQ(form->bar()->panelText(2),
        QStringLiteral(
            "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:1个 | JPG/JPEG文件有:0个"));
    // Clicking the open folder again does nothing, not even a reload.
    ws->store()->appendPicture(QStringLiteral("full"), QStringLiteral("b"),
        QStringLiteral("/p/b.png"), encodePng(blocks(20, 20, false), PngKind::Rgb8));
    clickNode(QStringLiteral("full"));
    EXPECT_EQ(captions(), QStringList { QStringLiteral("a") });

    clickNode(QStringLiteral("empty"));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("empty"));
    EXPECT_TRUE(captions().isEmpty());
    EXPECT_EQ(form->bar()->panelText(1), QStringLiteral("总文件数为: 0 个"));
    EXPECT_GT(form->bar()->progress()->maximum(), 0) << "an empty bar, not Qt's busy animation";
    EXPECT_EQ(form->bar()->panelText(2),
        QStringLiteral(
            "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:0个 | JPG/JPEG文件有:0个"));
}

TEST_F(Form1Test, GroupNodeClickKeepsTheFolderOpen)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/a.gif"), encodeWithQt(blocks(10, 10, false), "png") } });
    Store& store = box.store();
    FolderTree tree;
    OpenBlob(store, tree, prompt);
    tree.insertNode(nullptr, 0, QString(FolderTree::kGroupMarker) + QStringLiteral("组"));
    SaveTree(store, tree, prompt);
    start();
    clickNode(QStringLiteral("f"));
    const QStringList before = captions();
    clickNode(QStringLiteral("组"));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("f"));
    EXPECT_EQ(captions(), before);
}

TEST_F(Form1Test, UndecodablePictureKeepsItsRowWithAWarning)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/fake.jpg"), encodePng(blocks(20, 20, false), PngKind::Rgb8) },
            { QStringLiteral("/p/good.jpg"), jpeg(64, 64) } });
    start();
    clickNode(QStringLiteral("f"));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件：/p/fake.jpg 在读取时发生错误！") });
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("fake"), QStringLiteral("good") }));
    EXPECT_EQ(ws->store()->rowCount(QStringLiteral("f")), 2) << "the row is never deleted";
    EXPECT_EQ(
        ws->items().thumbnail(0), ThumbnailModel::normalizedThumbnail(placeholderThumbnail()));
}

TEST_F(Form1Test, MissingTableIsCreatedOrItsNodeRemoved)
{
    Store& store = box.store();
    FolderTree tree;
    OpenBlob(store, tree, prompt);
    tree.appendNode(nullptr, QStringLiteral("yes"));
    tree.appendNode(nullptr, QStringLiteral("no"));
    SaveTree(store, tree, prompt);
    start();

    prompt.answer(true);
    clickNode(QStringLiteral("yes"));
    EXPECT_EQ(prompt.questions.last(), QStringLiteral("该文件不存在，是否要创建该文件夹?"));
    EXPECT_TRUE(ws->store()->TableExists(QStringLiteral("yes")));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("yes"));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Success),
        QStringList { QStringLiteral("文件夹 yes 创建成功!") });

    prompt.answer(false);
    clickNode(QStringLiteral("no"));
    EXPECT_FALSE(ws->store()->TableExists(QStringLiteral("no")));
    EXPECT_EQ(ws->tree().findFolder(QStringLiteral("no")), nullptr);
    EXPECT_EQ(ws->openFolder(), QStringLiteral("yes"));
    FolderTree saved;
    OpenBlob(*ws->store(), saved, prompt);
    EXPECT_EQ(saved.nodeCount(), 1) << "the removal was saved";
    EXPECT_TRUE(prompt.allAnswersUsed());
}

TEST_F(Form1Test, TooltipDescribesTheSelectedPicture)
{
    const QByteArray bytes(2560, 'x');
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/cat2.emf"), QByteArray("2") },
            { QStringLiteral("/p/dog.gif"), QByteArray("not a gif") },
            { QStringLiteral("/p/cat.jpg"), bytes } });
    start();
    EXPECT_FALSE(form->ListView1()->isHintEnabled());
    clickNode(QStringLiteral("f"));
    ASSERT_EQ(captions(), (QStringList { QStringLiteral("dog"), QStringLiteral("cat") }));
    select({ 1 });
    EXPECT_TRUE(form->ListView1()->isHintEnabled());
    EXPECT_EQ(form->ListView1()->hintText(),
        QStringLiteral("文件名:cat\n\r来源:/p/cat.jpg\n\r大小:2560 Byte (约为:2 KB)"));
    ASSERT_TRUE(ws->currentRow().has_value());
    EXPECT_EQ(ws->currentRow()->come, QStringLiteral("/p/cat.jpg"));
    select({});
    EXPECT_FALSE(form->ListView1()->isHintEnabled());
}

TEST_F(Form1Test, ContextMenuStatesAndDisabledShortcuts)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/a.jpg"), jpeg(20, 20) },
            { QStringLiteral("/p/b.jpg"), jpeg(20, 20, 2) } });
    start();
    clickNode(QStringLiteral("f"));
    const QStringList all { QStringLiteral("pop_fangda"), QStringLiteral("pop_save"),
        QStringLiteral("pop_copy"), QStringLiteral("pop_paste"), QStringLiteral("pop_cut"),
        QStringLiteral("A2"), QStringLiteral("pop_del") };
    auto enabled = [&] {
        QStringList on;
        for (const QString& name : all)
            if (form->action(name.toLatin1().constData())->isEnabled())
                on.append(name);
        return on;
    };
    auto without = [&](QStringList names) {
        QStringList rest = all;
        for (const QString& n : names)
            rest.removeAll(n);
        return rest;
    };
    struct State
    {
        QList<int> selection;
        bool clipboard;
        QStringList expected;
    };
    const QList<State> states {
        { {}, false, {} },
        { {}, true, { QStringLiteral("pop_paste") } },
        { { 0 }, false, without({ QStringLiteral("pop_paste") }) },
        { { 0 }, true, all },
        { { 0, 1 }, false, without({ QStringLiteral("pop_paste"), QStringLiteral("pop_save") }) },
        { { 0, 1 }, true, without({ QStringLiteral("pop_save") }) },
    };
    for (const State& state : states) {
        select(state.selection);
        ws->clipboard().copylist
            = state.clipboard ? QStringList { QStringLiteral("a") } : QStringList();
        form->PopupMenu1Popup();
        EXPECT_EQ(enabled(), state.expected)
            << state.selection.size() << " selected, clipboard " << state.clipboard;
    }

    // The menu was last opened with two selected: save is off. Now with nothing selected,
    // then selecting a picture without opening the menu again: the shortcuts stay dead.
    select({});
    ws->clipboard().copylist.clear();
    form->PopupMenu1Popup();
    select({ 0 });
    QSignalSpy copies(form->action("pop_copy"), &QAction::triggered);
    QSignalSpy enlarges(form->action("pop_fangda"), &QAction::triggered);
    form->ListView1()->setFocus();
    QTest::keyClick(form->ListView1(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(form->ListView1(), Qt::Key_Return);
    EXPECT_EQ(copies.count(), 0);
    EXPECT_EQ(enlarges.count(), 0);
    form->PopupMenu1Popup();
    QTest::keyClick(form->ListView1(), Qt::Key_Return);
    EXPECT_EQ(enlarges.count(), 1) << "Enter clicks the enlarge item once it is enabled";
}

TEST_F(Form1Test, CloseQueryNoKeepsEverything)
{
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/a.jpg"), jpeg(20, 20) } });
    start();
    clickNode(QStringLiteral("f"));
    QSignalSpy finished(form.get(), &Form1::exitFinished);
    prompt.answer(false);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompt.questions, QStringList { QStringLiteral("真的要退出程序吗?") });
    EXPECT_TRUE(form->isVisible());
    EXPECT_NE(ws->store(), nullptr);
    EXPECT_EQ(ws->openFolder(), QStringLiteral("f"));
    EXPECT_EQ(finished.count(), 0);
}

TEST_F(Form1Test, CloseQueryYesCompactsTheStore)
{
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/a.jpg"), jpeg(400, 300) } });
    {
        Store& store = box.store();
        for (int i = 0; i < 20; ++i)
            store.appendPicture(QStringLiteral("f"), QStringLiteral("big%1").arg(i),
                QStringLiteral("/p/x.emf"), QByteArray(300000, char(i)));
        for (int i = 0; i < 20; ++i)
            store.deletePicture(QStringLiteral("f"), QStringLiteral("big%1").arg(i));
    }
    const qint64 before = QFileInfo(box.storePath()).size();
    start();
    clickNode(QStringLiteral("f"));
    QSignalSpy finished(form.get(), &Form1::exitFinished);
    bool sawWaitWindow = false;
    QTimer::singleShot(0, [&] {
        auto* twai = qobject_cast<Twai*>(QApplication::activeModalWidget());
        ASSERT_NE(twai, nullptr);
        sawWaitWindow = true;
        EXPECT_FALSE(form->isVisible()) << "the main window hides while the store is compacted";
        twai->Timer2Timer(); // no need to wait the two seconds
    });
    prompt.answer(true);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(sawWaitWindow);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(ws->store(), nullptr);
    EXPECT_TRUE(prompt.popups.isEmpty())
        << "compaction failed: " << prompt.popups.value(0).text.toStdString();
    EXPECT_LT(QFileInfo(box.storePath()).size(), before);
    EXPECT_TRUE(QDir(box.dir())
                    .entryList({ QStringLiteral("~ACP*") }, QDir::Files | QDir::Hidden)
                    .isEmpty());
    form.reset();
    EXPECT_EQ(box.store().rowCount(QStringLiteral("f")), 1)
        << "the store opens again and keeps its picture";
}

TEST_F(Form1Test, ComingBackFromTheTrayReloadsTheTreeAndKeepsTheFolder)
{
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/a.jpg"), jpeg(20, 20) } });
    start();
    clickNode(QStringLiteral("f"));
    ws->store()->writeTreeStream("f\r\nnew\r\n");
    form->hide(); // as MakeMin leaves it
    form->restoreFromTray();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(ws->tree().nodeCount(), 2);
    EXPECT_EQ(ws->openFolder(), QStringLiteral("f"));
    EXPECT_EQ(captions(), QStringList { QStringLiteral("a") });
}

TEST_F(Form1Test, MinimisingWithoutATrayKeepsTheWindowReachable)
{
    start();
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has no tray";
    form->btn_minClick();
    QApplication::processEvents();
    EXPECT_FALSE(form->isInTray());
    EXPECT_TRUE(form->isVisible()) << "minimised the normal way, not hidden";
}

TEST_F(Form1Test, ControlsCarryTheirNames)
{
    start();
    for (const char* name : { "tree1", "ListView1", "bar", "pro", "Panel1", "Panel2", "Splitter1",
             "btn_addfile", "btn_close", "MSNPOP", "PopupMenu1", "MainMenu1", "Tabou" })
        EXPECT_NE(form->findChild<QObject*>(QLatin1String(name)), nullptr) << name;
    for (const char* name : { "menu_addfile", "menu_delfile", "menu_findfile", "menu_exit",
             "menu_addfolder", "menu_delall", "menu_importall", "menu_openall", "menu_gif",
             "menu_help", "menu_auther", "pop_fangda", "pop_copy", "A2", "pop_del" })
        EXPECT_NE(form->action(name), nullptr) << name;
    EXPECT_EQ(form->action("menu_delfile")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(form->action("pop_cut")->text(), QStringLiteral("剪切(&x)"));
    EXPECT_EQ(
        form->findChild<QWidget*>(QStringLiteral("btn_close"))->geometry(), QRect(753, 1, 73, 72));
    EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("btn_close"))->toolTip(),
        QStringLiteral("退出程序"));
    EXPECT_EQ(StatusBar::progressGeometry(1, 19, 288), QRect(2, 4, 287, 12));
}

TEST_F(Form1Test, EveryRouteReachesItsControl)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/a.jpg"), jpeg(20, 20) },
            { QStringLiteral("/p/b.jpg"), jpeg(20, 20, 2) } });
    start();
    QStringList names;
    const auto reaches = [&](const char* routeName) {
        const QString name = QLatin1String(routeName);
        names.append(name);
        EXPECT_TRUE(form->findChild<QAction*>(name) || form->findChild<QAbstractButton*>(name))
            << routeName;
    };
    for (const Route& route : commandRoutes())
        reaches(route.name);
    for (const Form1::WindowRoute& route : Form1::windowRoutes())
        reaches(route.name);
    EXPECT_EQ(names.size(), QSet<QString>(names.begin(), names.end()).size())
        << "a name is routed twice";
    ASSERT_EQ(viewRoutes().size(), 2u);
    EXPECT_NE(form->findChild<FolderTreeView*>(QLatin1String(viewRoutes()[0].name)), nullptr);
    EXPECT_NE(form->findChild<FolderListView*>(QLatin1String(viewRoutes()[1].name)), nullptr);

    // Routed commands run on the workspace: the Delete key deletes the selection even with the
    // focus in the tree.
    clickNode(QStringLiteral("f"));
    select({ 1 });
    prompt.answer(true);
    form->tree1()->setFocus();
    form->action("menu_delfile")->trigger();
    EXPECT_EQ(rowNames(QStringLiteral("f")), QStringList { QStringLiteral("a") });

    // Enter on the tree opens the selected folder, a double click in the view enlarges.
    ws->closeFolderTable();
    selectNode(QStringLiteral("f"));
    form->tree1()->setFocus();
    QTest::keyClick(form->tree1(), Qt::Key_Return);
    EXPECT_EQ(ws->openFolder(), QStringLiteral("f"));
    select({ 0 });
    Q_EMIT form->ListView1()->itemDoubleClicked(0);
    auto* viewers = dynamic_cast<ViewerWindows*>(ws->viewers());
    ASSERT_NE(viewers, nullptr);
    EXPECT_EQ(viewers->windows().size(), 1);
}

TEST_F(Form1Test, DroppedFilesAreAlwaysCopiedNeverMoved)
{
    makeFolder(QStringLiteral("f"), {});
    start();
    clickNode(QStringLiteral("f"));
    const QString file = box.writeFile(QStringLiteral("in/cat.jpg"), jpeg(20, 20));
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(file) });
    // Shift proposes a move; some file managers delete the originals of a drop accepted as one.
    QDragEnterEvent enter(QPoint(500, 300), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
        Qt::ShiftModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(500, 300), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
        Qt::ShiftModifier);
    ASSERT_EQ(drop.proposedAction(), Qt::MoveAction);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(rowNames(QStringLiteral("f")), QStringList { QStringLiteral("cat") });
    EXPECT_EQ(captions(), QStringList { QStringLiteral("cat") });
}

TEST_F(Form1Test, TreeMovesDroppedNodesItselfAndPassesFilesOn)
{
    makeFolder(QStringLiteral("f"), {});
    box.store().writeTreeStream("\x01g\r\n\x01h\r\nf\r\n");
    start();
    QTreeView* tree1 = form->tree1();
    clickNode(QStringLiteral("f"));
    ASSERT_TRUE(tree1->dragEnabled());
    // A drag over the tree and a drop on a node, as the window system delivers them.
    auto dragOnto = [&](const QMimeData& data, const QString& text) {
        const QPoint at = tree1->visualRect(node(text)).center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree1->viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree1->viewport(), &move);
        EXPECT_TRUE(move.isAccepted()) << "every drag is accepted";
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree1->viewport(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "the source must remove nothing";
    };
    const auto stored = [&] { return ws->store()->readTreeStream(); };

    const std::unique_ptr<QMimeData> nodeDrag(FolderTreeView::nodeMimeData());
    dragOnto(*nodeDrag, QStringLiteral("\x01h"));
    EXPECT_EQ(stored(), QByteArray("\x01g\r\n\x01h\r\n\tf\r\n"));
    EXPECT_TRUE(tree1->isExpanded(node(QStringLiteral("\x01h"))));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("f"));
    selectNode(QStringLiteral("h"));
    dragOnto(*nodeDrag, QStringLiteral("\x01g"));
    EXPECT_EQ(stored(), QByteArray("\x01g\r\n\t\x01h\r\n\t\tf\r\n"));
    EXPECT_TRUE(tree1->isExpanded(node(QStringLiteral("\x01h")))) << "with all its descendants";
    EXPECT_EQ(ws->tree().nodeCount(), 3) << "the item view inserted no rows of its own";

    // Files dragged from a file manager still reach the open folder.
    const QString file = box.writeFile(QStringLiteral("in/cat.jpg"), jpeg(20, 20));
    QMimeData files;
    files.setUrls({ QUrl::fromLocalFile(file) });
    dragOnto(files, QStringLiteral("f"));
    EXPECT_EQ(rowNames(QStringLiteral("f")), QStringList { QStringLiteral("cat") });
    EXPECT_EQ(ws->tree().nodeCount(), 3);
}

TEST_F(Form1Test, SearchCommandsOpenTheSearchWindowOfTheirKind)
{
    makeFolder(QStringLiteral("f"), {});
    start();
    for (const char* name : { "menu_findfile", "menu_findfolder" })
        form->action(name)->trigger();
    for (const char* name : { "btn_findfile", "btn_findfolder" })
        form->findChild<QAbstractButton*>(QLatin1String(name))->click();
    EXPECT_EQ(prompt.searchKinds, (QList<int> { 0, 1, 0, 1 }));
    EXPECT_EQ(form->action("menu_findfile")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
}

TEST_F(Form1Test, TreeKeepsWhatTheUserExpandedWhenItComesBackFromTheTray)
{
    Store& store = box.store();
    store.createTreeTable();
    store.writeTreeStream("\x01open\r\n\tf1\r\n\x01closed\r\n\tf2\r\n");
    start();
    QTreeView* tree1 = form->tree1();
    const auto expanded = [&](const QString& text) {
        return tree1->isExpanded(ws->tree().indexOfNode(ws->tree().findFolder(text)).parent());
    };
    EXPECT_TRUE(expanded(QStringLiteral("f1")) && expanded(QStringLiteral("f2")))
        << "the first load shows every folder";
    tree1->collapse(ws->tree().indexOfNode(ws->tree().findFolder(QStringLiteral("f2"))).parent());
    form->hide();
    form->restoreFromTray();
    EXPECT_TRUE(expanded(QStringLiteral("f1")));
    EXPECT_FALSE(expanded(QStringLiteral("f2")));
}

TEST_F(Form1Test, StatusTextsReachAssistiveTechnology)
{
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/a.jpg"), jpeg(20, 20) } });
    start();
    clickNode(QStringLiteral("f"));
    QStringList names;
    for (QWidget* child : form->bar()->findChildren<QWidget*>())
        if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(child))
            names.append(a->text(QAccessible::Name));
    EXPECT_TRUE(names.contains(QStringLiteral("总文件数为: 1 个")))
        << names.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(names.contains(form->bar()->panelText(2)));
}

TEST_F(Form1Test, EnlargingOpensAViewerThatPaintsThePicture)
{
    const QByteArray bytes = jpeg(600, 400, 7);
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/b.JPG"), bytes } });
    start();
    clickNode(QStringLiteral("f"));
    select({ 0 });
    form->action("pop_fangda")->trigger();
    auto* viewers = dynamic_cast<ViewerWindows*>(ws->viewers());
    ASSERT_NE(viewers, nullptr);
    ASSERT_EQ(viewers->windows().size(), 1);
    Tvie* window = viewers->windows().first();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("文件:b.jpg"));
    EXPECT_EQ(window->frameGeometry().size(), QSize(600, 440)) << "a large picture's size + 40";
    // What the window paints: the decoded picture at the top-left corner, white below it.
    const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage decoded = decodePicture(PictureFormat::Jpeg, bytes).image;
    ASSERT_FALSE(decoded.isNull());
    for (const QPoint at : { QPoint(0, 0), QPoint(300, 200), QPoint(580, 390) })
        EXPECT_EQ(shown.pixel(at), decoded.pixel(at)) << at.x() << "," << at.y();
    EXPECT_NE(shown.pixel(300, 200), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(300, 420), qRgb(255, 255, 255));
    EXPECT_TRUE(prompt.popups.isEmpty());
}
