// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace zarvo {

// The status bar `bar` of the main window: 19 pixels high, three panels of 288, 170 and 50
// pixels (the last takes the rest of the bar), and the progress bar `pro` over panel 0. Panel
// 1 shows the open folder's total, panel 2 its counts by picture kind.
class StatusBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 19;
    static constexpr int kBorder = 1;
    static constexpr int kPanelWidths[3] = { 288, 170, 50 };

    explicit StatusBar(QWidget* parent = nullptr);

    // Panels 1 and 2 show texts, as plain-text labels that assistive technology reads.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    QProgressBar* progress() const { return m_pro; }
    // `pro` from 0 towards `steps`. No steps at all shows an empty bar (a bar of no range would
    // show Qt's busy animation instead).
    void startProgress(int steps);
    // One step further; painted at once with `paintNow`, otherwise with the next repaint.
    void advanceProgress(bool paintNow = true);
    // Back to 0, keeping the range.
    void endProgress();

    // Where `pro` lies inside panel 0: left B + 1, top B + 3, height H - 2B - 5, width
    // W0 + 2B - 3, for the bar's border width B, height H and panel width W0.
    static QRect progressGeometry(int border, int height, int panelWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect panelRect(int panel) const;
    void placeLabels();

    QLabel* m_labels[3] = {}; // panel 0 holds the progress bar instead
    QProgressBar* m_pro;
};

} // namespace zarvo
