// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/namebox.h"
#include "dialogs/tad.h"
#include "dialogs/tedi.h"
#include "support/recordingprompt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

QRadioButton* radio(Tad& tad, int n)
{
    return tad.findChild<QRadioButton*>(QStringLiteral("radio%1").arg(n));
}

// Runs `act` once the dialog's modal loop is running.
void whenShown(QDialog& dialog, std::function<void()> act)
{
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        EXPECT_TRUE(dialog.isVisible());
        act();
    });
}

// Types text as a keyboard would, one character per key press (QTest knows only ASCII keys).
void type(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

} // namespace

TEST(NameBox, StopsAtNineteenBytesWithoutSplittingCharacters)
{
    NameBox box(19);
    type(&box, QStringLiteral("abcdefghijklmnopqrstu"));
    EXPECT_EQ(box.text(), QStringLiteral("abcdefghijklmnopqrs"));

    box.clear();
    type(&box, QStringLiteral("一二三四五六七八九十"));
    EXPECT_EQ(box.text(), QStringLiteral("一二三四五六七八九"));
    type(&box, QStringLiteral("a"));
    EXPECT_EQ(box.text(), QStringLiteral("一二三四五六七八九a"));

    box.clear();
    box.setText(QStringLiteral("ab"));
    box.setCursorPosition(1);
    box.insert(QStringLiteral("X\tYZ一二三四五六七八九十")); // what a paste or a drop does
    EXPECT_EQ(box.text(), QStringLiteral("aXYZ一二三四五六七b"))
        << "the paste is cut, the old text stays";
}

TEST(Tad, SituationsEnableAndCheckTheirPlacements)
{
    RecordingPrompt prompt;
    const bool expected[3][4] = { { true, false, false, false }, { true, true, true, true },
        { false, false, true, false } };
    const int checked[3] = { 1, 1, 3 };
    for (int situation = 0; situation < 3; ++situation) {
        Tad tad(NodeSituation(situation), prompt);
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(radio(tad, n)->isEnabled(), expected[situation][n - 1])
                << situation << " radio" << n;
        EXPECT_TRUE(radio(tad, checked[situation])->isChecked());
        EXPECT_EQ(tad.previewNumber(), checked[situation]);
    }
    Tad tad(NodeSituation::GroupSelected, prompt);
    radio(tad, 4)->click();
    EXPECT_EQ(tad.previewNumber(), 4);
    EXPECT_EQ(tad.windowTitle(), QStringLiteral("Add Tree/Folder"));
    EXPECT_EQ(tad.size(), QSize(667, 365));
}

TEST(Tad, RefusesBadNamesInOrderAndStaysOpen)
{
    RecordingPrompt prompt;
    Tad tad(NodeSituation::GroupSelected, prompt);
    auto* edit = tad.findChild<NameBox*>(QStringLiteral("Edit1"));
    whenShown(tad, [&] {
        edit->setText(QString(QChar(1)) + QStringLiteral("a b"));
        tad.SpeedButton1Click();
        edit->setText(QStringLiteral("a b"));
        tad.SpeedButton1Click();
        edit->setText(QString());
        tad.SpeedButton1Click();
        EXPECT_TRUE(tad.isVisible());
        edit->setText(QStringLiteral("新文件夹"));
        radio(tad, 2)->click();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(tad.run(), NodePlacement::ChildGroup);
    EXPECT_EQ(tad.name(), QStringLiteral("新文件夹"));
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> {
            { PopupKind::Warning, QStringLiteral("在你的名称中不能存在ASCII码1") },
            { PopupKind::Warning, QStringLiteral("在你的名称中不能存在空格字符") },
            { PopupKind::Tip, QStringLiteral("请输入树名或文件夹名") } }));
}

TEST(Tad, CancelAndEscapeGiveFive)
{
    RecordingPrompt prompt;
    {
        Tad tad(NodeSituation::EmptyTree, prompt);
        whenShown(
            tad, [&] { tad.findChild<QPushButton*>(QStringLiteral("FlatButton1"))->click(); });
        EXPECT_EQ(tad.run(), NodePlacement::Cancel);
    }
    {
        Tad tad(NodeSituation::FolderSelected, prompt);
        whenShown(tad, [&] {
            tad.findChild<NameBox*>(QStringLiteral("Edit1"))->setText(QStringLiteral("x"));
            QTest::keyClick(&tad, Qt::Key_Escape);
        });
        EXPECT_EQ(tad.run(), NodePlacement::Cancel);
    }
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST(Tad, CancelPreviewShowsWhileTheMouseIsOverCancel)
{
    RecordingPrompt prompt;
    Tad tad(NodeSituation::FolderSelected, prompt);
    tad.show();
    auto* cancel = tad.findChild<QPushButton*>(QStringLiteral("FlatButton1"));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(cancel, &enter);
    EXPECT_EQ(tad.previewNumber(), 5);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(cancel, &leave);
    EXPECT_EQ(tad.previewNumber(), 3);
}

TEST(TEdi, ChecksSpaceThenMarkerThenSameName)
{
    RecordingPrompt prompt;
    TEdi edi(QStringLiteral("cat"), prompt);
    EXPECT_EQ(edi.windowTitle(), QStringLiteral("修改窗口"));
    EXPECT_TRUE(edi.edit_old()->isReadOnly());
    EXPECT_EQ(edi.edit_old()->text(), QStringLiteral("cat"));
    whenShown(edi, [&] {
        edi.edit_new()->setText(QStringLiteral("a b") + QChar(1));
        edi.SpeedButton1Click();
        edi.edit_new()->setText(QStringLiteral("a") + QChar(1));
        edi.SpeedButton1Click();
        edi.edit_new()->setText(QStringLiteral("cat"));
        edi.SpeedButton1Click();
        EXPECT_TRUE(edi.isVisible());
        edi.edit_new()->setText(QStringLiteral("Cat"));
        QTest::keyClick(edi.edit_new(), Qt::Key_Enter);
    });
    EXPECT_EQ(edi.exec(), QDialog::Accepted);
    EXPECT_EQ(edi.newName(), QStringLiteral("Cat"));
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> {
            { PopupKind::Warning, QStringLiteral("名称中不能包含空格字符") },
            { PopupKind::Warning, QStringLiteral("名称中不能包念ASSCII码1") },
            { PopupKind::Tip, QStringLiteral("新名称和名称是一样的") } }));
}
