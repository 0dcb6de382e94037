// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

class QFileDialog;

namespace zarvo {

// The preview beside a (non-native) open-picture dialog: the selected file as a 150x150
// thumbnail, made by the thumbnail decoder (so with its pixel limit), or nothing for a file
// that is not a picture it can read. Files larger than a sane size are not read for it.
class PicturePreview : public QLabel
{
    Q_OBJECT
public:
    explicit PicturePreview(QWidget* parent = nullptr);

    // Adds a preview to the dialog's layout and feeds it from the dialog's current file.
    static PicturePreview* attach(QFileDialog& dialog);

    void showFile(const QString& path);
};

} // namespace zarvo
