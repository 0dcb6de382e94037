// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/form1.h"
#include "support/workspacefixture.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace zarvo::test {

// A whole main window on a store in a sandbox that is the working directory while the test
// runs; the window asks and tells through a recording prompt, and `ws` is its workspace.
class FormFixture : public WorkspaceFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the window (FormCreate and show) on the sandbox store.
    Form1& start();

    // Runs `act` on the dialog of type D once it is shown modally (for window tests that open one).
    template <typename D> static void whenModal(std::function<void(D&)> act);

    std::unique_ptr<Form1> form;

private:
    static void onModal(std::function<void(QDialog*)> act);
    QString m_oldDir;
};

template <typename D> void FormFixture::whenModal(std::function<void(D&)> act)
{
    onModal([act](QDialog* dialog) {
        D* typed = qobject_cast<D*>(dialog);
        ASSERT_NE(typed, nullptr) << "no such dialog is shown";
        act(*typed);
    });
}

} // namespace zarvo::test
