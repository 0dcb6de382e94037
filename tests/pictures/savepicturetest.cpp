// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/savepicture.h"
#include "imaging/picturedecoder.h"
#include "imaging/pictureencoder.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"

#include <QFile>
#include <QtEndian>

using namespace zarvo;
using namespace zarvo::test;
using namespace zarvo::testpictures;

namespace {

const QString kFilter = QString::fromUtf8(kSavePictureFilter);

QString saved(const QString& path)
{
    return QStringLiteral("文件 ") + path + QStringLiteral(" 保存成功!");
}

class SavePictureTest : public WorkspaceFixture
{
protected:
    // Opens folder f with the pictures and selects the one at `row`.
    void openAndSelect(const QList<std::pair<QString, QByteArray>>& pictures, int row)
    {
        makeFolder(QStringLiteral("f"), pictures);
        start();
        clickNode(QStringLiteral("f"));
        select({ row });
        prompt.clear();
    }
    // Saves the selected picture as the save dialog answers.
    void saveAs(const QString& path, int filterIndex)
    {
        prompt.answerSaveFile(path, filterIndex);
        pop_saveClick(*ws);
    }
};

} // namespace

TEST_F(SavePictureTest, SameKindWritesTheStoredBytesUnderTheNameWithItsExtension)
{
    const QByteArray stored = encodePng(blocks(30, 20, true), PngKind::Rgba8);
    // "ab" comes after "abc" in the table: the whole name decides.
    openAndSelect({ { QStringLiteral("/p/abc.png"), encodePng(photoLike(8, 8, 1), PngKind::Rgb8) },
                      { QStringLiteral("/p/ab.PNG"), stored } },
        1);
    const QString typed = box.path(QStringLiteral("a.png"));
    saveAs(typed, 4);
    ASSERT_EQ(prompt.saveDialogs.size(), 1);
    EXPECT_EQ(prompt.saveDialogs[0].filter, kFilter);
    EXPECT_EQ(prompt.saveDialogs[0].selectedIndex, 4) << "the stored kind is preselected";
    EXPECT_EQ(prompt.saveDialogs[0].proposedName, QStringLiteral("ab"));
    EXPECT_EQ(Sandbox::readFile(typed + QStringLiteral(".png")), stored)
        << "a.png becomes a.png.png, unchanged";
    EXPECT_FALSE(QFile::exists(typed));
    EXPECT_TRUE(prompt.popups.isEmpty());

    // An existing file is replaced only after Yes.
    const QString target = box.writeFile(QStringLiteral("old.png"), "old");
    prompt.answer(false);
    saveAs(box.path(QStringLiteral("old")), 4);
    EXPECT_EQ(prompt.questions,
        QStringList {
            QStringLiteral("文件: ") + target + QStringLiteral(" 已经存在，是否要覆盖该文件?") });
    EXPECT_EQ(Sandbox::readFile(target), QByteArray("old"));
    prompt.answer(true);
    saveAs(box.path(QStringLiteral("old")), 4);
    EXPECT_EQ(Sandbox::readFile(target), stored);

    // Cancelled: nothing asked, nothing written.
    prompt.cancelSaveFile();
    pop_saveClick(*ws);
    // A write that fails says so instead of passing for a success.
    const QString nowhere = box.path(QStringLiteral("missing/dir/x"));
    saveAs(nowhere, 4);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件 ") + nowhere + QStringLiteral(".png 保存失败") });
    EXPECT_TRUE(prompt.allAnswersUsed());
}

TEST_F(SavePictureTest, ConversionsDecodeBackToThePictureOverWhite)
{
    const QImage original
        = blocks(40, 30, true); // a transparent corner and a half-transparent band
    const QImage expected = overWhite(original).convertToFormat(QImage::Format_RGB32);
    openAndSelect({ { QStringLiteral("/p/pic.png"), encodePng(original, PngKind::Rgba8) } }, 0);
    struct Case
    {
        int filter;
        PictureFormat format;
        double tolerance;
    };
    // JPEG halves the colour resolution, which shows on these sharp colour edges.
    const Case cases[] = { { 0, PictureFormat::Jpeg, 8.0 }, { 1, PictureFormat::Jpeg, 8.0 },
        { 2, PictureFormat::Bmp, 0.0 }, { 3, PictureFormat::Ico, 0.0 },
        { 5, PictureFormat::Gif, 1.0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        prompt.clear();
        const QString path = box.path(QStringLiteral("out%1").arg(c.filter));
        saveAs(path, c.filter);
        EXPECT_EQ(
            prompt.popups, (QList<RecordingPrompt::Popup> { { PopupKind::Success, saved(path) } }));
        const DecodedPicture back
            = decodePicture(c.format, Sandbox::readFile(path + kindExtension(c.filter + 1)));
        ASSERT_TRUE(back.ok()) << back.error.toStdString();
        ASSERT_EQ(back.image.size(), original.size());
        EXPECT_LE(meanDifference(back.image, expected), c.tolerance);
        EXPECT_EQ(back.image.pixel(0, 0) & 0xffffffu, 0xffffffu)
            << "the transparent corner is white";
    }

    // JPEG to PNG through the other filter code, and ".jpg" against ".jpeg" converts too.
    prompt.clear();
    const QImage photo = photoLike(64, 48, 3);
    Store& store = *ws->store();
    store.appendPicture(QStringLiteral("f"), QStringLiteral("photo"),
        QStringLiteral("/p/photo.jpg"), encodeJpeg(photo, 90));
    prompt.answerSaveFile(box.path(QStringLiteral("photo")), 4);
    SavePicture(*ws, QStringLiteral("f"), QStringLiteral("photo"), 1);
    const DecodedPicture png = decodePicture(
        PictureFormat::Png, Sandbox::readFile(box.path(QStringLiteral("photo.png"))));
    ASSERT_TRUE(png.ok());
    EXPECT_LE(meanDifference(png.image, photo), 3.0);
    prompt.clear();
    prompt.answerSaveFile(box.path(QStringLiteral("photo")), 1);
    SavePicture(*ws, QStringLiteral("f"), QStringLiteral("photo"), 1);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Success),
        QStringList { saved(box.path(QStringLiteral("photo"))) });
    EXPECT_TRUE(QFile::exists(box.path(QStringLiteral("photo.jpeg"))));
}

