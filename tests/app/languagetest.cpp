// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/language.h"
#include "app/form1.h"
#include "app/statusbar.h"
#include "dialogs/tabou.h"
#include "dialogs/tad.h"
#include "support/formfixture.h"
#include "widgets/fonts.h"

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <gtest/gtest.h>

// The language is chosen once per process, at start, from the environment: CTest runs each
// LanguageWindow case in a process of its own with the environment it names (tests/app/
// CMakeLists.txt); started by hand without it, a case fails on its precondition.

// Failures show the texts themselves.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

static void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '"' << texts.join(QStringLiteral("\", \"")).toStdString() << '"';
}

using namespace zarvo;
using namespace zarvo::test;

namespace {

struct LanguageCase
{
    const char* chosen; // ZARVO_LANGUAGE
    QStringList uiLanguages;
    Language expected;
};

TEST(LanguageChoice, FollowsTheDesktopUnlessChosen)
{
    const QStringList english { QStringLiteral("en-US"), QStringLiteral("en-Latn-US"),
        QStringLiteral("en") };
    const QStringList chinese { QStringLiteral("zh-CN"), QStringLiteral("zh-Hans-CN"),
        QStringLiteral("zh") };
    const LanguageCase cases[] = {
        { "", { QStringLiteral("C") }, Language::Chinese },
        { "", {}, Language::Chinese },
        { "", chinese, Language::Chinese },
        { "", { QStringLiteral("zh-TW"), QStringLiteral("zh-Hant-TW") }, Language::Chinese },
        { "", english, Language::English },
        { "", { QStringLiteral("de-DE"), QStringLiteral("de") }, Language::English },
        // LANGUAGE=de:zh_CN: German has no translation, the next choice has.
        { "", { QStringLiteral("de"), QStringLiteral("de-DE"), QStringLiteral("zh-CN") },
            Language::Chinese },
        { "", { QStringLiteral("fr"), QStringLiteral("en-GB") }, Language::English },
        { "en", chinese, Language::English },
        { "zh", english, Language::Chinese },
        { "zh_CN", { QStringLiteral("C") }, Language::Chinese },
        { "de", chinese, Language::Chinese },
        { "de", {}, Language::English },
    };
    for (const LanguageCase& c : cases)
        EXPECT_EQ(languageFor(QLatin1String(c.chosen), c.uiLanguages), c.expected)
            << c.chosen << " " << c.uiLanguages.join(QLatin1Char(',')).toStdString();
}

// What the window, zarvoctl and Qt's own dialogs say in one language.
struct Speech
{
    Language language;
    QStringList menus;
    QString addFilesAction;
    QString addFilesHint;
    QString deleteTip;
    QString exitQuestion;
    QString total;
    QString qtCancel;
    QString zarvoctlUnknown;
};

const Speech kEnglish {
    Language::English,
    { QStringLiteral("&File"), QStringLiteral("F&older"), QStringLiteral("&Pictures"),
        QStringLiteral("&Tools"), QStringLiteral("&About") },
    QStringLiteral("&Add Pictures..."),
    QStringLiteral("Add Pictures"),
    QStringLiteral("Please open a folder and select the pictures to delete."),
    QStringLiteral("Do you really want to exit Zarvo?"),
    QStringLiteral("Total: 1 picture"),
    QStringLiteral("Cancel"),
    QStringLiteral("zarvoctl: Unknown command x%1 (zarvoctl --help shows the usage)\n"),
};

const Speech kChinese {
    Language::Chinese,
    { QStringLiteral("文件(&F)"), QStringLiteral("文件夹(&O)"), QStringLiteral("文件操作(&C)"),
        QStringLiteral("工具(&T)"), QStringLiteral("关于(&A)") },
    QStringLiteral("添加文件(&A)"),
    QStringLiteral("添加文件"),
    QStringLiteral("请打开文件夹并选中要删除的文件"),
    QStringLiteral("真的要退出程序吗?"),
    QStringLiteral("总文件数为: 1 个"),
    QStringLiteral("取消"),
    QStringLiteral("zarvoctl: 未知命令 x%1 (zarvoctl --help 显示用法)\n"),
};

class LanguageWindow : public FormFixture
{
protected:
    void speaks(const Speech& speech)
    {
        // As the program starts.
        ASSERT_EQ(installLanguage(true), speech.language);

        // Pictures with words in them are drawn in the program's language.
        const QString pictures = speech.language == Language::English
            ? QStringLiteral(":/images/en/")
            : QStringLiteral(":/images/");
        auto shown = [](const QWidget& dialog) {
            const QLabel* label = dialog.findChild<QLabel*>(QStringLiteral("Image1"));
            return label ? label->pixmap().toImage().convertToFormat(QImage::Format_RGB32)
                         : QImage();
        };
        auto resource = [&](const QString& name) {
            return QImage(pictures + name).convertToFormat(QImage::Format_RGB32);
        };
        const Tad add(NodeSituation::GroupSelected, prompt);
        EXPECT_EQ(shown(add), resource(QStringLiteral("tad/%1.png").arg(add.previewNumber())));
        const Tabou about;
        EXPECT_EQ(shown(about), resource(QStringLiteral("about.png")));
        makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/a.gif"), QByteArray("GIF89a") } });
        start();

        QStringList menus;
        for (QAction* menu : form->menuBar()->actions())
            menus.append(menu->text());
        EXPECT_EQ(menus, speech.menus);
        EXPECT_EQ(form->action("menu_addfile")->text(), speech.addFilesAction);
        EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("btn_addfile"))->toolTip(),
            speech.addFilesHint);

