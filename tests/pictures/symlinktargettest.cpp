// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// Every writer of files outside the store, where the chosen path is a symlink: the link counts as
// an existing file, and replacing it replaces the link, never the file it points to.
#include "app/zarvoctl.h"
#include "giftool/framefile.h"
#include "pictures/exportfolder.h"
#include "pictures/savepicture.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <functional>

using namespace zarvo;
using namespace zarvo::test;

using SymlinkTargetTest = WorkspaceFixture;

TEST_F(SymlinkTargetTest, ALinkIsAnExistingFileAndYesReplacesTheLinkNotItsTarget)
{
    const QImage photo = testpictures::photoLike(40, 30, 7);
    const QByteArray png = testpictures::encodePng(photo, testpictures::PngKind::Rgb8);
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/in/p.png"), png } });
    box.closeStore();
    const QString ctlStore = box.path(QStringLiteral("ctl.mdb"));
    ASSERT_TRUE(QFile::copy(box.storePath(), ctlStore)); // zarvoctl's, the window holds its own
    start();
    clickNode(QStringLiteral("f"));
    select({ 0 });
    prompt.clear();
    const QString out = box.path(QStringLiteral("out"));
    const QString elsewhere = box.path(QStringLiteral("elsewhere"));
    const QImage frame = testpictures::photoLike(12, 9, 3);

    // Each writer writes its file into out/ answering Yes or No (--force or not) when it asks,
    // and tells whether it treated the file there as existing: asked, or refused.
    const struct Writer
    {
        const char* what;
        QString name; // of the file written in out/
        std::function<bool(bool yes)> write;
        bool asks; // the GIF tool replaces a file without a question
        QSize size; // of the picture written
    } writers[] = {
        { "export command", QStringLiteral("p.png"),
            [&](bool yes) {
                prompt.clear();
                prompt.answerDirectory(out);
                prompt.answer(yes);
                menu_importallClick(*ws);
                return prompt.questions
                    == QStringList { QStringLiteral("文件 ") + out
                           + QStringLiteral("/p.png 已经存在，是否要覆盖它？") };
            },
            true, photo.size() },
        { "zarvoctl export", QStringLiteral("p.png"),
            [&](bool yes) {
                QStringList args { QStringLiteral("export"), ctlStore, QStringLiteral("f"), out };
                if (yes)
                    args.append(QStringLiteral("--force"));
                std::FILE* sink = std::tmpfile();
                const int status = runZarvoctl(args, sink, sink);
                std::fclose(sink);
                return status == (yes ? 0 : 1); // without --force: refused
            },
            true, photo.size() },
        { "save", QStringLiteral("s.png"),
            [&](bool yes) {
                prompt.clear();
                prompt.answerSaveFile(out + QStringLiteral("/s"), 4);
                prompt.answer(yes);
                pop_saveClick(*ws);
                return prompt.questions
                    == QStringList { QStringLiteral("文件: ") + out
                           + QStringLiteral("/s.png 已经存在，是否要覆盖该文件?") };
            },
            true, photo.size() },
        { "GIF frame", QStringLiteral("g.bmp"),
            [&](bool) { return saveFrameBitmap(frame, out + QStringLiteral("/g.bmp")); }, false,
            frame.size() },
    };
    for (const Writer& writer : writers) {
        for (const bool dangling : { true, false }) {
            SCOPED_TRACE(std::string(writer.what) + (dangling ? ", dangling link" : ", link"));
            ASSERT_TRUE(QDir(out).removeRecursively() && QDir(elsewhere).removeRecursively());
            ASSERT_TRUE(QDir().mkpath(out) && QDir().mkpath(elsewhere));
            const QString path = out + u'/' + writer.name;
            const QString target = elsewhere + u'/' + writer.name;
            if (!dangling)
                box.writeFile(QStringLiteral("elsewhere/") + writer.name, "kept");
            ASSERT_TRUE(QFile::link(target, path));
            const auto targetUntouched = [&] {
                return dangling ? !QFileInfo::exists(target) : Sandbox::readFile(target) == "kept";
            };

            if (writer.asks) {
                EXPECT_TRUE(writer.write(false)) << "the link counts as an existing file";
                EXPECT_TRUE(QFileInfo(path).isSymLink());
                EXPECT_TRUE(targetUntouched());
            }
            EXPECT_TRUE(writer.write(true));
            const QFileInfo written(path);
            EXPECT_FALSE(written.isSymLink());
            EXPECT_TRUE(written.isFile());
            EXPECT_EQ(QImage(path).size(), writer.size);
            EXPECT_TRUE(targetUntouched());
            EXPECT_EQ(QDir(out).entryList(
                          QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                QStringList { writer.name })
                << "no temporary file left";
        }
    }
    EXPECT_TRUE(prompt.allAnswersUsed());
}
