// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QListView>
#include <QString>

#include <utility>

class QHelpEvent;

namespace zarvo {

class ThumbnailDelegate;

// The folder view: a grid of 150 x 150 thumbnails with their captions below, wrapping to the
// view's width and re-flowing when it is resized, on white. Meant for a ThumbnailModel (set
// with setModel()), drawn by a ThumbnailDelegate. Several items can be selected (extended
// selection); captions are not editable; items cannot be moved or dragged; layout runs in
// batches so that a folder of thousands of pictures stays responsive.
//
// The view never acts behind the program's back: the standard copy, cut, paste, select-all
// and deselect key sequences (Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+A and their platform variants)
// do nothing here and nothing ever reaches the system clipboard. When the program has
// actions with those shortcuts, the actions get the keys as usual (a disabled action: nothing
// happens). Enter and Return without modifiers emit enterPressed() (on every press, key
// repeats included) and do nothing else; a double click on an item emits
// itemDoubleClicked(). What they mean is the program's decision.
//
// Tooltip: one text for the whole view (setHintText), shown when the mouse rests over the
// view while the hint is enabled; the text's lines may be separated by "\n\r" (or "\n"), and
// it is shown as plain text, line by line.
//
// User-interface thread only.
class FolderListView : public QListView
{
    Q_OBJECT

public:
    explicit FolderListView(QWidget* parent = nullptr);

    // The tooltip text (the last one stays while the hint is off).
    void setHintText(const QString& text);
    QString hintText() const { return m_hintText; }
    // Whether the tooltip is shown; off at the start. Turning it off hides a shown tooltip.
    void setHintEnabled(bool enabled);
    bool isHintEnabled() const { return m_hintEnabled; }
    // The tooltip as it is shown: the hint text as rich text that displays it verbatim, one
    // line per line of the hint.
    static QString hintDisplayText(const QString& hint);

    // A text drawn in the middle of the view while it has no items (plain text, in the window's
    // font); none when empty.
    void setEmptyText(const QString& text);
    QString emptyText() const { return m_emptyText; }

    // Rows of the selected items, in view (row) order.
    QList<int> selectedRows() const;

    // selectAll() (QAbstractItemView) is the program's way to select every item.

    // The first and last row whose cell shows in the viewport, wholly or in part; (0, -1) when
    // none does (no items, or not laid out yet).
    std::pair<int, int> visibleRows() const;
    // How many items the viewport shows, wholly or in part, at the top of a folder that fills
    // it; known before the items are laid out.
    int screenfulItems() const;

    void reset() override;

    // While on, user input reaches only this view (scrolling, selecting, its keys): input to every
    // other widget, context menus and shortcuts are dropped. For a time when the program runs
    // no command but the user may look through the view. Off at the start.
    void setSoleInputReceiver(bool sole);

Q_SIGNALS:
    void enterPressed();
    void itemDoubleClicked(int row);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showHint(QHelpEvent* event);
    // Cells the viewport shows at the top: the whole ones, and with partlyShownRow the row of
    // cells cut by its bottom edge too.
    int cellsInViewport(bool partlyShownRow) const;

    ThumbnailDelegate* m_delegate = nullptr;
    QString m_hintText;
    bool m_hintEnabled = false;
    bool m_soleInputReceiver = false;
    QString m_emptyText;
};

} // namespace zarvo
