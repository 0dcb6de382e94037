// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Draws every picture and click sound Zarvo ships under resources/, so that the artwork
// is reproducible and can be changed in one place. Everything is drawn with QPainter in
// one palette and one set of stroke widths; text uses the installed WenQuanYi Zen Hei
// (Chinese) and DejaVu Sans (the Latin wordmark). The sounds are synthesised here.
//
// Usage: zarvo_artwork OUTPUT_DIR [--sheets DIR]
//   OUTPUT_DIR  the resources folder; images/ and sounds/ are written below it
//   --sheets    also writes contact sheets of everything (for review) into DIR

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace zarvo {
namespace {

// ---------------------------------------------------------------------------------------
// Palette. One blue for the program's own things, amber for folders, and signal colours
// for the actions; outlines use a darker shade of the filled object, never black.

const QColor kInk(0x2B, 0x37, 0x48);
const QColor kInkSoft(0x6B, 0x77, 0x8A);
const QColor kInkFaint(0x9A, 0xA5, 0xB4);
const QColor kBlue(0x2F, 0x80, 0xED);
const QColor kBlueDark(0x1D, 0x5C, 0xB8);
const QColor kSky(0xA6, 0xCA, 0xF0); // the program's highlight blue
const QColor kSkyPale(0xE6, 0xF0, 0xFC);
const QColor kAmber(0xFF, 0xCB, 0x52);
const QColor kAmberLight(0xFF, 0xDB, 0x7E);
const QColor kAmberBack(0xF2, 0xA8, 0x2C);
const QColor kAmberLine(0xC8, 0x83, 0x10);
const QColor kGreen(0x27, 0xAE, 0x60);
const QColor kGreenDark(0x1C, 0x86, 0x4A);
const QColor kGreenPale(0xE5, 0xF7, 0xEC);
const QColor kRed(0xE5, 0x48, 0x4D);
const QColor kRedDark(0xB8, 0x30, 0x36);
const QColor kOrange(0xF5, 0x9E, 0x3B);
const QColor kSlate(0x3D, 0x4A, 0x5C);
const QColor kLine(0xD7, 0xDE, 0xE7);
const QColor kPanel(0xF7, 0xF9, 0xFC);

const QString kCjkFamily = QStringLiteral("WenQuanYi Zen Hei");
const QString kLatinFamily = QStringLiteral("DejaVu Sans");

// A landscape's colours; the photo motif repeats with different moods.
struct Scene
{
    QColor skyTop;
    QColor skyBottom;
    QColor far;
    QColor near;
    QColor sun;
    bool stars = false;
};

const Scene kDay { QColor(0x4F, 0xAE, 0xF5), QColor(0xC9, 0xE9, 0xFF), QColor(0x86, 0xD7, 0xA0),
    QColor(0x2B, 0xAA, 0x64), QColor(0xFF, 0xC4, 0x38) };
const Scene kDusk { QColor(0xF5, 0x7D, 0x6C), QColor(0xFF, 0xD5, 0x8A), QColor(0xB2, 0x6F, 0x9C),
    QColor(0x6B, 0x4C, 0x8F), QColor(0xFF, 0xF1, 0xC2) };
const Scene kNight { QColor(0x1E, 0x2F, 0x63), QColor(0x4A, 0x6F, 0xB5), QColor(0x3E, 0x5C, 0x94),
    QColor(0x24, 0x3B, 0x6B), QColor(0xF4, 0xF1, 0xD8), true };

// ---------------------------------------------------------------------------------------
// Basics

QImage canvas(int w, int h, const QColor& fill = QColor(Qt::transparent))
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void smooth(QPainter& p)
{
    p.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

QFont cjkFont(int px, bool bold = false)
{
    QFont f(kCjkFamily);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont latinFont(int px, bool bold = false)
{
    QFont f(kLatinFamily);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// The pictures with words in them are drawn once in each language the program speaks.
enum class Tongue {
    Chinese,
    English,
};

QString say(Tongue tongue, const QString& chinese, const QString& english)
{
    return tongue == Tongue::English ? english : chinese;
}

QFont textFont(Tongue tongue, int px, bool bold = false)
{
    return tongue == Tongue::English ? latinFont(px, bold) : cjkFont(px, bold);
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QRectF inset(const QRectF& r, qreal d)
{
    return r.adjusted(d, d, -d, -d);
}

// Text drawn as a path centred on the glyphs' own bounds, which centres "?" and "!" by
// their ink rather than by the font's line box.
void drawCentredGlyphs(
    QPainter& p, const QString& text, const QFont& font, QPointF centre, const QColor& colour)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    path.translate(centre - b.center());
    p.fillPath(path, colour);
}

void drawText(
    QPainter& p, QPointF baseline, const QString& text, const QFont& font, const QColor& colour)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(baseline, text);
}

qreal textWidth(const QString& text, const QFont& font)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}

// Clears a gap around a shape about to be drawn on top, so overlapping parts of an icon
// stay apart on any background (the icons have transparent backgrounds).
void knockOut(QPainter& p, const QPainterPath& shape, qreal gap)
{
    QPainterPathStroker stroker;
    stroker.setWidth(2 * gap);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.fillPath(stroker.createStroke(shape), Qt::black);
    p.fillPath(shape, Qt::black);
    p.restore();
}

// Three box passes approximate a Gaussian blur; used for soft shadows only.
void blurLine(QRgb* data, int count, int step, int radius, std::vector<QRgb>& line)
{
    line.assign(count, 0);
    for (int i = 0; i < count; ++i)
        line[i] = data[i * step];
    const int window = 2 * radius + 1;
    int a = 0, r = 0, g = 0, b = 0;
    auto add = [&](QRgb c, int sign) {
        a += sign * qAlpha(c);
        r += sign * qRed(c);
        g += sign * qGreen(c);
        b += sign * qBlue(c);
    };
    for (int i = 0; i <= radius && i < count; ++i)
        add(line[i], 1);
    for (int i = 0; i < count; ++i) {
        data[i * step] = qRgba(r / window, g / window, b / window, a / window);
        if (i - radius >= 0)
            add(line[i - radius], -1);
        if (i + radius + 1 < count)
            add(line[i + radius + 1], 1);
    }
}

void blur(QImage& img, int radius)
{
    std::vector<QRgb> line;
    const int w = img.width();
    const int h = img.height();
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            blurLine(reinterpret_cast<QRgb*>(img.scanLine(y)), w, 1, radius, line);
        auto* base = reinterpret_cast<QRgb*>(img.bits());
        const int stride = int(img.bytesPerLine() / sizeof(QRgb));
        for (int x = 0; x < w; ++x)
            blurLine(base + x, h, stride, radius, line);
    }
}

// A soft shadow of a shape given in the painter's device coordinates.
void drawShadow(
    QPainter& p, const QPainterPath& deviceShape, int radius, QPointF offset, const QColor& colour)
{
    QImage layer = canvas(p.device()->width(), p.device()->height());
    {
        QPainter lp(&layer);
        smooth(lp);
        lp.translate(offset);
        lp.fillPath(deviceShape, colour);
    }
    blur(layer, radius);
    p.save();
    p.resetTransform();
    p.drawImage(0, 0, layer);
    p.restore();
}

// ---------------------------------------------------------------------------------------
// Motifs shared by all pictures

// A landscape (sky, sun, two hills) filling r; the caller clips.
void drawLandscape(QPainter& p, const QRectF& r, const Scene& s)
{
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, s.skyTop);
    sky.setColorAt(1, s.skyBottom);
    p.fillRect(r, sky);
    const qreal w = r.width();
    const qreal h = r.height();
    auto at = [&](qreal fx, qreal fy) { return QPointF(r.left() + fx * w, r.top() + fy * h); };

    const qreal sunR = std::max(1.1, 0.12 * std::min(w, h));
    p.setPen(Qt::NoPen);
    if (s.stars && w > 40) {
        p.setBrush(withAlpha(Qt::white, 200));
        const QPointF stars[] = { { 0.12, 0.14 }, { 0.25, 0.30 }, { 0.40, 0.10 }, { 0.52, 0.24 },
            { 0.60, 0.08 }, { 0.92, 0.45 }, { 0.08, 0.42 } };
        for (const QPointF& st : stars)
            p.drawEllipse(at(st.x(), st.y()), w * 0.008 + 0.4, w * 0.008 + 0.4);
    }
    p.setBrush(s.sun);
    p.drawEllipse(at(0.76, 0.27), sunR, sunR);

    QPainterPath far;
    far.moveTo(at(0.36, 1.05));
    far.lineTo(at(0.70, 0.46));
    far.lineTo(at(1.10, 0.98));
    far.lineTo(at(1.10, 1.05));
    far.closeSubpath();
    p.setBrush(s.far);
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(at(-0.10, 1.05));
    near.lineTo(at(-0.10, 0.90));
    near.lineTo(at(0.30, 0.40));
    near.lineTo(at(0.80, 1.05));
    near.closeSubpath();
    p.setBrush(s.near);
    p.drawPath(near);
}

// The picture motif: a framed landscape. outer is the full extent including the frame.
void drawPhoto(QPainter& p, const QRectF& outer, qreal line, qreal radius,
    const Scene& scene = kDay, const QColor& frame = kBlueDark)
{
    const QRectF r = inset(outer, line / 2);
    QPainterPath shape;
    shape.addRoundedRect(r, radius, radius);
    p.save();
    p.setClipPath(shape);
    drawLandscape(p, outer, scene);
    p.restore();
    p.setPen(QPen(frame, line));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
}

QPainterPath roundedRectPath(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

// The folder motif: a back panel with a tab, an optional sheet of paper, a front panel.
void drawFolder(QPainter& p, const QRectF& outer, qreal line, bool paper)
{
    const QRectF r = inset(outer, line / 2);
    const qreal w = r.width();
    const qreal h = r.height();
    const qreal rad = std::max(1.0, std::round(h * 0.08));
    const qreal tabH = std::max(1.0, std::round(h * 0.15));
    const qreal tabW = std::round(w * 0.40);
    const qreal frontTop = std::round(h * 0.30);

    QPainterPath back;
    back.moveTo(r.left(), r.top() + rad);
    back.quadTo(r.left(), r.top(), r.left() + rad, r.top());
    back.lineTo(r.left() + tabW - tabH, r.top());
    back.lineTo(r.left() + tabW, r.top() + tabH);
    back.lineTo(r.right() - rad, r.top() + tabH);
    back.quadTo(r.right(), r.top() + tabH, r.right(), r.top() + tabH + rad);
    back.lineTo(r.right(), r.bottom() - rad);
    back.quadTo(r.right(), r.bottom(), r.right() - rad, r.bottom());
    back.lineTo(r.left() + rad, r.bottom());
    back.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - rad);
    back.closeSubpath();
    p.setPen(QPen(kAmberLine, line, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(kAmberBack);
    p.drawPath(back);

    if (paper) {
        const QRectF sheet(r.left() + std::round(w * 0.12), r.top() + tabH + std::round(h * 0.07),
            std::round(w * 0.76), frontTop);
        p.setPen(QPen(QColor(0xD9, 0xDE, 0xE5), line));
        p.setBrush(Qt::white);
        p.drawRect(sheet);
    }

    const QRectF front(r.left(), r.top() + frontTop, w, h - frontTop);
    QLinearGradient fill(front.topLeft(), front.bottomLeft());
    fill.setColorAt(0, kAmberLight);
    fill.setColorAt(1, kAmber);
    p.setPen(QPen(kAmberLine, line));
    p.setBrush(fill);
    p.drawRoundedRect(front, rad, rad);
}

enum class Mark { Plus, Cross, ArrowOut, Check };

// A round signal badge with a white mark. Small badges use flat caps so their strokes
// land on whole pixels.
void drawBadge(QPainter& p, QPointF c, qreal radius, const QColor& fill, Mark mark, qreal stroke)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(c, radius, radius);
    const bool small = stroke < 2;
    // Diagonal marks in a 9 pixel badge blur when anti-aliased: set them pixel by pixel.
    if (small && (mark == Mark::Cross || mark == Mark::ArrowOut)) {
        const int cx = int(std::floor(c.x()));
        const int cy = int(std::floor(c.y()));
        auto dot = [&](int dx, int dy) { p.fillRect(QRect(cx + dx, cy + dy, 1, 1), Qt::white); };
        for (int k = 0; k < 4; ++k) {
            if (mark == Mark::Cross) {
                dot(-1 + k, -1 + k);
                dot(-1 + k, 2 - k);
            } else {
                dot(-2 + k, 3 - k);
                dot(-1 + k, -1);
                dot(2, -1 + k);
            }
        }
        if (mark == Mark::ArrowOut)
            dot(2, -1);
        return;
    }
    p.setPen(
        QPen(Qt::white, stroke, Qt::SolidLine, small ? Qt::FlatCap : Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const qreal a = radius * (small ? 0.56 : 0.50);
    const qreal d = radius * 0.36;
    switch (mark) {
    case Mark::Plus:
        p.drawLine(c + QPointF(-a, 0), c + QPointF(a, 0));
        p.drawLine(c + QPointF(0, -a), c + QPointF(0, a));
        break;
    case Mark::Cross:
        p.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
        p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
        break;
    case Mark::ArrowOut: {
        p.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
        QPolygonF head;
        head << c + QPointF(-d * 0.15, -d) << c + QPointF(d, -d) << c + QPointF(d, d * 0.15);
        p.drawPolyline(head);
        break;
    }
    case Mark::Check: {
        p.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF tick;
        tick << c + QPointF(-a * 0.95, a * 0.05) << c + QPointF(-a * 0.25, a * 0.72)
             << c + QPointF(a * 0.95, -a * 0.62);
        p.drawPolyline(tick);
        break;
    }
    }
}

QPainterPath circlePath(QPointF c, qreal radius)
{
    QPainterPath path;
    path.addEllipse(c, radius, radius);
    return path;
}

// A pencil lying from its tip to its eraser end.
QPainterPath pencilOutline(QPointF tip, QPointF tail, qreal width)
{
    const QLineF axis(tip, tail);
    const qreal len = axis.length();
    const qreal cone = width * 1.15;
    QTransform t;
    t.translate(tip.x(), tip.y());
    t.rotate(-axis.angle());
    QPolygonF poly;
    poly << QPointF(0, 0) << QPointF(cone, -width / 2) << QPointF(len, -width / 2)
         << QPointF(len, width / 2) << QPointF(cone, width / 2);
    QPainterPath path;
    path.addPolygon(t.map(poly));
    path.closeSubpath();
    return path;
}

void drawPencil(QPainter& p, QPointF tip, QPointF tail, qreal width)
{
    const QLineF axis(tip, tail);
    const qreal len = axis.length();
    const qreal cone = width * 1.15;
    const qreal eraser = width * 0.60;
    const qreal ferrule = width * 0.45;
    p.save();
    p.translate(tip);
    p.rotate(-axis.angle());
    p.setPen(Qt::NoPen);
    // wood, then graphite
    QPolygonF wood;
    wood << QPointF(0, 0) << QPointF(cone, -width / 2) << QPointF(cone, width / 2);
    p.setBrush(QColor(0xF6, 0xD9, 0xAA));
    p.drawPolygon(wood);
    QPolygonF lead;
    lead << QPointF(0, 0) << QPointF(cone * 0.38, -width * 0.19)
         << QPointF(cone * 0.38, width * 0.19);
    p.setBrush(kSlate);
    p.drawPolygon(lead);
    // body: two tones give it a round look
    const qreal bodyEnd = len - eraser - ferrule;
    p.setBrush(kOrange);
    p.drawRect(QRectF(cone, -width / 2, bodyEnd - cone, width));
    p.setBrush(QColor(0xDB, 0x7C, 0x23));
    p.drawRect(QRectF(cone, width * 0.12, bodyEnd - cone, width * 0.38));
    p.setBrush(QColor(0xAE, 0xB8, 0xC5));
    p.drawRect(QRectF(bodyEnd, -width / 2, ferrule, width));
    p.setBrush(QColor(0xF0, 0x7C, 0x8C));
    p.drawRect(QRectF(bodyEnd + ferrule, -width / 2, eraser, width));
    p.restore();
}

// A magnifying glass with its lens at c and the handle towards the bottom right.
QPainterPath magnifierOutline(QPointF c, qreal radius, qreal ring, qreal handleLen, qreal handleW)
{
    const QPointF dir(std::numbers::sqrt2 / 2, std::numbers::sqrt2 / 2);
    QPainterPath path = circlePath(c, radius + ring / 2);
    QPainterPath handle;
    handle.moveTo(c + dir * radius);
    handle.lineTo(c + dir * (radius + handleLen));
    QPainterPathStroker stroker;
    stroker.setWidth(handleW);
    stroker.setCapStyle(Qt::RoundCap);
    path.addPath(stroker.createStroke(handle));
    return path.simplified();
}

void drawMagnifier(QPainter& p, QPointF c, qreal radius, qreal ring, qreal handleLen, qreal handleW)
{
    const QPointF dir(std::numbers::sqrt2 / 2, std::numbers::sqrt2 / 2);
    p.setPen(QPen(kSlate, handleW, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + dir * (radius + ring * 0.3), c + dir * (radius + handleLen));
    p.setPen(QPen(kBlueDark, ring));
    p.setBrush(QColor(0xF4, 0xF9, 0xFF, 225));
    p.drawEllipse(c, radius, radius);
    if (radius >= 6) {
        p.setPen(QPen(kSky, ring * 0.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const qreal g = radius * 0.55;
        p.drawArc(QRectF(c.x() - g, c.y() - g, 2 * g, 2 * g), 100 * 16, 70 * 16);
    }
}

// A filled disc with a darker rim.
void drawDisc(QPainter& p, const QRectF& outer, qreal line, const QColor& fill, const QColor& rim)
{
    QRadialGradient g(
        outer.center() - QPointF(outer.width() * 0.2, outer.height() * 0.25), outer.width() * 0.8);
    g.setColorAt(0, fill.lighter(112));
    g.setColorAt(1, fill);
    p.setPen(QPen(rim, line));
    p.setBrush(g);
    p.drawEllipse(inset(outer, line / 2));
}

void drawHelp(QPainter& p, const QRectF& outer, qreal line)
{
    drawDisc(p, outer, line, kBlue, kBlueDark);
    if (outer.height() < 20) {
        // hinted, so the small mark lands on whole pixels
        QFont f(kLatinFamily);
        f.setPixelSize(11);
        f.setBold(true);
        f.setHintingPreference(QFont::PreferFullHinting);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(outer.adjusted(0.5, 0, 0.5, 0), Qt::AlignCenter, QStringLiteral("?"));
        return;
    }
    drawCentredGlyphs(p, QStringLiteral("?"),
        latinFont(int(std::round(outer.height() * 0.62)), true),
        outer.center() + QPointF(0, outer.height() * 0.01), Qt::white);
}

void drawPower(QPainter& p, const QRectF& outer, qreal line, qreal stroke)
{
    drawDisc(p, outer, line, kRed, kRedDark);
    const QPointF c = outer.center() + QPointF(0, outer.height() * 0.03);
    const qreal r = outer.width() * 0.25;
    p.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 125 * 16, 290 * 16);
    p.drawLine(c - QPointF(0, r * 1.25), c - QPointF(0, r * 0.15));
}

// The group-node motif: a parent box and two children joined by connectors.
void drawHierarchy(QPainter& p, const QRectF& outer)
{
    const qreal s = outer.width() / 32.0;
    p.save();
    p.translate(outer.topLeft());
    p.scale(s, s);
    p.setPen(QPen(kInkSoft, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(7.5, 12), QPointF(7.5, 27.5));
    p.drawLine(QPointF(7.5, 17.5), QPointF(13, 17.5));
    p.drawLine(QPointF(7.5, 27.5), QPointF(13, 27.5));
    p.setPen(QPen(kBlueDark, 1.0));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(2.5, 2.5, 18, 10), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(Qt::white, 170));
    p.drawRect(QRectF(5, 7, 10, 1));
    p.setPen(QPen(kBlueDark, 1.0));
    p.setBrush(kSky);
    p.drawRoundedRect(QRectF(13.5, 13.5, 16, 8), 2, 2);
    p.drawRoundedRect(QRectF(13.5, 23.5, 16, 8), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(Qt::white, 190));
    p.drawRect(QRectF(16, 17, 9, 1));
    p.drawRect(QRectF(16, 27, 9, 1));
    p.restore();
}

// ---------------------------------------------------------------------------------------
// Toolbar glyphs (64 x 64) and menu images (16 x 16)

enum class Base { Photo, Folder, Stack };
enum class Action { Add, Edit, Delete, Find, Open };

struct Geometry
{
    QRectF photo;
    QRectF folder;
    QRectF stackBack;
    QRectF stackFront;
    qreal line;
    qreal radius;
    qreal gap;
    QPointF badge;
    qreal badgeR;
    qreal badgeStroke;
    QPointF pencilTip;
    QPointF pencilTail;
    qreal pencilW;
    QPointF lens;
    qreal lensR;
    qreal lensRing;
    qreal handleLen;
    qreal handleW;
    bool detail;
};

const Geometry kLarge { QRectF(4, 8, 50, 40), QRectF(4, 7, 52, 44), QRectF(14, 4, 44, 34),
    QRectF(4, 16, 44, 34), 2, 6, 2.5, QPointF(47, 47), 13, 4, QPointF(31, 61), QPointF(61, 31), 10,
    QPointF(44, 43), 10, 4, 13, 6, true };

const Geometry kSmall { QRectF(1, 2, 14, 11), QRectF(1, 2, 14, 12), QRectF(4, 1, 11, 9),
    QRectF(1, 4, 11, 9), 1, 1.5, 1, QPointF(11.5, 11.5), 4.5, 1, QPointF(6.5, 15.5),
    QPointF(15.5, 6.5), 3.8, QPointF(10.5, 10), 3, 1.5, 3.6, 2, false };

QImage actionIcon(int size, const Geometry& g, Base base, Action action)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    smooth(p);
    switch (base) {
    case Base::Photo:
        drawPhoto(p, g.photo, g.line, g.radius);
        break;
    case Base::Folder:
        drawFolder(p, g.folder, g.line, g.detail);
        break;
    case Base::Stack:
        drawPhoto(p, g.stackBack, g.line, g.radius, kDusk);
        knockOut(p, roundedRectPath(g.stackFront, g.radius), g.gap);
        drawPhoto(p, g.stackFront, g.line, g.radius);
        break;
    }
    switch (action) {
    case Action::Add:
    case Action::Delete:
    case Action::Open:
        knockOut(p, circlePath(g.badge, g.badgeR), g.gap);
        drawBadge(p, g.badge, g.badgeR,
            action == Action::Add          ? kGreen
                : action == Action::Delete ? kRed
                                           : kBlue,
            action == Action::Add          ? Mark::Plus
                : action == Action::Delete ? Mark::Cross
                                           : Mark::ArrowOut,
            g.badgeStroke);
        break;
    case Action::Edit:
        knockOut(p, pencilOutline(g.pencilTip, g.pencilTail, g.pencilW), g.gap);
        drawPencil(p, g.pencilTip, g.pencilTail, g.pencilW);
        break;
    case Action::Find:
        knockOut(p, magnifierOutline(g.lens, g.lensR, g.lensRing, g.handleLen, g.handleW), g.gap);
        drawMagnifier(p, g.lens, g.lensR, g.lensRing, g.handleLen, g.handleW);
        break;
    }
    return img;
}

QImage helpIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    smooth(p);
    if (size >= 64)
        drawHelp(p, QRectF(5, 5, 54, 54), 2);
    else
        drawHelp(p, QRectF(1, 1, 14, 14), 1);
    return img;
}

QImage exitIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    smooth(p);
    if (size >= 64)
        drawPower(p, QRectF(5, 5, 54, 54), 2, 5);
    else
        drawPower(p, QRectF(1, 1, 14, 14), 1, 1.6);
    return img;
}

// Minimise to the tray: a window sinks into the panel at the bottom of the screen.
QImage trayIcon64()
{
    QImage img = canvas(64, 64);
    QPainter p(&img);
    smooth(p);
    const QRectF window(9, 5, 46, 32);
    p.setPen(QPen(kBlueDark, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(window, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    QPainterPath bar;
    bar.addRoundedRect(QRectF(10, 6, 44, 9), 3, 3);
    bar.addRect(QRectF(10, 11, 44, 4));
    p.drawPath(bar.simplified());
    p.setBrush(kSkyPale);
    p.drawRect(QRectF(15, 20, 34, 3));
    p.drawRect(QRectF(15, 26, 24, 3));

    QPainterPath arrow;
    arrow.moveTo(27.5, 22);
    arrow.lineTo(36.5, 22);
    arrow.lineTo(36.5, 37);
    arrow.lineTo(44, 37);
    arrow.lineTo(32, 50);
    arrow.lineTo(20, 37);
    arrow.lineTo(27.5, 37);
    arrow.closeSubpath();
    knockOut(p, arrow, 2.5);
    p.setBrush(kGreen);
    p.drawPath(arrow);

    p.setPen(Qt::NoPen);
    p.setBrush(kSlate);
    p.drawRoundedRect(QRectF(4, 53, 56, 9), 3, 3);
    p.setBrush(kSky);
    p.drawRoundedRect(QRectF(44, 55.5, 4, 4), 1, 1);
    p.setBrush(QColor(0x7E, 0xE0, 0xA8));
    p.drawRoundedRect(QRectF(51, 55.5, 4, 4), 1, 1);
    p.setBrush(QColor(0x7D, 0x8A, 0x9C));
    p.drawRoundedRect(QRectF(8, 55.5, 10, 4), 1, 1);
    return img;
}

// The GIF tool: a film strip of frames.
QImage filmIcon16()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kSlate);
    p.drawRoundedRect(QRectF(2, 0, 12, 16), 1.5, 1.5);
    p.setBrush(Qt::white);
    for (int y = 1; y < 16; y += 3) {
        p.drawRect(QRectF(3, y, 1, 2));
        p.drawRect(QRectF(12, y, 1, 2));
    }
    p.setClipRect(QRectF(5, 1, 6, 6));
    drawLandscape(p, QRectF(5, 1, 6, 6), kDay);
    p.setClipRect(QRectF(5, 9, 6, 6));
    drawLandscape(p, QRectF(5, 9, 6, 6), kDusk);
    return img;
}

// ---------------------------------------------------------------------------------------
// Context-menu images (16 x 16)

void drawPage(QPainter& p, const QRectF& outer, const QColor& rim, bool lines)
{
    const QRectF r = inset(outer, 0.5);
    p.setPen(QPen(rim, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 1, 1);
    if (lines) {
        p.setPen(QPen(kSky, 1));
        for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2)
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

QImage copyIcon16()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    drawPage(p, QRectF(1, 1, 9, 11), kInkSoft, false);
    drawPage(p, QRectF(6, 4, 9, 11), kBlueDark, true);
    return img;
}

QImage cutIcon16()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(kSlate, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.6, 9.8), QPointF(10.6, 1.2));
    p.drawLine(QPointF(10.4, 9.8), QPointF(5.4, 1.2));
    p.setPen(QPen(kRed, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.6, 12.4), 2.4, 2.4);
    p.drawEllipse(QPointF(11.4, 12.4), 2.4, 2.4);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 6.4), 0.7, 0.7);
    return img;
}

QImage pasteIcon16()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(kAmberLine, 1));
    p.setBrush(QColor(0xE8, 0xAE, 0x52));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kSlate);
    p.drawRoundedRect(QRectF(4, 1, 5, 3), 1, 1);
    drawPage(p, QRectF(6, 5, 9, 11), kBlueDark, true);
    return img;
}

