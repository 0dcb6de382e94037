// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/routes.h"

#include "folders/addnode.h"
#include "folders/deletenode.h"
#include "folders/findsession.h"
#include "folders/opennode.h"
#include "folders/renamenode.h"
#include "pictures/addcommand.h"
#include "pictures/duplicates.h"
#include "pictures/exportfolder.h"
#include "pictures/fangda.h"
#include "pictures/importtree.h"
#include "pictures/pictureclipboard.h"
#include "pictures/renamedelete.h"
#include "pictures/savepicture.h"

namespace zarvo {

namespace {

const Route kRoutes[] = {
    // pictures
    { "btn_addfile", btn_addfileClick },
    { "menu_addfile", btn_addfileClick },
    { "btn_editfile", btn_editfileClick },
    { "menu_editfile", btn_editfileClick },
    { "btn_delfile", btn_delfileClick },
    { "menu_delfile", btn_delfileClick },
    { "pop_del", btn_delfileClick },
    { "menu_delall", menu_delallClick },
    { "pop_copy", pop_copyClick },
    { "pop_cut", pop_cutClick },
    { "pop_paste", pop_pasteClick },
    { "A2", A2Click },
    { "pop_fangda", pop_fangdaClick },
    { "menu_openall", menu_openallClick },
    { "pop_save", pop_saveClick },
    { "menu_importall", menu_importallClick },
    // folders
    { "btn_addfolder", btn_addfolderClick },
    { "menu_addfolder", btn_addfolderClick },
    { "btn_editfolder", btn_editfolderClick },
    { "menu_editfolder", btn_editfolderClick },
    { "btn_delfolder", btn_delfolderClick },
    { "menu_delfolder", btn_delfolderClick },
    { "btn_findfile", menu_findfileClick },
    { "menu_findfile", menu_findfileClick },
    { "btn_findfolder", btn_findfolderClick },
    { "menu_findfolder", btn_findfolderClick },
    { "menu_import", menu_importClick },
    { "menu_dups", menu_dupsClick },
};

const Route kViewRoutes[] = {
    { "tree1", tree1Click },
    { "ListView1", ListView1DblClick },
};

} // namespace

std::span<const Route> commandRoutes()
{
    return kRoutes;
}

std::span<const Route> viewRoutes()
{
    return kViewRoutes;
}

} // namespace zarvo
