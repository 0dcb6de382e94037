// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/folderlistview.h"

#include "widgets/thumbnaildelegate.h"

#include <QApplication>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace zarvo {

namespace {

// Sequences with which QAbstractItemView would select, or touch the system clipboard, on its
// own. Each of them is the program's (through its actions) or nobody's.
bool isReservedSequence(QKeyEvent* event)
{
    return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::Paste) || event->matches(QKeySequence::SelectAll)
        || event->matches(QKeySequence::Deselect);
}

} // namespace

FolderListView::FolderListView(QWidget* parent)
    : QListView(parent)
    , m_delegate(new ThumbnailDelegate(this))
{
    setItemDelegate(m_delegate);
    setViewMode(QListView::IconMode);
    setIconSize(QSize(150, 150));
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    // Dropped files are the window's: a view that accepted drops would take them and refuse.
    setDragEnabled(false);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(256);
    setSpacing(4);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    viewport()->setAutoFillBackground(true);

    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT itemDoubleClicked(index.row());
    });
}

void FolderListView::setHintText(const QString& text)
{
    m_hintText = text;
}

void FolderListView::setHintEnabled(bool enabled)
{
    if (m_hintEnabled == enabled)
        return;
    m_hintEnabled = enabled;
    if (!enabled && QToolTip::isVisible() && underMouse())
        QToolTip::hideText();
}

QString FolderListView::hintDisplayText(const QString& hint)
{
    static const QRegularExpression lineBreak(QStringLiteral("\n\r|\r\n|\n|\r"));
    const QStringList lines = hint.split(lineBreak);
    QStringList escaped;
    escaped.reserve(lines.size());
    for (const QString& line : lines)
        escaped.append(line.toHtmlEscaped());
    // Rich text, so that a picture name that looks like markup is shown as it is.
    return QStringLiteral("<p style='white-space:pre'>") + escaped.join(QStringLiteral("<br>"))
        + QStringLiteral("</p>");
}

QList<int> FolderListView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    rows.reserve(indexes.size());
    for (const QModelIndex& index : indexes) {
        if (index.column() == modelColumn() && index.parent() == rootIndex())
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void FolderListView::setEmptyText(const QString& text)
{
    if (m_emptyText == text)
        return;
    m_emptyText = text;
    viewport()->update();
}

void FolderListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    if (m_emptyText.isEmpty() || (model() && model()->rowCount(rootIndex()) > 0))
        return;
    QPainter painter(viewport());
    painter.setFont(window()->font());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(24, 24, -24, -24),
        Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}

bool FolderListView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        showHint(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QListView::event(event);
}

bool FolderListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        showHint(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QListView::viewportEvent(event);
}

void FolderListView::showHint(QHelpEvent* event)
{
    if (m_hintEnabled && !m_hintText.isEmpty()) {
        QToolTip::showText(event->globalPos(), hintDisplayText(m_hintText), this);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
}

void FolderListView::updateGeometries()
{
    QListView::updateGeometries();
    // A wheel notch (three steps) moves one row of thumbnails, not three.
    const int row = ThumbnailDelegate::cellSize(fontMetrics()).height() + 2 * spacing();
    verticalScrollBar()->setSingleStep(std::max(1, row / 3));
}

int FolderListView::screenfulItems() const
{
    return cellsInViewport(true);
}

int FolderListView::cellsInViewport(bool partlyShownRow) const
{
    // Cells of uniform size, spacing() apart and from the viewport's edges.
    const QSize cell = ThumbnailDelegate::cellSize(fontMetrics()) + QSize(spacing(), spacing());
    const QSize area = viewport()->size() - QSize(spacing(), spacing());
    const int columns = std::max(1, area.width() / cell.width());
    const int rows
        = std::max(1, (area.height() + (partlyShownRow ? cell.height() - 1 : 0)) / cell.height());
    return columns * rows;
}

void FolderListView::reset()
{
    QListView::reset();
    // A folder that the viewport cannot show whole gets its scroll bar now, before its items are
    // laid out: they are then laid out and painted once, in the narrower viewport, instead of
    // painted, and laid out and painted again when the bar comes.
    QScrollBar* bar = verticalScrollBar();
    if (model() && verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded
        && bar->maximum() <= bar->minimum()
        && model()->rowCount(rootIndex()) > cellsInViewport(false))
        bar->setRange(0, 1);
}

std::pair<int, int> FolderListView::visibleRows() const
{
    const QAbstractItemModel* items = model();
    const int count = items ? items->rowCount(rootIndex()) : 0;
    const int height = viewport()->height();
    // Cells lie in row order, top to bottom; a cell not laid out yet has an empty rectangle and
    // counts as below the viewport, since layout proceeds in row order too.
    const auto below = [&](int row, int y) {
        const QRect cell = visualRect(items->index(row, modelColumn(), rootIndex()));
        return cell.isEmpty() || cell.top() >= y;
    };
    const auto firstBelow = [&](auto pastY) {
        int low = 0;
        int high = count;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (pastY(middle))
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    };
    // First row whose cell ends below the viewport's top; first row that starts below its bottom.
    const int first = firstBelow([&](int row) {
        const QRect cell = visualRect(items->index(row, modelColumn(), rootIndex()));
        return cell.isEmpty() || cell.bottom() >= 0;
    });
    const int end = firstBelow([&](int row) { return below(row, height); });
    if (first >= end)
        return { 0, -1 };
    return { first, end - 1 };
}

void FolderListView::setSoleInputReceiver(bool sole)
{
    if (m_soleInputReceiver == sole)
        return;
    m_soleInputReceiver = sole;
    if (sole)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool FolderListView::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_soleInputReceiver)
        return QListView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto* widget = qobject_cast<QWidget*>(watched);
        return !(widget && (widget == this || isAncestorOf(widget)));
    }
    default:
        return QListView::eventFilter(watched, event);
    }
}

void FolderListView::keyPressEvent(QKeyEvent* event)
{
    if (isReservedSequence(event)) {
        event->accept();
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace zarvo
