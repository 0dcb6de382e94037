// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tvie.h"

#include "imaging/gifanimation.h"
#include "imaging/gifplayer.h"
#include "imaging/jpegdecoder.h"
#include "imaging/pixelbuffer.h"
#include "store/logging.h"
#include "view/prompt.h"

#include <QAction>
#include <QBackingStore>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace zarvo {

namespace {

// `Image1`: draws its picture centred within its own bounds, on white. A picture being decoded
// is given as layers (the rows done, regions decoded ahead of them) over white. Only what is on a
// screen is drawn: a part beyond the screens (a window larger than the screen) is drawn when it
// comes onto one (drawWhatCameIntoSight), so that neither the first paint nor the bands of rows
// cost more than what the screen shows. Where window positions are not known (Wayland), all of it
// counts as on a screen.
class PictureArea : public QWidget
{
public:
    struct Layer
    {
        QPoint at; // on the canvas
        QImage image;
    };

    explicit PictureArea(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::SizeAllCursor);
    }
    // `picture` lies at `position` on a white picture of size `canvas` (empty: it is all of it).
    // All of it is drawn anew.
    void setPicture(const QImage& picture, QPoint position = {}, QSize canvas = {})
    {
        m_stale = rect();
        setLayers({ { position, picture } }, canvas, true);
    }
    // The picture as far as it is decoded: `layers` over white, and whether the white between
    // them is final (`complete`). Draws what was waiting for these pixels.
    void setLayers(QList<Layer> layers, QSize canvas, bool complete)
    {
        m_layers = std::move(layers);
        m_canvas = canvas;
        m_decoded = QRegion();
        const QPoint at = origin();
        if (complete)
            m_decoded = rect();
        else
            for (const Layer& layer : std::as_const(m_layers))
                m_decoded += QRect(at + layer.at, layer.image.size());
        update(m_stale & m_decoded & onScreen());
    }
    // The parts of this widget on a screen (all of it when that cannot be told).
    QRegion onScreen() const
    {
        const QScreen* own = screen();
        if (!own || QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            return rect();
        QRegion screens;
        for (const QScreen* s : own->virtualSiblings()) {
            const QRect g = s->geometry();
            screens += QRect(mapFromGlobal(g.topLeft()), g.size());
        }
        return screens & rect();
    }
    // Draws what has come onto a screen since it was last drawn.
    void drawWhatCameIntoSight() { update(m_stale & onScreen()); }
    QPoint origin() const
    {
        const QSize canvas
            = m_canvas.isEmpty() && !m_layers.isEmpty() ? m_layers.first().image.size() : m_canvas;
        return QPoint((width() - canvas.width()) / 2, (height() - canvas.height()) / 2);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        const QRegion asked = event->region();
        // A rendering elsewhere (grab) draws what it asks for; the window's own, what is on a
        // screen.
        const QPaintEngine* engine = painter.paintEngine();
        QBackingStore* store = backingStore();
        const bool own = engine && store && engine->paintDevice() == store->paintDevice();
        const QRegion drawn = own ? asked & onScreen() : asked;
        if (own) {
            // Parts skipped, and those drawn white for now, are drawn again once they are on a
            // screen with their pixels.
            m_stale += asked;
            m_stale -= drawn & m_decoded;
            adviseBackingStore(painter);
        }
        const QPoint at = origin();
        for (const QRect& part : drawn) {
            QRegion white = part;
            for (const Layer& layer : std::as_const(m_layers))
                if (!layer.image.hasAlphaChannel())
                    white -= QRect(at + layer.at, layer.image.size());
            for (const QRect& w : white)
                painter.fillRect(w, Qt::white);
            for (const Layer& layer : std::as_const(m_layers)) {
                const QRect covered = part & QRect(at + layer.at, layer.image.size());
                if (!covered.isEmpty())
                    painter.drawImage(
                        covered.topLeft(), layer.image, covered.translated(-(at + layer.at)));
            }
        }
    }

private:
    // The window of a large picture is as large as the picture, and so is its backing store,
    // which the first paint fills whole: in huge pages it costs about half as much.
    void adviseBackingStore(QPainter& painter)
    {
        const QPaintEngine* engine = painter.paintEngine();
        const QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
        if (!device || device->devType() != QInternal::Image)
            return;
        const auto* store = static_cast<const QImage*>(device);
        if (store->constBits() == m_advised || store->sizeInBytes() < kLargeBackingStoreBytes)
            return;
        m_advised = store->constBits();
        adviseHugePages(m_advised, store->sizeInBytes());
    }

    static constexpr qsizetype kLargeBackingStoreBytes = qsizetype(8) << 20;
    QList<Layer> m_layers;
    QSize m_canvas;
    QRegion m_decoded; // where the layers (or the final white) are
    QRegion m_stale; // not drawn with its final pixels yet
    const uchar* m_advised = nullptr;
};

QAction* makeAction(
    QWidget* owner, const char* name, const QString& text, const QKeySequence& key = {})
{
    auto* action = new QAction(text, owner);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        owner->addAction(action);
    }
    return action;
}

} // namespace

