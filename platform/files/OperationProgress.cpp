#include "OperationProgress.h"

#include "FileOps.h"

#include <QApplication>
#include <QProgressDialog>

using namespace FileOps;

OperationProgress::OperationProgress(QWidget *owner, const QString &title, qint64 total)
    : m_owner(owner), m_title(title), m_total(total)
{
    m_clock.start();
}

OperationProgress::~OperationProgress() = default;

void OperationProgress::advance(qint64 bytes)
{
    m_done += bytes;
    if (m_clock.elapsed() < kDelayMs || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (!m_dialog)
        open();
    if (m_sinceUpdate.isValid() && m_sinceUpdate.elapsed() < 50)
        return;
    m_sinceUpdate.start();
    m_dialog->setLabelText(m_item);
    if (m_total > 0)
        m_dialog->setValue(int(qMin<qint64>(999, m_done * 1000 / m_total)));
    QCoreApplication::processEvents();
    if (m_dialog && m_dialog->wasCanceled())
        throw OperationCancelled{};
}

void OperationProgress::open()
{
    m_dialog.reset(new QProgressDialog(m_item, QStringLiteral("Cancel"), 0, m_total > 0 ? 1000 : 0, m_owner));
    m_dialog->setWindowTitle(m_title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->show();
}
