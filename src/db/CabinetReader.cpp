// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/CabinetReader.h"

#include "common/Error.h"
#include "db/GLibPointer.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <exception>
#include <libgcab.h>

namespace tilvo {

namespace {

QString Message(GError* error)
{
    return error ? QString::fromUtf8(error->message) : QStringLiteral("erreur inconnue");
}

} // namespace

struct CabinetReader::Private
{
    QString path;
    GObjectPointer<GCabCabinet> cabinet{gcab_cabinet_new()};
    GObjectPointer<GFileInputStream> stream;
    QList<CabinetEntry> entries;
};

CabinetReader::CabinetReader(const QString& path) : d(std::make_unique<Private>())
{
    d->path = path;
    const QFileInfo info(path);
    if (!info.isFile())
        throw Error(QStringLiteral("Le fichier %1 n'existe pas.").arg(path));
    if (info.size() == 0)
        throw Error(QStringLiteral("Le fichier %1 est vide : ce n'est pas une archive de "
                                   "sauvegarde.")
                        .arg(path));
    GObjectPointer<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    GError* error = nullptr;
    d->stream.reset(g_file_read(file.get(), nullptr, &error));
    if (!d->stream) {
        const QString text = Message(error);
        g_clear_error(&error);
        throw Error(QStringLiteral("Le fichier %1 ne peut pas être lu : %2").arg(path, text));
    }
    if (!gcab_cabinet_load(d->cabinet.get(), G_INPUT_STREAM(d->stream.get()), nullptr, &error)) {
        const QString text = Message(error);
        g_clear_error(&error);
        throw Error(QStringLiteral("Le fichier %1 n'est pas une archive de sauvegarde lisible "
                                   "(%2).")
                        .arg(path, text));
    }
    GPtrArray* folders = gcab_cabinet_get_folders(d->cabinet.get());
    for (guint i = 0; folders && i < folders->len; ++i) {
        auto* folder = static_cast<GCabFolder*>(g_ptr_array_index(folders, i));
        GSList* files = gcab_folder_get_files(folder);
        for (GSList* item = files; item; item = item->next) {
            auto* entry = static_cast<GCabFile*>(item->data);
            d->entries.append(
                {QString::fromUtf8(gcab_file_get_name(entry)), qint64(gcab_file_get_size(entry))});
        }
        g_slist_free(files);
    }
}

CabinetReader::~CabinetReader() = default;

const QList<CabinetEntry>& CabinetReader::entries() const
{
    return d->entries;
}

QString CabinetReader::ExtractionName(const QString& entryName)
{
    const qsizetype cut = std::max(entryName.lastIndexOf(u'/'), entryName.lastIndexOf(u'\\'));
    const QString name = entryName.mid(cut + 1);
    if (name.isEmpty() || name == u"." || name == u"..")
        return QString();
    return name;
}

namespace {

struct ExtractState
{
    const CabinetReader::Progress* progress = nullptr;
    GCancellable* cancellable = nullptr;
    int index = 0;
    QHash<QString, qint64> expected; // the size each extracted name must end with
    std::exception_ptr failure;
};

// libgcab asks before each entry whether, and under which name, to write it. Nothing may be
// thrown across it: a failure stops the extraction through the cancellable.
gboolean ChooseEntry(GCabFile* file, gpointer data)
{
    auto* state = static_cast<ExtractState*>(data);
    const QString stored = QString::fromUtf8(gcab_file_get_name(file));
    try {
        if (*state->progress)
            (*state->progress)(state->index, stored);
    } catch (...) {
        state->failure = std::current_exception();
        g_cancellable_cancel(state->cancellable);
    }
    ++state->index;
    const QString name = CabinetReader::ExtractionName(stored);
    if (name.isEmpty() || state->failure)
        return FALSE;
    gcab_file_set_extract_name(file, name.toUtf8().constData());
    state->expected.insert(name, qint64(gcab_file_get_size(file)));
    return TRUE;
}

} // namespace

void CabinetReader::extractAll(const QString& folder, const Progress& progress)
{
    GObjectPointer<GFile> target(g_file_new_for_path(QFile::encodeName(folder).constData()));
    GObjectPointer<GCancellable> cancellable(g_cancellable_new());
    ExtractState state;
    state.progress = &progress;
    state.cancellable = cancellable.get();
    GError* error = nullptr;
    const bool extracted = gcab_cabinet_extract_simple(d->cabinet.get(), target.get(), ChooseEntry,
                                                       &state, cancellable.get(), &error);
    if (state.failure)
        std::rethrow_exception(state.failure);
    if (!extracted) {
        const bool damaged = error && error->domain == GCAB_ERROR;
        const QString text = Message(error);
        g_clear_error(&error);
        if (damaged)
            throw Error(QStringLiteral("L'archive %1 est endommagée (%2).").arg(d->path, text));
        throw Error(
            QStringLiteral("L'archive %1 n'a pas pu être décompressée : %2").arg(d->path, text));
    }
    // Every file must have come out whole.
    for (auto it = state.expected.cbegin(); it != state.expected.cend(); ++it) {
        const QFileInfo file(folder + u'/' + it.key());
        if (!file.isFile() || file.size() != it.value())
            throw Error(QStringLiteral("L'archive %1 est endommagée (le fichier %2 est "
                                       "incomplet).")
                            .arg(d->path, it.key()));
    }
}

} // namespace tilvo
