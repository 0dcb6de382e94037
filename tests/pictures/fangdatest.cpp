// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/fangda.h"
#include "imaging/gifanimation.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"
#include "view/viewers.h"

using namespace zarvo;
using namespace zarvo::test;
using namespace zarvo::testpictures;

namespace {

// Viewers that only record what they were asked to open.
class RecordingViewers : public Viewers
{
public:
    QSize screenSize() const override { return screen; }
    void openViewer(ViewedPicture picture, const QRect& frame) override
    {
        opened.append({ std::move(picture), frame });
    }

    QSize screen { 1920, 1080 };
    QList<std::pair<ViewedPicture, QRect>> opened;
};

testpictures::GifFrame gifFrame(int left, int top, int width, int height, char index)
{
    testpictures::GifFrame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.indices = QByteArray(width * height, index);
    return frame;
}

QByteArray pngOfSize(int w, int h)
{
    return encodePng(photoLike(w, h, quint32(w * 7 + h)), PngKind::Rgb8);
}

class FangDaTest : public WorkspaceFixture
{
protected:
    void openFolder(const QList<std::pair<QString, QByteArray>>& pictures)
    {
        makeFolder(QStringLiteral("f"), pictures);
        start();
        ws->setViewers(&viewers);
        clickNode(QStringLiteral("f"));
        prompt.clear();
    }
    QList<QRect> frames() const
    {
        QList<QRect> result;
        for (const auto& [picture, frame] : viewers.opened)
            result.append(frame);
        return result;
    }
    QStringList viewerCaptions() const
    {
        QStringList result;
        for (const auto& [picture, frame] : viewers.opened)
            result.append(picture.caption());
        return result;
    }

    RecordingViewers viewers;
};

} // namespace

TEST_F(FangDaTest, OpenAllSizesEachWindowAndCascadesTheRun)
{
    openFolder({ { QStringLiteral("/p/a.png"), pngOfSize(409, 327) },
        { QStringLiteral("/p/b.png"), pngOfSize(410, 327) },
        { QStringLiteral("/p/c.png"), pngOfSize(409, 328) },
        { QStringLiteral("/p/d.png"), pngOfSize(100, 80) },
        { QStringLiteral("/p/e.png"), pngOfSize(1000, 700) } });
    prompt.answer(true);
    menu_openallClick(*ws);
    EXPECT_EQ(prompt.questions, QStringList { QStringLiteral("真的要放大所有图片吗?") });
    // Centred on 1920 x 1080, then 0, 20, 40 ... px further right and down.
    EXPECT_EQ(frames(),
        (QList<QRect> { QRect(755, 361, 410, 357), QRect(775 - 0, 356 + 20, 410, 367),
            QRect(755 + 40, 356 + 40, 409, 368), QRect(755 + 60, 361 + 60, 410, 357),
            QRect(460 + 80, 170 + 80, 1000, 740) }));
    EXPECT_EQ(viewers.opened[4].first.size(), QSize(1000, 700));
    EXPECT_EQ(viewers.opened[0].first.kind, 5);
    EXPECT_EQ(viewers.opened[0].first.table, QStringLiteral("f"));

    // Declined: nothing opens.
    viewers.opened.clear();
    prompt.answer(false);
    menu_openallClick(*ws);
    EXPECT_TRUE(viewers.opened.isEmpty());
}

TEST_F(FangDaTest, CascadeRestartsNearTheScreensEdges)
{
    viewerlayout::Cascade cascade(QSize(1000, 800));
    EXPECT_EQ(cascade.place(QSize(410, 357)), QPoint(295, 221));
    EXPECT_EQ(cascade.place(QSize(410, 357)), QPoint(315, 241));
    // Centred at or beyond 400 px from the right or bottom edge: the window stays centred and the
    // next one moves by 20 again.
    viewerlayout::Cascade small(QSize(600, 500));
    EXPECT_EQ(small.place(QSize(410, 357)), QPoint(95, 71));
    EXPECT_EQ(small.place(QSize(100, 80)), QPoint(250, 210));
    EXPECT_EQ(small.place(QSize(410, 357)), QPoint(95 + 20, 71 + 20));
}

