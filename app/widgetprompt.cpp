// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/widgetprompt.h"

#include "app/picturepreview.h"
#include "dialogs/tad.h"
#include "dialogs/tdups.h"
#include "dialogs/tedi.h"
#include "dialogs/tfin.h"
#include "dialogs/tselfolde.h"
#include "widgets/displaytext.h"
#include "widgets/msnpop.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(WidgetPrompt)
};

QPointer<QWidget>& askingWindow()
{
    static QPointer<QWidget> window;
    return window;
}

} // namespace

AskingWindow::AskingWindow(QWidget* window)
    : m_outer(askingWindow())
{
    askingWindow() = window;
}

AskingWindow::~AskingWindow()
{
    askingWindow() = m_outer;
}

QWidget* AskingWindow::current()
{
    return askingWindow();
}

WidgetPrompt::WidgetPrompt(QWidget* owner, MsnPop* popups)
    : m_owner(owner)
    , m_popups(popups)
{
}

bool WidgetPrompt::confirm(const QString& question)
{
    QMessageBox box(QMessageBox::Question, Texts::tr("Confirm"), QString(),
        QMessageBox::Yes | QMessageBox::No, dialogOwner());
    box.setObjectName(QStringLiteral("confirm"));
    // Questions hold names of files: never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(question));
    // The confirmation box keeps its English buttons whatever language Qt's dialogs speak.
    box.button(QMessageBox::Yes)->setText(Texts::tr("&Yes"));
    box.button(QMessageBox::No)->setText(Texts::tr("&No"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void WidgetPrompt::popup(PopupKind kind, const QString& text)
{
    if (m_popups)
        m_popups->ShowPopup(kind, text);
}

WidgetPrompt::NameFilters WidgetPrompt::nameFilters(const QString& filter)
{
    NameFilters result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            // "*.jpg" becomes "*.[jJ][pP][gG]": Windows matched extensions in any case.
            QString anyCase;
            for (QChar c : pattern)
                anyCase += c.isLetter() && c.toLower() != c.toUpper()
                    ? QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper())
                    : QString(c);
            patterns.append(anyCase);
        }
        result.shown.append(parts.at(i));
        result.patterns.append(
            QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.join(QLatin1Char(' '))));
    }
    return result;
}

namespace {

// Gives the file dialog `filters` and selects the one at `selected` (none when out of range).
// QFileDialog filters by the list it was given, by position, while its type box shows the texts
// as they are meant to read. The box is found by its name, as the dialog builds it. Returns the
// box, or null when the dialog has none.
QComboBox* showNameFilters(
    QFileDialog& dialog, const WidgetPrompt::NameFilters& filters, int selected)
{
    dialog.setNameFilters(filters.patterns);
    // Selected while the box still holds the patterns: QFileDialog finds a filter by the text
    // its box shows, so once the box shows the descriptions no pattern would match.
    if (selected >= 0 && selected < filters.patterns.size())
        dialog.selectNameFilter(filters.patterns.at(selected));
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (types)
        for (int i = 0; i < types->count() && i < filters.shown.size(); ++i)
            types->setItemText(i, filters.shown.at(i));
    return types;
}

} // namespace

QStringList WidgetPrompt::chooseOpenFiles(const QString& filter)
{
    QFileDialog dia(m_owner);
    dia.setObjectName(QStringLiteral("dia"));
    dia.setOption(QFileDialog::DontUseNativeDialog);
    dia.setOption(QFileDialog::ReadOnly, false);
    dia.setAcceptMode(QFileDialog::AcceptOpen);
    dia.setFileMode(QFileDialog::ExistingFiles);
    dia.setSizeGripEnabled(true);
    showNameFilters(dia, nameFilters(filter), 0);
    PicturePreview::attach(dia);
    if (dia.exec() != QDialog::Accepted)
        return {};
    return dia.selectedFiles();
}

std::optional<QString> WidgetPrompt::askNewName(const QString& oldName)
{
    TEdi dialog(oldName, *this, m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.newName();
}

NewNode WidgetPrompt::askNewNode(NodeSituation situation)
{
    Tad dialog(situation, *this, m_owner);
    const NodePlacement placement = dialog.run();
    return { placement, dialog.name() };
}

QString WidgetPrompt::chooseDirectory()
{
    Tselfolde dialog(m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedPath();
}

void WidgetPrompt::showSearchWindow(FindSession& session)
{
    Tfin dialog(session, m_owner);
    dialog.exec();
}

void WidgetPrompt::beginWork(const QString& title)
{
    endWork();
    m_work = new QProgressDialog(
        title, QCoreApplication::translate("Prompt", "取消"), 0, 0, dialogOwner());
    m_work->setObjectName(QStringLiteral("work"));
    m_work->setWindowTitle(title);
    m_work->setWindowModality(Qt::WindowModal);
    m_work->setMinimumDuration(500);
    m_work->setAutoClose(false);
    m_work->setAutoReset(false);
    m_work->setValue(0);
}

bool WidgetPrompt::advanceWork(qint64 done, qint64 total)
{
    if (!m_work)
        return true;
    // The dialog counts in int; large counts are scaled.
    const int scale = total > 1'000'000'000 ? 1000 : 1;
    if (m_work->maximum() != int(total / scale))
        m_work->setMaximum(int(total / scale));
    m_work->setValue(int(done / scale)); // lets the window's events through, a cancel too
    return !m_work->wasCanceled();
}

void WidgetPrompt::endWork()
{
    if (m_work)
        delete m_work.data();
}

void WidgetPrompt::showDuplicatesWindow(DuplicateSession& session)
{
    Tdups dialog(session, dialogOwner());
    dialog.exec();
}

QWidget* WidgetPrompt::dialogOwner() const
{
    if (QWidget* asking = AskingWindow::current())
        return asking;
    QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible() && active->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return active;
    return m_owner;
}

std::optional<SaveChoice> WidgetPrompt::chooseSaveFile(
    const QString& filter, int selectedIndex, const QString& proposedName)
{
    QFileDialog savedia(dialogOwner());
    savedia.setObjectName(QStringLiteral("savedia"));
    savedia.setOption(QFileDialog::DontUseNativeDialog);
    // The command asks about an existing file itself, for the name with its extension appended.
    savedia.setOption(QFileDialog::DontConfirmOverwrite);
    savedia.setAcceptMode(QFileDialog::AcceptSave);
    savedia.setFileMode(QFileDialog::AnyFile);
    savedia.setSizeGripEnabled(true);
    // Plain patterns here: the dialog swaps a typed name's extension for the pattern's own when
    // the file type changes, and an any-case pattern would make that extension unreadable.
    NameFilters filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters.shown.append(parts.at(i));
        filters.patterns.append(QStringLiteral("%1 (%2)").arg(
            parts.at(i), parts.at(i + 1).split(QLatin1Char(';')).join(QLatin1Char(' '))));
    }
    const QStringList& patterns = filters.patterns;
    auto* types = showNameFilters(savedia, filters, selectedIndex);
    savedia.selectFile(proposedName);
    if (savedia.exec() != QDialog::Accepted || savedia.selectedFiles().isEmpty())
        return std::nullopt;
    int chosen
        = types ? types->currentIndex() : int(patterns.indexOf(savedia.selectedNameFilter()));
    if (chosen < 0)
        chosen = selectedIndex;
    return SaveChoice { savedia.selectedFiles().constFirst(), chosen };
}

} // namespace zarvo
