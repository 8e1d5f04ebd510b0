#pragma once
// The imaging component's file-dialog object: open and save dialogs whose
// filter, flags, filter index and default extension are set beforehand and
// whose choice is read afterwards. One object keeps its filter index and
// its folder from one dialog to the next; the folder only while the file
// last chosen is there (opened, or written after the dialog closed).

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
    // Added to a saved name typed without an extension, unless the filter
    // chosen names an extension of its own: that one is added then.
    QString DefaultExt;
    // Where a dialog starts while no chosen file gives a folder to go back to.
    QString InitDir;

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
    QString startFolder();
    QString savedName(const QString &typed, int filterIndex) const;

    QStringList m_files;
    QString m_lastFolder;
};
