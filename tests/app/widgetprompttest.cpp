// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/widgetprompt.h"
#include "dialogs/namebox.h"
#include "dialogs/tad.h"
#include "dialogs/tedi.h"
#include "dialogs/tselfolde.h"
#include "pictures/addcommand.h"
#include "pictures/savepicture.h"
#include "support/sandbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>

using namespace zarvo;
using namespace zarvo::test;

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

// Runs `act` on the modal dialog of type D once it shows; `act` ends with the click that closes
// it. A dialog left open, or any other modal window, is closed, so that a failing test ends
// instead of waiting for an answer.
template <typename D> void whenModal(std::function<void(D&)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<D*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "the expected dialog is not the modal window";
            if (modal)
                modal->close();
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog is still open";
            dialog->close();
        }
    });
}

QPushButton* button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}

// The file dialog's widgets a user works with.
struct FileDialogWidgets
{
    explicit FileDialogWidgets(QFileDialog& dialog)
        : types(dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        , name(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        , buttons(dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
        , listed(dialog.findChild<QFileSystemModel*>())
    {
    }
    bool found() const { return types && name && buttons && listed; }

    // Picks the entry of the type box with the arrow keys, as a user does.
    void pickType(int index) const
    {
        while (types->currentIndex() < index)
            QTest::keyClick(types, Qt::Key_Down);
        while (types->currentIndex() > index)
            QTest::keyClick(types, Qt::Key_Up);
    }
    // Clicks the button of `role`; a disabled button cancels instead, so that the test ends.
    void click(QDialogButtonBox::StandardButton role) const
    {
        QPushButton* pushed = buttons->button(role);
        if (!pushed || !pushed->isEnabled()) {
            ADD_FAILURE() << "the dialog's button " << int(role) << " cannot be clicked";
            pushed = buttons->button(QDialogButtonBox::Cancel);
        }
        pushed->click();
    }

    QComboBox* types;
    QLineEdit* name;
    QDialogButtonBox* buttons;
    QFileSystemModel* listed; // what the dialog lists, filtered by the selected type
};

// The entries of a filter text "Description|*.a;*.b|...": the descriptions and their patterns.
std::pair<QStringList, QList<QStringList>> filterEntries(const char* filter)
{
    const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
    QStringList shown;
    QList<QStringList> patterns;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        shown.append(parts.at(i));
        patterns.append(parts.at(i + 1).split(QLatin1Char(';')));
    }
    return { shown, patterns };
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

TEST(WidgetPrompt, QuestionIsAnsweredYesOnlyByYes)
{
    struct Case
    {
        const char* how;
        std::function<void(QMessageBox&)> answer;
        bool yes;
    };
    const Case cases[] = {
        { "Yes", [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }, true },
        { "Enter", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, true },
        { "No", [](QMessageBox& box) { box.button(QMessageBox::No)->click(); }, false },
        { "Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, false },
    };
    WidgetPrompt prompt(nullptr, nullptr);
    for (const Case& c : cases) {
        whenModal<QMessageBox>([&](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Confirm")) << c.how;
            EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes")) << c.how;
            EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&No")) << c.how;
            c.answer(box);
        });
        EXPECT_EQ(prompt.confirm(QStringLiteral("覆盖?")), c.yes) << c.how;
    }
}

TEST(WidgetPrompt, NameDialogsAnswerWhatTheUserChose)
{
    WidgetPrompt prompt(nullptr, nullptr);
    whenModal<TEdi>([](TEdi& edi) {
        edi.edit_new()->setText(QStringLiteral("new"));
        button(edi, "FlatButton1")->click();
    });
    EXPECT_FALSE(prompt.askNewName(QStringLiteral("old")).has_value()) << "Cancel";
    whenModal<TEdi>([](TEdi& edi) {
        EXPECT_EQ(edi.edit_old()->text(), QStringLiteral("old"));
        edi.edit_new()->setText(QStringLiteral("new"));
        button(edi, "SpeedButton1")->click();
    });
    EXPECT_EQ(prompt.askNewName(QStringLiteral("old")), QStringLiteral("new"));

    struct Case
    {
        NodeSituation situation;
        int radio; // the placement clicked; 0 keeps the one the dialog checked
        const char* okOrCancel;
        NewNode answer;
    };
    const Case cases[] = {
        { NodeSituation::EmptyTree, 0, "SpeedButton1",
            { NodePlacement::SiblingGroup, QStringLiteral("T0") } },
        { NodeSituation::GroupSelected, 2, "SpeedButton1",
            { NodePlacement::ChildGroup, QStringLiteral("T1") } },
        { NodeSituation::GroupSelected, 4, "SpeedButton1",
            { NodePlacement::ChildFolder, QStringLiteral("F1") } },
        { NodeSituation::FolderSelected, 0, "SpeedButton1",
            { NodePlacement::SiblingFolder, QStringLiteral("F2") } },
        { NodeSituation::FolderSelected, 0, "FlatButton1",
            { NodePlacement::Cancel, QStringLiteral("F3") } },
    };
    for (const Case& c : cases) {
        whenModal<Tad>([&c](Tad& tad) {
            if (c.radio)
                tad.findChild<QRadioButton*>(QStringLiteral("radio%1").arg(c.radio))->click();
            tad.findChild<NameBox*>(QStringLiteral("Edit1"))->setText(c.answer.name);
            button(tad, c.okOrCancel)->click();
        });
        const NewNode node = prompt.askNewNode(c.situation);
        EXPECT_EQ(node.placement, c.answer.placement) << c.answer.name.toStdString();
        if (c.answer.placement != NodePlacement::Cancel) {
            EXPECT_EQ(node.name, c.answer.name);
        }
    }
}

TEST(WidgetPrompt, SaveDialogOpensOnTheGivenTypeAndAnswersTheTypeChosen)
{
    const Sandbox box;
    ASSERT_EQ(filterEntries(kSavePictureFilter).first.size(), 6);
    struct Case
    {
        int stored; // the stored kind: its type preset; after the six, a seventh type of its own
        int picked; // the type the user picks; -1 leaves the box alone
    };
    const Case cases[] = { { 1, -1 }, { 2, -1 }, { 3, -1 }, { 4, -1 }, { 5, -1 }, { 6, -1 },
        { 5, 0 }, { 1, 5 }, { 6, 2 }, { 10, -1 }, { 10, 5 }, { 7, 0 }, { 15, -1 } };
    WidgetPrompt prompt(nullptr, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const QString filter = saveFilterFor(c.stored);
        const auto [shown, patterns] = filterEntries(filter.toUtf8().constData());
        ASSERT_EQ(shown.size(), c.stored > 6 ? 7 : 6);
        const int preset = saveIndexOfKind(c.stored);
        const QString typed = box.path(QStringLiteral("图 %1").arg(c.picked));
        whenModal<QFileDialog>([&](QFileDialog& dialog) {
            const FileDialogWidgets widgets(dialog);
            ASSERT_TRUE(widgets.found());
            EXPECT_EQ(dialog.objectName(), QStringLiteral("savedia"));
            EXPECT_EQ(widgets.name->text(), QStringLiteral("猫 咪")) << "the proposed name";
            QStringList items;
            for (int i = 0; i < widgets.types->count(); ++i)
                items.append(widgets.types->itemText(i));
            EXPECT_EQ(items, shown);
            EXPECT_EQ(widgets.types->currentIndex(), preset);
            EXPECT_EQ(widgets.listed->nameFilters(), patterns.at(preset));
            if (c.picked >= 0) {
                widgets.pickType(c.picked);
                EXPECT_EQ(widgets.listed->nameFilters(), patterns.at(c.picked));
            }
            widgets.name->setText(typed);
            widgets.click(QDialogButtonBox::Save);
        });
        const std::optional<SaveChoice> choice
            = prompt.chooseSaveFile(filter, preset, QStringLiteral("猫 咪"));
        ASSERT_TRUE(choice.has_value()) << c.picked;
        EXPECT_EQ(choice->path, typed) << "nothing appended";
        EXPECT_EQ(choice->filterIndex, c.picked >= 0 ? c.picked : preset) << c.picked;
    }
    EXPECT_EQ(filterEntries(saveFilterFor(10).toUtf8().constData()).first.last(),
        QStringLiteral("HEIC Image (*.heic)"));

    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        const FileDialogWidgets widgets(dialog);
        ASSERT_TRUE(widgets.found());
        widgets.name->setText(box.path(QStringLiteral("x")));
        widgets.click(QDialogButtonBox::Cancel);
    });
    EXPECT_FALSE(prompt.chooseSaveFile(QString::fromUtf8(kSavePictureFilter), 4, QString()))
        << "Cancel";
}

TEST(WidgetPrompt, OpenDialogStartsOnItsFirstTypeAndAnswersTheFilesChosen)
{
    const Sandbox box;
    for (const char* file : { "a.gif", "b.PNG", "c.png" })
        box.writeFile(QLatin1String(file), QByteArray("x"));
    const WidgetPrompt::NameFilters filters
        = WidgetPrompt::nameFilters(QString::fromUtf8(kOpenPictureFilter));
    WidgetPrompt prompt(nullptr, nullptr);
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        const FileDialogWidgets widgets(dialog);
        ASSERT_TRUE(widgets.found());
        EXPECT_EQ(dialog.objectName(), QStringLiteral("dia"));
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        EXPECT_EQ(widgets.types->count(), filters.shown.size());
        EXPECT_EQ(widgets.types->currentIndex(), 0);
        EXPECT_EQ(widgets.types->currentText(), filters.shown.first());
        EXPECT_EQ(widgets.listed->nameFilters().size(), 15);
        widgets.pickType(2);
        EXPECT_EQ(
            widgets.types->currentText(), QStringLiteral("Portable Network Graphics (*.png)"));
        EXPECT_EQ(widgets.listed->nameFilters(), QStringList { QStringLiteral("*.[pP][nN][gG]") });
        dialog.setDirectory(box.dir());
        widgets.name->setText(QStringLiteral("\"c.png\" \"b.PNG\""));
        widgets.click(QDialogButtonBox::Open);
    });
    EXPECT_EQ(prompt.chooseOpenFiles(QString::fromUtf8(kOpenPictureFilter)),
        (QStringList { box.path(QStringLiteral("c.png")), box.path(QStringLiteral("b.PNG")) }));

    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        const FileDialogWidgets widgets(dialog);
        ASSERT_TRUE(widgets.found());
        widgets.name->setText(box.path(QStringLiteral("a.gif")));
        widgets.click(QDialogButtonBox::Cancel);
    });
    EXPECT_TRUE(prompt.chooseOpenFiles(QString::fromUtf8(kOpenPictureFilter)).isEmpty())
        << "Cancel";
}

