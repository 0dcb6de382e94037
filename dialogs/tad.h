// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace zarvo {

class NameBox;
class Prompt;

// The add dialog "Add Tree/Folder": asks for the name of a new tree node and where it goes.
//
// The situation says what the tree offers: 0 an empty tree (only a sibling group node), 1 a
// group node selected (all four placements), 2 a folder selected (only a sibling folder). The
// result is a placement code: 1 sibling group node, 2 child group node, 3 sibling folder, 4
// child folder, 5 cancel (also when the dialog is closed any other way). OK refuses a name with
// the character of code 1, with a space, or an empty one, each with its own popup, and keeps
// the dialog open. Made for one use.
class Tad : public QDialog {
    Q_OBJECT
public:
    enum Code { SiblingGroup = 1, ChildGroup = 2, SiblingFolder = 3, ChildFolder = 4, Cancel = 5 };

    Tad(int situation, Prompt& prompt, QWidget* parent = nullptr);

    // Shows the dialog modally and returns the placement code.
    int run();
    int code() const { return m_code; }
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
    int m_code = Cancel;
    int m_preview = 1;
    QLabel* m_image1;
    QLabel* m_image6;
    NameBox* m_edit1;
    QRadioButton* m_radio[4];
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace zarvo