// ---------------------------------------------------------------------------------------
// Folder tree images (32 x 32)

QImage groupNodeIcon32()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    smooth(p);
    drawHierarchy(p, QRectF(0, 0, 32, 32));
    return img;
}

QImage folderNodeIcon32()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    smooth(p);
    drawFolder(p, QRectF(2, 4, 28, 25), 1, true);
    return img;
}

// ---------------------------------------------------------------------------------------
// Popup emblems (128 x 128): pale watermarks under the popup's text

QImage popupEmblem(int kind)
{
    QImage img = canvas(128, 128);
    QPainter p(&img);
    smooth(p);
    const QPointF c(64, 64);
    if (kind == 333) {
        QPainterPath tri;
        tri.moveTo(64, 10);
        tri.lineTo(120, 110);
        tri.lineTo(8, 110);
        tri.closeSubpath();
        QPainterPathStroker rounder;
        rounder.setWidth(14);
        rounder.setJoinStyle(Qt::RoundJoin);
        const QPainterPath body = rounder.createStroke(tri).united(tri);
        QLinearGradient g(QPointF(64, 4), QPointF(64, 118));
        g.setColorAt(0, QColor(0xFF, 0xFB, 0xF5));
        g.setColorAt(1, QColor(0xFF, 0xF2, 0xE3));
        p.setPen(QPen(QColor(0xFB, 0xDD, 0xB8), 2));
        p.setBrush(g);
        p.drawPath(body);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFC, 0xE2, 0xC2));
        p.drawRoundedRect(QRectF(57, 38, 14, 44), 7, 7);
        p.drawEllipse(QPointF(64, 96), 7.5, 7.5);
        return img;
    }
    const bool tip = kind == 111;
    const QColor inner = tip ? QColor(0xFB, 0xFD, 0xFF) : QColor(0xFA, 0xFE, 0xFB);
    const QColor outer = tip ? QColor(0xEE, 0xF4, 0xFD) : QColor(0xEE, 0xF9, 0xF2);
    const QColor rim = tip ? QColor(0xD3, 0xE3, 0xF7) : QColor(0xCC, 0xEC, 0xD7);
    const QColor mark = tip ? QColor(0xE0, 0xEB, 0xFA) : QColor(0xDE, 0xF3, 0xE5);
    QRadialGradient g(c - QPointF(14, 18), 70);
    g.setColorAt(0, inner);
    g.setColorAt(1, outer);
    p.setPen(QPen(rim, 2));
    p.setBrush(g);
    p.drawEllipse(c, 58, 58);
    p.setPen(QPen(withAlpha(rim, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 50, 50);
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    if (tip) {
        p.drawEllipse(QPointF(64, 35), 8, 8);
        p.drawRoundedRect(QRectF(56.5, 50, 15, 48), 7.5, 7.5);
    } else {
        p.setPen(QPen(mark, 15, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF tick;
        tick << QPointF(36, 66) << QPointF(56, 86) << QPointF(93, 46);
        p.drawPolyline(tick);
    }
    return img;
}

// ---------------------------------------------------------------------------------------
// The main icon: a blue tile holding a stack of photographs

void drawTile(QPainter& p, const QRectF& r, qreal radius)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(0x58, 0xA8, 0xFF));
    g.setColorAt(1, QColor(0x22, 0x55, 0xD0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

// A print with a white border and a deeper bottom border; drawn centred on the origin.
void drawPrint(QPainter& p, QSizeF size, const Scene& scene)
{
    const QRectF card(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    const qreal mat = size.width() * 0.07;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, mat * 0.9, mat * 0.9);
    const QRectF photo(
        card.left() + mat, card.top() + mat, card.width() - 2 * mat, card.height() - mat * 3.2);
    p.save();
    p.setClipPath(roundedRectPath(photo, mat * 0.4));
    drawLandscape(p, photo, scene);
    p.restore();
}

// The large icon, drawn in a 256 unit square and scaled to size.
void drawAppIcon(QPainter& p, qreal size)
{
    p.save();
    p.scale(size / 256, size / 256);
    drawTile(p, QRectF(12, 12, 232, 232), 54);
    const QSizeF card(140, 126);
    struct Placement
    {
        QPointF at;
        qreal angle;
        const Scene* scene;
    };
    const Placement cards[]
        = { { QPointF(118, 118), -12, &kDusk }, { QPointF(140, 142), 7, &kDay } };
    for (const Placement& c : cards) {
        QTransform t = p.transform();
        t.translate(c.at.x(), c.at.y());
        t.rotate(c.angle);
        QPainterPath shape;
        shape.addRoundedRect(
            QRectF(-card.width() / 2, -card.height() / 2, card.width(), card.height()), 9, 9);
        drawShadow(p, t.map(shape), int(std::max(1.0, size / 64)), QPointF(0, size / 64),
            QColor(10, 30, 90, 110));
        p.save();
        p.translate(c.at);
        p.rotate(c.angle);
        drawPrint(p, card, *c.scene);
        p.restore();
    }
    p.restore();
}

QImage appIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    smooth(p);
    if (size >= 48) {
        drawAppIcon(p, size);
        return img;
    }
    // Small sizes are drawn on the pixel grid of 32 or 16: the stack becomes two upright
    // prints. The desktop's in-between sizes (22, 24) scale the 32 drawing.
    if (size >= 22) {
        p.scale(size / 32.0, size / 32.0);
        drawTile(p, QRectF(1, 1, 30, 30), 7);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(Qt::white, 150));
        p.drawRoundedRect(QRectF(10, 5, 17, 14), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(5, 10, 19, 17), 1.5, 1.5);
        p.setClipRect(QRectF(7, 12, 15, 10));
        drawLandscape(p, QRectF(7, 12, 15, 10), kDay);
    } else {
        drawTile(p, QRectF(0, 0, 16, 16), 3.5);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(Qt::white, 140));
        p.drawRect(QRectF(6, 2, 8, 7));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 5, 10, 9));
        p.setClipRect(QRectF(3, 6, 8, 6));
        drawLandscape(p, QRectF(3, 6, 8, 6), kDay);
    }
    return img;
}

