#include "TerminalPrompts.h"

#include <QDialog>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

int cancellingAnswer(int style)
{
    switch (style & 0x7) {
    case Prompts::OKOnly: return Prompts::OK;
    case Prompts::YesNo: return Prompts::No;
    default: return Prompts::Cancel;
    }
}

bool isQuestion(int style)
{
    const int buttons = style & 0x7;
    return buttons == Prompts::YesNo || buttons == Prompts::YesNoCancel;
}

}

int TerminalPrompts::messageBox(const Prompts::MessageRequest &request)
{
    QTextStream err(stderr);
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    err << request.title << ": " << text << '\n';
    if (!isQuestion(request.style))
        return cancellingAnswer(request.style);
    if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO)) {
        err << "(no one to answer: taken as No)\n";
        return cancellingAnswer(request.style);
    }
    err << "[y/n] " << Qt::flush;
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    if (answer == QLatin1String("y") || answer == QLatin1String("yes"))
        return Prompts::Yes;
    if (answer == QLatin1String("n") || answer == QLatin1String("no"))
        return Prompts::No;
    return cancellingAnswer(request.style);
}

std::optional<QString> TerminalPrompts::inputBox(const Prompts::InputRequest &)
{
    return std::nullopt;
}

Prompts::FileDialogResult TerminalPrompts::fileDialog(const Prompts::FileDialogRequest &request)
{
    Prompts::FileDialogResult result;
    result.filterIndex = request.filterIndex;
    return result;
}

std::optional<QColor> TerminalPrompts::chooseColor(const QColor &)
{
    return std::nullopt;
}

int TerminalPrompts::execDialog(QDialog *)
{
    return QDialog::Rejected;
}