        form->action("menu_delfile")->trigger();
        EXPECT_EQ(prompt.popupTexts(PopupKind::Tip), QStringList { speech.deleteTip });

        clickNode(QStringLiteral("f"));
        EXPECT_EQ(form->bar()->panelText(1), speech.total);

        prompt.answer(false);
        EXPECT_FALSE(form->close());
        EXPECT_EQ(prompt.questions, QStringList { speech.exitQuestion });

        // Qt's own dialogs: its Chinese for Chinese, its English otherwise.
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), speech.qtCancel);
        // Chinese texts keep their CJK font; English ones use the desktop's.
        EXPECT_EQ(songtiFont(12).families().contains(QStringLiteral("WenQuanYi Zen Hei")),
            speech.language == Language::Chinese);
        EXPECT_EQ(form->font().families().contains(QStringLiteral("WenQuanYi Zen Hei")),
            speech.language == Language::Chinese);

        // zarvoctl chooses the same way on its own; a name in its message is never expanded.
        QProcess zarvoctl;
        zarvoctl.start(qEnvironmentVariable("ZARVO_BINARY_DIR") + QStringLiteral("/zarvoctl"),
            { QStringLiteral("x%1") });
        ASSERT_TRUE(zarvoctl.waitForFinished(60000));
        EXPECT_EQ(zarvoctl.exitCode(), 2);
        EXPECT_EQ(QString::fromUtf8(zarvoctl.readAllStandardError()), speech.zarvoctlUnknown);
    }
};

TEST_F(LanguageWindow, English)
{
    ASSERT_EQ(qgetenv("ZARVO_LANGUAGE"), "en") << "run with ZARVO_LANGUAGE=en";
    speaks(kEnglish);
}

TEST_F(LanguageWindow, ChineseInTheCLocale)
{
    ASSERT_TRUE(qgetenv("ZARVO_LANGUAGE").isEmpty()) << "run with ZARVO_LANGUAGE empty";
    ASSERT_EQ(qgetenv("LC_ALL"), "C") << "run with LANGUAGE, LANG and LC_ALL set to C";
    speaks(kChinese);
}

} // namespace
