// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "qtprinters.h"

#include "view/folderlistview.h"
#include "view/placeholderthumbnail.h"
#include "view/thumbnaildelegate.h"
#include "view/thumbnailmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <gtest/gtest.h>

namespace zarvo {
namespace {

// What the desktop sends for a double click (QTest::mouseDClick alone sends only the second
// press, as a double click).
void doubleClick(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

// A thumbnail with a dark diagonal pattern over most of it.
QImage patternThumbnail(int seed)
{
    QImage image(150, 150, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 20, 150, 110), QColor::fromHsv((seed * 47) % 360, 160, 150));
    painter.setPen(QPen(QColor(30, 30, 30), 4));
    for (int x = -150; x < 150; x += 18)
        painter.drawLine(x, 130, x + 110, 20);
    return image;
}

class FolderListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < 12; ++i)
            m_model.append(QStringLiteral("图片%1").arg(i), patternThumbnail(i));
        m_view.setModel(&m_model);
        m_view.resize(760, 480);
        m_view.show();
        m_view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
        m_view.setFocus();
        ASSERT_TRUE(m_view.hasFocus());
        // Current item without selection: where QAbstractItemView's own Ctrl+C would copy from.
        m_view.selectionModel()->setCurrentIndex(m_model.index(2), QItemSelectionModel::NoUpdate);
        QGuiApplication::clipboard()->setText(QStringLiteral("clipboard before"));
    }

    QString clipboardText() const { return QGuiApplication::clipboard()->text(); }

    ThumbnailModel m_model;
    FolderListView m_view;
};

const QKeyCombination kReservedKeys[]
    = { Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_X, Qt::CTRL | Qt::Key_V, Qt::CTRL | Qt::Key_A,
          Qt::CTRL | Qt::Key_Insert, Qt::SHIFT | Qt::Key_Insert, Qt::SHIFT | Qt::Key_Delete };

TEST_F(FolderListViewTest, CopyPasteAndSelectAllKeysDoNothingOnTheirOwn)
{
    for (const QKeyCombination key : kReservedKeys) {
        QTest::keyClick(&m_view, key.key(), key.keyboardModifiers());
        EXPECT_TRUE(m_view.selectedRows().isEmpty()) << key.toCombined();
        EXPECT_EQ(clipboardText(), QStringLiteral("clipboard before")) << key.toCombined();
    }
    // With a selection too: nothing is copied, the selection stays.
    m_view.selectionModel()->select(m_model.index(4), QItemSelectionModel::Select);
    for (const QKeyCombination key : kReservedKeys) {
        QTest::keyClick(&m_view, key.key(), key.keyboardModifiers());
        EXPECT_EQ(m_view.selectedRows(), QList<int>({ 4 })) << key.toCombined();
        EXPECT_EQ(clipboardText(), QStringLiteral("clipboard before")) << key.toCombined();
    }
    // Navigation keys still work.
    QTest::keyClick(&m_view, Qt::Key_Right);
    EXPECT_EQ(m_view.currentIndex().row(), 3);
}

TEST_F(FolderListViewTest, ProgramActionsGetTheShortcutsOnlyWhileEnabled)
{
    QAction copy(QStringLiteral("复制(&C)"));
    copy.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    copy.setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QAction selectAll(QStringLiteral("全部选中(&A)"));
    selectAll.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    selectAll.setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_view.addAction(&copy);
    m_view.addAction(&selectAll);
    QObject::connect(&selectAll, &QAction::triggered, &m_view, &QAbstractItemView::selectAll);
    QSignalSpy copied(&copy, &QAction::triggered);

    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&m_view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(copied.count(), 1);
    EXPECT_EQ(m_view.selectedRows().size(), m_model.rowCount());
    EXPECT_EQ(clipboardText(), QStringLiteral("clipboard before"));

    m_view.clearSelection();
    copy.setEnabled(false);
    selectAll.setEnabled(false);
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&m_view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(copied.count(), 1);
    EXPECT_TRUE(m_view.selectedRows().isEmpty());
    EXPECT_EQ(clipboardText(), QStringLiteral("clipboard before"));
}

TEST_F(FolderListViewTest, EnterAndDoubleClickOnlySignal)
{
    QSignalSpy enter(&m_view, &FolderListView::enterPressed);
    QSignalSpy doubleClicked(&m_view, &FolderListView::itemDoubleClicked);
    m_view.selectionModel()->select(m_model.index(5), QItemSelectionModel::Select);

    QTest::keyClick(&m_view, Qt::Key_Return);
    QTest::keyClick(&m_view, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(enter.count(), 2);
    EXPECT_EQ(m_view.selectedRows(), QList<int>({ 5 }));
    EXPECT_EQ(m_view.currentIndex().row(), 2);

    const QRect item = m_view.visualRect(m_model.index(7));
    ASSERT_TRUE(item.isValid());
    doubleClick(m_view.viewport(), item.center());
    ASSERT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(doubleClicked.at(0).at(0).toInt(), 7);
    EXPECT_EQ(
        m_view.model()->data(m_model.index(7)).toString(), QStringLiteral("图片7")); // not edited

    // Double-clicking empty space is no item.
    const QPoint empty(m_view.viewport()->width() - 5, m_view.viewport()->height() - 5);
    ASSERT_FALSE(m_view.indexAt(empty).isValid());
    doubleClick(m_view.viewport(), empty);
    EXPECT_EQ(doubleClicked.count(), 1);
}

TEST_F(FolderListViewTest, SelectedRowsAreInViewOrder)
{
    QItemSelectionModel* selection = m_view.selectionModel();
    for (int row : { 9, 1, 5 })
        selection->select(m_model.index(row), QItemSelectionModel::Select);
    EXPECT_EQ(m_view.selectedRows(), QList<int>({ 1, 5, 9 }));
    m_view.selectAll();
    EXPECT_EQ(m_view.selectedRows().size(), 12);
    EXPECT_EQ(m_view.selectedRows().first(), 0);
    EXPECT_EQ(m_view.selectedRows().last(), 11);

    // Several at once with Ctrl+click, as the user does.
    m_view.clearSelection();
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier,
        m_view.visualRect(m_model.index(6)).center());
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::ControlModifier,
        m_view.visualRect(m_model.index(3)).center());
    EXPECT_EQ(m_view.selectedRows(), QList<int>({ 3, 6 }));
}

