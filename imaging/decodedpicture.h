// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

namespace zarvo {

// What a decoder gives back: a picture, or a null picture and a short technical error text
// (from the codec library where it had one). Every failure, a refusal included, comes back
// this way; decoders never throw.
struct DecodedPicture
{
    QImage image;
    QString error;

    bool ok() const { return !image.isNull(); }
};

} // namespace zarvo
