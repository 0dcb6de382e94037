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
#include <QFutureWatcher>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

namespace zarvo {

namespace {

// `Image1`: draws its picture centred within its own bounds, on white.
class PictureArea : public QWidget
{
public:
    explicit PictureArea(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::SizeAllCursor);
    }
    // `picture` lies at `position` on a white picture of size `canvas` (empty: it is all of it).
    void setPicture(const QImage& picture, QPoint position = {}, QSize canvas = {})
    {
        m_picture = picture;
        m_position = position;
        m_canvas = canvas;
        update();
    }
    // The same, where only rows [first, end) of the canvas changed: the rest is not repainted.
    void setPicture(const QImage& picture, QSize canvas, int first, int end)
    {
        m_picture = picture;
        m_position = QPoint();
        m_canvas = canvas;
        const QSize shown = canvas.isEmpty() ? picture.size() : canvas;
        const QPoint origin((width() - shown.width()) / 2, (height() - shown.height()) / 2);
        update(QRect(origin.x(), origin.y() + first, shown.width(), end - first));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        adviseBackingStore(painter);
        const QSize canvas = m_canvas.isEmpty() ? m_picture.size() : m_canvas;
        const QPoint origin((width() - canvas.width()) / 2, (height() - canvas.height()) / 2);
        const QRect at(origin + m_position, m_picture.size());
        // Only what lies outside the picture (or under its transparent parts) needs white.
        if (m_picture.isNull() || m_picture.hasAlphaChannel() || !at.contains(event->rect()))
            painter.fillRect(event->rect(), Qt::white);
        if (!m_picture.isNull())
            painter.drawImage(at.topLeft(), m_picture);
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
    QImage m_picture;
    QPoint m_position;
    QSize m_canvas;
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

    if (m_picture.animation) {
        m_player = new GifPlayer(this);
        connect(m_player, &GifPlayer::frameChanged, this,
            [area](const QImage& frame) { area->setPicture(frame); });
        m_player->play(m_picture.animation);
    } else {
        area->setPicture(m_picture.image, m_picture.imageAt, m_picture.canvas);
        if (m_picture.rest)
            decodeRest();
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
    // The task holds the decoder; it stops at its next band.
    m_rest.cancel();
}

void Tvie::decodeRest()
{
    // Bands of rows, each shown when it is in, so that what is scrolled or dragged into sight
    // is drawn as soon as the decoder gets there.
    constexpr int kBandRows = 256;
    std::shared_ptr<JpegRowDecoder> rest = m_picture.rest;
    m_rest = QtConcurrent::run([rest](QPromise<void>& promise) {
        while (!promise.isCanceled() && !rest->isComplete()) {
            if (!rest->decodeRows(rest->rowsDone() + kBandRows))
                return;
            promise.setProgressValue(rest->rowsDone());
        }
    });
    auto* watcher = new QFutureWatcher<void>(this);
    auto* area = static_cast<PictureArea*>(m_image1);
    // Rows shown so far: each band repaints only its own rows, not the whole large window.
    auto shownRows = std::make_shared<int>(0);
    connect(
        watcher, &QFutureWatcher<void>::progressValueChanged, this, [this, area, rest, shownRows] {
            // Rows that end above the part shown first would hide the rest of it.
            const int rows = rest->rowsDone();
            if (m_picture.rest != rest || rows < m_picture.imageAt.y() + m_picture.image.height())
                return;
            area->setPicture(rest->rowsDoneImage(), m_picture.canvas, *shownRows, rows);
            *shownRows = rows;
        });
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, area, rest, watcher, shownRows] {
        watcher->deleteLater();
        if (m_picture.rest != rest)
            return;
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
        const int height
            = m_picture.canvas.isEmpty() ? m_picture.image.height() : m_picture.canvas.height();
        area->setPicture(m_picture.image, m_picture.canvas, *shownRows, height);
        Q_EMIT pictureCompleted();
    });
    watcher->setFuture(m_rest);
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
