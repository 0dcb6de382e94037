// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "giftool/gifloader.h"

#include <QDialog>
#include <QImage>
#include <QList>

#include <memory>

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QScrollBar;
class QSplitter;
class QWidget;

namespace zarvo {

class FitPicture;
class GifAnimation;
class GifPlayer;
class Prompt;

// The GIF frame tool: opens a GIF file from disk, previews it (playing it when it has several
// frames), lists every frame as a 150 x 150 thumbnail, describes the file in Memo1, shows the
// chosen frame at its own size with scroll bars, and saves that frame as a Windows bitmap.
//
// Every control carries its name as objectName (O1, X1, dia, Panel2, Image1, ListView1,
// Memo1, Splitter3, Panel6, Panel7, Image2, bar1, bar2, PopupMenu1, A1, dia2). A file is
// decoded on a worker thread (GifLoader); the list fills as thumbnails arrive. A damaged file
// shows the frames decoded before the damage and warns; a failed save warns. Messages go
// through the Prompt, which must outlive the window. User-interface thread only.
class TFgi : public QDialog
{
    Q_OBJECT

public:
    explicit TFgi(Prompt& prompt, QWidget* parent = nullptr);
    ~TFgi() override;

    // Handlers: O1Click and A1Click ask through their dialogs, then call openFile and
    // saveShownFrame.
    void O1Click();
    void X1Click();
    void ListView1Change();
    void A1Click();

    // Clears the window and starts loading path; the window fills in as the frames arrive.
    void openFile(const QString& path);
    // Waits for a load in progress and shows everything it brings now.
    void finishLoading();
    // Writes the frame shown in Image2 to exactly target (no extension added). False, with the
    // warning popup, when that fails; false without one when no frame is shown.
    bool saveShownFrame(const QString& target);

    QFileDialog* openDialog() const { return m_dia; }
    QFileDialog* saveDialog() const { return m_dia2; }
    GifPlayer* player() const { return m_player; }
    // The picture Image1 shows now (still or the current animation frame), unscaled.
    QImage previewImage() const;
    // The frame Image2 shows (over white), null when none.
    QImage shownFrame() const { return m_shown; }

Q_SIGNALS:
    // A load has ended and the window shows all it brought (also after a failure).
    void loaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clearView();
    void addFrames(const QList<GifLoader::Frame>& frames);
    void loadFinished(const GifLoader::Result& result);
    void placeBars();
    void bar1Change(int value);
    void bar2Change(int value);

    Prompt& m_prompt;
    GifLoader* m_loader = nullptr;
    GifPlayer* m_player = nullptr;
    std::shared_ptr<const GifAnimation> m_animation;
    QList<QImage> m_frameImages; // own images in frame order, as they arrived
    QImage m_shown;

    QAction* m_O1 = nullptr;
    QAction* m_X1 = nullptr;
    QFileDialog* m_dia = nullptr;
    QFileDialog* m_dia2 = nullptr;
    QFrame* m_Panel2 = nullptr;
    FitPicture* m_Image1 = nullptr;
    QListWidget* m_ListView1 = nullptr;
    QPlainTextEdit* m_Memo1 = nullptr;
    QSplitter* m_Splitter3 = nullptr;
    QFrame* m_Panel6 = nullptr;
    QWidget* m_Panel7 = nullptr;
    QLabel* m_Image2 = nullptr;
    QScrollBar* m_bar1 = nullptr;
    QScrollBar* m_bar2 = nullptr;
    QMenu* m_PopupMenu1 = nullptr;
    QAction* m_A1 = nullptr;
};

// The main window's "Gif文件分解工具(&G)...." command: creates TFgi, shows it maximised and
// modal (the caller waits), and destroys it when it closes.
void menu_gifClick(QWidget* parent, Prompt& prompt);

} // namespace zarvo