Tvie::Tvie(ViewedPicture picture, Prompt& prompt, QWidget* parent)
    : QWidget(parent,
        Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_picture(std::move(picture))
    , m_prompt(prompt)
{
    setObjectName(QStringLiteral("Tvie"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_picture.caption());
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setPalette(white);
    m_scroll->setBackgroundRole(QPalette::Window);
    auto* area = new PictureArea(m_scroll);
    area->setObjectName(QStringLiteral("Image1"));
    area->setFixedSize(viewerlayout::pictureArea(m_picture.size()));
    area->setContextMenuPolicy(Qt::CustomContextMenu);
    area->installEventFilter(this);
    m_image1 = area;
    m_scroll->setWidget(area);
    setScrollBars(false);
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::valueChanged, this, &Tvie::followView);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, &Tvie::followView);

    if (m_picture.animation) {
        m_player = new GifPlayer(this);
        connect(m_player, &GifPlayer::frameChanged, this,
            [area](const QImage& frame) { area->setPicture(frame); });
        m_player->play(m_picture.animation);
    } else {
        if (m_picture.rest) {
            connect(&m_rest, &QFutureWatcher<void>::finished, this, &Tvie::restStepped);
            area->setLayers({ { m_picture.imageAt, m_picture.image } }, m_picture.canvas, false);
            decodeRest();
        } else {
            area->setPicture(m_picture.image, m_picture.imageAt, m_picture.canvas);
        }
    }

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* ff1 = makeAction(this, "ff1", tr("保存文件...(&S)"));
    QAction* x1 = makeAction(this, "X1", tr("窗口变小(&X)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    QAction* r1
        = makeAction(this, "R1", tr("恢复原来窗口(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R));
    QAction* n1 = makeAction(this, "N1", QString());
    n1->setSeparator(true);
    QAction* c1 = makeAction(this, "C1", tr("关闭窗口(&C)"));
    m_popupMenu->addActions({ ff1, x1, r1, n1, c1 });
    connect(ff1, &QAction::triggered, this, &Tvie::ff1Clicked);
    connect(x1, &QAction::triggered, this, &Tvie::X1Click);
    connect(r1, &QAction::triggered, this, &Tvie::R1Click);
    connect(c1, &QAction::triggered, this, &QWidget::close);
    connect(area, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { m_popupMenu->popup(m_image1->mapToGlobal(at)); });
}

Tvie::~Tvie()
{
    // The task holds the decoder; no other piece of work follows.
    m_rest.cancel();
}

void Tvie::decodeRest()
{
    // One piece of work at a time, each asked for from here, so that what comes into sight
    // meanwhile (see followView) is the next: what is in sight, then bands of rows from the top.
    // Each piece is shown as soon as it is in; the watcher brings the news from the event loop.
    constexpr int kBandRows = 256;
    // The first rows may still be being decoded by whoever decoded what is shown first.
    const QFuture<void> before = std::exchange(m_picture.restStarted, QFuture<void>());
    m_rest.setFuture(QtConcurrent::run([rest = m_picture.rest, before] {
        QFuture<void>(before).waitForFinished();
        rest->step(kBandRows);
    }));
}

void Tvie::restStepped()
{
    showRest();
    // Still there unless the picture is whole or its rows failed.
    if (m_picture.rest)
        decodeRest();
}

void Tvie::showRest()
{
    const std::shared_ptr<JpegRowDecoder> rest = m_picture.rest;
    if (!rest)
        return;
    auto* area = static_cast<PictureArea*>(m_image1);
    if (rest->ok() && !rest->isComplete()) {
        QList<PictureArea::Layer> layers;
        if (rest->rowsDone() > 0)
            layers.append({ QPoint(), rest->rowsDoneImage() });
        for (const JpegRowDecoder::Piece& piece : rest->pieces())
            layers.append({ piece.rect.topLeft(), piece.image });
        area->setLayers(std::move(layers), m_picture.canvas, false);
        return;
    }
    if (rest->isComplete()) {
        m_picture.image = rest->image();
        m_picture.canvas = QSize();
    } else {
        // A picture damaged further down keeps what was decoded above the damage.
        qCDebug(lcPictures) << "decoding the rest of" << m_picture.name
                            << "failed:" << rest->error();
        m_picture.image = rest->rowsDoneImage().copy();
    }
    m_picture.rest.reset();
    m_picture.imageAt = QPoint();
    area->setLayers({ { QPoint(), m_picture.image } }, m_picture.canvas, true);
    Q_EMIT pictureCompleted();
}

void Tvie::followView()
{
    auto* area = static_cast<PictureArea*>(m_image1);
    if (!area)
        return;
    if (m_picture.rest) {
        const QRegion inSight = area->onScreen() & area->visibleRegion();
        m_picture.rest->setWanted(inSight.boundingRect().translated(-area->origin()));
    }
    area->drawWhatCameIntoSight();
}

bool Tvie::scrollBarsOn() const
{
    return m_scroll->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
}

void Tvie::setScrollBars(bool on)
{
    const Qt::ScrollBarPolicy policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    m_scroll->setHorizontalScrollBarPolicy(policy);
    m_scroll->setVerticalScrollBarPolicy(policy);
    if (!on) {
        m_scroll->horizontalScrollBar()->setValue(0);
        m_scroll->verticalScrollBar()->setValue(0);
    }
}

QRect Tvie::screenRect() const
{
    const QScreen* s = screen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

void Tvie::setOuterGeometry(const QRect& outer)
{
    m_outer = outer;
    applyOuter();
}

void Tvie::applyOuter()
{
    const QWindow* handle = windowHandle();
    const QMargins frame = handle && isVisible() ? handle->frameMargins() : QMargins();
    m_appliedFrame = frame;
    const QSize client(std::max(1, m_outer.width() - frame.left() - frame.right()),
        std::max(1, m_outer.height() - frame.top() - frame.bottom()));
    setFixedSize(client);
    m_scroll->setGeometry(rect());
    // A top-level window's position is its frame's.
    move(screenRect().topLeft() + m_outer.topLeft());
}

bool Tvie::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Resize:
        m_scroll->setGeometry(rect());
        [[fallthrough]];
    case QEvent::Show:
    case QEvent::Move:
        // The window manager tells the frame's extents only once the window is mapped.
        if (windowHandle() && isVisible() && windowHandle()->frameMargins() != m_appliedFrame
            && m_outer.isValid())
            applyOuter();
        // Moved, shown or resized, the window may show other parts of the picture.
        followView();
        break;
    default:
        break;
    }
    return handled;
}

bool Tvie::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_image1)
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            // The window manager moves the window as by its title bar; by hand where it cannot.
            if (windowHandle() && windowHandle()->startSystemMove())
                return true;
            m_dragging = true;
            m_dragOffset = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
            return true;
        }
        break;
    case QEvent::MouseMove:
        if (m_dragging && (mouse->buttons() & Qt::LeftButton)) {
            move(mouse->globalPosition().toPoint() - m_dragOffset);
            m_outer.moveTopLeft(frameGeometry().topLeft() - screenRect().topLeft());
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton && m_dragging) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Tvie::X1Click()
{
    const QSize screen = screenRect().size();
    const QSize area = m_image1->size();
    if (screen.width() >= area.width() && screen.height() >= area.height()) {
        m_prompt.popup(PopupKind::Tip, tr("窗口已经最小"));
        return;
    }
    setOuterGeometry(QRect(125, 150, screen.width() - 250, screen.height() - 300));
    setScrollBars(true);
}

void Tvie::R1Click()
{
    const QSize screen = screenRect().size();
    const QSize area = m_image1->size();
    if (screen.width() >= area.width() && screen.height() >= area.height())
        return;
    if (m_outer.size() == area) {
        m_prompt.popup(PopupKind::Tip, tr("已经处在原有状态"));
        return;
    }
    setScrollBars(false);
    setOuterGeometry(QRect(viewerlayout::centred(area, screen), area));
}

} // namespace zarvo
