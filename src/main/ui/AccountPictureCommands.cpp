// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/AccountPictureCommands.h"

#include "common/Prompts.h"
#include "db/DataSet.h"
#include "db/TDataModule1.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "images/ui/TPreviewImage.h"
#include "images/ui/TViewImage.h"

#include <QWidget>

namespace tilvo {

namespace {

constexpr int kThumbnailSize = 70;

qint64 CurrentAccountId(TDataModule1& dm)
{
    return dm.Account().fieldByName(QStringLiteral("Id")).asInteger();
}

} // namespace

AccountPictureHooks MakeAccountPictureHooks(TDataModule1& dm, Prompts& prompts,
                                            const QString& programFolder,
                                            const PictureSettings& settings)
{
    AccountPictureHooks hooks;
    hooks.select = [&dm, &prompts, programFolder, settings](QWidget*) {
        const std::optional<QString> chosen = prompts.openFileName(
            QString::fromUtf8(PictureDialogTitle), QString::fromUtf8(PictureDialogFilter),
            programFolder + QStringLiteral("Images/"));
        if (!chosen)
            return;
        ImportAccountPicture(
            dm.DSAccount(), dm.Account(), kThumbnailSize, QStringLiteral("ImgMini1"),
            dm.accountPicturePath(CurrentAccountId(dm)), *chosen, kThumbnailSize, settings);
    };
    hooks.remove = [&dm, &prompts](QWidget*) {
        if (!prompts.askYesNo(QString::fromUtf8(DeletePictureQuestion), Prompts::Icon::Question))
            return;
        RemoveAccountPicture(dm.DSAccount(), dm.Account(), QStringLiteral("IMG1"),
                             QStringLiteral("IMGMINI1"),
                             dm.accountPicturePath(CurrentAccountId(dm)));
    };
    hooks.view = [&dm, &prompts](QWidget* dialog) {
        ViewPictureFile(dm.accountPicturePath(CurrentAccountId(dm)), prompts, dialog);
    };
    hooks.print = [&dm, &prompts](QWidget* dialog) {
        TPreviewImage preview(dm.ADOConnection1(), prompts, dialog);
        preview.PictureFolder = dm.config().DatabaseFolder + QStringLiteral("Images/");
        preview.FilePrefix = QStringLiteral("Account");
        preview.TitleWord = QStringLiteral("Image");
        preview.DisplayMode = TPreviewImage::WholePicture;
        preview.QueryText = QStringLiteral("SELECT ACCOUNT.Id as [Id], ACCOUNT.Title as [Title] "
                                           "FROM ACCOUNT WHERE ACCOUNT.Id=") +
                            QString::number(CurrentAccountId(dm));
        preview.OpenPicturePreview(-1, 2);
        preview.exec();
    };
    hooks.saveCopy = [&dm, &prompts](QWidget*) {
        const QString title = dm.Account().fieldByName(QStringLiteral("Title")).asText();
        SavePictureCopyAs(dm.accountPicturePath(CurrentAccountId(dm)), ProposedPictureName(title),
                          prompts);
    };
    return hooks;
}

AccountPictureHooks MakeAccountPictureHooks(TDataModule1& dm, Prompts& prompts,
                                            const Environment& env, const Settings& settings)
{
    PictureSettings pictures;
    pictures.maxWidth = settings.MaxWidth;
    pictures.jpegQuality = settings.JpegQuality;
    return MakeAccountPictureHooks(dm, prompts, env.ProgramFolder, pictures);
}

void InstallPictureFileDeleter(TDataModule1& dm)
{
    dm.setPictureFileDeleter(&DeletePictureFile);
}

} // namespace tilvo
