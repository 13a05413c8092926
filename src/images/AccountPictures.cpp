// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/AccountPictures.h"

#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/LetWindowsRepaint.h"
#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "common/TextHelpers.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "images/BmpFile.h"
#include "images/FitPictureInBox.h"
#include "images/JpegFile.h"
#include "images/ResizePicture.h"
#include "images/Thumbnail.h"

#include <QBuffer>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QThread>
#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <system_error>

namespace tilvo {

namespace {

constexpr char kSection[] = "Lib_Bd_Gfx";

// The hourglass while a picture command works; nothing where no window system runs.
class WaitCursor
{
public:
    WaitCursor()
        : m_set(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
                QThread::currentThread() == QCoreApplication::instance()->thread())
    {
        if (m_set)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_set)
            QGuiApplication::restoreOverrideCursor();
    }
    Q_DISABLE_COPY_MOVE(WaitCursor)

private:
    bool m_set;
};

QString WithPath(const char* key, const char* defaultText, const QString& path)
{
    return LookupText(QLatin1String(kSection), QLatin1String(key), QString::fromUtf8(defaultText))
        .replace(QStringLiteral("%1"), QDir::toNativeSeparators(path));
}

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        throw Error(QStringLiteral("Le fichier image « %1 » est introuvable.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Impossible d'ouvrir le fichier image « %1 ».").arg(path));
    // No picture the program accepts needs more than four bytes a pixel and its headers.
    if (file.size() > MaxPicturePixels * 4 + (qint64(64) << 20))
        throw Error(QStringLiteral("Le fichier image « %1 » est trop grand.").arg(path));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Impossible de lire le fichier image « %1 ».").arg(path));
    return bytes;
}

// The picture at 24 bits, without copying one that is already.
Picture AsBgr24(Picture&& picture)
{
    if (picture.format() == PixelFormat::Bgr24)
        return std::move(picture);
    return picture.toBgr24();
}

Picture DecodeJpegSource(const QByteArray& bytes, const QString& path)
{
    Picture picture;
    if (!DecodeJpeg(picture, bytes))
        throw Error(QStringLiteral("L'image JPEG « %1 » est illisible : le fichier est endommagé, "
                                   "incomplet, trop grand ou n'est pas une image JPEG.")
                        .arg(path));
    return AsBgr24(std::move(picture));
}

// Qt's reader refuses pictures above its own memory limit, which is process-wide; it is lifted
// for the reads made here, whose size was checked against the program's limit first.
class AllocationLimitLifted
{
public:
    AllocationLimitLifted()
    {
        const std::lock_guard<std::mutex> lock(mutex());
        if (count()++ == 0) {
            saved() = QImageReader::allocationLimit();
            QImageReader::setAllocationLimit(0);
        }
    }
    ~AllocationLimitLifted()
    {
        const std::lock_guard<std::mutex> lock(mutex());
        if (--count() == 0)
            QImageReader::setAllocationLimit(saved());
    }
    Q_DISABLE_COPY_MOVE(AllocationLimitLifted)

private:
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static int& count()
    {
        static int c = 0;
        return c;
    }
    static int& saved()
    {
        static int s = 0;
        return s;
    }
};

// Through Qt's image reader (PNG and the like), the size checked before any pixel is read;
// transparent parts are laid on white.
Picture DecodeOtherSource(const QByteArray& bytes, const QString& path)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QString unreadable =
        QStringLiteral("L'image « %1 » est illisible : le fichier est endommagé, incomplet ou "
                       "n'est pas une image JPEG, BMP ou PNG.")
            .arg(path);
    if (!reader.canRead())
        throw Error(unreadable);
    const QSize size = reader.size();
    if (!size.isValid())
        throw Error(unreadable);
    if (const std::optional<QString> problem = PictureSizeProblem(size.width(), size.height()))
        throw Error(QStringLiteral("« %1 » : %2").arg(path, *problem));
    QImage image;
    {
        const AllocationLimitLifted lifted;
        image = reader.read();
    }
    if (image.isNull() || image.size() != size)
        throw Error(unreadable);
    if (image.hasAlphaChannel()) {
        QImage opaque(image.size(), QImage::Format_RGB888);
        if (opaque.isNull())
            throw Error(QStringLiteral("Mémoire insuffisante pour une image de %1 × %2 pixels.")
                            .arg(image.width())
                            .arg(image.height()));
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        image = std::move(opaque);
    }
    return AsBgr24(Picture::fromQImage(image));
}

