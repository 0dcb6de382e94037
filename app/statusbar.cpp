// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/statusbar.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QStyleOptionFrame>

namespace zarvo {

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
    , m_pro(new QProgressBar(this))
{
    for (int i = 1; i < 3; ++i) {
        m_labels[i] = new QLabel(this);
        m_labels[i]->setObjectName(QStringLiteral("panel%1").arg(i));
        m_labels[i]->setTextFormat(Qt::PlainText);
        m_labels[i]->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        m_labels[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    placeLabels();
    setObjectName(QStringLiteral("bar"));
    setFixedHeight(kHeight);
    m_pro->setObjectName(QStringLiteral("pro"));
    startProgress(0);
    m_pro->setTextVisible(false);
    m_pro->setGeometry(progressGeometry(kBorder, kHeight, kPanelWidths[0]));
}

void StatusBar::startProgress(int steps)
{
    m_pro->setRange(0, qMax(steps, 1));
    m_pro->setValue(0);
}

void StatusBar::advanceProgress(bool paintNow)
{
    if (paintNow) {
        m_pro->setValue(m_pro->value() + 1);
        m_pro->repaint();
        return;
    }
    // QProgressBar paints at once whenever its bar grows; here the window's next paint shows it.
    m_pro->setUpdatesEnabled(false);
    m_pro->setValue(m_pro->value() + 1);
    m_pro->setUpdatesEnabled(true);
}

void StatusBar::endProgress()
{
    m_pro->setValue(0);
}

QRect StatusBar::progressGeometry(int border, int height, int panelWidth)
{
    return QRect(border + 1, border + 3, panelWidth + 2 * border - 3, height - 2 * border - 5);
}

void StatusBar::setPanelText(int panel, const QString& text)
{
    if (panel < 1 || panel > 2 || m_labels[panel]->text() == text)
        return;
    m_labels[panel]->setText(text);
}

QString StatusBar::panelText(int panel) const
{
    return panel >= 1 && panel <= 2 ? m_labels[panel]->text() : QString();
}

void StatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeLabels();
}

void StatusBar::placeLabels()
{
    for (int i = 1; i < 3; ++i)
        m_labels[i]->setGeometry(panelRect(i).adjusted(0, 1, -2, 0).adjusted(4, 1, -2, -1));
}

QRect StatusBar::panelRect(int panel) const
{
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += kPanelWidths[i];
    const int width
        = panel == 2 ? qMax(kPanelWidths[2], this->width() - left) : kPanelWidths[panel];
    return QRect(left, 0, width, height());
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    for (int i = 0; i < 3; ++i) {
        const QRect r = panelRect(i).adjusted(0, 1, -2, 0);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = r;
        frame.lineWidth = 1;
        frame.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &p, this);
    }
}

} // namespace zarvo
