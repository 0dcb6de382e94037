// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace zarvo {
namespace {

struct Picture
{
    QString path;
    QSize size;
};

std::vector<Picture> toolbarGlyphs()
{
    std::vector<Picture> out;
    for (const char* name : { "addfile", "editfile", "delfile", "findfile", "addfolder",
             "editfolder", "delfolder", "findfolder", "help", "min", "close" })
        out.push_back({ QStringLiteral(":/images/toolbar/btn_%1.png").arg(QLatin1String(name)),
            QSize(64, 64) });
    return out;
}

std::vector<Picture> menuImages()
{
    std::vector<Picture> out;
    for (int i = 0; i <= 12; ++i)
        out.push_back({ QStringLiteral(":/images/menu/%1.png").arg(i), QSize(16, 16) });
    return out;
}

// Pictures with words in them come in Chinese and, under en/, in English.
const QStringList kLanguageDirs = { QStringLiteral(":/images/"), QStringLiteral(":/images/en/") };

std::vector<Picture> previews()
{
    std::vector<Picture> out;
    for (const QString& dir : kLanguageDirs)
        for (int i = 1; i <= 5; ++i)
            out.push_back({ dir + QStringLiteral("tad/%1.png").arg(i), QSize(369, 361) });
    return out;
}

std::vector<Picture> smallPreviews()
{
    std::vector<Picture> out;
    for (int i = 1; i <= 4; ++i)
        out.push_back({ QStringLiteral(":/images/tad/small%1.png").arg(i), QSize(59, 50) });
    return out;
}

// Pictures drawn over other things: their background must be see-through.
std::vector<Picture> transparentPictures()
{
    std::vector<Picture> out = toolbarGlyphs();
    for (const std::vector<Picture>& more : { menuImages(), smallPreviews() })
        out.insert(out.end(), more.begin(), more.end());
    for (int i = 0; i <= 2; ++i)
        out.push_back({ QStringLiteral(":/images/popmenu/%1.png").arg(i), QSize(16, 16) });
    for (int i = 0; i <= 1; ++i)
        out.push_back({ QStringLiteral(":/images/tree/%1.png").arg(i), QSize(32, 32) });
    for (int kind : { 111, 222, 333 })
        out.push_back({ QStringLiteral(":/images/popup/%1.png").arg(kind), QSize(128, 128) });
    out.push_back({ QStringLiteral(":/images/wait.png"), QSize(128, 128) });
    out.push_back({ QStringLiteral(":/images/zarvo.png"), QSize(256, 256) });
    out.push_back({ QStringLiteral(":/images/zarvo-32.png"), QSize(32, 32) });
    out.push_back({ QStringLiteral(":/images/zarvo-16.png"), QSize(16, 16) });
    return out;
}

std::vector<Picture> opaquePictures()
{
    std::vector<Picture> out = previews();
    for (const QString& dir : kLanguageDirs) {
        out.push_back({ dir + QStringLiteral("splash.jpg"), QSize(800, 600) });
        out.push_back({ dir + QStringLiteral("about.png"), QSize(379, 226) });
    }
    out.push_back({ QStringLiteral(":/images/placeholder.png"), QSize(150, 150) });
    return out;
}

std::vector<Picture> allPictures()
{
    std::vector<Picture> out = transparentPictures();
    const std::vector<Picture> more = opaquePictures();
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

const QStringList kSounds
    = { QStringLiteral(":/sounds/ENC_002.wav"), QStringLiteral(":/sounds/ENC_004.wav") };

bool hasVisiblePixel(const QImage& img)
{
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) > 128)
                return true;
    return false;
}

