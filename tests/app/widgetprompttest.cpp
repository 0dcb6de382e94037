// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/widgetprompt.h"
#include "dialogs/namebox.h"
#include "dialogs/tad.h"
#include "dialogs/tedi.h"
#include "pictures/addcommand.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace zarvo;

namespace {

// Whether QFileDialog, given the name filter, would list the file (it takes the patterns
// between the last parentheses, separated by spaces, as wildcards).
bool lists(const QString& nameFilter, const QString& file)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const QStringList patterns
        = nameFilter.mid(open + 1).chopped(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& pattern : patterns)
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
                .match(file)
                .hasMatch())
            return true;
    return false;
}

// Runs `act` on the modal dialog of type D once it shows.
template <typename D> void whenModal(std::function<void(D&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

} // namespace

TEST(WidgetPrompt, QuestionsShowNamesAsPlainTextWithOneBreakPerLine)
{
    WidgetPrompt prompt(nullptr, nullptr);
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = box.text();
        format = box.textFormat();
        box.button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(prompt.confirm(
        QStringLiteral("文件名 \"<b>cat</b><img src=x>\" 已经存在!\n\r是否?\r\n或者\n完")));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, QStringLiteral("文件名 \"<b>cat</b><img src=x>\" 已经存在!\n是否?\n或者\n完"));
}

TEST(WidgetPrompt, QuestionsBelongToTheInnermostAskingWindow)
{
    QWidget owner;
    QWidget viewer;
    QWidget inner;
    WidgetPrompt prompt(&owner, nullptr);
    QList<QWidget*> parents;
    const auto ask = [&] {
        whenModal<QMessageBox>([&](QMessageBox& box) {
            parents.append(box.parentWidget());
            box.button(QMessageBox::No)->click();
        });
        prompt.confirm(QStringLiteral("?"));
    };
    ask();
    {
        const AskingWindow asking(&viewer);
        ask();
        {
            const AskingWindow nested(&inner);
            ask();
        }
        ask();
    }
    ask();
    EXPECT_EQ(parents, (QList<QWidget*> { &owner, &viewer, &inner, &viewer, &owner }));
}

TEST(WidgetPrompt, NameDialogsAnswerWhatTheUserChose)
{
    WidgetPrompt prompt(nullptr, nullptr);
    whenModal<TEdi>([](TEdi& edi) {
        edi.edit_new()->setText(QStringLiteral("new"));
        edi.FlatButton1Click();
    });
    EXPECT_FALSE(prompt.askNewName(QStringLiteral("old")).has_value()) << "Cancel";
    whenModal<TEdi>([](TEdi& edi) {
        EXPECT_EQ(edi.edit_old()->text(), QStringLiteral("old"));
        edi.edit_new()->setText(QStringLiteral("new"));
        edi.SpeedButton1Click();
    });
    EXPECT_EQ(prompt.askNewName(QStringLiteral("old")), QStringLiteral("new"));

    whenModal<Tad>([](Tad& tad) {
        EXPECT_FALSE(tad.findChild<QRadioButton*>(QStringLiteral("radio1"))->isEnabled());
        tad.findChild<NameBox*>(QStringLiteral("Edit1"))->setText(QStringLiteral("F0"));
        tad.SpeedButton1Click();
    });
    const NewNode node = prompt.askNewNode(NodeSituation::FolderSelected);
    EXPECT_EQ(node.placement, NodePlacement::SiblingFolder);
    EXPECT_EQ(node.name, QStringLiteral("F0"));
}

TEST(WidgetPrompt, OpenDialogFiltersShowTheirTextAndFilterInAnyCase)
{
    const WidgetPrompt::NameFilters filters
        = WidgetPrompt::nameFilters(QString::fromUtf8(kOpenPictureFilter));
    ASSERT_EQ(filters.shown.size(), 7);
    EXPECT_EQ(filters.shown.first(),
        QStringLiteral("All (*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)"));
    EXPECT_EQ(filters.shown.last(), QStringLiteral("Icons (*.ico)"));
    ASSERT_EQ(filters.patterns.size(), 7);
    for (const char* file :
        { "a.gif", "b.PNG", "c.Jpg", "d.jpeg", "e.bmp", "f.ico", "g.emf", "h.WMF" })
        EXPECT_TRUE(lists(filters.patterns.first(), QString::fromLatin1(file))) << file;
    for (const char* file : { "a.txt", "b.jpgx", "png", "c.jp" })
        EXPECT_FALSE(lists(filters.patterns.first(), QString::fromLatin1(file))) << file;
    EXPECT_TRUE(lists(filters.patterns[2], QStringLiteral("x.PNG")));
    EXPECT_FALSE(lists(filters.patterns[2], QStringLiteral("x.gif")));
}