TEST_F(SavePictureTest, JpegTurnedByItsExifOrientationIsConvertedUprightAndSavedUnchanged)
{
    // Stored lying on its side: the Exif orientation 6 says "turn a quarter clockwise".
    const QImage stored = photoLike(64, 48, 5);
    const QByteArray bytes = withApp1(encodeJpeg(stored, 95), exifWithOrientation(6, false));
    QImage upright(stored.height(), stored.width(), QImage::Format_RGB32);
    for (int y = 0; y < upright.height(); ++y)
        for (int x = 0; x < upright.width(); ++x)
            upright.setPixel(x, y, stored.pixel(y, stored.height() - 1 - x));
    openAndSelect({ { QStringLiteral("/p/portrait.jpg"), bytes } }, 0);

    saveAs(box.path(QStringLiteral("same")), 0);
    EXPECT_EQ(Sandbox::readFile(box.path(QStringLiteral("same.jpg"))), bytes)
        << "the stored kind keeps its bytes and its tag";
    struct Case
    {
        int filter;
        PictureFormat format;
        double tolerance;
    };
    const Case cases[] = { { 1, PictureFormat::Jpeg, 4.0 }, { 2, PictureFormat::Bmp, 3.0 },
        { 3, PictureFormat::Ico, 3.0 }, { 4, PictureFormat::Png, 3.0 },
        { 5, PictureFormat::Gif, 12.0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        saveAs(box.path(QStringLiteral("out")), c.filter);
        const QByteArray converted
            = Sandbox::readFile(box.path(QStringLiteral("out") + kindExtension(c.filter + 1)));
        const DecodedPicture back = decodePicture(c.format, converted);
        ASSERT_TRUE(back.ok()) << back.error.toStdString();
        ASSERT_EQ(back.image.size(), upright.size());
        EXPECT_LE(meanDifference(back.image, upright), c.tolerance);
        EXPECT_FALSE(converted.contains(QByteArray("Exif\0\0", 6))) << "no tag to turn it again";
    }
}

TEST_F(SavePictureTest, IconMaskMarksExactlyTheWhitePixels)
{
    QImage picture(9, 3, QImage::Format_RGB32); // 9 wide: the mask row needs padding
    picture.fill(Qt::white);
    picture.setPixel(1, 0, qRgb(254, 255, 255));
    picture.setPixel(8, 2, qRgb(0, 0, 0));
    picture.setPixel(4, 1, qRgb(200, 30, 40));
    const QByteArray ico = encodeIcoFile(picture).bytes;
    ASSERT_FALSE(ico.isEmpty());
    const auto* p = reinterpret_cast<const uchar*>(ico.constData());
    EXPECT_EQ(qFromLittleEndian<quint16>(p + 2), 1) << "an icon";
    EXPECT_EQ(qFromLittleEndian<quint16>(p + 4), 1) << "one image";
    EXPECT_EQ(p[6], 9);
    EXPECT_EQ(p[7], 3);
    const quint32 offset = qFromLittleEndian<quint32>(p + 18);
    const uchar* header = p + offset;
    EXPECT_EQ(qFromLittleEndian<qint32>(header + 8), 6) << "colour image and mask";
    const uchar* mask = header + 40 + 3 * 28; // 24-bit rows of 9 pixels take 28 bytes
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool bit = mask[(2 - y) * 4 + x / 8] & (0x80 >> (x % 8));
            EXPECT_EQ(bit, picture.pixel(x, y) == qRgb(255, 255, 255)) << x << "," << y;
        }
    // Through the program's own decoder the masked pixels come back white, the others as they were.
    const DecodedPicture back = decodePicture(PictureFormat::Ico, ico);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(meanDifference(back.image, picture), 0.0);
}

