// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "images/AccountPictures.h"
#include "main/ui/AccountPictureHooks.h"

#include <QString>

namespace tilvo {

class Prompts;
class TDataModule1;
struct Environment;
struct Settings;

// The account dialog's picture commands on the current row of `Account`: select a picture
// (the picture dialog opens in `programFolder` + "Images/"), remove it after the question,
// view it, print it through the picture preview and save a copy. The module and the prompts
// must outlive the hooks.
AccountPictureHooks MakeAccountPictureHooks(TDataModule1& dm, Prompts& prompts,
                                            const QString& programFolder,
                                            const PictureSettings& settings);

// The same with the picture folder and the settings of the running program, as the main window
// passes them to TEnterAccount::Execute.
AccountPictureHooks MakeAccountPictureHooks(TDataModule1& dm, Prompts& prompts,
                                            const Environment& env, const Settings& settings);

// The account deletion (and so the dossier cascade) deletes picture files with
// DeletePictureFile.
void InstallPictureFileDeleter(TDataModule1& dm);

} // namespace tilvo
