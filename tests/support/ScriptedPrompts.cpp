#include "ScriptedPrompts.h"

#include <QDialog>

namespace {
ScriptedPrompts *g_instance = nullptr;
}

ScriptedPrompts::ScriptedPrompts()
{
    g_instance = this;
    Prompts::setHandler(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    Prompts::setHandler(nullptr);
    g_instance = nullptr;
}

ScriptedPrompts &ScriptedPrompts::instance() { return *g_instance; }

void ScriptedPrompts::reset()
{
    m_messageAnswers.clear();
    m_inputAnswers.clear();
    m_fileAnswers.clear();
    m_colorAnswers.clear();
    m_dialogAnswers.clear();
    messages.clear();
    inputs.clear();
    fileDialogs.clear();
    colorDialogs.clear();
    dialogTitles.clear();
}

int ScriptedPrompts::messageBox(const Prompts::MessageRequest &request)
{
    messages << request;
    if (!m_messageAnswers.empty()) {
        const int answer = m_messageAnswers.front();
        m_messageAnswers.pop_front();
        return answer;
    }
    const int buttons = request.style & 0x7;
    if (buttons == Prompts::YesNo || buttons == Prompts::YesNoCancel)
        return Prompts::Yes;
    return Prompts::OK;
}

std::optional<QString> ScriptedPrompts::inputBox(const Prompts::InputRequest &request)
{
    inputs << request;
    if (m_inputAnswers.empty())
        return std::nullopt;
    const std::optional<QString> answer = m_inputAnswers.front();
    m_inputAnswers.pop_front();
    if (!answer)
        return std::nullopt;
    return *answer;
}

Prompts::FileDialogResult ScriptedPrompts::fileDialog(const Prompts::FileDialogRequest &request)
{
    fileDialogs << request;
    if (m_fileAnswers.empty()) {
        Prompts::FileDialogResult cancelled;
        cancelled.filterIndex = request.filterIndex;
        return cancelled;
    }
    auto answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor &initial)
{
    colorDialogs << initial;
    if (m_colorAnswers.empty())
        return std::nullopt;
    auto answer = m_colorAnswers.front();
    m_colorAnswers.pop_front();
    return answer;
}

int ScriptedPrompts::execDialog(QDialog *dialog)
{
    dialogTitles << dialog->windowTitle();
    if (m_dialogAnswers.empty())
        return QDialog::Rejected;
    auto answer = m_dialogAnswers.front();
    m_dialogAnswers.pop_front();
    return answer(dialog);
}
