// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tselfolde.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace zarvo;

TEST(Tselfolde, OpensOnTheHomeDirectoryWithEveryDirectoryFromTheRootReachable)
{
    Tselfolde dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("请选择你要导出文件的文件目录"));
    EXPECT_EQ(dialog.size(), QSize(338, 389));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(
        dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("文件夹选择:"));
    EXPECT_EQ(
        dialog.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("文件夹:"));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->text(),
        QStringLiteral("确定(&O)"));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("FlatButton1"))->text(),
        QStringLiteral("取消(&C)"));
    EXPECT_TRUE(dialog.Edit1()->isReadOnly());

    const QString home = QDir::homePath();
    EXPECT_EQ(dialog.selectedPath(), home);
    EXPECT_EQ(dialog.Edit1()->text(), home);
    QTreeView* path = dialog.path();
    EXPECT_EQ(path->objectName(), QStringLiteral("path"));
    const QModelIndex root = path->model()->index(0, 0, path->rootIndex());
    EXPECT_EQ(root.data().toString(), QStringLiteral("/")) << "the top node is the root directory";
    for (QModelIndex up = path->currentIndex().parent(); up.isValid(); up = up.parent())
        EXPECT_TRUE(path->isExpanded(up)) << up.data().toString().toStdString();

    // Choosing another node shows its path; the buttons and the close box decide the result.
    path->setCurrentIndex(root);
    EXPECT_EQ(dialog.Edit1()->text(), QStringLiteral("/"));
    QTimer::singleShot(0, &dialog,
        [&] { dialog.findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedPath(), QStringLiteral("/"));
    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    QTimer::singleShot(0, &dialog,
        [&] { dialog.findChild<QPushButton*>(QStringLiteral("FlatButton1"))->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}
