#pragma once
// The imaging component's file-dialog object: open and save dialogs whose
// filter, flags, filter index and default extension are set beforehand and
// whose choice is read afterwards. One object keeps its filter index and
// its folder from one dialog to the next.

#include <QString>
#include <QStringList>

class ImgXDialog {
public:
    // The common file dialog's flags that the dialogs honour.
    static constexpr long OFN_OVERWRITEPROMPT = 0x2;
    static constexpr long OFN_ALLOWMULTISELECT = 0x200;
    static constexpr long OFN_FILEMUSTEXIST = 0x1000;

    int DialogStyle = 0;
    QString Filter;          // "description|patterns|description|patterns..."
    long Flags = 0;
    int FilterIndex = 1;     // 1-based; after a dialog, the filter chosen when it closed
    QString DefaultExt;      // added to a saved name typed without an extension

    // ok is true when the user confirmed; a cancelled dialog changes nothing.
    void ShowOpen(bool &ok);
    void ShowSave(bool &ok);

    // The one chosen file, full path; for several, the first.
    QString FileName() const;
    int FileCount() const { return int(m_files.size()); }
    // The name (without folder) of chosen file i, 0-based; "" outside the range.
    QString FileItem(int i) const;
    // The folder of the selection, ending with "/"; "" before any choice.
    QString Folder() const;

private:
    void show(bool save, bool &ok);

    QStringList m_files;
    QString m_lastFolder;
};
