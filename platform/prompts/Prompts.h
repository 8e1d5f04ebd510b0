#pragma once
// The one seam through which the program shows message boxes, prompt boxes,
// file and colour dialogs and its own modal windows. A running program uses
// Qt's dialogs; tests install a Handler that answers without a person.

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace Prompts {

// Message box styles, as the program passes them.
enum Style : int {
    OKOnly = 0, OKCancel = 1, YesNoCancel = 3, YesNo = 4,
    Critical = 16, Question = 32, Exclamation = 48, Information = 64,
    DefaultButton2 = 256
};
// Message box answers.
enum Answer : int { OK = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageRequest {
    QString text;
    QString title;
    int style = OKOnly;
};

struct InputRequest {
    QString prompt;
    QString title;
    QString defaultText;
};

struct FileDialogRequest {
    bool save = false;
    QString title;
    QString filter;          // "description|patterns|description|patterns..."
    int filterIndex = 1;     // 1-based
    // Without the dot: added to a saved name typed without an extension. A
    // save dialog adds the extension of the filter selected instead, where
    // that filter names one.
    QString defaultExt;
    QString directory;
    QString fileName;
    bool multiSelect = false;
    bool fileMustExist = false;
    bool overwritePrompt = false;
};

struct FileDialogResult {
    bool accepted = false;
    QStringList files;       // full paths
    int filterIndex = 1;     // the filter chosen when the dialog closed
};

class Handler {
public:
    virtual ~Handler() = default;
    virtual int messageBox(const MessageRequest &request) = 0;
    virtual std::optional<QString> inputBox(const InputRequest &request) = 0;  // nullopt: cancelled
    virtual FileDialogResult fileDialog(const FileDialogRequest &request) = 0;
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;      // nullopt: cancelled
    virtual int execDialog(QDialog *dialog) = 0;                               // QDialog::DialogCode
};

// The handler in force; nullptr restores Qt's own dialogs.
void setHandler(Handler *handler);
Handler *handler();

// The application title that message boxes without a title of their own show.
QString appTitle();
void setAppTitle(const QString &title);

// A message box; title "" means the application title. Returns an Answer.
int MsgBox(const QString &text, int style = OKOnly, const QString &title = QString());
// A prompt box; "" when the user cancels.
QString InputBox(const QString &prompt, const QString &title = QString(), const QString &defaultText = QString());
FileDialogResult FileDialog(const FileDialogRequest &request);
// The extension that entry `index` (1-based) of a "description|patterns"
// filter stands for when its patterns name just one ("*.png" gives "png");
// "" for "*.*", for several patterns and for an index outside the filter.
QString filterExtension(const QString &filter, int index);
std::optional<QColor> ChooseColor(const QColor &initial);
// Shows a dialog modally and returns its result code.
int ExecModal(QDialog *dialog);

}
