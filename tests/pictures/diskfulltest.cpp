// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// Commands on a full disk: pasting, renaming a folder, exporting and saving run in a child
// process whose files cannot grow past a few KiB (RLIMIT_FSIZE with SIGXFSZ ignored: writes
// fail with EFBIG). Each must end with its warning and no success, leave the store as it was,
// and leave no half-written file where a picture file was to go.
#include "folders/renamenode.h"
#include "pictures/exportfolder.h"
#include "pictures/pictureclipboard.h"
#include "pictures/savepicture.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"

#include <QDir>
#include <SQLiteCpp/Statement.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

constexpr rlim_t kRoom = 4096;

class DiskFullTest : public WorkspaceFixture
{
protected:
    // Runs `command` in a child on a full disk, after `prepare` (outside the limit), and
    // returns the popups it showed as "kind text" lines.
    QStringList runOnFullDisk(
        const std::function<void()>& prepare, const std::function<void(Workspace&)>& command)
    {
        box.closeStore();
        int channel[2];
        if (::pipe(channel) != 0)
            return { QStringLiteral("no pipe") };
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(channel[0]);
            start();
            prepare();
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit { kRoom, kRoom };
            ::setrlimit(RLIMIT_FSIZE, &limit);
            command(*ws);
            QByteArray report;
            for (const RecordingPrompt::Popup& popup : prompt.popups)
                report += QByteArray::number(int(popup.kind)) + ' ' + popup.text.toUtf8() + '\n';
            const bool written
                = ::write(channel[1], report.constData(), size_t(report.size())) == report.size();
            ::_exit(written && prompt.allAnswersUsed() ? 0 : 1);
        }
        ::close(channel[1]);
        QByteArray report;
        char buffer[4096];
        for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
            report.append(buffer, n);
        ::close(channel[0]);
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        return QString::fromUtf8(report).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Every folder's rows with their bytes (the folders are named by one letter), every table
    // and the tree, as the store holds them; the store must pass SQLite's check.
    QStringList storeContents()
    {
        SqliteStore& store = box.store();
        {
            SQLite::Statement check(store.database(), "PRAGMA integrity_check");
            EXPECT_TRUE(check.executeStep());
            EXPECT_EQ(check.getColumn(0).getString(), "ok");
        }
        QStringList contents { QString::fromUtf8(store.readTreeStream()),
            store.tableNames().join(u' ') };
        for (const QString& table : store.tableNames())
            for (const PictureRow& row :
                table.size() == 1 ? store.pictureRows(table) : QList<PictureRow>())
                contents.append(table + u'/' + row.name + u' ' + row.come + u' '
                    + QString::fromLatin1(store.readBlob(table, row.rowid).toBase64()));
        box.closeStore();
        return contents;
    }
};

TEST_F(DiskFullTest, CommandsWarnAndKeepTheStoreAndEveryFile)
{
    const QByteArray first
        = testpictures::encodePng(testpictures::photoLike(90, 70, 1), testpictures::PngKind::Rgb8);
    const QByteArray second
        = testpictures::encodePng(testpictures::photoLike(80, 60, 2), testpictures::PngKind::Rgb8);
    ASSERT_GT(qsizetype(std::min(first.size(), second.size())), qsizetype(kRoom));
    makeFolder(QStringLiteral("a"),
        { { QStringLiteral("/in/p1.png"), first }, { QStringLiteral("/in/p2.png"), second } });
    makeFolder(QStringLiteral("b"), {});
    const QString out = box.path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    // A file the user agrees to replace: it must be the old one after a failed write.
    const QByteArray old("an older file");

    const struct Case
    {
        const char* what;
        QString existing; // in out/, answered Yes to replacing it
        std::function<void()> prepare;
        std::function<void(Workspace&)> command;
        QString warning;
    } cases[] = {
        { "paste of a cut picture", QString(),
            [this] {
                clickNode(QStringLiteral("a"));
                select({ 0 });
                pop_cutClick(*ws);
                clickNode(QStringLiteral("b"));
            },
            pop_pasteClick, QStringLiteral("文件 p1 在粘贴时发生错误") },
        { "folder rename", QString(),
            [this] {
                clickNode(QStringLiteral("a"));
                prompt.answerNewName(QStringLiteral("c"));
            },
            btn_editfolderClick, QStringLiteral("文件夹 c 在修改过程中发生错误") },
        { "export", QStringLiteral("p1.png"),
            [this, out] {
                clickNode(QStringLiteral("a"));
                prompt.answerDirectory(out);
            },
            menu_importallClick, QStringLiteral("有 2 个文件导出失败") },
        { "save as stored", QStringLiteral("s.png"),
            [this, out] {
                clickNode(QStringLiteral("a"));
                select({ 1 });
                prompt.answerSaveFile(out + QStringLiteral("/s"), 4);
            },
            pop_saveClick, QStringLiteral("文件 ") + out + QStringLiteral("/s.png 保存失败") },
        { "save converted", QStringLiteral("s.bmp"),
            [this, out] {
                clickNode(QStringLiteral("a"));
                select({ 0 });
                prompt.answerSaveFile(out + QStringLiteral("/s"), 2);
            },
            pop_saveClick, QStringLiteral("文件保存失败，请使用它原有的文件格式保存!") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList before = storeContents();
        ASSERT_EQ(before.size(), 4);
        for (const QString& name : QDir(out).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(out + u'/' + name);
        if (!c.existing.isEmpty())
            box.writeFile(QStringLiteral("out/") + c.existing, old);
        const QStringList popups = runOnFullDisk(
            [&] {
                c.prepare();
                if (!c.existing.isEmpty())
                    prompt.answer(true);
            },
            c.command);
        EXPECT_EQ(
            popups, QStringList { QString::number(int(PopupKind::Warning)) + u' ' + c.warning });
        EXPECT_EQ(storeContents(), before);
        const QStringList left = QDir(out).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(left, c.existing.isEmpty() ? QStringList() : QStringList { c.existing });
        if (!c.existing.isEmpty()) {
            EXPECT_EQ(Sandbox::readFile(out + u'/' + c.existing), old);
        }
        EXPECT_FALSE(QFile::exists(box.storePath() + QStringLiteral("-journal")));
    }
}

} // namespace
