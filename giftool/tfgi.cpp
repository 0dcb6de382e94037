// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/tfgi.h"

#include "giftool/fitpicture.h"
#include "giftool/framefile.h"
#include "giftool/frameviewlayout.h"
#include "giftool/gifdescription.h"
#include "imaging/gifplayer.h"
#include "view/prompt.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

namespace zarvo {

namespace {

constexpr int kPanel2Width = 281;
constexpr int kUpperHeight = 321;
constexpr int kMemo1Width = 280;
constexpr int kSplitterWidth = 3;

QFrame* whitePanel(const char* name, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    return panel;
}

// A non-native file dialog with one filter: `shown` is the text the user reads, `pattern` one
// extension, matched in any letter case as the file systems of its origin did.
QFileDialog* fileDialog(
    const char* name, const QString& shown, const QString& extension, QWidget* parent)
{
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QString anyCase;
    for (QChar c : extension)
        anyCase += QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper());
    dialog->setNameFilters({ QStringLiteral("%1 (*.%2)").arg(shown, anyCase) });
    if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        types->setItemText(0, shown);
    return dialog;
}

} // namespace

TFgi::TFgi(Prompt& prompt, QWidget* parent)
    : QDialog(parent)
    , m_prompt(prompt)
{
    setObjectName(QStringLiteral("TFgi"));
    setWindowTitle(tr("Gif文件分解工具"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    m_loader = new GifLoader(this);
    m_player = new GifPlayer(this);

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(tr("文件(&F)"));
    m_O1 = file->addAction(tr("打开文件(&O)..."));
    m_O1->setObjectName(QStringLiteral("O1"));
    file->addSeparator();
    m_X1 = file->addAction(tr("退出(&X)"));
    m_X1->setObjectName(QStringLiteral("X1"));
    connect(m_O1, &QAction::triggered, this, &TFgi::O1Click);
    connect(m_X1, &QAction::triggered, this, &TFgi::X1Click);

    m_dia = fileDialog("dia", tr("GIF Image (*.gif)"), QStringLiteral("gif"), this);
    m_dia->setAcceptMode(QFileDialog::AcceptOpen);
    m_dia->setFileMode(QFileDialog::ExistingFile);
    m_dia2 = fileDialog("dia2", tr("BMP文件(*.bmp)"), QStringLiteral("bmp"), this);
    m_dia2->setAcceptMode(QFileDialog::AcceptSave);
    m_dia2->setFileMode(QFileDialog::AnyFile);
    // The chosen name gets ".bmp" appended, and that file is replaced without a question.
    m_dia2->setOption(QFileDialog::DontConfirmOverwrite);

    // Upper area: the preview and the frame list.
    auto* upper = new QWidget(this);
    upper->setFixedHeight(kUpperHeight);
    m_Panel2 = whitePanel("Panel2", upper);
    m_Panel2->setFixedWidth(kPanel2Width);
    m_Image1 = new FitPicture(m_Panel2);
    m_Image1->setObjectName(QStringLiteral("Image1"));
    auto* panel2Layout = new QVBoxLayout(m_Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->addWidget(m_Image1);
    connect(m_player, &GifPlayer::frameChanged, m_Image1, &FitPicture::setImage);

    m_ListView1 = new QListWidget(upper);
    m_ListView1->setObjectName(QStringLiteral("ListView1"));
    m_ListView1->setViewMode(QListView::IconMode);
    m_ListView1->setIconSize(QSize(150, 150));
    m_ListView1->setMovement(QListView::Static);
    m_ListView1->setResizeMode(QListView::Adjust);
    m_ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ListView1->setUniformItemSizes(true);
    connect(m_ListView1, &QListWidget::itemSelectionChanged, this, &TFgi::ListView1Change);
    auto* upperLayout = new QHBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(0);
    upperLayout->addWidget(m_Panel2);
    upperLayout->addWidget(m_ListView1, 1);

    // Lower area: the description and the frame view, with the splitter between.
    m_Splitter3 = new QSplitter(Qt::Horizontal, this);
    m_Splitter3->setObjectName(QStringLiteral("Splitter3"));
    m_Splitter3->setHandleWidth(kSplitterWidth);
    m_Splitter3->setOpaqueResize(true);
    m_Splitter3->setChildrenCollapsible(false);
    m_Memo1 = new QPlainTextEdit(m_Splitter3);
    m_Memo1->setObjectName(QStringLiteral("Memo1"));
    m_Memo1->setReadOnly(true);
    m_Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette memoPalette = m_Memo1->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Button));
    m_Memo1->setPalette(memoPalette);

    m_Panel6 = whitePanel("Panel6", m_Splitter3);
    m_Panel6->installEventFilter(this);
    m_Panel7 = new QWidget(m_Panel6);
    m_Panel7->setObjectName(QStringLiteral("Panel7"));
    m_Panel7->setGeometry(0, 0, 1, 1);
    m_Image2 = new QLabel(m_Panel7);
    m_Image2->setObjectName(QStringLiteral("Image2"));
    m_Image2->setGeometry(0, 0, 1, 1);
    m_Image2->setContextMenuPolicy(Qt::CustomContextMenu);
    m_bar1 = new QScrollBar(Qt::Vertical, m_Panel6);
    m_bar1->setObjectName(QStringLiteral("bar1"));
    m_bar2 = new QScrollBar(Qt::Horizontal, m_Panel6);
    m_bar2->setObjectName(QStringLiteral("bar2"));
    for (QScrollBar* bar : { m_bar1, m_bar2 }) {
        bar->setRange(0, 0);
        bar->setPageStep(0);
        bar->setEnabled(false);
    }
    connect(m_bar1, &QScrollBar::valueChanged, this, &TFgi::bar1Change);
    connect(m_bar2, &QScrollBar::valueChanged, this, &TFgi::bar2Change);
    m_Splitter3->addWidget(m_Memo1);
    m_Splitter3->addWidget(m_Panel6);
    m_Splitter3->setStretchFactor(0, 0);
    m_Splitter3->setStretchFactor(1, 1);
    // Sizes are taken relative to the splitter's size; later growth all goes to Panel6.
    m_Splitter3->resize(kMemo1Width + kSplitterWidth + 400, 300);
    m_Splitter3->setSizes({ kMemo1Width, 400 });

    m_PopupMenu1 = new QMenu(this);
    m_PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    m_A1 = m_PopupMenu1->addAction(tr("图片另存为(&A)......"));
    m_A1->setObjectName(QStringLiteral("A1"));
    connect(m_A1, &QAction::triggered, this, &TFgi::A1Click);
    connect(m_Image2, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { m_PopupMenu1->popup(m_Image2->mapToGlobal(at)); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(upper);
    layout->addWidget(m_Splitter3, 1);

    connect(m_loader, &GifLoader::framesReady, this, &TFgi::addFrames);
    connect(m_loader, &GifLoader::finished, this, &TFgi::loadFinished);
    resize(1024, 700);
}

TFgi::~TFgi()
{
    // The animation and the worker stop before the frames go.
    m_player->clear();
    m_loader->cancel();
}

void TFgi::O1Click()
{
    if (m_dia->exec() != QDialog::Accepted || m_dia->selectedFiles().isEmpty())
        return;
    openFile(m_dia->selectedFiles().constFirst());
}

void TFgi::X1Click()
{
    close();
}

void TFgi::clearView()
{
    m_loader->cancel();
    m_player->clear();
    m_animation.reset();
    m_frameImages.clear();
    m_Image1->setImage(QImage());
    m_ListView1->clear();
    m_Memo1->clear();
    m_shown = QImage();
    m_Image2->clear();
    m_Image2->setGeometry(0, 0, 1, 1);
    m_Panel7->setGeometry(0, 0, 1, 1);
    for (QScrollBar* bar : { m_bar1, m_bar2 }) {
        bar->setRange(0, 0);
        bar->setEnabled(false);
    }
}

void TFgi::openFile(const QString& path)
{
    clearView();
    m_loader->start(path);
}

void TFgi::finishLoading()
{
    m_loader->finish();
}

void TFgi::addFrames(const QList<GifLoader::Frame>& frames)
{
    for (const GifLoader::Frame& frame : frames) {
        m_frameImages.append(frame.image);
        auto* item = new QListWidgetItem(
            QIcon(QPixmap::fromImage(frame.thumbnail)), QString::number(frame.index + 1));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_ListView1->addItem(item);
    }
}

void TFgi::loadFinished(const GifLoader::Result& result)
{
    const auto& animation = result.animation;
    if (!result.readable || !animation || animation->status() != GifAnimation::Status::Complete) {
        m_prompt.popup(
            PopupKind::Warning, tr("文件 %1 已损坏，只能显示其中完好的部分").arg(result.path));
    }
    if (!animation || !animation->ok()) {
        Q_EMIT loaded();
        return;
    }
    m_animation = animation;
    if (animation->frameCount() < 2)
        m_Image1->setImage(animation->composedFrame(0));
    else
        m_player->play(animation);
    m_Memo1->setPlainText(
        gifDescription(result.path, result.fileSize, *animation).join(QLatin1Char('\n')));
    Q_EMIT loaded();
}

void TFgi::ListView1Change()
{
    const QList<QListWidgetItem*> selected = m_ListView1->selectedItems();
    if (selected.isEmpty())
        return;
    const int index = m_ListView1->row(selected.constFirst());
    if (index < 0 || index >= m_frameImages.size())
        return;
    m_shown = frameOnWhite(m_frameImages.at(index));
    const QSize size = m_shown.isNull() ? QSize(1, 1) : m_shown.size();
    m_Image2->setPixmap(m_shown.isNull() ? QPixmap() : QPixmap::fromImage(m_shown));
    m_Image2->setGeometry(0, 0, size.width(), size.height());
    m_Panel7->resize(size);
    placeBars();
}

void TFgi::placeBars()
{
    const FrameViewLayout layout = frameViewLayout(m_Panel6->size(), m_Panel7->size());
    // Each frame starts at the origin of its bars; setting the values moves Panel7 there.
    m_bar1->setValue(0);
    m_bar2->setValue(0);
    m_bar1->setRange(0, layout.verticalMax);
    m_bar1->setEnabled(layout.verticalOn);
    m_bar2->setRange(0, layout.horizontalMax);
    m_bar2->setEnabled(layout.horizontalOn);
    m_Panel7->move(layout.position);
}

void TFgi::bar1Change(int value)
{
    m_Panel7->move(m_Panel7->x(), -value);
}

void TFgi::bar2Change(int value)
{
    m_Panel7->move(-value, m_Panel7->y());
}

void TFgi::A1Click()
{
    if (m_shown.isNull())
        return;
    if (m_dia2->exec() != QDialog::Accepted || m_dia2->selectedFiles().isEmpty())
        return;
    saveShownFrame(m_dia2->selectedFiles().constFirst() + QStringLiteral(".bmp"));
}

bool TFgi::saveShownFrame(const QString& target)
{
    if (m_shown.isNull())
        return false;
    if (saveFrameBitmap(m_shown, target))
        return true;
    m_prompt.popup(PopupKind::Warning, tr("文件 %1 保存失败").arg(target));
    return false;
}

QImage TFgi::previewImage() const
{
    return m_Image1->image();
}

bool TFgi::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_Panel6 && event->type() == QEvent::Resize) {
        const int w = m_Panel6->width();
        const int h = m_Panel6->height();
        m_bar1->setGeometry(
            w - kFrameViewBarExtent, 0, kFrameViewBarExtent, h - kFrameViewBarExtent);
        m_bar2->setGeometry(
            0, h - kFrameViewBarExtent, w - kFrameViewBarExtent, kFrameViewBarExtent);
        m_bar1->raise();
        m_bar2->raise();
    }
    return QDialog::eventFilter(watched, event);
}

void menu_gifClick(QWidget* parent, Prompt& prompt)
{
    TFgi window(prompt, parent);
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
    window.exec();
}

} // namespace zarvo
