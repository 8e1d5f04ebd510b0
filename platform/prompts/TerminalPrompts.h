#pragma once
// The prompts of a program that runs without a display (the association
// switches over ssh, say): messages go to standard error, and a Yes/No
// question is answered on the terminal when there is one. Without a
// terminal nobody can answer, so the question takes its cancelling answer
// and nothing changes. Dialogs cannot be shown at all and are cancelled.

#include "Prompts.h"

class TerminalPrompts : public Prompts::Handler {
public:
    int messageBox(const Prompts::MessageRequest &request) override;
    std::optional<QString> inputBox(const Prompts::InputRequest &request) override;
    Prompts::FileDialogResult fileDialog(const Prompts::FileDialogRequest &request) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    int execDialog(QDialog *dialog) override;
};