TEST(WidgetPrompt, OpenDialogFiltersShowTheirTextAndFilterInAnyCase)
{
    const WidgetPrompt::NameFilters filters
        = WidgetPrompt::nameFilters(QString::fromUtf8(kOpenPictureFilter));
    ASSERT_EQ(filters.shown.size(), 14);
    EXPECT_EQ(filters.shown.first(),
        QStringLiteral("All (*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.webp;*.heic;"
                       "*.heif;*.avif;*.tif;*.tiff;*.jxl)"));
    EXPECT_EQ(filters.shown.at(6), QStringLiteral("Icons (*.ico)"));
    EXPECT_EQ(filters.shown.at(7), QStringLiteral("WebP Image (*.webp)"));
    EXPECT_EQ(filters.shown.last(), QStringLiteral("JPEG XL Image (*.jxl)"));
    ASSERT_EQ(filters.patterns.size(), 14);
    for (const char* file : { "a.gif", "b.PNG", "c.Jpg", "d.jpeg", "e.bmp", "f.ico", "g.emf",
             "h.WMF", "i.webp", "j.HEIC", "k.heif", "l.avif", "m.tif", "n.TIFF", "o.jxl" })
        EXPECT_TRUE(lists(filters.patterns.first(), QString::fromLatin1(file))) << file;
    for (const char* file : { "a.txt", "b.jpgx", "png", "c.jp" })
        EXPECT_FALSE(lists(filters.patterns.first(), QString::fromLatin1(file))) << file;
    EXPECT_TRUE(lists(filters.patterns[2], QStringLiteral("x.PNG")));
    EXPECT_FALSE(lists(filters.patterns[2], QStringLiteral("x.gif")));
}

TEST(WidgetPrompt, DirectoryChooserAnswersTheDirectoryChosen)
{
    const Sandbox box;
    WidgetPrompt prompt(nullptr, nullptr);
    for (const char* okOrCancel : { "SpeedButton1", "FlatButton1" }) {
        whenModal<Tselfolde>([&](Tselfolde& dialog) {
            auto* model = qobject_cast<QFileSystemModel*>(dialog.path()->model());
            ASSERT_NE(model, nullptr);
            dialog.path()->setCurrentIndex(model->index(box.dir()));
            button(dialog, okOrCancel)->click();
        });
        EXPECT_EQ(prompt.chooseDirectory(),
            okOrCancel == std::string_view("SpeedButton1") ? box.dir() : QString())
            << okOrCancel;
    }
}
