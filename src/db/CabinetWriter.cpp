// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/CabinetWriter.h"

#include "common/Error.h"
#include "db/GLibPointer.h"

#include <QFile>
#include <QFileInfo>
#include <exception>
#include <libgcab.h>

namespace tilvo {

namespace {

QString Message(GError* error)
{
    return error ? QString::fromUtf8(error->message) : QStringLiteral("erreur inconnue");
}

} // namespace

struct CabinetWriter::Private
{
    GObjectPointer<GCabCabinet> cabinet{gcab_cabinet_new()};
    GObjectPointer<GCabFolder> folder{gcab_folder_new(GCAB_COMPRESSION_MSZIP)};
    qint64 totalBytes = 0;
    qint64 contentLimit = kContentLimit;
    int count = 0;
};

CabinetWriter::CabinetWriter() : d(std::make_unique<Private>())
{
    GError* error = nullptr;
    if (!gcab_cabinet_add_folder(d->cabinet.get(), d->folder.get(), &error)) {
        const QString text = Message(error);
        g_clear_error(&error);
        throw Error(QStringLiteral("L'archive ne peut pas être préparée : %1").arg(text));
    }
}

CabinetWriter::~CabinetWriter() = default;

int CabinetWriter::count() const
{
    return d->count;
}

void CabinetWriter::setContentLimit(qint64 bytes)
{
    d->contentLimit = std::min(bytes, kContentLimit);
}

qint64 CabinetWriter::contentLimit() const
{
    return d->contentLimit;
}

void CabinetWriter::addFile(const QString& name, const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        throw Error(QStringLiteral("Le fichier %1 ne peut pas être lu : il ne peut pas être "
                                   "sauvegardé.")
                        .arg(path));
    const qint64 size = info.size();
    if (d->totalBytes + size > d->contentLimit)
        throw Error(QStringLiteral("Les fichiers à sauvegarder sont trop grands pour une archive "
                                   "de sauvegarde : elle contient %1 octets au plus, et le "
                                   "fichier %2 les dépasse.")
                        .arg(d->contentLimit)
                        .arg(path));

    GObjectPointer<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    GObjectPointer<GCabFile> entry(gcab_file_new_with_file(name.toUtf8().constData(), file.get()));
    GError* error = nullptr;
    if (!gcab_folder_add_file(d->folder.get(), entry.get(), FALSE, nullptr, &error)) {
        const QString text = Message(error);
        g_clear_error(&error);
        throw Error(QStringLiteral("Le fichier %1 ne peut pas être ajouté à l'archive : %2")
                        .arg(path, text));
    }
    d->totalBytes += size;
    ++d->count;
}

namespace {

struct WriteProgress
{
    const CabinetWriter::Progress* progress = nullptr;
    GCancellable* cancellable = nullptr;
    int index = 0;
    std::exception_ptr failure;
};

// libgcab calls this before it compresses each entry. Nothing may be thrown across it: a
// failure stops the writing through the cancellable and is thrown again afterwards.
gboolean BeforeEntry(GCabFile* file, gpointer data)
{
    auto* state = static_cast<WriteProgress*>(data);
    if (state->failure)
        return FALSE;
    try {
        if (*state->progress)
            (*state->progress)(state->index, QString::fromUtf8(gcab_file_get_name(file)));
    } catch (...) {
        state->failure = std::current_exception();
        g_cancellable_cancel(state->cancellable);
    }
    ++state->index;
    return TRUE;
}

} // namespace

void CabinetWriter::write(const QString& path, const Progress& progress)
{
    QFile::remove(path);
    GObjectPointer<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    GError* error = nullptr;
    GObjectPointer<GFileOutputStream> stream(
        g_file_create(file.get(), G_FILE_CREATE_NONE, nullptr, &error));
    if (!stream) {
        const QString text = Message(error);
        g_clear_error(&error);
        throw Error(QStringLiteral("L'archive %1 ne peut pas être créée : %2").arg(path, text));
    }
    GObjectPointer<GCancellable> cancellable(g_cancellable_new());
    WriteProgress state;
    state.progress = &progress;
    state.cancellable = cancellable.get();
    const bool written = gcab_cabinet_write_simple(d->cabinet.get(), G_OUTPUT_STREAM(stream.get()),
                                                   BeforeEntry, &state, cancellable.get(), &error);
    QString text = written ? QString() : Message(error);
    g_clear_error(&error);
    // Closing writes out what the stream still holds: a full disk may show only here.
    if (!g_output_stream_close(G_OUTPUT_STREAM(stream.get()), nullptr, &error) && written)
        text = Message(error);
    g_clear_error(&error);
    if (state.failure)
        std::rethrow_exception(state.failure);
    if (!text.isEmpty())
        throw Error(QStringLiteral("L'archive %1 n'a pas pu être écrite : %2").arg(path, text));
}

} // namespace tilvo
