// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/statusbar.h"

#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QStyleOptionFrame>

namespace zarvo {

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
    , m_texts(3)
    , m_pro(new QProgressBar(this))
{
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

void StatusBar::advanceProgress()
{
    m_pro->setValue(m_pro->value() + 1);
    m_pro->repaint();
}

QRect StatusBar::progressGeometry(int border, int height, int panelWidth)
{
    return QRect(border + 1, border + 3, panelWidth + 2 * border - 3, height - 2 * border - 5);
}

void StatusBar::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= m_texts.size() || m_texts[panel] == text)
        return;
    m_texts[panel] = text;
    update(panelRect(panel));
}

QRect StatusBar::panelRect(int panel) const
{
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += kPanelWidths[i];
    const int width = panel == 2 ? qMax(kPanelWidths[2], this->width() - left) : kPanelWidths[panel];
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
        if (i > 0) {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(r.adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, m_texts[i]);
        }
    }
}

} // namespace zarvo
