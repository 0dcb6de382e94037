// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/folderlistview.h"
#include "view/thumbnailmodel.h"
#include "widgets/thumbnaildelegate.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <gtest/gtest.h>

namespace zarvo {
namespace {

// Counts the events of one type that reach the objects it filters.
struct EventCounter : QObject
{
    explicit EventCounter(QEvent::Type counted)
        : type(counted)
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == type;
        return false;
    }
    QEvent::Type type;
    int count = 0;
};

class FolderListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage picture(150, 150, QImage::Format_RGB32); // dark stripes on blue
        picture.fill(QColor(60, 110, 160));
        QPainter painter(&picture);
        painter.setPen(QPen(QColor(30, 30, 30), 4));
        for (int x = -150; x < 150; x += 18)
            painter.drawLine(x, 150, x + 150, 0);
        for (int i = 0; i < 12; ++i)
            m_model.append(QStringLiteral("图片%1").arg(i), picture);
        m_view.setModel(&m_model);
        m_view.resize(760, 480);
        m_view.show();
        m_view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
        m_view.setFocus();
        // A current item but no selection: what QAbstractItemView's own Ctrl+C would copy.
        m_view.selectionModel()->setCurrentIndex(m_model.index(2), QItemSelectionModel::NoUpdate);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    QPoint centreOf(int row) const { return m_view.visualRect(m_model.index(row)).center(); }

    ThumbnailModel m_model;
    FolderListView m_view;
};