Picture DecodeSource(const QString& path, const QByteArray& bytes)
{
    if (IsJpegFileName(path))
        return DecodeJpegSource(bytes, path);
    if (bytes.startsWith("BM")) {
        try {
            return AsBgr24(DecodeBmp(bytes));
        } catch (const Error& e) {
            throw Error(QStringLiteral("« %1 » : %2").arg(path, e.text()));
        }
    }
    return DecodeOtherSource(bytes, path);
}

// Runs the work on another thread while this one lets the windows repaint, then gives its
// result or rethrows its error.
template <typename Work> auto WhileRepainting(Work work)
{
    std::future<decltype(work())> future;
    try {
        future = std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        // No thread to be had: the work is done here, the windows waiting meanwhile.
        return work();
    }
    while (future.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
        LetWindowsRepaint();
    return future.get();
}

// A file put aside under another name, and put back unless the change is kept.
class FileSetAside
{
public:
    explicit FileSetAside(const QString& path)
        : m_path(path), m_aside(path + QStringLiteral(".old"))
    {
        QFile::remove(m_aside);
        if (QFile::exists(m_path)) {
            if (!QFile::rename(m_path, m_aside))
                throw Error(
                    QStringLiteral("Impossible de remplacer le fichier image « %1 ».").arg(m_path));
            m_held = true;
        }
    }
    ~FileSetAside()
    {
        if (m_kept) {
            if (m_held)
                QFile::remove(m_aside);
            return;
        }
        QFile::remove(m_path);
        if (m_held)
            QFile::rename(m_aside, m_path);
    }
    void keep() { m_kept = true; }
    Q_DISABLE_COPY_MOVE(FileSetAside)

private:
    QString m_path;
    QString m_aside;
    bool m_held = false;
    bool m_kept = false;
};

} // namespace

bool IsJpegFileName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toUpper();
    return suffix == QLatin1String("JPG") || suffix == QLatin1String("JPEG");
}

Picture LoadSourcePicture(const QString& path)
{
    return DecodeSource(path, ReadWholeFile(path));
}

QByteArray PreparePicture(const QString& sourcePath, const QString& pictureFilePath,
                          int thumbnailWidth, int thumbnailHeight, const PictureSettings& settings)
{
    const QByteArray bytes = ReadWholeFile(sourcePath);
    Picture picture = DecodeSource(sourcePath, bytes);
    const QByteArray thumbnail = EncodeBmp(MakeThumbnail(picture, thumbnailWidth, thumbnailHeight));
    if (IsJpegFileName(sourcePath)) {
        // The very bytes that were decoded, so what is kept is what was checked.
        if (!WriteFileAtomically(pictureFilePath, bytes))
            throw Error(QStringLiteral("Impossible d'écrire le fichier image « %1 ».")
                            .arg(pictureFilePath));
        return thumbnail;
    }
    const int maxWidth = settings.maxWidth > 0 ? settings.maxWidth : PictureSettings().maxWidth;
    if (picture.width() > maxWidth || picture.height() > maxWidth) {
        const Placement fitted =
            FitPictureInBox(maxWidth, maxWidth, picture.width(), picture.height());
        ResizePicture(picture, fitted.width, fitted.height);
    }
    WriteJpegFile(picture, pictureFilePath, settings.jpegQuality);
    return thumbnail;
}