TEST_F(SavePictureTest, KindsAfterTheSixSaveTheirBytesAsThemselvesAndConvertToTheSix)
{
    const QImage photo = photoLike(48, 32, 9);
    const QByteArray webp = encodeWebp(photo, 90);
    const QByteArray emf = encodeEmf(QSize(40, 30), QRect(5, 5, 20, 10), qRgb(200, 20, 20));
    const QByteArray fakeEmf("not really an emf");
    openAndSelect(
        { { QStringLiteral("/p/photo.WEBP"), webp }, { QStringLiteral("/p/draw.emf"), emf },
            { QStringLiteral("/p/fake.emf"), fakeEmf } },
        0);
    struct Case
    {
        const char* name;
        int code; // the stored kind
        const char* ownType; // the save dialog's seventh type
        QByteArray stored;
    };
    const Case cases[] = {
        { "photo", 9, "WebP Image (*.webp)|*.webp", webp },
        { "draw", 7, "Enhanced Metafile (*.emf)|*.emf", emf },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QLatin1String(c.name);
        const QString extension = QLatin1String(PictureKind::ofCode(c.code).extension);
        prompt.clear();
        // The seventh type, preset: the stored bytes under the stored extension, lower-cased.
        prompt.answerSaveFile(box.path(name), 6);
        SavePicture(*ws, QStringLiteral("f"), name,
            pictureKindCode(QStringLiteral("/p/x") + extension.toUpper()));
        ASSERT_EQ(prompt.saveDialogs.size(), 1);
        EXPECT_EQ(
            prompt.saveDialogs[0].filter, kFilter + QLatin1Char('|') + QLatin1String(c.ownType));
        EXPECT_EQ(prompt.saveDialogs[0].selectedIndex, 6);
        EXPECT_EQ(Sandbox::readFile(box.path(name + extension)), c.stored);
        EXPECT_TRUE(prompt.popups.isEmpty());

        // GIF and PNG convert: a picture of the kind, never the stored bytes renamed.
        for (const auto& [filter, format] :
            { std::pair { 5, PictureFormat::Gif }, std::pair { 4, PictureFormat::Png } }) {
            const QString path = box.path(name + QStringLiteral("-") + QString::number(filter));
            prompt.answerSaveFile(path, filter);
            SavePicture(*ws, QStringLiteral("f"), name, c.code);
            const QByteArray written = Sandbox::readFile(path + kindExtension(filter + 1));
            EXPECT_NE(written, c.stored);
            const DecodedPicture back = decodePicture(format, written);
            ASSERT_TRUE(back.ok()) << back.error.toStdString();
            if (c.code == 9) {
                EXPECT_LE(meanDifference(back.image, photo), filter == 5 ? 12.0 : 3.0);
            } else {
                // Drawn as the viewer draws it: inside the rectangle, away from its lines.
                EXPECT_NEAR(back.image.width(), 40, 1);
                const QRgb inside = back.image.pixel(22, 12);
                EXPECT_TRUE(qRed(inside) > 150 && qGreen(inside) < 60 && qBlue(inside) < 60)
                    << std::hex << inside;
            }
        }
        EXPECT_EQ(prompt.popupTexts(PopupKind::Success).size(), 2);
    }

    // A metafile that does not draw cannot be converted: no file, the failure told.
    prompt.clear();
    prompt.answerSaveFile(box.path(QStringLiteral("d")), 5);
    SavePicture(*ws, QStringLiteral("f"), QStringLiteral("fake"), 7);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件保存失败，请使用它原有的文件格式保存!") });
    EXPECT_FALSE(QFile::exists(box.path(QStringLiteral("d.gif")))) << "no bytes under .gif";
}

TEST_F(SavePictureTest, PicturesThatLeftTheStoreUseTheViewersBytes)
{
    openAndSelect(
        { { QStringLiteral("/p/a.png"), encodePng(photoLike(8, 8, 1), PngKind::Rgb8) } }, 0);
    // Renamed away, or its folder gone: the viewer's bytes, unchanged, whatever type was chosen.
    prompt.clear();
    for (const QString& table : { QStringLiteral("f"), QStringLiteral("gone") }) {
        const QString path = box.path(table + QStringLiteral("-left"));
        prompt.answerSaveFile(path, 0);
        SavePicture(*ws, table, QStringLiteral("old name"), 5, QByteArray("viewer bytes"));
        EXPECT_EQ(Sandbox::readFile(path + QStringLiteral(".jpg")), QByteArray("viewer bytes"));
    }
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList(2, QStringLiteral("该文件在数据库已经不存在了，所以保存时可能不正确")));
    EXPECT_EQ(pictureKindCode(QStringLiteral("C:\\x\\A.JPEG")), 2);
    EXPECT_EQ(pictureKindCode(QStringLiteral("/x/a.ico")), 4);
    EXPECT_EQ(pictureKindCode(QStringLiteral("/x.y/noext")), 6);
    EXPECT_EQ(pictureKindCode(QStringLiteral("/x/IMG_1.HEIC")), 10);
    EXPECT_EQ(kindExtension(10), QStringLiteral(".heic"));
}