TEST_F(FolderListViewTest, ItemsCannotBeDraggedAndDropsGoToTheWindow)
{
    // Files dropped on the view must reach the main window, which accepts them.
    EXPECT_FALSE(m_view.acceptDrops());
    EXPECT_FALSE(m_view.viewport()->acceptDrops());
    EXPECT_FALSE(m_view.dragEnabled());
    const QPoint from = m_view.visualRect(m_model.index(0)).center();
    const QRect before = m_view.visualRect(m_model.index(0));
    QTest::mousePress(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(m_view.viewport(), from + QPoint(300, 200));
    QTest::mouseRelease(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, from + QPoint(300, 200));
    EXPECT_EQ(m_view.visualRect(m_model.index(0)), before);
}

// Sends the event the desktop sends when the mouse rests over the view.
void restMouseOver(FolderListView& view)
{
    const QPoint at(20, 20);
    QHelpEvent event(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.viewport(), &event);
}

QString shownToolTip()
{
    QTextDocument document;
    document.setHtml(QToolTip::text());
    return document.toPlainText();
}

TEST_F(FolderListViewTest, HintIsShownLineByLineOnlyWhileEnabled)
{
    const QString first
        = QStringLiteral("文件名:<b>cat</b>\n\r来源:/p/cat.jpg\n\r大小:2560 Byte (约为:2 KB)");
    m_view.setHintText(first);
    EXPECT_FALSE(m_view.isHintEnabled());
    restMouseOver(m_view);
    EXPECT_FALSE(QToolTip::isVisible());

    m_view.setHintEnabled(true);
    restMouseOver(m_view);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(shownToolTip(),
        QStringLiteral("文件名:<b>cat</b>\n来源:/p/cat.jpg\n大小:2560 Byte (约为:2 KB)"));

    // Off: a new text is kept but not shown.
    m_view.setHintEnabled(false);
    m_view.setHintText(QStringLiteral("文件名:dog"));
    restMouseOver(m_view);
    EXPECT_NE(shownToolTip(), QStringLiteral("文件名:dog"));
    EXPECT_EQ(m_view.hintText(), QStringLiteral("文件名:dog"));

    m_view.setHintEnabled(true);
    restMouseOver(m_view);
    EXPECT_EQ(shownToolTip(), QStringLiteral("文件名:dog"));
}

// Mean grey level of a rectangle of an image.
double meanGrey(const QImage& image, const QRect& rect)
{
    double sum = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            sum += qGray(image.pixel(x, y));
    }
    return sum / (double(rect.width()) * rect.height());
}

TEST_F(FolderListViewTest, CutItemsAreFadedAndSelectedCellsTinted)
{
    // Items 0 and 1 carry the same picture; 1 is cut. Item 3 is selected.
    m_model.clear();
    for (int i = 0; i < 6; ++i)
        m_model.append(
            QStringLiteral("p%1").arg(i), i == 5 ? placeholderThumbnail() : patternThumbnail(1));
    m_model.setCut(1, true);
    m_view.selectionModel()->select(m_model.index(3), QItemSelectionModel::Select);
    const QImage shot = m_view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const QByteArray dir = qgetenv("ZARVO_GRAB_DIR"); !dir.isEmpty())
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/folderlistview-test.png"));

    const auto thumbnailOf = [this](int row) {
        return ThumbnailDelegate::thumbnailRect(m_view.visualRect(m_model.index(row)));
    };
    const double plain = meanGrey(shot, thumbnailOf(0));
    const double cut = meanGrey(shot, thumbnailOf(1));
    EXPECT_LT(plain, 160);
    EXPECT_GT(cut, plain + 50); // faded towards white

    // The strip between a cell's edge and its thumbnail: tinted only when selected.
    const auto marginOf = [this](int row) {
        const QRect cell = m_view.visualRect(m_model.index(row));
        return QRect(cell.left() + 2, cell.top() + 2, cell.width() - 4, 2);
    };
    EXPECT_EQ(meanGrey(shot, marginOf(2)), 255.0);
    EXPECT_LT(meanGrey(shot, marginOf(3)), 250.0);
    // The thumbnail itself is drawn as it is, not tinted.
    EXPECT_NEAR(meanGrey(shot, thumbnailOf(3)), plain, 1.0);
}

} // namespace
} // namespace zarvo
