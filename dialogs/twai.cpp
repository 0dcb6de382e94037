// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/twai.h"

#include "dialogs/screencentre.h"
#include "widgets/fonts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace zarvo {

namespace {

int g_dots = 0;

const QColor SkyBlue(166, 202, 240);

QLabel* makeLabel(
    QWidget* parent, const char* name, QPoint pos, const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(songtiFont(12));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    label->setAutoFillBackground(false);
    label->move(pos);
    label->adjustSize();
    return label;
}

} // namespace

QString Twai::failureText()
{
    return tr(
        "数据库修复失败，可能是您的计算机中没有安装 ADO 引擎，或者是数据库文件正被其它程序打开");
}

void Twai::resetDotCounter()
{
    g_dots = 0;
}

Twai::Twai(QWidget* parent, CompactFn compact, WarnFn warn)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_compact(std::move(compact))
    , m_warn(std::move(warn))
{
    setObjectName(QStringLiteral("Twai"));
    setModal(true);
    setFixedSize(517, 145);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    m_shape1 = new QFrame(this);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_shape1->setLineWidth(3);
    QPalette framePal = m_shape1->palette();
    framePal.setColor(QPalette::WindowText, Qt::black);
    m_shape1->setPalette(framePal);
    m_shape1->setGeometry(rect());

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(32, 8, 128, 128);
    m_image1->setPixmap(QPixmap(QStringLiteral(":/images/wait.png")));

    const QColor windowText = QGuiApplication::palette().color(QPalette::WindowText);
    m_label1 = makeLabel(
        this, "Label1", { 176, 64 }, tr("系统正在检测和修复数据库,请稍等......"), windowText);
    m_label2
        = makeLabel(this, "Label2", { 272, 96 }, tr("为了确保下一次程序能正常加载数据库"), SkyBlue);
    m_label3 = makeLabel(
        this, "Label3", { 272, 110 }, tr("所以每次退出程序前,程序都会自动检测一次"), SkyBlue);
    m_label4 = makeLabel(
        this, "Label4", { 272, 124 }, tr("在检测期间请不要关闭程序"), QColor(255, 0, 0));

    centreOnScreen(*this);

    connect(&m_watcher, &QFutureWatcher<bool>::finished, this, &Twai::compactionFinished);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(500);
    connect(m_timer1, &QTimer::timeout, this, &Twai::Timer1Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(2000);
    m_timer2->setSingleShot(true);
    connect(m_timer2, &QTimer::timeout, this, &Twai::Timer2Timer);
    m_timer1->start();
    m_timer2->start();
}

Twai::~Twai()
{
    // The callback may refer to things the caller frees right after this window.
    m_watcher.waitForFinished();
}

void Twai::Timer1Timer()
{
    if (g_dots > 6)
        g_dots = 1;
    m_label1->setText(tr("系统正在检测和修复数据库,请稍等") + QString(g_dots, QLatin1Char('.')));
    m_label1->adjustSize();
    ++g_dots;
}

void Twai::Timer2Timer()
{
    m_timer2->stop();
    if (m_started)
        return;
    m_started = true;
    CompactFn compact = m_compact;
    m_watcher.setFuture(QtConcurrent::run([compact]() -> bool {
        try {
            return compact && compact();
        } catch (...) {
            return false;
        }
    }));
}

void Twai::compactionFinished()
{
    bool ok = false;
    try {
        ok = m_watcher.future().result();
    } catch (...) {
        ok = false;
    }
    m_done = true;
    m_timer1->stop();
    if (!ok && m_warn) {
        try {
            m_warn(PopupKind::Warning, failureText());
        } catch (...) {
            // The window closes all the same.
        }
    }
    accept();
}

void Twai::reject()
{
    if (m_done)
        QDialog::reject();
}

void Twai::closeEvent(QCloseEvent* event)
{
    if (m_done)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

} // namespace zarvo