// ---------------------------------------------------------------------------------------
// Wait window picture: the database being checked

QImage waitPicture()
{
    QImage img = canvas(128, 128);
    QPainter p(&img);
    smooth(p);
    const qreal left = 14, right = 90, rx = (right - left) / 2, ry = 11;
    const qreal top = 20, bottom = 104;
    const qreal cx = left + rx;

    QLinearGradient side(QPointF(left, 0), QPointF(right, 0));
    side.setColorAt(0, QColor(0x5C, 0xA6, 0xF8));
    side.setColorAt(0.55, QColor(0x3A, 0x86, 0xEE));
    side.setColorAt(1, QColor(0x22, 0x5F, 0xC9));
    QPainterPath body;
    body.moveTo(left, top);
    body.lineTo(left, bottom);
    body.arcTo(QRectF(left, bottom - ry, 2 * rx, 2 * ry), 180, 180);
    body.lineTo(right, top);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(side);
    p.drawPath(body);
    // the bands between the stacked discs
    p.setPen(QPen(withAlpha(Qt::white, 170), 2.5));
    p.setBrush(Qt::NoBrush);
    for (qreal y : { 48.0, 76.0 })
        p.drawArc(QRectF(left, y - ry, 2 * rx, 2 * ry), 180 * 16, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9A, 0xCB, 0xFF));
    p.drawEllipse(QPointF(cx, top), rx, ry);
    p.setBrush(QColor(0xC4, 0xE0, 0xFF));
    p.drawEllipse(QPointF(cx, top), rx * 0.72, ry * 0.62);

    // A badge with turning arrows: the check is under way.
    const QPointF bc(94, 92);
    const qreal br = 27;
    knockOut(p, circlePath(bc, br), 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(bc, br, br);
    const qreal ar = 14;
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF arcBox(bc.x() - ar, bc.y() - ar, 2 * ar, 2 * ar);
    p.drawArc(arcBox, 20 * 16, 130 * 16);
    p.drawArc(arcBox, 200 * 16, 130 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    auto head = [&](qreal angleDeg) {
        const qreal a = qDegreesToRadians(angleDeg);
        const QPointF at(bc.x() + ar * std::cos(a), bc.y() - ar * std::sin(a));
        const QPointF tangent(-std::sin(a), -std::cos(a)); // clockwise on screen
        const QPointF normal(std::cos(a), -std::sin(a));
        QPolygonF tri;
        tri << at + tangent * 8 << at + normal * 6.5 << at - normal * 6.5;
        p.drawPolygon(tri);
    };
    head(20);
    head(200);
    return img;
}

// ---------------------------------------------------------------------------------------
// Placeholder thumbnail: a picture that could not be read

QImage placeholder()
{
    QImage img = canvas(150, 150, Qt::white);
    QImage glyph = canvas(150, 150);
    {
        QPainter g(&glyph);
        smooth(g);
        const QRectF frame(43, 50, 64, 50);
        const Scene faded { QColor(0xEE, 0xF1, 0xF5), QColor(0xF6, 0xF8, 0xFA),
            QColor(0xE4, 0xE8, 0xEE), QColor(0xDA, 0xDF, 0xE6), QColor(0xE4, 0xE8, 0xEE) };
        drawPhoto(g, frame, 2, 5, faded, QColor(0xCC, 0xD2, 0xDB));
    }
    // Split the picture along a jagged crack and tilt the halves apart.
    QPolygonF crack;
    crack << QPointF(80, 44) << QPointF(72, 62) << QPointF(81, 71) << QPointF(70, 86)
          << QPointF(77, 106);
    QPolygonF leftPart = crack;
    leftPart << QPointF(30, 106) << QPointF(30, 44);
    QPolygonF rightPart = crack;
    rightPart << QPointF(120, 106) << QPointF(120, 44);
    QPainter p(&img);
    smooth(p);
    auto half = [&](const QPolygonF& area, QPointF pivot, qreal angle, QPointF shift) {
        p.save();
        p.translate(pivot + shift);
        p.rotate(angle);
        p.translate(-pivot);
        QPainterPath clip;
        clip.addPolygon(area);
        p.setClipPath(clip);
        p.drawImage(0, 0, glyph);
        p.restore();
    };
    half(leftPart, QPointF(43, 100), -4, QPointF(-2, 0));
    half(rightPart, QPointF(107, 100), 4, QPointF(2, 0));
    return img;
}

// ---------------------------------------------------------------------------------------
// The add dialog's pictures: schematic trees with the new node highlighted

enum class Role { Plain, Selected, Added };

struct TreeRow
{
    int level;
    bool group;
    QString text;
    Role role;
};

struct TreeGlyphs
{
    QImage group;
    QImage folder;
};

// A pill ending at `right`, at least 42 wide and wider when its word needs it.
void drawPill(
    QPainter& p, qreal right, qreal centreY, const QColor& fill, const QString& text, Tongue tongue)
{
    const QFont font = textFont(tongue, 12);
    const qreal width = std::max<qreal>(42, std::ceil(textWidth(text, font)) + 14);
    const QRectF r(right - width, centreY - 10, width, 20);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, text);
}

