// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLineEdit;

namespace zarvo {

class NameBox;
class Prompt;

// The rename dialog "修改窗口": shows the current name and asks for a new one of at most 19
// bytes. OK (or Enter in the new-name box) refuses a name with a space, then one with the
// character of code 1 (warnings), then one equal to the current name byte for byte (a tip),
// and keeps the dialog open; otherwise the dialog closes with OK. It knows nothing of folders:
// whether the new name is taken is the caller's check. Made for one use.
class TEdi : public QDialog
{
    Q_OBJECT
public:
    TEdi(const QString& oldName, Prompt& prompt, QWidget* parent = nullptr);

    QString newName() const;
    QLineEdit* edit_old() const { return m_editOld; }
    NameBox* edit_new() const { return m_editNew; }

public Q_SLOTS:
    void SpeedButton1Click();
    void FlatButton1Click();

private:
    Prompt& m_prompt;
    QLineEdit* m_editOld;
    NameBox* m_editNew;
};

} // namespace zarvo
