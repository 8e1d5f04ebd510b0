#include "Prompts.h"

#include "NameOnlyIconProvider.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace Prompts {

namespace {

Handler *g_handler = nullptr;
QString g_appTitle = QStringLiteral("Quillmere");

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case Critical: return QMessageBox::Critical;
    case Question: return QMessageBox::Question;
    case Exclamation: return QMessageBox::Warning;
    case Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int qtMessageBox(const MessageRequest &request)
{
    QMessageBox box(iconOf(request.style), request.title, request.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    struct ButtonAnswer { QString text; int answer; QMessageBox::ButtonRole role; };
    QList<ButtonAnswer> buttons;
    switch (request.style & 0x7) {
    case OKCancel: buttons = {{"OK", OK, QMessageBox::AcceptRole}, {"Cancel", Cancel, QMessageBox::RejectRole}}; break;
    case YesNoCancel: buttons = {{"&Yes", Yes, QMessageBox::YesRole}, {"&No", No, QMessageBox::NoRole},
                                 {"Cancel", Cancel, QMessageBox::RejectRole}}; break;
    case YesNo: buttons = {{"&Yes", Yes, QMessageBox::YesRole}, {"&No", No, QMessageBox::NoRole}}; break;
    default: buttons = {{"OK", OK, QMessageBox::AcceptRole}}; break;
    }
    QList<QPushButton *> made;
    for (const ButtonAnswer &b : buttons)
        made << box.addButton(b.text, b.role);
    const int defaultIndex = (request.style & DefaultButton2) && made.size() > 1 ? 1 : 0;
    box.setDefaultButton(made[defaultIndex]);
    box.exec();
    for (int i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i])
            return buttons[i].answer;
    // Closed with Esc or the close box: the cancelling answer, else the only one.
    return (request.style & 0x7) == OKOnly ? OK : ((request.style & 0x7) == YesNo ? No : Cancel);
}

// "desc|*.a;*.b|desc2|*.c" as Qt's name filters "desc (*.a *.b)".
QStringList qtFilters(const QString &filter)
{
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters;
}

FileDialogResult qtFileDialog(const FileDialogRequest &request)
{
    NameOnlyIconProvider icons;   // made first: it outlives the dialog that asks it
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.directory);
    dialog.setIconProvider(&icons);
    dialog.setNameFilters(qtFilters(request.filter));
    // The dialog keeps and answers with its own copies of the filters (with
    // runs of blanks made one), so positions are looked up in those.
    const QStringList filters = dialog.nameFilters();
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without an extension gets the one of the filter
        // selected when the dialog closes, as the desktop's own save dialogs
        // do (Qt's keeps the suffix it was given). Its replace question then
        // names the file that is really written.
        const auto suffixFollows = [&dialog, &request, filters](const QString &selected) {
            const QString ext = filterExtension(request.filter, int(filters.indexOf(selected)) + 1);
            dialog.setDefaultSuffix(ext.isEmpty() ? request.defaultExt : ext);
        };
        suffixFollows(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffixFollows);
        if (!request.overwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    FileDialogResult result;
    result.filterIndex = request.filterIndex;
    if (dialog.exec() != QDialog::Accepted)
        return result;
    result.accepted = true;
    result.files = dialog.selectedFiles();
    const int chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        result.filterIndex = chosen + 1;
    return result;
}

}

void setHandler(Handler *handler) { g_handler = handler; }
Handler *handler() { return g_handler; }

QString appTitle() { return g_appTitle; }
void setAppTitle(const QString &title) { g_appTitle = title; }

int MsgBox(const QString &text, int style, const QString &title)
{
    const MessageRequest request{text, title.isEmpty() ? g_appTitle : title, style};
    return g_handler ? g_handler->messageBox(request) : qtMessageBox(request);
}

QString InputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    const InputRequest request{prompt, title.isEmpty() ? g_appTitle : title, defaultText};
    if (g_handler)
        return g_handler->inputBox(request).value_or(QString());
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), request.title, request.prompt,
                                               QLineEdit::Normal, request.defaultText, &ok);
    return ok ? text : QString();
}

FileDialogResult FileDialog(const FileDialogRequest &request)
{
    return g_handler ? g_handler->fileDialog(request) : qtFileDialog(request);
}

QString filterExtension(const QString &filter, int index)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    const int at = 2 * index - 1;
    if (index < 1 || at >= parts.size())
        return QString();
    const QString patterns = parts[at].trimmed();
    static const QRegularExpression onePattern(QStringLiteral("^\\*\\.([^.*?;\\s\\[\\]]+)$"));
    return onePattern.match(patterns).captured(1);
}

std::optional<QColor> ChooseColor(const QColor &initial)
{
    if (g_handler)
        return g_handler->chooseColor(initial);
    const QColor colour = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

int ExecModal(QDialog *dialog)
{
    return g_handler ? g_handler->execDialog(dialog) : dialog->exec();
}

}
