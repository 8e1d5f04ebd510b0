#pragma once
// The file operations the viewer and the browser ask of ShellFileOperation.

enum FileOpCode : long {
    opCopyTo = 1,
    opDelete = 2,           // to the trash
    opDeletePermanent = 3,
    opMoveTo = 4,
    opRename = 5
};