void ImportAccountPicture(DataSource& dataSource, DataSet& account, int thumbnailWidth,
                          const QString& thumbnailField, const QString& targetPath,
                          const QString& sourcePath, int thumbnailHeight,
                          const PictureSettings& settings)
{
    const WaitCursor wait;
    PostIfEditing(dataSource, account);
    ReopenKeepingRow(account);
    EnsureEditing(dataSource, account);
    LetWindowsRepaint();

    QDir().mkpath(QFileInfo(targetPath).absolutePath());
    const QString made = targetPath + QStringLiteral(".new");
    QFile::remove(made);
    QByteArray thumbnail;
    try {
        thumbnail = WhileRepainting([&] {
            return PreparePicture(sourcePath, made, thumbnailWidth, thumbnailHeight, settings);
        });
    } catch (...) {
        QFile::remove(made);
        throw;
    }
    LetWindowsRepaint();

    Field column = account.fieldByName(thumbnailField);
    const QVariant before = column.value();
    std::optional<FileSetAside> earlier;
    try {
        earlier.emplace(targetPath);
    } catch (...) {
        QFile::remove(made);
        throw;
    }
    if (!QFile::rename(made, targetPath)) {
        QFile::remove(made);
        throw Error(QStringLiteral("Impossible d'écrire le fichier image « %1 ».").arg(targetPath));
    }
    try {
        column.setBytes(thumbnail);
        PostIfEditing(dataSource, account);
    } catch (...) {
        // The row keeps its thumbnail, so the picture file goes back too.
        try {
            if (account.state() == DataSetState::Editing ||
                account.state() == DataSetState::Inserting)
                column.setValue(before);
        } catch (...) {
            // The first error is the one to show.
        }
        throw;
    }
    earlier->keep();
    ReopenKeepingRow(account);
}

void RemoveAccountPicture(DataSource& dataSource, DataSet& account, const QString& firstColumn,
                          const QString& secondColumn, const QString& filePath)
{
    const WaitCursor wait;
    PostIfEditing(dataSource, account);
    ReopenKeepingRow(account);
    EnsureEditing(dataSource, account);
    account.fieldByName(firstColumn).clear();
    account.fieldByName(secondColumn).clear();
    PostIfEditing(dataSource, account);
    ReopenKeepingRow(account);
    if (QFile::exists(filePath))
        QFile::remove(filePath);
}

void DeletePictureFile(const QString& filePath)
{
    const WaitCursor wait;
    if (QFile::exists(filePath))
        QFile::remove(filePath);
}

QString PictureNotFoundMessage(const QString& filePath)
{
    return WithPath("Message1",
                    "IMPOSSIBLE DE TROUVER L'IMAGE !{CR}Le fichier \"%1\" a sans doute été "
                    "supprimé manuellement et n'est plus accessible.",
                    filePath);
}

QString PictureNotViewableMessage(const QString& filePath)
{
    return WithPath("Message1",
                    "IMPOSSIBLE DE VISUALISER L'IMAGE !{CR}Le fichier \"%1\" a sans doute été "
                    "supprimé manuellement et n'est plus accessible.",
                    filePath);
}

QString ProposedPictureName(const QString& title)
{
    return title.isEmpty() ? QStringLiteral("*.jpg") : title + QStringLiteral(".jpg");
}

void SavePictureCopyAs(const QString& filePath, const QString& proposedName, Prompts& prompts)
{
    if (!QFile::exists(filePath)) {
        prompts.showMessage(PictureNotFoundMessage(filePath), Prompts::Icon::Error);
        return;
    }
    // "*.jpg" stands for no name: the dialog then proposes none rather than "_.jpg".
    const QString name = proposedName.startsWith(u'*') ? QString() : FileNameSafe(proposedName);
    const std::optional<QString> chosen =
        prompts.saveFileName(LookupText(QLatin1String(kSection), QStringLiteral("String2"),
                                        QStringLiteral("Enregistrer l'image sous ...")),
                             LookupText(QLatin1String(kSection), QStringLiteral("String1"),
                                        QStringLiteral("Image Jpeg|*.jpg")),
                             name, QStringLiteral("jpg"));
    if (!chosen)
        return;
    // Copying the file onto itself would empty it.
    if (QFileInfo(*chosen).canonicalFilePath() == QFileInfo(filePath).canonicalFilePath())
        return;
    const QByteArray bytes = ReadWholeFile(filePath);
    if (!WriteFileAtomically(*chosen, bytes))
        throw Error(QStringLiteral("Impossible d'enregistrer la copie de l'image sous « %1 ».")
                        .arg(*chosen));
}

} // namespace tilvo