void drawTreeCard(QPainter& p, const QRectF& card, const std::vector<TreeRow>& rows,
    const TreeGlyphs& glyphs, Tongue tongue)
{
    p.setPen(QPen(kLine, 1));
    p.setBrush(kPanel);
    p.drawRoundedRect(inset(card, 0.5), 12, 12);

    const qreal rowH = 38;
    const qreal top = card.top() + std::round((card.height() - qreal(rows.size()) * rowH) / 2);
    auto glyphX = [&](int level) { return card.left() + 16 + level * 35; };
    auto rowY = [&](std::size_t i) { return top + qreal(i) * rowH; };

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TreeRow& row = rows[i];
        if (row.role == Role::Plain)
            continue;
        const bool added = row.role == Role::Added;
        const QRectF band(glyphX(row.level) - 7, rowY(i) + 1,
            card.right() - 10 - (glyphX(row.level) - 7), rowH - 2);
        p.setPen(QPen(added ? QColor(0x8F, 0xD9, 0xAE) : kSky, 1.2));
        p.setBrush(added ? kGreenPale : kSkyPale);
        p.drawRoundedRect(band, 8, 8);
        const QString tag = added ? say(tongue, QStringLiteral("新建"), QStringLiteral("New"))
                                  : say(tongue, QStringLiteral("选中"), QStringLiteral("Selected"));
        drawPill(p, band.right() - 8, band.center().y(), added ? kGreen : kBlue, tag, tongue);
    }

    // connectors from each parent's glyph down to its children
    p.setPen(QPen(QColor(0xB9, 0xC3, 0xD0), 1));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].level == 0)
            continue;
        std::size_t parent = i;
        while (parent > 0 && rows[parent].level >= rows[i].level)
            --parent;
        const qreal x = std::round(glyphX(rows[parent].level) + 16) + 0.5;
        const qreal y = std::round(rowY(i) + rowH / 2) + 0.5;
        p.drawLine(QPointF(x, rowY(parent) + 35), QPointF(x, y));
        p.drawLine(QPointF(x, y), QPointF(glyphX(rows[i].level) - 2, y));
    }

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TreeRow& row = rows[i];
        const qreal x = glyphX(row.level);
        p.drawImage(QPointF(x, rowY(i) + 3), row.group ? glyphs.group : glyphs.folder);
        const bool added = row.role == Role::Added;
        const QFont font = textFont(tongue, 15, added);
        drawText(p, QPointF(x + 40, rowY(i) + rowH / 2 + 5.5), row.text, font,
            added ? kGreenDark : kInk);
    }
}