TEST_F(FolderListViewTest, CopyPasteAndSelectAllKeysAreTheProgramsOnly)
{
    const QKeyCombination keys[] = { Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_X,
        Qt::CTRL | Qt::Key_V, Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_Insert };
    for (const QKeyCombination key : keys) {
        QTest::keyClick(&m_view, key.key(), key.keyboardModifiers());
        EXPECT_TRUE(m_view.selectedRows().isEmpty()) << key.toCombined();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"))
            << key.toCombined();
    }

    // The program's actions get the keys while they are enabled, and only then.
    QAction copy;
    QAction selectAll;
    copy.setShortcut(QKeySequence::Copy);
    selectAll.setShortcut(QKeySequence::SelectAll);
    for (QAction* action : { &copy, &selectAll }) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_view.addAction(action);
    }
    QObject::connect(&selectAll, &QAction::triggered, &m_view, &QAbstractItemView::selectAll);
    QSignalSpy copied(&copy, &QAction::triggered);
    for (bool enabled : { false, true }) {
        copy.setEnabled(enabled);
        selectAll.setEnabled(enabled);
        QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(&m_view, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(copied.count(), enabled ? 1 : 0);
        EXPECT_EQ(m_view.selectedRows().size(), enabled ? 12 : 0);
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST_F(FolderListViewTest, MouseAndEnterOnlySignal)
{
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(6));
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(3));
    EXPECT_EQ(m_view.selectedRows(), QList<int>({ 3, 6 })); // in view order

    QSignalSpy enter(&m_view, &FolderListView::enterPressed);
    QTest::keyClick(&m_view, Qt::Key_Return);
    QTest::keyClick(&m_view, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(enter.count(), 2);
    EXPECT_EQ(m_view.selectedRows(), QList<int>({ 3, 6 }));

    // A double click as the desktop sends it (QTest::mouseDClick alone is only its second press).
    QSignalSpy doubleClicked(&m_view, &FolderListView::itemDoubleClicked);
    const QPoint empty(m_view.viewport()->width() - 5, m_view.viewport()->height() - 5);
    ASSERT_FALSE(m_view.indexAt(empty).isValid());
    for (const QPoint at : { centreOf(7), empty }) {
        QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    ASSERT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(doubleClicked.at(0).at(0).toInt(), 7);

    // Dropped files pass through to the window, which takes them.
    EXPECT_FALSE(m_view.acceptDrops() || m_view.viewport()->acceptDrops());
}

// The rows whose cells show, wholly or in part, as the view is scrolled; and while the view is the
// sole input receiver, clicks and keys reach it and no other widget, and no shortcut fires.
TEST_F(FolderListViewTest, VisibleRowsFollowScrollingAndTheViewCanBeTheSoleInputReceiver)
{
    for (int i = 12; i < 200; ++i)
        m_model.append(QStringLiteral("图片%1").arg(i), QImage());
    QTest::qWait(0);
    const auto shown = [this](int row) {
        return m_view.viewport()->rect().intersects(m_view.visualRect(m_model.index(row)));
    };
    const auto check = [&] {
        const auto [first, last] = m_view.visibleRows();
        ASSERT_LE(first, last);
        for (int row = std::max(0, first - 8); row < std::min(200, last + 8); ++row)
            EXPECT_EQ(shown(row), row >= first && row <= last) << row;
    };
    check();
    EXPECT_EQ(m_view.visibleRows().first, 0);
    // What an opening starts before the view is laid out: the items the top shows.
    for (const QSize size : { QSize(760, 480), QSize(333, 900), QSize(1201, 171) }) {
        m_view.resize(size);
        QTest::qWait(0);
        const auto [first, last] = m_view.visibleRows();
        EXPECT_EQ(m_view.screenfulItems(), last - first + 1)
            << size.width() << "x" << size.height();
    }
    m_view.resize(760, 480);
    QTest::qWait(0);
    m_view.scrollTo(m_model.index(100), QAbstractItemView::PositionAtCenter);
    check();
    m_view.scrollToBottom();
    check();
    EXPECT_EQ(m_view.visibleRows().second, 199);

    QWidget other;
    other.show();
    QAction shortcut;
    shortcut.setShortcut(Qt::CTRL | Qt::Key_D);
    shortcut.setShortcutContext(Qt::ApplicationShortcut);
    m_view.addAction(&shortcut);
    QSignalSpy fired(&shortcut, &QAction::triggered);
    QSignalSpy pressed(&m_view, &QAbstractItemView::pressed);
    EventCounter otherPresses(QEvent::MouseButtonPress);
    other.installEventFilter(&otherPresses);
    for (bool sole : { true, false }) {
        m_view.setSoleInputReceiver(sole);
        QTest::mouseClick(&other, Qt::LeftButton);
        QTest::keyClick(&m_view, Qt::Key_D, Qt::ControlModifier);
        QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(190));
        EXPECT_EQ(otherPresses.count, sole ? 0 : 1);
        EXPECT_EQ(fired.count(), sole ? 0 : 1);
        EXPECT_EQ(pressed.count(), sole ? 1 : 2);
    }
}

TEST_F(FolderListViewTest, AFolderTheViewCannotShowWholeComesWithItsScrollBarWithoutRepainting)
{
    EventCounter paints(QEvent::Paint);
    QScrollBar* bar = m_view.verticalScrollBar();
    for (const int items : { 3, 250, 300 }) {
        m_model.reset(QStringList(3, QStringLiteral("a")));
        QTest::qWait(300);
        ASSERT_FALSE(bar->isVisible());
        m_view.viewport()->installEventFilter(&paints);
        paints.count = 0;
        m_model.reset(QStringList(items, QStringLiteral("b")));
        // Longer than the view waits before it lays its items out again after a resize: a second
        // layout would paint again.
        QTest::qWait(300);
        m_view.viewport()->removeEventFilter(&paints);
        // Items beyond the first batch are laid out in further steps, painted once at the end.
        EXPECT_EQ(paints.count, items > m_view.batchSize() ? 2 : 1) << items;
        EXPECT_EQ(bar->isVisible(), items > 3);
        EXPECT_EQ(m_view.visibleRows().first, 0);
    }
    EXPECT_GT(bar->maximum(), 0);
    m_view.scrollToBottom();
    EXPECT_EQ(m_view.visibleRows().second, 299);
}

TEST_F(FolderListViewTest, HintIsShownLineByLineOnlyWhileEnabled)
{
    const auto shownOnRest = [this] {
        QHelpEvent event(
            QEvent::ToolTip, QPoint(20, 20), m_view.viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(m_view.viewport(), &event);
        QTextDocument document;
        document.setHtml(QToolTip::text());
        return QToolTip::isVisible() ? document.toPlainText() : QString();
    };
    m_view.setHintText(
        QStringLiteral("文件名:<b>a</b>\n\r来源:/p/a.jpg\n\r大小:2 Byte (约为:0 KB)"));
    EXPECT_EQ(shownOnRest(), QString());
    m_view.setHintEnabled(true);
    EXPECT_EQ(
        shownOnRest(), QStringLiteral("文件名:<b>a</b>\n来源:/p/a.jpg\n大小:2 Byte (约为:0 KB)"));

    m_view.setHintEnabled(false);
    m_view.setHintText(QStringLiteral("文件名:b"));
    EXPECT_NE(shownOnRest(), QStringLiteral("文件名:b"));
    m_view.setHintEnabled(true);
    EXPECT_EQ(shownOnRest(), QStringLiteral("文件名:b"));
}

TEST_F(FolderListViewTest, PicturesKeepTheirColoursCutItemsFadeSelectedCellsAreTinted)
{
    m_model.setCut(1, true);
    m_view.selectionModel()->select(m_model.index(3), QItemSelectionModel::Select);
    const QImage shot = m_view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto meanGrey = [&](int row, bool margin) {
        const QRect cell = m_view.visualRect(m_model.index(row));
        const QRect rect = margin ? QRect(cell.left() + 2, cell.top() + 2, cell.width() - 4, 2)
                                  : ThumbnailDelegate::thumbnailRect(cell);
        double sum = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x)
                sum += qGray(shot.pixel(x, y));
        }
        return sum / (double(rect.width()) * rect.height());
    };
    EXPECT_LT(meanGrey(0, false), 160);
    // The picture in its own colours: most of it is the blue between the stripes.
    const QRect thumbnail = ThumbnailDelegate::thumbnailRect(m_view.visualRect(m_model.index(0)));
    int blue = 0;
    for (int y = thumbnail.top(); y <= thumbnail.bottom(); ++y) {
        for (int x = thumbnail.left(); x <= thumbnail.right(); ++x)
            blue += shot.pixel(x, y) == qRgb(60, 110, 160);
    }
    EXPECT_GT(blue, thumbnail.width() * thumbnail.height() / 2);
    EXPECT_GT(meanGrey(1, false), meanGrey(0, false) + 50); // cut: faded towards white
    EXPECT_NEAR(meanGrey(3, false), meanGrey(0, false), 1.0); // selected: the picture as it is
    EXPECT_EQ(meanGrey(4, true), 255.0); // the strip around the thumbnail ...
    EXPECT_LT(meanGrey(3, true), 250.0); // ... is tinted when selected
}

} // namespace
} // namespace zarvo
