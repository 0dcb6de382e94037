// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/form1.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace zarvo::test {

// A main window on a store in a sandbox that is the working directory while the test runs; the
// window asks and tells through a recording prompt.
class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A folder table with the pictures (source path, bytes), named after their files, and a
    // top-level node for it; the store is the sandbox's, which start() lets go of.
    void makeFolder(const QString& name, const QList<std::pair<QString, QByteArray>>& pictures);
    // Starts the window (FormCreate and show) on the sandbox store.
    Form1& start();

    // Selects the node shown as displayName and clicks it.
    void clickNode(const QString& displayName);
    void selectNode(const QString& displayName);
    QStringList captions() const;
    // Selects exactly these rows of the folder view.
    void select(const QList<int>& rows);
    QStringList rowNames(const QString& folder) const;

    // Runs `act` on the dialog of type D once it is shown modally (for commands that open one).
    template<typename D>
    static void whenModal(std::function<void(D&)> act);

    Sandbox box;
    RecordingPrompt prompt;
    std::unique_ptr<Form1> form;

private:
    static void onModal(std::function<void(QDialog*)> act);
    QString m_oldDir;
};

template<typename D>
void FormFixture::whenModal(std::function<void(D&)> act)
{
    onModal([act](QDialog* dialog) {
        D* typed = qobject_cast<D*>(dialog);
        ASSERT_NE(typed, nullptr) << "no such dialog is shown";
        act(*typed);
    });
}

} // namespace zarvo::test
