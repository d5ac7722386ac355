#include "groupop.h"

namespace vorlane {

void GroupOperation::PrepareGroup(const QString& message, int total) {
    m_counter = 0;
    m_total = total;
    m_lastUpdate = m_clock.nowMs();
    if (m_ui) {
        m_ui->setInfo(QString());
        m_ui->begin(message);
    }
    m_cancel = false;
}

QString GroupOperation::infoText() const {
    return m_total == -1 ? QStringLiteral("%1 items").arg(m_counter)
                         : QStringLiteral("%1 items of %2").arg(m_counter).arg(m_total);
}

bool GroupOperation::PrintGroup() {
    const qint64 now = m_clock.nowMs();
    if (now - m_lastUpdate > kRefreshMs) {
        m_lastUpdate = now;
        if (m_ui)
            m_ui->setInfo(infoText());
        m_pump.pump();
    }
    return !m_cancel;
}

QString GroupOperation::statusText(const QString& message) const {
    return m_total == -1 ? QStringLiteral("%1 item(s) ").arg(m_counter) + message
                         : QStringLiteral("%1 of %2 item(s) ").arg(m_counter).arg(m_total) + message;
}

void GroupOperation::EndGroup(const QString& message) {
    if (m_ui) {
        m_ui->end();
        m_ui->setStatus(statusText(message));
    }
}

} // namespace vorlane