void drawPreviewHeader(
    QPainter& p, const QColor& accent, const QString& title, const QString& detail, Tongue tongue)
{
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(18, 22, 5, 46), 2.5, 2.5);
    drawText(p, QPointF(34, 43), title, textFont(tongue, 21, true), kInk);
    drawText(p, QPointF(34, 65), detail, textFont(tongue, 13), kInkSoft);
}

const QRectF kPreviewCard(16, 86, 337, 259);

// The sample tree's names.
struct TreeNames
{
    QString album, work, newGroup, newFolder, scenery, family, papers;
};

TreeNames treeNames(Tongue t)
{
    return { say(t, QStringLiteral("我的相册"), QStringLiteral("My album")),
        say(t, QStringLiteral("工作资料"), QStringLiteral("Work")),
        say(t, QStringLiteral("新树结构"), QStringLiteral("New group")),
        say(t, QStringLiteral("新文件夹"), QStringLiteral("New folder")),
        say(t, QStringLiteral("风景"), QStringLiteral("Scenery")),
        say(t, QStringLiteral("家人"), QStringLiteral("Family")),
        say(t, QStringLiteral("证件"), QStringLiteral("Papers")) };
}

QImage addPreview(int code, const TreeGlyphs& glyphs, Tongue t)
{
    QImage img = canvas(369, 361, Qt::white);
    QPainter p(&img);
    smooth(p);
    const TreeNames names = treeNames(t);
    const QString& album = names.album;
    const QString& work = names.work;
    const QString& newGroup = names.newGroup;
    const QString& newFolder = names.newFolder;
    const QString& scenery = names.scenery;
    const QString& family = names.family;
    const QString& papers = names.papers;
    std::vector<TreeRow> rows;
    switch (code) {
    case 1:
        drawPreviewHeader(p, kBlue,
            say(t, QStringLiteral("添加同级树结构"), QStringLiteral("Add a group beside it")),
            say(t, QStringLiteral("在选中节点的上方插入一个同级树结构"),
                QStringLiteral("Inserts a group above the selected node")),
            t);
        rows = { { 0, true, work, Role::Plain }, { 1, false, papers, Role::Plain },
            { 0, true, newGroup, Role::Added }, { 0, true, album, Role::Selected },
            { 1, false, scenery, Role::Plain }, { 1, false, family, Role::Plain } };
        break;
    case 2:
        drawPreviewHeader(p, kBlue,
            say(t, QStringLiteral("添加下级树结构"), QStringLiteral("Add a group under it")),
            say(t, QStringLiteral("在选中树结构的末尾添加一个下级树结构"),
                QStringLiteral("Adds a group at the end of the selected group")),
            t);
        rows = { { 0, true, album, Role::Selected }, { 1, false, scenery, Role::Plain },
            { 1, false, family, Role::Plain }, { 1, true, newGroup, Role::Added },
            { 0, true, work, Role::Plain } };
        break;
    case 3:
        drawPreviewHeader(p, kAmberBack,
            say(t, QStringLiteral("添加同级文件夹"), QStringLiteral("Add a folder beside it")),
            say(t, QStringLiteral("在选中节点的上方插入一个同级文件夹"),
                QStringLiteral("Inserts a folder above the selected node")),
            t);
        rows = { { 0, true, album, Role::Plain }, { 1, false, scenery, Role::Plain },
            { 1, false, newFolder, Role::Added }, { 1, false, family, Role::Selected },
            { 0, true, work, Role::Plain } };
        break;
    default:
        drawPreviewHeader(p, kAmberBack,
            say(t, QStringLiteral("添加下级文件夹"), QStringLiteral("Add a folder under it")),
            say(t, QStringLiteral("在选中树结构的末尾添加一个下级文件夹"),
                QStringLiteral("Adds a folder at the end of the selected group")),
            t);
        rows = { { 0, true, album, Role::Selected }, { 1, false, scenery, Role::Plain },
            { 1, false, family, Role::Plain }, { 1, false, newFolder, Role::Added },
            { 0, true, work, Role::Plain } };
        break;
    }
    drawTreeCard(p, kPreviewCard, rows, glyphs, t);
    return img;
}

QImage cancelPreview(const TreeGlyphs& glyphs, Tongue t)
{
    QImage img = canvas(369, 361, Qt::white);
    QPainter p(&img);
    smooth(p);
    drawPreviewHeader(p, kInkFaint, say(t, QStringLiteral("取消添加"), QStringLiteral("Cancel")),
        say(t, QStringLiteral("不添加任何树结构或文件夹，关闭对话框"),
            QStringLiteral("Adds no group or folder and closes the dialog")),
        t);
    const TreeNames names = treeNames(t);
    const std::vector<TreeRow> rows
        = { { 0, true, names.album, Role::Plain }, { 1, false, names.scenery, Role::Plain },
              { 1, false, names.family, Role::Plain }, { 0, true, names.work, Role::Plain } };
    p.setOpacity(0.35);
    drawTreeCard(p, kPreviewCard, rows, glyphs, t);
    p.setOpacity(1);

    const QPointF c = kPreviewCard.center() + QPointF(0, 6);
    drawShadow(p, circlePath(c, 46), 6, QPointF(0, 4), QColor(40, 50, 70, 60));
    p.setPen(QPen(QColor(0xF4, 0xC7, 0xC9), 3));
    p.setBrush(Qt::white);
    p.drawEllipse(c, 46, 46);
    p.setPen(QPen(QColor(0xE3, 0x7B, 0x80), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-15, -15), c + QPointF(15, 15));
    p.drawLine(c + QPointF(-15, 15), c + QPointF(15, -15));
    return img;
}

