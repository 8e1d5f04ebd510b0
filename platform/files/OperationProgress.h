#pragma once
// The progress window: it appears only when the work takes a while, and
// its Cancel button ends the operation at the next step.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

class OperationProgress {
public:
    OperationProgress(QWidget *owner, const QString &title, qint64 total);
    ~OperationProgress();

    void setItem(const QString &name) { m_item = name; }
    void setTotal(qint64 total) { m_total = total; }

    // Counts the bytes done; throws FileOps::OperationCancelled once Cancel
    // was pressed.
    void advance(qint64 bytes);

private:
    static constexpr int kDelayMs = 700;

    void open();

    QPointer<QWidget> m_owner;
    QString m_title;
    QString m_item;
    qint64 m_total;
    qint64 m_done = 0;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceUpdate;
    std::unique_ptr<QProgressDialog> m_dialog;
};
