// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturekind.h"

#include "imaging/pictureencoder.h"

#include <array>
#include <string_view>

namespace zarvo {

namespace {

EncodedPicture encodeBestJpeg(const QImage& image)
{
    return encodeJpegFile(image, 100);
}

constexpr PictureKind kKinds[] = {
    { 1, ".jpg", "JPEG Image File (*.jpg)", PictureFormat::Jpeg, encodeBestJpeg },
    { 2, ".jpeg", "JPEG Image File (*.jpeg)", PictureFormat::Jpeg, encodeBestJpeg },
    { 3, ".bmp", "Bitmaps (*.bmp)", PictureFormat::Bmp, encodeBmpFile },
    { 4, ".ico", "Icons (*.ico)", PictureFormat::Ico, encodeIcoFile },
    { 5, ".png", "PNG(*.png)", PictureFormat::Png, encodePngFile },
    { 6, ".gif", "GIF(*.gif)", PictureFormat::Gif, encodeGifFile },
};
constexpr int kFallbackCode = 6;
static_assert(kKinds[kFallbackCode - 1].code == kFallbackCode);

// The save dialog's filter text, made from the table when compiling: every kind's "text|*ext",
// separated by '|'. Being a constant, it is ready before any other file's static objects.
constexpr std::size_t saveFilterSize()
{
    std::size_t size = 0;
    for (const PictureKind& kind : kKinds)
        size += std::string_view(kind.saveFilter).size() + std::string_view(kind.extension).size()
            + 3; // "|*" and the '|' after it (the last kind's is the terminating zero)
    return size;
}

constexpr auto kSaveFilterText = [] {
    std::array<char, saveFilterSize()> text {};
    std::size_t at = 0;
    const auto append = [&text, &at](std::string_view part) {
        for (char c : part)
            text[at++] = c;
    };
    for (const PictureKind& kind : kKinds) {
        if (at > 0)
            append("|");
        append(kind.saveFilter);
        append("|*");
        append(kind.extension);
    }
    return text;
}();

const PictureKind* kindOfExtension(const QString& extension)
{
    for (const PictureKind& kind : kKinds)
        if (extension == QLatin1String(kind.extension))
            return &kind;
    return nullptr;
}

} // namespace

constinit const char* const kSavePictureFilter = kSaveFilterText.data();

std::span<const PictureKind> PictureKind::all()
{
    return kKinds;
}

const PictureKind& PictureKind::ofCode(int code)
{
    for (const PictureKind& kind : kKinds)
        if (kind.code == code)
            return kind;
    return kKinds[kFallbackCode - 1];
}

const PictureKind& PictureKind::ofCome(const QString& come)
{
    const PictureKind* kind = kindOfExtension(extensionOfCome(come));
    return kind ? *kind : kKinds[kFallbackCode - 1];
}

bool PictureKind::isKindExtension(const QString& extension)
{
    return kindOfExtension(extension) != nullptr;
}

PictureFormat formatOfCome(const QString& come)
{
    const PictureKind* kind = kindOfExtension(extensionOfCome(come));
    return kind ? kind->decoder : PictureFormat::Other;
}

} // namespace zarvo
