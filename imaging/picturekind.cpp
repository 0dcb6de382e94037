// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturekind.h"

#include "imaging/pictureencoder.h"

#include <array>
#include <iterator>
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
    { 7, ".emf", "Enhanced Metafile (*.emf)", PictureFormat::Other, nullptr },
    { 8, ".wmf", "Windows Metafile (*.wmf)", PictureFormat::Other, nullptr },
    { 9, ".webp", "WebP Image (*.webp)", PictureFormat::Webp, nullptr },
    { 10, ".heic", "HEIC Image (*.heic)", PictureFormat::Heif, nullptr },
    { 11, ".heif", "HEIF Image (*.heif)", PictureFormat::Heif, nullptr },
    { 12, ".avif", "AVIF Image (*.avif)", PictureFormat::Avif, nullptr },
    { 13, ".tif", "TIFF Image (*.tif)", PictureFormat::Tiff, nullptr },
    { 14, ".tiff", "TIFF Image (*.tiff)", PictureFormat::Tiff, nullptr },
    { 15, ".jxl", "JPEG XL Image (*.jxl)", PictureFormat::Jxl, nullptr },
};
constexpr int kFallbackCode = PictureKind::kFallbackCode;
static_assert(kKinds[kFallbackCode - 1].code == kFallbackCode);
// Codes are positions: kKinds[code - 1] is the kind of `code`. (Which kinds have an encoder is
// checked by the tests: the sanitizers make function addresses no constants.)
static_assert([] {
    for (std::size_t i = 0; i < std::size(kKinds); ++i)
        if (kKinds[i].code != int(i) + 1)
            return false;
    return true;
}());

// The text of one save dialog type, "JPEG Image File (*.jpg)|*.jpg".
constexpr std::size_t filterEntrySize(const PictureKind& kind)
{
    return std::string_view(kind.saveFilter).size() + std::string_view(kind.extension).size() + 2;
}

// The save dialog's filter text, made from the table when compiling: every conversion target's
// "text|*ext", separated by '|'. Being a constant, it is ready before any other file's static
// objects.
constexpr std::size_t saveFilterSize()
{
    std::size_t size = 0;
    for (const PictureKind& kind : kKinds)
        if (kind.isTarget())
            size += filterEntrySize(kind) + 1; // and the '|' after it (the last one's is the zero)
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
        if (!kind.isTarget())
            continue;
        if (at > 0)
            append("|");
        append(kind.saveFilter);
        append("|*");
        append(kind.extension);
    }
    return text;
}();

const PictureKind* kindOfExtension(std::string_view extension)
{
    for (const PictureKind& kind : kKinds)
        if (extension == kind.extension)
            return &kind;
    return nullptr;
}

const PictureKind* kindOfExtension(const QString& extension)
{
    for (const PictureKind& kind : kKinds)
        if (extension == QLatin1String(kind.extension))
            return &kind;
    return nullptr;
}

// The kind of a source path's extension (extensionOfCome), without making the extension's
// string: a folder opening asks for every one of thousands of rows.
const PictureKind* kindOfCome(const QString& come)
{
    const QStringView extension = extensionViewOfCome(come);
    constexpr qsizetype kLongest = 8; // longer than any kind's extension, dot included
    if (extension.size() > kLongest)
        return nullptr;
    char lower[kLongest];
    for (qsizetype i = 0; i < extension.size(); ++i) {
        const char16_t c = extension.at(i).unicode();
        if (c >= 0x80)
            return nullptr; // no kind's extension has it
        lower[i] = c >= u'A' && c <= u'Z' ? char(c + (u'a' - u'A')) : char(c);
    }
    return kindOfExtension(std::string_view(lower, size_t(extension.size())));
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
    const PictureKind* kind = kindOfCome(come);
    return kind ? *kind : kKinds[kFallbackCode - 1];
}

bool PictureKind::isKindExtension(const QString& extension)
{
    return kindOfExtension(extension) != nullptr;
}

bool PictureKind::isShownExtension(const QString& extension)
{
    const PictureKind* kind = kindOfExtension(extension);
    return kind && kind->decoder != PictureFormat::Other;
}

PictureFormat formatOfCome(const QString& come)
{
    const PictureKind* kind = kindOfCome(come);
    return kind ? kind->decoder : PictureFormat::Other;
}

QString saveFilterFor(int storedCode)
{
    QString filter = QString::fromUtf8(kSavePictureFilter);
    const PictureKind& stored = PictureKind::ofCode(storedCode);
    if (!stored.isTarget())
        filter += QStringLiteral("|%1|*%2").arg(
            QLatin1String(stored.saveFilter), QLatin1String(stored.extension));
    return filter;
}

int kindOfSaveIndex(int storedCode, int index)
{
    if (index >= 0 && index < PictureKind::kTargetCount)
        return index + 1;
    return storedCode;
}

int saveIndexOfKind(int storedCode)
{
    const PictureKind& stored = PictureKind::ofCode(storedCode);
    return stored.isTarget() ? stored.code - 1 : PictureKind::kTargetCount;
}

} // namespace zarvo