TEST_F(FangDaTest, EntriesOpenTheSelectionAndTheRunGoesOnPastBadPictures)
{
    const QList<QRgb> colours { qRgb(255, 0, 0), qRgb(0, 0, 255) };
    const QByteArray animated
        = encodeGif(4, 4, colours, { gifFrame(0, 0, 4, 4, 1), gifFrame(0, 0, 4, 4, 0) });
    const QByteArray still = encodeGif(4, 4, colours, { gifFrame(0, 0, 4, 4, 1) });
    openFolder({ { QStringLiteral("/p/abc.png"), pngOfSize(20, 10) },
        { QStringLiteral("/p/ab.png"), pngOfSize(30, 10) },
        { QStringLiteral("/p/bad.png"), QByteArray("not a png") },
        { QStringLiteral("/p/odd.xyz"), pngOfSize(5, 5) },
        { QStringLiteral("/p/anim.gif"), animated }, { QStringLiteral("/p/still.GIF"), still } });
    Store& store = *ws->store();
    store.appendPicture(QStringLiteral("f"), QStringLiteral("Cat"),
        QStringLiteral("D:\\x\\Cat.JPG"), encodeJpeg(photoLike(20, 20, 1), 90));
    store.appendPicture(QStringLiteral("f"), QStringLiteral("moving"),
        QStringLiteral("/p/moving.WEBP"),
        encodeAnimatedWebp({ { blocks(12, 8, true), QPoint(0, 0), 100 },
                               { photoLike(6, 4, 2), QPoint(2, 2), 100 } },
            0));

    // Enter / enlarge: the selection in view order; "ab" is not "abc".
    ASSERT_EQ(captions().mid(0, 2), (QStringList { QStringLiteral("abc"), QStringLiteral("ab") }));
    select({ 1, 0 });
    pop_fangdaClick(*ws);
    EXPECT_EQ(viewerCaptions(),
        (QStringList { QStringLiteral("文件:abc.png"), QStringLiteral("文件:ab.png") }));
    EXPECT_EQ(viewers.opened[1].first.size(), QSize(30, 10));
    // The double click: the first selected picture only.
    viewers.opened.clear();
    ListView1DblClick(*ws);
    EXPECT_EQ(viewerCaptions(), QStringList { QStringLiteral("文件:abc.png") });

    // A picture that cannot be decoded, or has no decoder, warns; the run goes on.
    viewers.opened.clear();
    FangDa(*ws,
        { QStringLiteral("bad"), QStringLiteral("gone"), QStringLiteral("odd"),
            QStringLiteral("ANIM"), QStringLiteral("still"), QStringLiteral("cat"),
            QStringLiteral("moving") });
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        (QStringList { QStringLiteral("文件：/p/bad.png 在读取时发生错误！"),
            QStringLiteral("文件在数据库不存在"),
            QStringLiteral("文件：/p/odd.xyz 在读取时发生错误！") }));
    EXPECT_EQ(viewerCaptions(),
        (QStringList { QStringLiteral("文件:anim.gif"), QStringLiteral("文件:still.gif"),
            QStringLiteral("文件:Cat.jpg"), QStringLiteral("文件:moving.webp") }));
    ASSERT_EQ(viewers.opened.size(), 4);
    ASSERT_TRUE(viewers.opened[0].first.animation);
    EXPECT_EQ(viewers.opened[0].first.animation->frameCount(), 2);
    EXPECT_TRUE(viewers.opened[0].first.image.isNull()) << "the animation is held once";
    EXPECT_FALSE(viewers.opened[1].first.animation) << "a single frame shows still";
    EXPECT_EQ(viewers.opened[1].first.image.size(), QSize(4, 4));
    EXPECT_EQ(viewers.opened[2].first.kind, 1);
    EXPECT_EQ(viewers.opened[2].first.bytes,
        store.readBlob(
            QStringLiteral("f"), store.locate(QStringLiteral("f"), QStringLiteral("Cat"))->rowid));
    // An animated WebP plays like a GIF, on its canvas.
    EXPECT_EQ(viewers.opened[3].first.kind, 9);
    ASSERT_TRUE(viewers.opened[3].first.animation);
    EXPECT_EQ(viewers.opened[3].first.animation->frameCount(), 2);
    EXPECT_EQ(viewers.opened[3].first.size(), QSize(12, 8));
}

TEST_F(FangDaTest, NothingToOpenWithoutAFolderOrPictures)
{
    openFolder({});
    menu_openallClick(*ws);
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Tip), QStringList { QStringLiteral("请先打开一个文件夹") });
    ws->closeFolderTable();
    prompt.clear();
    menu_openallClick(*ws);
    pop_fangdaClick(*ws);
    ListView1DblClick(*ws);
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Tip), QStringList { QStringLiteral("请先打开一个文件夹") });
    EXPECT_TRUE(viewers.opened.isEmpty());
}
