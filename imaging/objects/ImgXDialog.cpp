#include "ImgXDialog.h"

#include "Prompts.h"

#include <QFileInfo>

namespace {
// The dialog asked about the name as typed; the name with its extension
// added may be another, existing file.
bool confirmReplace(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    const QString text = QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName());
    return Prompts::MsgBox(text, Prompts::YesNo | Prompts::Exclamation, QStringLiteral("Confirm Save As")) == Prompts::Yes;
}
}

void ImgXDialog::ShowOpen(bool &ok) { show(false, ok); }

void ImgXDialog::ShowSave(bool &ok) { show(true, ok); }

void ImgXDialog::show(bool save, bool &ok)
{
    Prompts::FileDialogRequest request;
    request.save = save;
    request.title = save ? QStringLiteral("Save As") : QStringLiteral("Open");
    request.filter = Filter;
    request.filterIndex = FilterIndex;
    request.defaultExt = DefaultExt;
    request.directory = startFolder();
    request.multiSelect = !save && (Flags & OFN_ALLOWMULTISELECT);
    request.fileMustExist = !save && (Flags & OFN_FILEMUSTEXIST);
    request.overwritePrompt = save && (Flags & OFN_OVERWRITEPROMPT);

    const Prompts::FileDialogResult result = Prompts::FileDialog(request);
    ok = result.accepted && !result.files.isEmpty();
    if (!ok)
        return;
    QStringList files = result.files;
    const QString named = save ? savedName(files.first(), result.filterIndex) : files.first();
    if (named != files.first()) {
        files.first() = named;
        ok = !request.overwritePrompt || confirmReplace(named);
        if (!ok)
            return;
    }
    m_files = files;
    FilterIndex = result.filterIndex;
}

// A save that failed leaves no file: its folder (one that holds no files,
// say) is not where the next dialog opens.
QString ImgXDialog::startFolder()
{
    if (!m_files.isEmpty() && QFileInfo(m_files.first()).isFile())
        m_lastFolder = QFileInfo(m_files.first()).absolutePath();
    return m_lastFolder.isEmpty() ? InitDir : m_lastFolder;
}

// The name typed, with the extension of the filter chosen when it has none.
// A dialog that adds the extension itself hands it over complete already.
QString ImgXDialog::savedName(const QString &typed, int filterIndex) const
{
    const QString filterExt = Prompts::filterExtension(Filter, filterIndex);
    const QString ext = filterExt.isEmpty() ? DefaultExt : filterExt;
    if (ext.isEmpty() || QFileInfo(typed).fileName().contains(QLatin1Char('.')))
        return typed;
    return typed + QLatin1Char('.') + ext;
}

QString ImgXDialog::FileName() const { return m_files.isEmpty() ? QString() : m_files.first(); }

QString ImgXDialog::FileItem(int i) const
{
    return i >= 0 && i < m_files.size() ? QFileInfo(m_files.at(i)).fileName() : QString();
}

QString ImgXDialog::Folder() const
{
    if (m_files.isEmpty())
        return QString();
    const QString folder = QFileInfo(m_files.first()).absolutePath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