// The small pictures beside the radio buttons: the same four trees in miniature.
void drawMiniNode(QPainter& p, QPointF at, bool group, const QImage& groupGlyph)
{
    if (group) {
        p.drawImage(QRectF(at.x() - 0.5, at.y() - 1, 12, 12), groupGlyph);
    } else {
        drawFolder(p, QRectF(at.x(), at.y(), 11, 10), 1, false);
    }
}

QImage addSmall(int code, const TreeGlyphs& glyphs)
{
    const QImage group
        = glyphs.group.scaled(12, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage img = canvas(59, 50);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(kLine, 1));
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(0.5, 0.5, 58, 49), 5, 5);

    struct MiniRow
    {
        int level;
        bool group;
        Role role;
    };
    std::vector<MiniRow> rows;
    switch (code) {
    case 1:
        rows = { { 0, true, Role::Added }, { 0, true, Role::Selected }, { 1, false, Role::Plain } };
        break;
    case 2:
        rows = { { 0, true, Role::Selected }, { 1, false, Role::Plain }, { 1, true, Role::Added } };
        break;
    case 3:
        rows
            = { { 0, true, Role::Plain }, { 1, false, Role::Added }, { 1, false, Role::Selected } };
        break;
    default:
        rows
            = { { 0, true, Role::Selected }, { 1, false, Role::Plain }, { 1, false, Role::Added } };
        break;
    }
    const qreal rowH = 14;
    const qreal top = 4;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const qreal y = top + qreal(i) * rowH;
        const qreal x = 5 + rows[i].level * 10;
        if (rows[i].role != Role::Plain) {
            const bool added = rows[i].role == Role::Added;
            p.setPen(QPen(added ? QColor(0x8F, 0xD9, 0xAE) : kSky, 1));
            p.setBrush(added ? kGreenPale : kSkyPale);
            p.drawRoundedRect(QRectF(x - 2.5, y + 0.5, 56 - x, rowH - 1), 3, 3);
        }
        if (rows[i].level > 0) {
            p.setPen(QPen(QColor(0xB9, 0xC3, 0xD0), 1));
            p.drawLine(QPointF(8.5, y - 2), QPointF(8.5, y + 7.5));
            p.drawLine(QPointF(8.5, y + 7.5), QPointF(x - 1, y + 7.5));
        }
        drawMiniNode(p, QPointF(x, y + 2), rows[i].group, group);
        const QColor bar = rows[i].role == Role::Added ? kGreen
            : rows[i].role == Role::Selected           ? kBlue
                                                       : QColor(0xC9, 0xD1, 0xDC);
        p.setPen(Qt::NoPen);
        p.setBrush(bar);
        p.drawRoundedRect(QRectF(x + 14, y + 5.5, 37 - x, 3), 1.5, 1.5);
    }
    return img;
}

// ---------------------------------------------------------------------------------------
// Splash and about pictures

void drawBackdrop(QPainter& p, const QRectF& r)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(0x12, 0x2A, 0x62));
    g.setColorAt(0.55, QColor(0x22, 0x57, 0xC6));
    g.setColorAt(1, QColor(0x3F, 0x9E, 0xF0));
    p.fillRect(r, g);
    // soft light spots
    struct Spot
    {
        qreal fx, fy, fr;
        int alpha;
    };
    const Spot spots[]
        = { { 0.88, 0.12, 0.42, 34 }, { 0.12, 0.95, 0.38, 22 }, { 0.55, 0.55, 0.30, 14 } };
    for (const Spot& s : spots) {
        const QPointF c(r.left() + s.fx * r.width(), r.top() + s.fy * r.height());
        const qreal rad = s.fr * r.width();
        QRadialGradient light(c, rad);
        light.setColorAt(0, QColor(255, 255, 255, s.alpha));
        light.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(r, light);
    }
}

QImage splashPicture(Tongue tongue)
{
    QImage img = canvas(800, 600, Qt::white);
    QPainter p(&img);
    smooth(p);
    drawBackdrop(p, QRectF(0, 0, 800, 600));

    // a fan of prints on the right
    struct Placement
    {
        QPointF at;
        qreal angle;
        const Scene* scene;
    };
    const QSizeF card(250, 226);
    const Placement cards[] = { { QPointF(532, 236), -15, &kNight },
        { QPointF(634, 262), 9, &kDusk }, { QPointF(572, 362), -3, &kDay } };
    for (const Placement& c : cards) {
        QTransform t;
        t.translate(c.at.x(), c.at.y());
        t.rotate(c.angle);
        QPainterPath shape;
        shape.addRoundedRect(
            QRectF(-card.width() / 2, -card.height() / 2, card.width(), card.height()), 14, 14);
        drawShadow(p, t.map(shape), 10, QPointF(0, 12), QColor(5, 20, 60, 120));
        p.save();
        p.setTransform(t);
        drawPrint(p, card, *c.scene);
        p.restore();
    }

    // the name
    p.save();
    p.translate(64, 150);
    drawAppIcon(p, 84);
    p.restore();
    drawText(p, QPointF(60, 318), QStringLiteral("Zarvo"), latinFont(92, true), Qt::white);
    // Left of the prints: a longer English title gets a smaller size, its motto two lines.
    const QString title = say(
        tongue, QStringLiteral("图片存储/浏览工具"), QStringLiteral("Picture store and viewer"));
    QFont titleFont = textFont(tongue, 34);
    while (textWidth(title, titleFont) > 310)
        titleFont.setPixelSize(titleFont.pixelSize() - 1);
    drawText(p, QPointF(66, 372), title, titleFont, withAlpha(Qt::white, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xC8, 0x3D));
    p.drawRoundedRect(QRectF(68, 396, 56, 5), 2.5, 2.5);
    const QStringList motto = tongue == Tongue::English
        ? QStringList { QStringLiteral("Keeps your pictures safe"),
              QStringLiteral("in one database file") }
        : QStringList { QStringLiteral("把图片安全地保存在一个数据库文件里") };
    for (qsizetype i = 0; i < motto.size(); ++i)
        drawText(p, QPointF(66, 436 + qreal(i) * 26), motto[i], textFont(tongue, 18),
            withAlpha(Qt::white, 200));
    drawText(p, QPointF(66, 560),
        say(tongue, QStringLiteral("版本 0.1"), QStringLiteral("Version 0.1")),
        textFont(tongue, 15), withAlpha(Qt::white, 170));
    const QString starting = say(tongue, QStringLiteral("正在启动……"), QStringLiteral("Starting…"));
    drawText(p, QPointF(800 - 64 - textWidth(starting, textFont(tongue, 15)), 560), starting,
        textFont(tongue, 15), withAlpha(Qt::white, 170));
    return img;
}

QImage aboutPicture(Tongue t)
{
    QImage img = canvas(379, 226, Qt::white);
    QPainter p(&img);
    smooth(p);
    QLinearGradient panel(QPointF(0, 0), QPointF(128, 226));
    panel.setColorAt(0, QColor(0xF1, 0xF7, 0xFF));
    panel.setColorAt(1, QColor(0xD9, 0xE8, 0xFC));
    p.fillRect(QRectF(0, 0, 128, 226), panel);
    drawShadow(p, roundedRectPath(QRectF(20.5, 61.5, 87, 87), 20), 4, QPointF(0, 4),
        QColor(20, 60, 140, 70));
    p.save();
    p.translate(16, 57);
    drawAppIcon(p, 96);
    p.restore();

    const qreal x = 150;
    drawText(p, QPointF(x - 2, 66), QStringLiteral("Zarvo"), latinFont(36, true), kInk);
    drawText(p, QPointF(x, 96),
        say(t, QStringLiteral("图片存储/浏览工具"), QStringLiteral("Picture store and viewer")),
        textFont(t, 17), kInk);
    drawText(p, QPointF(x, 122), say(t, QStringLiteral("版本 0.1"), QStringLiteral("Version 0.1")),
        textFont(t, 13), kBlue);
    p.setPen(QPen(kLine, 1));
    p.drawLine(QPointF(x, 140.5), QPointF(356, 140.5));
    // English needs two lines where Chinese fits in one.
    const QStringList motto = t == Tongue::English
        ? QStringList { QStringLiteral("Keeps pictures safe in one"),
              QStringLiteral("database file") }
        : QStringList { QStringLiteral("把图片安全地保存在一个数据库文件里") };
    for (qsizetype i = 0; i < motto.size(); ++i)
        drawText(p, QPointF(x, 166 + qreal(i) * 16), motto[i], textFont(t, 12), kInkSoft);
    drawText(
        p, QPointF(x, 202), QStringLiteral("© 2026 Zarvo developers"), latinFont(10), kInkFaint);
    return img;
}

// ---------------------------------------------------------------------------------------
// Click sounds: short decaying tones, 16-bit PCM mono at 44100 Hz

constexpr int kRate = 44100;

struct Tone
{
    double ms; // length
    double f0, f1; // pitch glides from f0 to f1
    double decayMs; // exponential decay time constant
    double overtone; // frequency ratio of the second partial
    double overGain; // its level
    double peak; // peak level, fraction of full scale
};

