#pragma once
// Answers the program's message boxes, prompts and dialogs in tests.
// Queued answers are used in order; without one a message box takes its
// first button, a prompt, file or colour dialog is cancelled, and a modal
// window is rejected. Everything shown is recorded.

#include "Prompts.h"

#include <QList>
#include <deque>
#include <functional>

class ScriptedPrompts : public Prompts::Handler {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    static ScriptedPrompts &instance();

    // The answers to give next, in order.
    void answerMessage(int answer) { m_messageAnswers.push_back(answer); }
    void answerInput(std::optional<QString> text) { m_inputAnswers.push_back(std::move(text)); }
    void answerFileDialog(Prompts::FileDialogResult result) { m_fileAnswers.push_back(std::move(result)); }
    void answerColor(std::optional<QColor> colour) { m_colorAnswers.push_back(std::move(colour)); }
    // Runs while the modal window is up; its return value is the dialog's result.
    void answerDialog(std::function<int(QDialog *)> answer) { m_dialogAnswers.push_back(std::move(answer)); }

    // What was shown.
    QList<Prompts::MessageRequest> messages;
    QList<Prompts::InputRequest> inputs;
    QList<Prompts::FileDialogRequest> fileDialogs;
    QList<QColor> colorDialogs;
    QList<QString> dialogTitles;

    // Forget queued answers and records.
    void reset();

    int messageBox(const Prompts::MessageRequest &request) override;
    std::optional<QString> inputBox(const Prompts::InputRequest &request) override;
    Prompts::FileDialogResult fileDialog(const Prompts::FileDialogRequest &request) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    int execDialog(QDialog *dialog) override;

private:
    std::deque<int> m_messageAnswers;
    std::deque<std::optional<QString>> m_inputAnswers;
    std::deque<Prompts::FileDialogResult> m_fileAnswers;
    std::deque<std::optional<QColor>> m_colorAnswers;
    std::deque<std::function<int(QDialog *)>> m_dialogAnswers;
};