TEST(Artwork, EveryPictureLoadsFromTheLibraryAtItsSize)
{
    for (const Picture& pic : allPictures()) {
        SCOPED_TRACE(pic.path.toStdString());
        QImageReader reader(pic.path);
        EXPECT_EQ(reader.format(), pic.path.endsWith(QStringLiteral(".jpg")) ? "jpeg" : "png");
        const QImage img = reader.read();
        ASSERT_FALSE(img.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(img.size(), pic.size);
    }
}

TEST(Artwork, ResourceTreeHoldsExactlyTheListedFiles)
{
    QSet<QString> expected;
    for (const Picture& pic : allPictures())
        expected.insert(pic.path);
    for (const QString& sound : kSounds)
        expected.insert(sound);
    QSet<QString> found;
    for (const QString& root : { QStringLiteral(":/images"), QStringLiteral(":/sounds") }) {
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.insert(it.next());
    }
    EXPECT_EQ(found, expected);
}

// Icons sit on toolbars, menus, the tree and popups; the popup leaves out the colour of the
// lower-left pixel, so that pixel in particular must be background, not drawing.
TEST(Artwork, IconsHaveTransparentBackgroundsAndVisibleContent)
{
    for (const Picture& pic : transparentPictures()) {
        SCOPED_TRACE(pic.path.toStdString());
        const QImage img = QImage(pic.path).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(img.isNull());
        EXPECT_TRUE(img.hasAlphaChannel());
        EXPECT_EQ(qAlpha(img.pixel(0, img.height() - 1)), 0);
        EXPECT_TRUE(hasVisiblePixel(img));
    }
}

TEST(Artwork, PanelPicturesAreOpaque)
{
    for (const Picture& pic : opaquePictures()) {
        SCOPED_TRACE(pic.path.toStdString());
        const QImage img(pic.path);
        ASSERT_FALSE(img.isNull());
        EXPECT_FALSE(img.hasAlphaChannel());
    }
    // The placeholder fills a white thumbnail cell: white around a faint glyph.
    const QImage placeholder(QStringLiteral(":/images/placeholder.png"));
    EXPECT_EQ(placeholder.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(placeholder.pixel(149, 149), qRgb(255, 255, 255));
    int marked = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 150; ++x)
            marked += placeholder.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(marked, 500);
}

// The popup draws its black, sky-blue or red message over the emblem: the emblem must stay
// light wherever it is painted (measured over the popup's white face).
TEST(Artwork, PopupEmblemsStayLightUnderText)
{
    for (int kind : { 111, 222, 333 }) {
        SCOPED_TRACE(kind);
        const QImage img = QImage(QStringLiteral(":/images/popup/%1.png").arg(kind))
                               .convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(img.isNull());
        int darkest = 255;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                const int a = qAlpha(c);
                auto over = [a](int v) { return (v * a + 255 * (255 - a)) / 255; };
                darkest = std::min(darkest, qGray(over(qRed(c)), over(qGreen(c)), over(qBlue(c))));
            }
        }
        EXPECT_GE(darkest, 200);
    }
}

// Each command gets its own picture: a copy-paste slip in the artwork shows up here.
TEST(Artwork, PicturesOfOneSetDiffer)
{
    for (const std::vector<Picture>& set :
        { toolbarGlyphs(), menuImages(), previews(), smallPreviews() }) {
        for (std::size_t i = 0; i < set.size(); ++i) {
            for (std::size_t j = i + 1; j < set.size(); ++j) {
                SCOPED_TRACE((set[i].path + QStringLiteral(" vs ") + set[j].path).toStdString());
                EXPECT_NE(QImage(set[i].path).convertToFormat(QImage::Format_ARGB32),
                    QImage(set[j].path).convertToFormat(QImage::Format_ARGB32));
            }
        }
    }
}

struct Wave
{
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bits = 0;
    std::vector<qint16> samples;
};

// Reads a canonical RIFF/WAVE file: a "fmt " chunk then a "data" chunk filling the rest.
bool parseWave(const QByteArray& bytes, Wave& out, QString& why)
{
    auto le = [&](int at, int n) {
        quint32 v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = (v << 8) | quint8(bytes.at(at + i));
        return v;
    };
    auto u32 = [&](int at) { return le(at, 4); };
    auto u16 = [&](int at) { return quint16(le(at, 2)); };
    if (bytes.size() < 44 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") {
        why = QStringLiteral("not a RIFF/WAVE file");
        return false;
    }
    if (u32(4) != quint32(bytes.size() - 8)) {
        why = QStringLiteral("RIFF size does not match the file");
        return false;
    }
    if (bytes.mid(12, 4) != "fmt " || u32(16) != 16) {
        why = QStringLiteral("no 16-byte fmt chunk");
        return false;
    }
    out.format = u16(20);
    out.channels = u16(22);
    out.rate = u32(24);
    out.byteRate = u32(28);
    out.blockAlign = u16(32);
    out.bits = u16(34);
    if (bytes.mid(36, 4) != "data" || u32(40) != quint32(bytes.size() - 44) || u32(40) % 2) {
        why = QStringLiteral("data chunk does not fill the rest of the file");
        return false;
    }
    for (int at = 44; at + 1 < bytes.size(); at += 2)
        out.samples.push_back(qint16(u16(at)));
    return true;
}

TEST(Artwork, ClickSoundsAreShortCleanMonoPcm)
{
    for (const QString& path : kSounds) {
        SCOPED_TRACE(path.toStdString());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        Wave wave;
        QString why;
        ASSERT_TRUE(parseWave(f.readAll(), wave, why)) << why.toStdString();
        EXPECT_EQ(wave.format, 1);
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.rate, 44100u);
        EXPECT_EQ(wave.bits, 16);
        EXPECT_EQ(wave.blockAlign, 2);
        EXPECT_EQ(wave.byteRate, 88200u);
        const double ms = 1000.0 * double(wave.samples.size()) / 44100.0;
        EXPECT_GE(ms, 30.0);
        EXPECT_LE(ms, 80.0);
        ASSERT_FALSE(wave.samples.empty());
        // Starts and ends at rest (no pop), audible, and never clipped.
        EXPECT_LE(std::abs(wave.samples.front()), 16);
        EXPECT_LE(std::abs(wave.samples.back()), 16);
        int peak = 0;
        for (qint16 s : wave.samples)
            peak = std::max(peak, std::abs(int(s)));
        EXPECT_GT(peak, 3000);
        EXPECT_LT(peak, 30000);
    }
}

} // namespace
} // namespace zarvo