std::vector<qint16> synthesise(const Tone& t)
{
    const int n = int(std::lround(t.ms / 1000.0 * kRate));
    std::vector<double> wave(n);
    double phase = 0;
    double phase2 = 0;
    const double attack = 0.0015 * kRate;
    const double fade = 0.012 * kRate;
    for (int i = 0; i < n; ++i) {
        const double s = double(i) / kRate;
        const double f = t.f0 * std::pow(t.f1 / t.f0, double(i) / n);
        phase += 2 * std::numbers::pi * f / kRate;
        phase2 += 2 * std::numbers::pi * f * t.overtone / kRate;
        double env = std::exp(-s * 1000.0 / t.decayMs);
        if (i < attack)
            env *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / attack);
        if (i > n - 1 - fade)
            env *= 0.5 - 0.5 * std::cos(std::numbers::pi * (n - 1 - i) / fade);
        const double env2 = std::exp(-s * 2000.0 / t.decayMs);
        wave[i] = env * (std::sin(phase) + t.overGain * env2 * std::sin(phase2));
    }
    double maxAbs = 0;
    for (double v : wave)
        maxAbs = std::max(maxAbs, std::abs(v));
    std::vector<qint16> out(n);
    for (int i = 0; i < n; ++i)
        out[i] = qint16(std::lround(wave[i] / maxAbs * t.peak * 32767));
    out.front() = 0;
    out.back() = 0;
    return out;
}

void putLE(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

QByteArray wavFile(const std::vector<qint16>& samples)
{
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray out;
    out.append("RIFF");
    putLE(out, 36 + dataBytes, 4);
    out.append("WAVE");
    out.append("fmt ");
    putLE(out, 16, 4); // chunk size
    putLE(out, 1, 2); // PCM
    putLE(out, 1, 2); // mono
    putLE(out, kRate, 4); // sample rate
    putLE(out, kRate * 2, 4); // byte rate
    putLE(out, 2, 2); // block align
    putLE(out, 16, 2); // bits per sample
    out.append("data");
    putLE(out, dataBytes, 4);
    for (qint16 s : samples)
        putLE(out, quint16(s), 2);
    return out;
}

// ---------------------------------------------------------------------------------------
// Output

class Writer
{
public:
    explicit Writer(QString root)
        : m_root(std::move(root))
    {
    }

    bool ok() const { return m_ok; }
    const QStringList& written() const { return m_written; }

    void image(const QString& rel, const QImage& img, bool alpha = true)
    {
        const QString path = prepare(rel);
        bool saved = false;
        if (rel.endsWith(QStringLiteral(".jpg")))
            saved = img.convertToFormat(QImage::Format_RGB32).save(path, "JPEG", 92);
        else
            saved = img.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32)
                        .save(path, "PNG");
        done(rel, saved);
    }

    void bytes(const QString& rel, const QByteArray& data)
    {
        QFile f(prepare(rel));
        done(rel, f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
    }

private:
    QString prepare(const QString& rel)
    {
        const QString path = m_root + QLatin1Char('/') + rel;
        QDir().mkpath(QFileInfo(path).absolutePath());
        return path;
    }

    void done(const QString& rel, bool saved)
    {
        if (saved) {
            m_written << rel;
        } else {
            std::fprintf(stderr, "zarvo_artwork: cannot write %s\n", qPrintable(rel));
            m_ok = false;
        }
    }

    QString m_root;
    QStringList m_written;
    bool m_ok = true;
};

void writeAll(Writer& w)
{
    struct Tool
    {
        const char* name;
        std::function<QImage()> draw;
    };
    const Tool tools[] = {
        { "addfile", [] { return actionIcon(64, kLarge, Base::Photo, Action::Add); } },
        { "editfile", [] { return actionIcon(64, kLarge, Base::Photo, Action::Edit); } },
        { "delfile", [] { return actionIcon(64, kLarge, Base::Photo, Action::Delete); } },
        { "findfile", [] { return actionIcon(64, kLarge, Base::Photo, Action::Find); } },
        { "addfolder", [] { return actionIcon(64, kLarge, Base::Folder, Action::Add); } },
        { "editfolder", [] { return actionIcon(64, kLarge, Base::Folder, Action::Edit); } },
        { "delfolder", [] { return actionIcon(64, kLarge, Base::Folder, Action::Delete); } },
        { "findfolder", [] { return actionIcon(64, kLarge, Base::Folder, Action::Find); } },
        { "help", [] { return helpIcon(64); } },
        { "min", [] { return trayIcon64(); } },
        { "close", [] { return exitIcon(64); } },
    };
    for (const Tool& t : tools)
        w.image(QStringLiteral("images/toolbar/btn_%1.png").arg(QLatin1String(t.name)), t.draw());

    const QImage menu[] = {
        actionIcon(16, kSmall, Base::Folder, Action::Add), // 0 add folder
        actionIcon(16, kSmall, Base::Folder, Action::Delete), // 1 delete folder
        actionIcon(16, kSmall, Base::Photo, Action::Add), // 2 add file
        actionIcon(16, kSmall, Base::Photo, Action::Delete), // 3 delete file
        actionIcon(16, kSmall, Base::Photo, Action::Find), // 4 find file
        actionIcon(16, kSmall, Base::Photo, Action::Edit), // 5 edit file
        actionIcon(16, kSmall, Base::Folder, Action::Find), // 6 find folder
        exitIcon(16), // 7 exit
        actionIcon(16, kSmall, Base::Folder, Action::Edit), // 8 edit folder
        actionIcon(16, kSmall, Base::Stack, Action::Delete), // 9 delete all
        actionIcon(16, kSmall, Base::Stack, Action::Open), // 10 open all
        helpIcon(16), // 11 help
        filmIcon16(), // 12 GIF tool
    };
    for (int i = 0; i < 13; ++i)
        w.image(QStringLiteral("images/menu/%1.png").arg(i), menu[i]);

    w.image(QStringLiteral("images/popmenu/0.png"), copyIcon16());
    w.image(QStringLiteral("images/popmenu/1.png"), cutIcon16());
    w.image(QStringLiteral("images/popmenu/2.png"), pasteIcon16());

    const TreeGlyphs glyphs { groupNodeIcon32(), folderNodeIcon32() };
    w.image(QStringLiteral("images/tree/0.png"), glyphs.group);
    w.image(QStringLiteral("images/tree/1.png"), glyphs.folder);

    for (int kind : { 111, 222, 333 })
        w.image(QStringLiteral("images/popup/%1.png").arg(kind), popupEmblem(kind));

    w.image(QStringLiteral("images/wait.png"), waitPicture());
    w.image(QStringLiteral("images/zarvo.png"), appIcon(256));
    w.image(QStringLiteral("images/zarvo-32.png"), appIcon(32));
    w.image(QStringLiteral("images/zarvo-16.png"), appIcon(16));
    // The desktop's menus and launchers find the icon by the freedesktop icon theme layout.
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256, 512 })
        w.image(QStringLiteral("icons/hicolor/%1x%1/apps/zarvo.png").arg(size), appIcon(size));
    w.image(QStringLiteral("images/placeholder.png"), placeholder(), false);

    for (int code = 1; code <= 4; ++code)
        w.image(QStringLiteral("images/tad/small%1.png").arg(code), addSmall(code, glyphs));
    // The pictures with words: Chinese in images/, English in images/en/.
    for (Tongue t : { Tongue::Chinese, Tongue::English }) {
        const QString dir = say(t, QStringLiteral("images/"), QStringLiteral("images/en/"));
        w.image(dir + QStringLiteral("splash.jpg"), splashPicture(t));
        w.image(dir + QStringLiteral("about.png"), aboutPicture(t), false);
        for (int code = 1; code <= 4; ++code)
            w.image(
                dir + QStringLiteral("tad/%1.png").arg(code), addPreview(code, glyphs, t), false);
        w.image(dir + QStringLiteral("tad/5.png"), cancelPreview(glyphs, t), false);
    }

    // toolbar hover: a light, high tick; menu: a rounder, lower tock
    w.bytes(QStringLiteral("sounds/ENC_004.wav"),
        wavFile(synthesise({ 45, 2100, 1750, 7, 2.0, 0.25, 0.30 })));
    w.bytes(QStringLiteral("sounds/ENC_002.wav"),
        wavFile(synthesise({ 65, 1150, 980, 12, 2.76, 0.18, 0.28 })));
}

// ---------------------------------------------------------------------------------------
// Contact sheets for review

QImage load(const QString& root, const QString& rel)
{
    return QImage(root + QLatin1Char('/') + rel);
}

class Sheet
{
public:
    Sheet(int w, int h)
        : m_img(canvas(w, h, QColor(0xEC, 0xEF, 0xF3)))
        , m_p(&m_img)
    {
        smooth(m_p);
    }

    QPainter& painter() { return m_p; }

    void title(qreal y, const QString& text)
    {
        drawText(m_p, QPointF(16, y), text, cjkFont(16, true), kInk);
    }

    void put(QPointF at, const QImage& img, int zoom, const QString& label)
    {
        const QSizeF size(img.width() * zoom, img.height() * zoom);
        m_p.save();
        m_p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        m_p.fillRect(QRectF(at, size), Qt::white);
        m_p.drawImage(QRectF(at, size), img);
        m_p.restore();
        if (!label.isEmpty())
            drawText(m_p, at + QPointF(0, size.height() + 14), label, cjkFont(11), kInkSoft);
    }

    bool save(const QString& path)
    {
        m_p.end();
        return m_img.save(path);
    }

private:
    QImage m_img;
    QPainter m_p;
};

