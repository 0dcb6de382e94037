// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/nodeplacement.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace zarvo {

class NameBox;
class Prompt;

// The add dialog "Add Tree/Folder": asks for the name of a new tree node and where it goes.
//
// The situation says what the tree offers: an empty tree only a sibling group node, a selected
// group node all four placements, a selected folder only a sibling folder. The result is the
// placement chosen, Cancel also when the dialog is closed any other way. OK refuses a name with
// the character of code 1, with a space, or an empty one, each with its own popup, and keeps
// the dialog open. Made for one use.
class Tad : public QDialog
{
    Q_OBJECT
public:
    Tad(NodeSituation situation, Prompt& prompt, QWidget* parent = nullptr);

    // Shows the dialog modally and returns the placement chosen.
    NodePlacement run();
    NodePlacement placement() const { return m_placement; }
    QString name() const;

    // The picture the preview shows now: 1 to 4 for the placements, 5 while the mouse is over
    // Cancel.
    int previewNumber() const;

public Q_SLOTS:
    void SpeedButton1Click();
    void FlatButton1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void showPreview(int number);

    Prompt& m_prompt;
    NodePlacement m_placement = NodePlacement::Cancel;
    int m_preview = 1;
    QLabel* m_image1;
    QLabel* m_image6;
    NameBox* m_edit1;
    QRadioButton* m_radio[4];
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace zarvo