bool writeSheets(const QString& root, const QString& dir)
{
    QDir().mkpath(dir);
    const char* tools[] = { "addfile", "editfile", "delfile", "findfile", "addfolder", "editfolder",
        "delfolder", "findfolder", "help", "min", "close" };
    const int lefts[] = { 0, 72, 144, 216, 304, 376, 448, 520, 608, 680, 753 };
    const char* hints[] = { "添加文件", "修改文件", "删除文件", "查找文件", "添加文件夹",
        "修改文件夹", "删除文件夹", "查找文件夹", "帮助", "最小化窗口", "退出程序" };

    Sheet icons(1400, 1230);
    icons.title(24, QStringLiteral("工具栏 (73x72 按钮, 白色工具栏)"));
    QPainter& p = icons.painter();
    p.fillRect(QRectF(16, 36, 830, 74), Qt::white);
    for (int i = 0; i < 11; ++i) {
        const QImage img
            = load(root, QStringLiteral("images/toolbar/btn_%1.png").arg(QLatin1String(tools[i])));
        p.drawImage(QPointF(16 + lefts[i] + 4, 37 + 4), img);
        drawText(
            p, QPointF(16 + lefts[i] + 8, 126), QString::fromUtf8(hints[i]), cjkFont(11), kInkSoft);
    }
    // the same glyphs on the hover colour and at 2x
    p.fillRect(QRectF(870, 36, 73 * 2 + 4, 74), kSky);
    p.drawImage(QPointF(874, 41), load(root, QStringLiteral("images/toolbar/btn_addfolder.png")));
    p.drawImage(QPointF(946, 41), load(root, QStringLiteral("images/toolbar/btn_findfile.png")));

    icons.title(160, QStringLiteral("菜单图片 0-12 (1x 与 4x)"));
    const char* menuNames[] = { "添加文件夹", "删除文件夹", "添加文件", "删除文件", "查找文件",
        "修改文件", "查找文件夹", "退出", "修改文件夹", "全部删除", "全部打开", "帮助", "Gif工具" };
    p.fillRect(QRectF(16, 172, 200, 13 * 22 + 8), Qt::white);
    for (int i = 0; i < 13; ++i) {
        const QImage img = load(root, QStringLiteral("images/menu/%1.png").arg(i));
        p.drawImage(QPointF(24, 178 + i * 22), img);
        drawText(p, QPointF(48, 191 + i * 22), QString::fromUtf8(menuNames[i]), cjkFont(12), kInk);
        icons.put(
            QPointF(240 + (i % 7) * 90, 172 + (i / 7) * 100), img, 4, QStringLiteral("%1").arg(i));
    }
    icons.title(500, QStringLiteral("右键菜单 0-2, 树图片 0-1, 主图标"));
    for (int i = 0; i < 3; ++i) {
        const QImage img = load(root, QStringLiteral("images/popmenu/%1.png").arg(i));
        icons.put(QPointF(16 + i * 90, 516), img, 4, QStringLiteral("pop %1").arg(i));
        icons.put(QPointF(16 + i * 30, 600), img, 1, QString());
    }
    for (int i = 0; i < 2; ++i) {
        const QImage img = load(root, QStringLiteral("images/tree/%1.png").arg(i));
        icons.put(QPointF(300 + i * 150, 516), img, 4, QStringLiteral("tree %1").arg(i));
        p.drawImage(QPointF(600, 520 + i * 40), img);
        drawText(p, QPointF(640, 542 + i * 40),
            i == 0 ? QStringLiteral("我的相册") : QStringLiteral("风景"), cjkFont(12), kInk);
    }
    icons.put(QPointF(720, 516), load(root, QStringLiteral("images/zarvo.png")), 1,
        QStringLiteral("zarvo.png"));
    icons.put(QPointF(990, 516), load(root, QStringLiteral("images/zarvo-32.png")), 4,
        QStringLiteral("32"));
    icons.put(QPointF(1130, 516), load(root, QStringLiteral("images/zarvo-16.png")), 4,
        QStringLiteral("16"));
    icons.put(QPointF(990, 660), load(root, QStringLiteral("images/zarvo-32.png")), 1, QString());
    icons.put(QPointF(1040, 660), load(root, QStringLiteral("images/zarvo-16.png")), 1, QString());

    icons.title(800, QStringLiteral("提示窗 (135 宽, 文字居中压在图上)"));
    const int kinds[] = { 111, 222, 333 };
    const int heights[] = { 135, 180, 160 };
    const int tops[] = { 0, 40, 20 };
    const QColor colours[] = { Qt::black, kSky, Qt::red };
    const char* titles[] = { "    提示:", "恭喜:", "警告:" };
    const char* texts[] = { "请选择一个树或文件夹", "文件夹 风景 创建成功!",
        "数据库修复失败，可能是您的计算机中没有安装 ADO 引擎，或者是数据库文件正被其它程序打开" };
    for (int i = 0; i < 3; ++i) {
        const QImage emblem = load(root, QStringLiteral("images/popup/%1.png").arg(kinds[i]));
        icons.put(QPointF(16 + i * 150, 816), emblem, 1, QString());
        const QRectF face(500 + i * 160, 816, 135, heights[i]);
        p.fillRect(face, Qt::white);
        p.drawImage(face.topLeft() + QPointF(0, tops[i]), emblem);
        QFont f = cjkFont(12);
        p.setFont(cjkFont(12, true));
        p.setPen(colours[i]);
        p.drawText(face.topLeft() + QPointF(48, 20), QString::fromUtf8(titles[i]));
        p.setFont(f);
        p.drawText(QRectF(face.left() + 7, face.top(), 120, face.height()),
            Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(texts[i]));
    }
    icons.title(1030, QStringLiteral("等待窗口图片, 占位缩略图, 提示音"));
    icons.put(QPointF(16, 1046), load(root, QStringLiteral("images/wait.png")), 1,
        QStringLiteral("wait.png"));
    icons.put(QPointF(170, 1046), load(root, QStringLiteral("images/placeholder.png")), 1,
        QStringLiteral("placeholder.png"));
    bool ok = icons.save(dir + QStringLiteral("/sheet-icons.png"));

    Sheet zoom(1480, 1010);
    zoom.title(24, QStringLiteral("工具栏 2x, 菜单与右键菜单 8x"));
    for (int i = 0; i < 11; ++i)
        zoom.put(QPointF(16 + i * 132, 40),
            load(root, QStringLiteral("images/toolbar/btn_%1.png").arg(QLatin1String(tools[i]))), 2,
            QString());
    for (int i = 0; i < 16; ++i) {
        const QString rel = i < 13 ? QStringLiteral("images/menu/%1.png").arg(i)
                                   : QStringLiteral("images/popmenu/%1.png").arg(i - 13);
        zoom.put(QPointF(16 + (i % 8) * 145, 200 + (i / 8) * 150), load(root, rel), 8, QString());
    }
    for (int i = 0; i < 2; ++i)
        zoom.put(QPointF(16 + i * 270, 510),
            load(root, QStringLiteral("images/tree/%1.png").arg(i)), 8, QString());
    zoom.put(QPointF(560, 510), load(root, QStringLiteral("images/zarvo-32.png")), 8, QString());
    zoom.put(QPointF(840, 510), load(root, QStringLiteral("images/zarvo-16.png")), 16, QString());
    ok = zoom.save(dir + QStringLiteral("/sheet-zoom.png")) && ok;

    Sheet pictures(1600, 1420);
    pictures.put(QPointF(16, 16), load(root, QStringLiteral("images/splash.jpg")), 1,
        QStringLiteral("splash.jpg"));
    pictures.put(QPointF(840, 16), load(root, QStringLiteral("images/about.png")), 1,
        QStringLiteral("about.png"));
    for (int i = 1; i <= 5; ++i) {
        const QPointF at(16 + (i - 1) % 4 * 390, 650 + (i - 1) / 4 * 400);
        pictures.put(at, load(root, QStringLiteral("images/tad/%1.png").arg(i)), 1,
            QStringLiteral("tad/%1.png").arg(i));
    }
    for (int i = 1; i <= 4; ++i) {
        pictures.put(QPointF(420 + (i - 1) * 80, 1060),
            load(root, QStringLiteral("images/tad/small%1.png").arg(i)), 1,
            QStringLiteral("small%1").arg(i));
        pictures.put(QPointF(420 + (i - 1) * 260, 1140),
            load(root, QStringLiteral("images/tad/small%1.png").arg(i)), 4, QString());
    }
    ok = pictures.save(dir + QStringLiteral("/sheet-pictures.png")) && ok;
    return ok;
}

bool fontsPresent()
{
    const QStringList families = QFontDatabase::families();
    for (const QString& family : { kCjkFamily, kLatinFamily }) {
        if (!families.contains(family)) {
            std::fprintf(
                stderr, "zarvo_artwork: font \"%s\" is not installed\n", qPrintable(family));
            return false;
        }
    }
    return true;
}

} // namespace
} // namespace zarvo

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QStringLiteral("--sheets"))) {
        std::fprintf(stderr, "usage: zarvo_artwork OUTPUT_DIR [--sheets DIR]\n");
        return 2;
    }
    if (!zarvo::fontsPresent())
        return 1;
    zarvo::Writer writer(args[1]);
    zarvo::writeAll(writer);
    if (!writer.ok())
        return 1;
    std::printf("zarvo_artwork: wrote %lld files into %s\n",
        static_cast<long long>(writer.written().size()), qPrintable(args[1]));
    if (args.size() == 4 && !zarvo::writeSheets(args[1], args[3])) {
        std::fprintf(stderr, "zarvo_artwork: cannot write the contact sheets\n");
        return 1;
    }
    return 0;
}
